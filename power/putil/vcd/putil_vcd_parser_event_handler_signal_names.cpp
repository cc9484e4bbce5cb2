// Signal names from VCD declarations: what a design derived from a file
// needs so that the activity job matches every signal the file declares.
#include "vcd/putil_vcd_parser_event_handler_signal_names.h"

#include "vcd/putil_vcd_declared_signal.h"
#include "vcd/putil_vcd_signal_listener.h"

PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES(
    std::string vcd_file_name, putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade,
    PUTIL_VCD_SIGNAL_LISTENER* listener)
    : PUTIL_VCD_PARSER_EVENT_HANDLER(std::move(vcd_file_name), 0, scanner, facade, nullptr, nullptr),
      m_listener(listener)
{
    PUTIL_ASSERT(m_listener != 0);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_variable_declaration(char* kind, int size, char* code,
                                                                              char* reference, char* index)
{
    const PUTIL_VCD_DECLARED_SIGNAL signal = putil_vcd_declared_signal(reference, index, size, m_extended_syntax);
    m_listener->begin_declaration(kind, size, code);
    putil_free_text(kind);
    putil_free_text(code);
    putil_free_text(reference);
    putil_free_text(index);
    if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::VECTOR) {
        putil_vcd_for_each_bit(signal, [this](const std::string& name, std::uint32_t) { add_signal(name); });
    } else if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::SCALAR && size <= 1) {
        // Strict reading takes a wide declaration without a range for a
        // scalar that cannot hold its values: no signal for it.
        add_signal(signal.name);
    }
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::add_signal(const std::string& name)
{
    if (name.empty())
        return;
    const PUTIL_VECTOR<std::string>& levels = get_scope_levels();
    m_listener->add_signal(levels.data(), levels.size(), get_block_prefix() + name);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_end_of_definitions()
{
    m_reads_changes = m_listener->reads_changes();
    return m_reads_changes;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::tell_change(const char* code)
{
    if (m_reads_changes)
        m_listener->add_change(code);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_timestamp(char* time_text)
{
    putil_free_text(time_text);
    return true;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_vcd_close(char* time_text) { putil_free_text(time_text); }

bool PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_port_value_change(char* code, char* value)
{
    tell_change(code);
    putil_free_text(code);
    putil_free_text(value);
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_vector_value_change(char* code, char* value)
{
    tell_change(code);
    putil_free_text(code);
    putil_free_text(value);
    return true;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_real_value_change(char* code, char* value)
{
    tell_change(code);
    putil_free_text(code);
    putil_free_text(value);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES::handle_scalar_value_change(char* code, char* value_text)
{
    tell_change(code);
    putil_free_text(value_text);
    return true;
}
