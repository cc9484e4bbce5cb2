// Entry of the VCD grammar: parses one VCD or extended-VCD file from a
// scanner and reports its contents to a parser event handler.
#pragma once

class putil_vcd_lexer_yyFlexLexer;
class PUTIL_VCD_PARSER_EVENT_HANDLER;

// Resets the scanner's line counter to 1 and parses its input, reporting to
// handler. True exactly when the file was accepted; false after a syntax error (the handler's report_parse_error has
// posted the message) or when a handler operation answered false (the
// handler has posted its own message). Both arguments must be non-null.
bool putil_vcd_parse(putil_vcd_lexer_yyFlexLexer* p_putil_vcd_lexer_yyFlexLexer,
                     PUTIL_VCD_PARSER_EVENT_HANDLER* p_putil_vcd_parser_event_handler);
