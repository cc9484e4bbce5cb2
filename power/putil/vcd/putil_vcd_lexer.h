// The VCD scanner class: a flex C++ scanner that reads a VCD or extended-VCD
// stream in large blocks and hands each token to the VCD grammar.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include "core/putil_internal.h"

class PUTIL_VCD_PARSER_EVENT_HANDLER;
struct PUTIL_VCD_BODY_ITEM;

// FlexLexer.h declares the scanner class under whatever name yyFlexLexer is
// defined to; the generated class gets an internal name so that the public
// scanner below can add the grammar's yylex signature to it.
#ifndef PUTIL_VCD_SCAN_FLEX_LEXER_DECLARED
#define PUTIL_VCD_SCAN_FLEX_LEXER_DECLARED
#undef yyFlexLexer
#define yyFlexLexer putil_vcd_scan_yyFlexLexer
#include <FlexLexer.h>
#undef yyFlexLexer
#endif

// Value of one token or grammar symbol, a pair. first is the decimal value of
// a number token or the text of a text token; second is the index text of a
// declaration's reference ("[7:0]", or an empty text). Every text is a heap
// copy (putil_copy_text) owned by whoever receives it: a handler slot, or
// the grammar action that frees it.
struct PUTIL_VCD_SEMANTIC_VALUE {
    union {
        int number;
        char* text;
    } first;
    char* second;
};

class putil_vcd_lexer_yyFlexLexer : public putil_vcd_scan_yyFlexLexer, public PUTIL_HEAP_OBJECT {
public:
    // Reads from in (std::cin when null); out only receives flex's ECHO,
    // which the rules never use, so the reader passes null. The setting
    // "putil_vcd_extended_syntax", read here, makes the scanner accept what
    // real simulators write beyond strict VCD.
    putil_vcd_lexer_yyFlexLexer(std::istream* in, std::ostream* out);
    ~putil_vcd_lexer_yyFlexLexer() override;
    putil_vcd_lexer_yyFlexLexer(const putil_vcd_lexer_yyFlexLexer&) = delete;
    putil_vcd_lexer_yyFlexLexer& operator=(const putil_vcd_lexer_yyFlexLexer&) = delete;

    // Next token code for the grammar (0 at the end of input), its value in
    // *value. Texts in *value are new heap copies owned by the caller.
    virtual int yylex(PUTIL_VCD_SEMANTIC_VALUE* value);

    // Frees every text this scanner handed out that nobody freed yet, and
    // the queued ones: after a parse that an internal error stopped.
    void free_live_texts();
    // A text for a token value, owned by the receiver (putil_free_text).
    char* copy_text(const char* text, std::size_t length);
    // The grammar waits for the next body item (timestamp, value change, dump
    // block) and reports it to handler. Unless the setting
    // "putil_vcd_fast_body" is off, the next yylex hands common timestamps
    // and value changes straight from its buffer to handler's text slots,
    // making the calls that the grammar would make for their tokens; a slot
    // that answers false makes it return HANDLER_REFUSED, which ends the parse.
    void expect_body_item(PUTIL_VCD_PARSER_EVENT_HANDLER* handler);

    // Line of the input being scanned: 1 at the start of a parse, one more
    // for every run of line ends skipped. Messages and progress read it.
    void reset_line_number() { m_line_number = 1; }
    std::uint64_t get_line_number() const { return m_line_number; }

    // Block size of reads from the stream and of the scanner buffer.
    static constexpr int s_buffer_size = 131072;
    // The longest token read (a name, a value, a comment): 1 MiB. A longer
    // one is a parse error at its line.
    static constexpr long s_max_token_length = 1L << 20;
    // Whether the text was ended at a token over the cap.
    bool token_too_long() const { return m_token_too_long; }

protected:
    // At most s_buffer_size bytes straight into flex's buffer: 0 at the end
    // of the stream or after a failed read, -1 when the stream has gone bad
    // (flex then stops with "input in flex scanner failed").
    int LexerInput(char* buffer, int max_size) override;
    // Reports flex's fatal condition as an internal error.
    void LexerError(const char* message) override;

private:
    // The argument-less forms of the flex base cannot deliver a value.
    using putil_vcd_scan_yyFlexLexer::yylex;

    // A token that the extended syntax makes up or holds back, returned
    // before the next match: the "$enddefinitions $end" that a file left
    // out, the "$end" after a scope without a name, a timestamp held back
    // behind the close of its dump block. text is owned until returned.
    struct PENDING_TOKEN {
        int code;
        char* text;
    };
    static constexpr int s_pending_capacity = 2;

    void push_pending(int code, char* text);
    int take_pending(PUTIL_VCD_SEMANTIC_VALUE* value);
    // Extended syntax only: the token code to return for a body token, a
    // timestamp or a dump command whose value is in *value.
    int body_token(int code, PUTIL_VCD_SEMANTIC_VALUE* value);
    int timestamp(int code, PUTIL_VCD_SEMANTIC_VALUE* value);
    int dump_command(int code, PUTIL_VCD_SEMANTIC_VALUE* value);
    int close_dump_block();
    void create_input_buffer();
    // The fast body path: false when a handler slot ended the parse.
    bool read_body_items();
    bool deliver_body_item(const PUTIL_VCD_BODY_ITEM& item);

    std::istream* m_input;
    bool m_extended_syntax;
    int m_top_state;              // start condition between commands
    bool m_definitions_ended;     // extended syntax: the body has begun
    bool m_token_too_long = false;   // the text was ended at a token over s_max_token_length
    bool m_dump_block_open;       // extended syntax: inside a dump block
    bool m_vcdclose_time_next;    // extended syntax: the next timestamp is that of "$vcdclose"
    PENDING_TOKEN m_pending[s_pending_capacity];
    int m_pending_count;
    int m_pending_next;
    PUTIL_TEXT_LINK m_live_texts;   // texts handed out and not yet freed
    bool m_fast_body;                                // "putil_vcd_fast_body"
    PUTIL_VCD_PARSER_EVENT_HANDLER* m_body_handler;  // set once the body has begun
    bool m_body_item_next;                           // the grammar waits for a body item
    std::uint64_t m_line_number;
};
