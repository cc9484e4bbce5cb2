// The VCD scanner class: a flex C++ scanner that reads a VCD or extended-VCD
// stream in large blocks and hands each token to the VCD grammar.
#pragma once

#include <istream>
#include <ostream>

#include "putil_internal.h"

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
    // which the rules never use, so the reader passes null.
    putil_vcd_lexer_yyFlexLexer(std::istream* in, std::ostream* out);

    // Next token code for the grammar (0 at the end of input), its value in
    // *value. Texts in *value are new heap copies owned by the caller.
    virtual int yylex(PUTIL_VCD_SEMANTIC_VALUE* value);

    // Block size of reads from the stream and of the scanner buffer.
    static constexpr int s_buffer_size = 131072;

protected:
    // At most s_buffer_size bytes straight into flex's buffer: 0 at the end
    // of the stream or after a failed read, -1 when the stream has gone bad
    // (flex then stops with "input in flex scanner failed").
    int LexerInput(char* buffer, int max_size) override;

private:
    // The argument-less forms of the flex base cannot deliver a value.
    using putil_vcd_scan_yyFlexLexer::yylex;

    std::istream* m_input;
};
