// A handler that reads only the declarations of a VCD file and lists the
// signals they name, by the scope rules every other handler uses.
#pragma once

#include <string>

#include "vcd/putil_vcd_parser_event_handler.h"

class PUTIL_VCD_SIGNAL_LISTENER;

class PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES : public PUTIL_VCD_PARSER_EVENT_HANDLER {
public:
    // Serves no store: the design root is the only entity. Each signal is
    // told to listener, which must outlive the handler.
    PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES(std::string vcd_file_name, putil_vcd_lexer_yyFlexLexer* scanner,
                                                CMP_FACADE* facade, PUTIL_VCD_SIGNAL_LISTENER* listener);

    // The body is read only for a listener that hears the value changes.
    bool handle_end_of_definitions() override;
    void handle_variable_declaration(char* kind, int size, char* code, char* reference, char* index) override;

    // The slots of the body tell the listener each change when it reads
    // them, and free their texts.
    bool handle_timestamp(char* time_text) override;
    void handle_vcd_close(char* time_text) override;
    bool handle_port_value_change(char* code, char* value) override;
    bool handle_vector_value_change(char* code, char* value) override;
    void handle_real_value_change(char* code, char* value) override;
    bool handle_scalar_value_change(char* code, char* value_text) override;

private:
    void add_signal(const std::string& name);
    void tell_change(const char* code);

    PUTIL_VCD_SIGNAL_LISTENER* m_listener;
    bool m_reads_changes = false;
};
