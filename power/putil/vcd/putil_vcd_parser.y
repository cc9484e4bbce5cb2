// VCD grammar: turns the scanner's tokens into calls on the parser event handler.

%require "3.6"
%define api.pure full
%define api.prefix {putil_vcd_parser_yy}
%define api.value.type {PUTIL_VCD_SEMANTIC_VALUE}
%define parse.error custom
%param {putil_vcd_lexer_yyFlexLexer* scanner}
// Every action reports through the handler of its own parse, so parses on
// different scanners and handlers run side by side.
%parse-param {PUTIL_VCD_PARSER_EVENT_HANDLER* handler}
// The grammar is conflict-free; a new conflict must fail the build.
%expect 0

%code top {
#include "core/putil_internal.h"
#include "vcd/putil_vcd_lexer.h"

// The parser's token source. Defined before bison's "#define yylex
// putil_vcd_parser_yylex", which would otherwise rename the member called.
static int putil_vcd_parser_yylex(PUTIL_VCD_SEMANTIC_VALUE* value, putil_vcd_lexer_yyFlexLexer* scanner)
{
    return scanner->yylex(value);
}

// The state stack starts with room for 200 entries and doubles up to 20000.
// The grammar's lists are left-recursive, so real files stay far below.
#define YYINITDEPTH 200
#define YYMAXDEPTH 20000
#define YYMALLOC(size) mem_malloc_wrapper((size), PUTIL_SEGMENT, PUTIL_SOURCE_NAME, __LINE__)
#define YYFREE(block) mem_free_wrapper((block), PUTIL_SEGMENT)
}

%code requires {
#include "vcd/putil_vcd_lexer.h"

class PUTIL_VCD_PARSER_EVENT_HANDLER;
}

%code {
#include "vcd/putil_vcd_parser.h"
#include "vcd/putil_vcd_parser_event_handler.h"

// Syntax errors, stack exhaustion and a file that starts with an invalid
// character all end in the handler's one general parse-error message.
static void report_parse_error(PUTIL_VCD_PARSER_EVENT_HANDLER* handler, const char* text)
{
    handler->report_parse_error(text, "(putil_vcd_parser_yyerror)");
}

static void putil_vcd_parser_yyerror(putil_vcd_lexer_yyFlexLexer* scanner, PUTIL_VCD_PARSER_EVENT_HANDLER* handler,
                                     const char* message);

static char* new_empty_text(putil_vcd_lexer_yyFlexLexer* scanner)
{
    return scanner->copy_text("", 0);
}
}

// Declared in the order of their codes 258 to 293; codes are fixed, so new
// tokens go after END.
%token TIME_NUMBER SIZE_ONE SIZE_NUMBER ERROR_TEXT TIMESTAMP VECTOR_VALUE REAL_VALUE SCALAR_CHANGE
%token PORT_VALUE PORT_CODE WORD SCOPE_MODULE SCOPE_OTHER SCOPE_IDENTIFIER TIME_UNIT VAR_KIND_WORD
%token PORT_KIND BIT_INDEX RANGE_INDEX DECL_PORT_CODE DECL_WORD
%token ENDDEFINITIONS UPSCOPE VCDCLOSE SCOPE TIMESCALE VAR DUMPALL DUMPON DUMPOFF DUMPVARS
%token DUMPPORTSALL DUMPPORTSON DUMPPORTSOFF DUMPPORTS END
// Only the extended syntax produces these (codes 294 and up): the close of a
// dump block, and a string value.
%token DUMP_CLOSE STRING_VALUE
// Only the scanner's fast body path produces this (code 296): a handler slot
// it called for a body item answered false, which ends the parse as the same
// answer does in the actions below.
%token HANDLER_REFUSED
// Only the extended syntax produces this (code 297): a vector value with a
// character that is no level ("b0b00") or no digit at all ("b").
%token MALFORMED_VECTOR_VALUE

// Texts that bison drops (on a syntax error, or below an aborting action)
// are freed here. Texts handed to the handler are never on the stack any
// more: bison does not reclaim the right side of the rule that aborts. With
// these destructors, -Wall makes an action that ignores a text an error.
%destructor { putil_free_text($$.first.text); } ERROR_TEXT TIMESTAMP VECTOR_VALUE REAL_VALUE SCALAR_CHANGE
%destructor { putil_free_text($$.first.text); } PORT_VALUE PORT_CODE WORD SCOPE_MODULE SCOPE_OTHER
%destructor { putil_free_text($$.first.text); } SCOPE_IDENTIFIER TIME_UNIT VAR_KIND_WORD PORT_KIND
%destructor { putil_free_text($$.first.text); } BIT_INDEX RANGE_INDEX DECL_PORT_CODE DECL_WORD STRING_VALUE
%destructor { putil_free_text($$.first.text); } MALFORMED_VECTOR_VALUE
%destructor { putil_free_text($$.first.text); } scope_kind timestamp code value_code port_value
%destructor { putil_free_text($$.first.text); putil_free_text($$.second); } reference
%destructor { putil_free_text($$.second); } port_size

%start vcd_file

%%

vcd_file
    : ERROR_TEXT
        {
            // An invalid first character: the character itself is the text.
            report_parse_error(handler, $1.first.text);
            putil_free_text($1.first.text);
            YYABORT;
        }
    | declarations definitions_end
    ;

declarations
    : %empty
    | declarations declaration
    ;

definitions_end
    : %empty
    | ENDDEFINITIONS END body_start simulation
    ;

// Reduced without a lookahead, so the handler hears of the end of the
// declarations before the first token of the body is scanned.
body_start
    : %empty                      { if (!handler->handle_end_of_definitions()) YYACCEPT; }
    ;

// Both reduced without a lookahead: the scanner learns that the grammar
// waits for a body item before it is asked for one.
simulation
    : %empty                      { scanner->expect_body_item(handler); }
    | simulation simulation_item  { scanner->expect_body_item(handler); }
    ;

declaration
    : SCOPE scope_spec END
    | TIMESCALE timescale_spec END
    | UPSCOPE END                 { if (!handler->upscope()) YYABORT; }
    | VAR var_spec END
    | VCDCLOSE close_time END     { if (!handler->check_evcd_command()) YYABORT; }
    ;

simulation_item
    : vcd_dump_block              { if (!handler->check_vcd_command()) YYABORT; }
    | evcd_dump_block             { if (!handler->check_evcd_command()) YYABORT; }
    | timestamp                   { if (!handler->handle_timestamp($1.first.text)) YYABORT; }
    | value_change                { if (!handler->check_vcd_command()) YYABORT; }
    | port_change                 { if (!handler->check_evcd_command()) YYABORT; }
    | HANDLER_REFUSED             { YYABORT; }
    ;

vcd_dump_block
    : dumpall_open value_changes END    { handler->set_dump_state_current(false); }
    | dumpon_open value_changes END     { handler->set_dump_state_on(false); }
    | dumpoff_open value_changes END    { handler->set_dump_state_off(false); }
    | dumpvars_open value_changes END   { handler->set_dump_state_initial(false); }
    // The extended syntax closes every dump block with DUMP_CLOSE: at its
    // "$end", before a timestamp inside it, or at the end of the file. The
    // block may be empty ("$dumpall $end", as newer Icarus writes).
    | dumpall_open optional_value_changes DUMP_CLOSE    { handler->set_dump_state_current(false); }
    | dumpon_open optional_value_changes DUMP_CLOSE     { handler->set_dump_state_on(false); }
    | dumpoff_open optional_value_changes DUMP_CLOSE    { handler->set_dump_state_off(false); }
    | dumpvars_open optional_value_changes DUMP_CLOSE   { handler->set_dump_state_initial(false); }
    ;

value_changes
    : value_changes value_change
    | value_change
    ;

optional_value_changes
    : %empty
    | value_changes
    ;

dumpall_open  : DUMPALL   { handler->set_dump_state_current(true); } ;
dumpon_open   : DUMPON    { handler->set_dump_state_on(true); } ;
dumpoff_open  : DUMPOFF   { handler->set_dump_state_off(true); } ;
dumpvars_open : DUMPVARS  { handler->set_dump_state_initial(true); } ;

evcd_dump_block
    : portsall_open port_changes END    { handler->set_dump_state_current(false); }
    | portson_open port_changes END     { handler->set_dump_state_on(false); }
    | portsoff_open port_changes END    { handler->set_dump_state_off(false); }
    | ports_open port_changes END       { handler->set_dump_state_initial(false); }
    | portsall_open optional_port_changes DUMP_CLOSE    { handler->set_dump_state_current(false); }
    | portson_open optional_port_changes DUMP_CLOSE     { handler->set_dump_state_on(false); }
    | portsoff_open optional_port_changes DUMP_CLOSE    { handler->set_dump_state_off(false); }
    | ports_open optional_port_changes DUMP_CLOSE       { handler->set_dump_state_initial(false); }
    ;

port_changes
    : port_changes port_change
    | port_change
    ;

optional_port_changes
    : %empty
    | port_changes
    ;

portsall_open : DUMPPORTSALL  { handler->set_dump_state_current(true); } ;
portson_open  : DUMPPORTSON   { handler->set_dump_state_on(true); } ;
portsoff_open : DUMPPORTSOFF  { handler->set_dump_state_off(true); } ;
ports_open    : DUMPPORTS     { handler->set_dump_state_initial(true); } ;

scope_spec
    : scope_kind SCOPE_IDENTIFIER { handler->downscope($1.first.text, $2.first.text); }
    ;

scope_kind
    : SCOPE_MODULE                { $$.first.text = $1.first.text; }
    | SCOPE_OTHER
        {
            // Named blocks, tasks and functions exist only in VCD files.
            $$.first.text = $1.first.text;
            if (!handler->check_vcd_command()) {
                putil_free_text($1.first.text);
                YYABORT;
            }
        }
    ;

timescale_spec
    : TIME_NUMBER TIME_UNIT       { handler->set_timescale($1.first.number, $2.first.text); }
    ;

close_time
    : timestamp                   { handler->handle_vcd_close($1.first.text); }
    ;

var_spec
    : vcd_var                     { if (!handler->check_vcd_command()) YYABORT; }
    | port_var                    { if (!handler->check_evcd_command()) YYABORT; }
    ;

vcd_var
    : VAR_KIND_WORD var_size code reference
        {
            handler->handle_variable_declaration($1.first.text, $2.first.number, $3.first.text,
                                                   $4.first.text, $4.second);
        }
    ;

// An extended-VCD port: the identifier code comes before the port code
// used as the reference name; the index is that of the size.
port_var
    : PORT_KIND port_size DECL_PORT_CODE code
        {
            handler->handle_variable_declaration($1.first.text, $2.first.number, $3.first.text,
                                                   $4.first.text, $2.second);
        }
    ;

code
    : DECL_PORT_CODE              { $$.first.text = $1.first.text; }
    | DECL_WORD                   { $$.first.text = $1.first.text; }
    ;

reference
    : code                        { $$.first.text = $1.first.text; $$.second = new_empty_text(scanner); }
    | code BIT_INDEX              { $$.first.text = $1.first.text; $$.second = $2.first.text; }
    | code RANGE_INDEX            { $$.first.text = $1.first.text; $$.second = $2.first.text; }
    ;

var_size
    : SIZE_ONE                    { $$.first.number = $1.first.number; }
    | SIZE_NUMBER                 { $$.first.number = $1.first.number; }
    ;

// Strict scanning produces only the first form: ports are declared with
// size 1. The extended syntax also passes the range of a port of several bits.
port_size
    : SIZE_ONE                    { $$.first.number = 1; $$.second = new_empty_text(scanner); }
    | RANGE_INDEX
        {
            $$.first.number = handler->get_size_of_vector_index($1.first.text);
            $$.second = $1.first.text;
        }
    ;

timestamp
    : TIMESTAMP                   { $$.first.text = $1.first.text; }
    ;

value_change
    : scalar_change
    | vector_change
    ;

port_change
    : port_value PORT_CODE        { if (!handler->handle_port_value_change($2.first.text, $1.first.text)) YYABORT; }
    ;

scalar_change
    : SCALAR_CHANGE               { if (!handler->handle_scalar_value_change($1.first.text + 1, $1.first.text)) YYABORT; }
    ;

vector_change
    : VECTOR_VALUE value_code     { if (!handler->handle_vector_value_change($2.first.text, $1.first.text)) YYABORT; }
    | MALFORMED_VECTOR_VALUE value_code
        {
            if (!handler->handle_malformed_vector_value_change($2.first.text, $1.first.text))
                YYABORT;
        }
    | REAL_VALUE value_code       { handler->handle_real_value_change($2.first.text, $1.first.text); }
    | STRING_VALUE value_code
        {
            // A string (VHDL enumerations, characters, times) has no logic level.
            putil_free_text($1.first.text);
            putil_free_text($2.first.text);
        }
    ;

value_code
    : PORT_CODE                   { $$.first.text = $1.first.text; }
    | WORD                        { $$.first.text = $1.first.text; }
    ;

// The two strength components of an extended-VCD value are not used.
port_value
    : PORT_VALUE WORD WORD
        {
            $$.first.text = $1.first.text;
            putil_free_text($2.first.text);
            putil_free_text($3.first.text);
        }
    ;

%%

static_assert(TIME_NUMBER == 258 && DECL_WORD == 278 && ENDDEFINITIONS == 279 && END == 293 && DUMP_CLOSE == 294 &&
                  STRING_VALUE == 295 && HANDLER_REFUSED == 296 && MALFORMED_VECTOR_VALUE == 297,
              "token codes are fixed");

static int yyreport_syntax_error(const yypcontext_t*, putil_vcd_lexer_yyFlexLexer*,
                                 PUTIL_VCD_PARSER_EVENT_HANDLER* handler)
{
    report_parse_error(handler, "parse error");
    return 0;
}

// Bison reports here only the exhaustion of the state stack.
static void putil_vcd_parser_yyerror(putil_vcd_lexer_yyFlexLexer*, PUTIL_VCD_PARSER_EVENT_HANDLER* handler,
                                     const char*)
{
    report_parse_error(handler, "parser stack overflow");
}

bool putil_vcd_parse(putil_vcd_lexer_yyFlexLexer* p_putil_vcd_lexer_yyFlexLexer,
                     PUTIL_VCD_PARSER_EVENT_HANDLER* p_putil_vcd_parser_event_handler)
{
    PUTIL_ASSERT(p_putil_vcd_lexer_yyFlexLexer);
    PUTIL_ASSERT(p_putil_vcd_parser_event_handler);
    p_putil_vcd_lexer_yyFlexLexer->reset_line_number();
    try {
        const bool parsed =
            putil_vcd_parser_yyparse(p_putil_vcd_lexer_yyFlexLexer, p_putil_vcd_parser_event_handler) == 0;
        // The scanner ended the text at a token over the length cap; what
        // the grammar made of the cut text does not count.
        if (parsed && p_putil_vcd_lexer_yyFlexLexer->token_too_long()) {
            p_putil_vcd_parser_event_handler->report_parse_error("token over the length cap", "(putil_vcd_parse)");
            return false;
        }
        return parsed;
    } catch (...) {
        // An internal error left the parser's stack behind: its texts are
        // still the scanner's live texts.
        p_putil_vcd_lexer_yyFlexLexer->free_live_texts();
        throw;
    }
}
