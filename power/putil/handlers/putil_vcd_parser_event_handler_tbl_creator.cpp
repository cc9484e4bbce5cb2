// TBL creator: a waveform file as a TBL vector file. Each row holds the values
// of the interval that a timestamp closes, so a row is written when the next
// timestamp arrives, and the last one at the end of the file.
#include "handlers/putil_vcd_parser_event_handler_tbl_creator.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>

#include "host/big_time.h"
#include "host/cdb_atom.h"
#include "host/cfg.h"
#include "host/gen.h"
#include "host/putil_lib.h"
#include "core/putil_msgs.h"
#include "handlers/putil_vcd_parser_event_handler_stats_collector.h"
#include "vcd/putil_vcd_declared_signal.h"
#include "vcd/putil_vcd_values.h"

namespace {

// A pin output that carries a signal from outside the device into it.
bool is_input_pin(const CDB_ATOM_OTERM* oterm, const CDB_ATOM_NODE* atom)
{
    const int usage = oterm->get_any_usage_as();
    return (usage == CDB_PORT_TYPE_PAD_OUTPUT || usage == CDB_PORT_TYPE_PIN_COMBOUT) && atom->is_pin_atom() &&
           atom->is_input_pin_atom();
}

// A TBL file lists signals by the names the declarations write: the
// reference unchanged (a leading backslash kept), the range from the index
// only, and only a wide declaration without an index read as a vector.
const PUTIL_VCD_DECLARATION_RULES s_tbl_declaration_rules{false, false, false};

}  // namespace

PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR(
    std::string vcd_file_name, std::uint64_t lines_in_file, putil_vcd_lexer_yyFlexLexer* scanner,
    const std::string& tbl_file_name, CMP_FACADE* facade, const BIG_TIME* start_time, const BIG_TIME* end_time)
    : PUTIL_VCD_PARSER_EVENT_HANDLER(std::move(vcd_file_name), lines_in_file, scanner, facade, nullptr, nullptr),
      m_tbl_file(tbl_file_name),
      m_tbl_ostream(&m_tbl_file.stream()),
      m_print_only_inputs(cfg_is_on("print_only_inputs_to_tbl_file", false)),
      m_exact_times(cfg_is_on("putil_tbl_exact_times", false)),
      m_window_start(start_time != nullptr ? start_time->get_storage_number() : 0),
      m_window_end(end_time != nullptr ? end_time->get_storage_number() : 0),
      m_no_window(start_time == nullptr || end_time == nullptr),
      m_header_pending(true),
      m_last_time(0.0)
{
}

PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::~PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR() = default;

void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_variable_declaration(char* kind, int size, char* code,
                                                                            char* reference, char* index)
{
    const std::string id_code(code);
    const PUTIL_VCD_DECLARED_SIGNAL signal =
        putil_vcd_declared_signal(reference, index, size, m_extended_syntax, s_tbl_declaration_rules);
    putil_free_text(kind);
    putil_free_text(code);
    putil_free_text(reference);
    putil_free_text(index);

    if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::NONE)
        return;
    if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::SCALAR) {
        declare(id_code, signal.name, -1);
        return;
    }
    bool kept = false;
    putil_vcd_for_each_bit(signal, [&](const std::string& bit_name, std::uint32_t position) {
        kept |= declare(id_code, bit_name, static_cast<int>(position));
    });
    if (kept)
        register_vector_code(id_code, signal.width());
}

// A signal for name when it names an output term (only an input pin when
// the file lists input pins only), at this bit position of code or, for
// bit < 0, as code's scalar. A later declaration of the code (and bit)
// takes its values from then on.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::declare(const std::string& code, const std::string& name, int bit)
{
    CDB_ATOM_OTERM* oterm = find_oterm_for_signal(name, 0);
    if (oterm == nullptr)
        return false;
    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    PUTIL_ASSERT(atom != 0);
    const bool input_pin = is_input_pin(oterm, atom);
    if (m_print_only_inputs && !input_pin)
        return false;
    const std::uint32_t index = static_cast<std::uint32_t>(m_signals.size());
    if (bit < 0)
        register_scalar_code(code, index);
    else
        register_bit_code(code, bit, index);
    // A pad that also drives the device's output is listed on both sides.
    m_signals.push_back(
        SIGNAL{oterm, 'X', input_pin, !input_pin || atom->has_padio_output_data(), s_no_column, s_no_column});
    m_row_laid_out = false;
    m_code_table_built = false;
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_scalar_value_change(char* code, char* value_text)
{
    std::uint32_t index;
    if (find_scalar_code(code, &index))
        set_value(index, putil_vcd_scalar_value(value_text[0]));
    putil_free_text(value_text);
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_vector_value_change(char* code, char* value)
{
    const std::string id_code(code);
    CODE_TARGETS targets{PUTIL_NO_BIT_CODE, 0, find_bit_codes(id_code)};
    if (targets.bits == nullptr || !find_vector_code(id_code, &targets.width))
        targets = CODE_TARGETS{PUTIL_NO_BIT_CODE, 0, nullptr};
    find_scalar_code(id_code, &targets.scalar);
    const bool applied = apply_vector_value(targets, value, std::strlen(value) - 1);   // after the 'b'
    putil_free_text(code);
    putil_free_text(value);
    return applied;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::apply_vector_value(const CODE_TARGETS& targets, const char* value,
                                                                   std::size_t total_bits)
{
    std::uint32_t index;
    if (targets.bits != nullptr) {
        // Position p counts from the rightmost digit; the declaration
        // mapped each bit to its position.
        for (std::uint32_t p = 0; p < targets.width; ++p) {
            if (targets.bits->find(p, &index))
                set_value(index, p < total_bits ? putil_vcd_scalar_value(value[total_bits - p])
                                                : putil_vcd_left_extension(value[1]));
        }
    } else if (targets.scalar != PUTIL_NO_BIT_CODE) {
        // A one-bit signal takes one digit: more is a malformed value.
        if (total_bits != 1) {
            report_parse_error("several digits for a one-bit signal", "(apply_vector_value)");
            return false;
        }
        set_value(targets.scalar, putil_vcd_scalar_value(value[1]));
    }
    return true;
}

// Every code of the declarations with what its changes reach; a declaration
// after this makes the char* slots read the maps again.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_end_of_definitions()
{
    PUTIL_VECTOR<PUTIL_VCD_CODE_VALUE> codes;
    m_code_targets.clear();
    const auto add = [&](const std::string& code) {
        CODE_TARGETS targets{PUTIL_NO_BIT_CODE, 0, find_bit_codes(code)};
        if (targets.bits == nullptr || !find_vector_code(code, &targets.width))
            targets = CODE_TARGETS{PUTIL_NO_BIT_CODE, 0, nullptr};
        find_scalar_code(code, &targets.scalar);
        codes.push_back(PUTIL_VCD_CODE_VALUE{code, static_cast<std::uint32_t>(m_code_targets.size())});
        m_code_targets.push_back(targets);
    };
    for_each_declared_code(add);
    m_code_table.build(codes);
    m_code_table_built = true;
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_scalar_value_change_text(std::string_view value_text)
{
    if (!m_code_table_built)
        return PUTIL_VCD_PARSER_EVENT_HANDLER::handle_scalar_value_change_text(value_text);
    const std::uint32_t entry = m_code_table.find(value_text.substr(1));
    if (entry != PUTIL_VCD_CODE_TABLE::s_absent && m_code_targets[entry].scalar != PUTIL_NO_BIT_CODE)
        set_value(m_code_targets[entry].scalar, putil_vcd_scalar_value(value_text[0]));
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_vector_value_change_text(std::string_view code,
                                                                                std::string_view value)
{
    if (!m_code_table_built)
        return PUTIL_VCD_PARSER_EVENT_HANDLER::handle_vector_value_change_text(code, value);
    const std::uint32_t entry = m_code_table.find(code);
    return entry == PUTIL_VCD_CODE_TABLE::s_absent ||
           apply_vector_value(m_code_targets[entry], value.data(), value.size() - 1);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_port_value_change(char* code, char* value)
{
    const std::string id_code(code);
    const std::size_t total = std::strlen(value) - 1;   // after the leading 'p'
    std::uint32_t index;
    if (total == 1 && find_scalar_code(id_code, &index)) {
        set_value(index, putil_vcd_port_value(value[1]));
    } else if (const PUTIL_VCD_BIT_CODES* bits = find_bit_codes(id_code)) {
        // The first position without a signal ends the value.
        for (std::uint32_t p = 0; p < total && bits->find(p, &index); ++p)
            set_value(index, putil_vcd_port_value(value[total - p]));
    }
    putil_free_text(code);
    putil_free_text(value);
    return true;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_real_value_change(char* code, char* value)
{
    putil_free_text(code);
    putil_free_text(value);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_vcd_close(char* time_text) { putil_free_text(time_text); }

// The first timestamp ends the declarations: the header goes out. Each later
// one that moves time on closes the interval since the last, whose values
// are the row; a timestamp that repeats or goes back writes nothing.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_timestamp(char* time_text)
{
    char hash;
    double time = 0.0;
    const int tokens_found = std::sscanf(time_text, "%c%lf", &hash, &time);
    putil_free_text(time_text);
    PUTIL_ASSERT(tokens_found == 2);

    if (m_header_pending) {
        write_header();
    } else if (m_last_time < time) {
        const double factor = m_time_unit_factor;
        const double start = m_window_start / 1000.0;
        const double end = m_window_end / 1000.0;
        double row_time = m_last_time;
        // An interval that the window cuts is written at the cut.
        if (m_no_window) {
            write_row(row_time);
        } else if (factor * time > start && factor * m_last_time <= end) {
            if (start > factor * m_last_time)
                row_time = start / factor;
            if (factor * time > end)
                row_time = end / factor;
            write_row(row_time);
        }
    }
    if (time < m_last_time && !m_time_went_back) {
        // The rows after this one go back in time: a reader of the TBL
        // refuses them, as the activity job refuses this file.
        m_time_went_back = true;
        char times[96];
        std::snprintf(times, sizeof times, "#%.17g after #%.17g", time, m_last_time);
        putil_lib_report_warning(stl_escape_control_bytes(get_vcd_file_name()) + ":" +
                                 std::to_string(get_line_number()) + ": time goes back (" + times +
                                 "): the TBL rows after it go back too");
    }
    m_last_time = time;
    return update_progress();
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::handle_end_of_file()
{
    if (m_header_pending)
        write_header();
    else if (m_no_window || in_window(m_last_time))
        write_row(m_last_time);
    *m_tbl_ostream << ";\n";
    if (!m_read_completed) {
        m_tbl_file.discard();
        return;
    }
    m_output_written = m_tbl_file.commit();
    if (!m_output_written)
        putil_lib_report_output_failure(m_tbl_file.error());
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::in_window(double time) const
{
    const double at = m_time_unit_factor * time;
    return m_window_start / 1000.0 <= at && at <= m_window_end / 1000.0;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::write_header()
{
    m_header_pending = false;
    const char* legal_text = gen_get_legal_text(nullptr);
    *m_tbl_ostream << "%\n" << (legal_text != nullptr ? legal_text : "") << "%\n\n";
    *m_tbl_ostream << "INPUTS";
    for (const SIGNAL& signal : m_signals) {
        if (signal.is_input)
            *m_tbl_ostream << ' ' << signal.oterm->get_string_hpath();
    }
    *m_tbl_ostream << ";\nOUTPUTS";
    for (const SIGNAL& signal : m_signals) {
        if (signal.is_output)
            *m_tbl_ostream << ' ' << signal.oterm->get_string_hpath();
    }
    // Times below a nanosecond are written in nanoseconds, unless exact
    // times keep the file's own unit.
    *m_tbl_ostream << ";\nUNIT " << (m_time_unit_factor >= 1.0f || m_exact_times ? m_time_unit : std::string("ns"))
                   << ";\n";
    *m_tbl_ostream << "RADIX HEXADECIMAL;\nPATTERN\n";
}

// row_time in file units: written in the timescale's unit, or in
// nanoseconds when that unit is finer.
void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::write_row(double row_time)
{
    char time_text[64];
    if (m_exact_times)
        exact_time_text(m_timescale_number * row_time, time_text, sizeof time_text);
    else if (m_time_unit_factor >= 1.0f)
        std::snprintf(time_text, sizeof time_text, "%g", m_timescale_number * row_time);
    else
        std::snprintf(time_text, sizeof time_text, "%.7g", m_time_unit_factor * row_time);
    if (!m_row_laid_out)
        lay_out_row();
    const std::size_t time_length = std::strlen(time_text);
    if (time_length < 11)
        m_tbl_ostream->write("           ", static_cast<std::streamsize>(11 - time_length));
    m_tbl_ostream->write(time_text, static_cast<std::streamsize>(time_length));
    m_tbl_ostream->put('>');
    m_tbl_ostream->write(m_row_values.data(), static_cast<std::streamsize>(m_row_values.size()));
}

// A time in the file's unit with every digit it has: whole ticks as an
// integer, anything else as the shortest text that reads back as the same
// double.
void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::exact_time_text(double time, char* text, std::size_t size)
{
    if (time == std::floor(time) && std::fabs(time) < 9.2e18) {
        std::snprintf(text, size, "%lld", static_cast<long long>(time));
        return;
    }
    const std::to_chars_result written = std::to_chars(text, text + size - 1, time);
    *written.ptr = '\0';
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR::lay_out_row()
{
    m_row_values.clear();
    const auto lay_out = [this](bool SIGNAL::*listed, std::uint32_t SIGNAL::*column) {
        for (SIGNAL& signal : m_signals) {
            signal.*column = s_no_column;
            if (signal.*listed) {
                m_row_values.push_back(' ');
                signal.*column = static_cast<std::uint32_t>(m_row_values.size());
                m_row_values.push_back(signal.value);
            }
        }
    };
    lay_out(&SIGNAL::is_input, &SIGNAL::input_column);
    m_row_values.push_back(' ');
    m_row_values.push_back('=');
    lay_out(&SIGNAL::is_output, &SIGNAL::output_column);
    m_row_values.push_back('\n');
    m_row_laid_out = true;
}
