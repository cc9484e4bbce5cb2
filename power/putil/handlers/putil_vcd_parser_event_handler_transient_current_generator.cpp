// Transient current generator: toggle energies deposited into a ring of time
// bins one file time unit wide; each change of a bin's energy, over the bin's
// time and the voltage, becomes a step of the die's supply current.
#include "handlers/putil_vcd_parser_event_handler_transient_current_generator.h"

#include <algorithm>
#include <iomanip>

#include "host/putil_sa_data.h"

namespace {

// The energy types that make supply current.
bool is_counted_energy_type(std::int32_t type) { return type == 0 || type == 10; }

}  // namespace

PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR(
    PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name, std::uint64_t lines_in_file,
    putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade, PUTIL_SA_DATA* sa_data, bool filter_glitches,
    const PUTIL_TOGGLE_ENERGY_MAP& energies, const double* voltage, const double*, std::vector<double>* times,
    std::vector<double>* currents, bool write_dump)
    : PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(entry, std::move(vcd_file_name), lines_in_file, scanner, facade,
                                                     sa_data, filter_glitches, PUTIL_VCD_STEP_EFFECT::TOGGLE_EVENT),
      m_voltage(0.0),
      m_times(times),
      m_currents(currents),
      m_write_dump(write_dump),
      m_num_bins(500),
      m_bin_start_time(0.0),
      m_bin_head(0),
      m_last_written_value(0.0),
      m_pending_energy(0.0),
      m_pending(false),
      m_stamp(1),
      m_total_energy(0.0)
{
    PUTIL_ASSERT(voltage != 0);
    PUTIL_ASSERT(m_times != 0);
    PUTIL_ASSERT(m_currents != 0);
    m_voltage = *voltage;
    // Summed once here, in the caller's order, rather than per toggle, and
    // kept by signal id: ids are dense, and a toggle looks its energy up.
    const unsigned signal_count = m_sa_data->get_output_signal_id_array_size();
    m_toggle_energies.assign(signal_count, 0.0);
    for (const auto& signal : energies) {
        double energy = 0.0;
        for (const std::pair<std::int32_t, double>& entry_energy : signal.second) {
            if (is_counted_energy_type(entry_energy.first))
                energy += entry_energy.second;
        }
        if (signal.first < signal_count)
            m_toggle_energies[signal.first] = energy;
    }
    m_counted_stamp.assign(signal_count, 0);
    if (m_write_dump) {
        m_dump_file = std::make_unique<PUTIL_REPLACED_FILE>(putil_side_file("transient_current_waveform.dump"));
        m_dump_file->stream() << "idietran die d_gnd PWL(0 0";
    }
    m_times->push_back(0.0);
    m_currents->push_back(0.0);
}

// Energy still in the bins is not written: the waveform ends with its last
// step.
PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::
    ~PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR()
{
    // Toggle events may still be coming on the apply thread. A failure of
    // its job has stopped the run already; it is not reported twice.
    try {
        finish_applying();
    } catch (...) {
    }
    if (!m_write_dump)
        return;
    m_dump_file->stream() << ")\n" << "\n\n\nTotal chip energy is: " << m_total_energy << "\n";
    if (m_all_files_read)
        putil_commit_or_report(*m_dump_file);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::handle_variable_declaration(char* kind, int size,
                                                                                           char* code,
                                                                                           char* reference,
                                                                                           char* index)
{
    PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_variable_declaration(kind, size, code, reference, index);
    m_record_signal_ids.resize(get_oterm_infos().size(), s_no_signal_id);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::handle_end_of_file()
{
    drain_held_changes();
    // No results are written: the entry still learns what the read found.
    report_read_extent();
    // The next file has records of its own.
    m_record_signal_ids.clear();
    PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_end_of_file();
}

// Toggles at one time are collected and added to the bins when time moves
// on; each signal counts once per time. The bins before a later toggle are
// written as they fall behind it.
void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::handle_toggle_event(const OTERM_INFO* oterm_info,
                                                                                    double time)
{
    PUTIL_ASSERT(oterm_info != 0);
    const std::uint32_t oterm_id = signal_id_of(oterm_info);
    PUTIL_ASSERT(oterm_id < m_counted_stamp.size());
    const double energy = energy_of(oterm_id);
    const double energy_per_bin = energy / m_num_bins;

    if (m_bins.empty()) {
        restart_at(time, energy_per_bin);
    } else if (time == m_bin_start_time) {
        if (counted_at_bin_start(oterm_id))
            return;
        m_pending_energy += energy_per_bin;
        m_pending = true;
    } else if (time > m_bin_start_time) {
        move_bins_to(time);
        add_to_every_bin(energy_per_bin);
    } else {
        // Only a fractional time can fall behind the bins, which move in
        // whole time units: it is dropped.
        return;
    }
    count_toggle(oterm_id, energy);
}

// The toggles held for the bin start time go into the bins; the bins before
// time are written, and the ring starts at time once every bin was.
void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::move_bins_to(double time)
{
    if (m_pending) {
        add_to_every_bin(m_pending_energy);
        m_pending_energy = 0.0;
        m_pending = false;
    }
    forget_counted_signals();
    if (time < m_bin_start_time + m_num_bins) {
        advance_to(time);
        return;
    }
    for (std::uint32_t k = 0; k < m_num_bins; ++k) {
        double& bin = m_bins[(m_bin_head + k) % m_num_bins];
        emit_bin(bin, m_bin_start_time + k);
        bin = 0.0;
    }
    // After a quiet stretch the current returns to zero at the end of the
    // last bin instead of ramping to the next step.
    if (m_bin_start_time + m_num_bins + 1 < time && m_last_written_value != 0)
        emit_return_to_zero(m_bin_start_time + m_num_bins);
    restart_at(time, 0.0);
}

double PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::energy_of(std::uint32_t oterm_id) const
{
    return m_toggle_energies[oterm_id];
}

// The store's id of a record's term, asked once per record of a file: the
// store's look-up is a search, and a signal toggles many times.
std::uint32_t PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::signal_id_of(const OTERM_INFO* oterm_info)
{
    const std::size_t record = static_cast<std::size_t>(oterm_info - get_oterm_infos().data());
    PUTIL_ASSERT(record < m_record_signal_ids.size());
    std::uint32_t& id = m_record_signal_ids[record];
    if (id == s_no_signal_id) {
        unsigned oterm_id = 0;
        PUTIL_ASSERT(m_sa_data-> get_unique_id_for_output_signal(source_of(*oterm_info).oterm, &oterm_id));
        id = oterm_id;
    }
    return id;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::counted_at_bin_start(std::uint32_t oterm_id) const
{
    return m_counted_stamp[oterm_id] == m_stamp;
}

// A new stamp empties the set; the stamps start again before they wrap.
void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::forget_counted_signals()
{
    if (++m_stamp != 0)
        return;
    std::fill(m_counted_stamp.begin(), m_counted_stamp.end(), 0u);
    m_stamp = 1;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::count_toggle(std::uint32_t oterm_id, double energy)
{
    m_counted_stamp[oterm_id] = m_stamp;
    m_total_energy += energy;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::add_to_every_bin(double energy)
{
    for (double& bin : m_bins)
        bin += energy;
}

// Writes the bins that time leaves behind, one time unit each, and reuses
// them at the far end of the ring. time is less than a ring ahead, so the
// loop ends within a ring's bins even where adding one time unit no longer
// moves the start (2^53 units and beyond).
void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::advance_to(double time)
{
    for (std::uint64_t step = 0; step <= m_num_bins && m_bin_start_time < time; ++step) {
        emit_bin(m_bins[m_bin_head], m_bin_start_time);
        m_bins[m_bin_head] = 0.0;
        m_bin_start_time += 1.0;
        m_bin_head = (m_bin_head + 1) % m_num_bins;
    }
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::restart_at(double time, double energy_per_bin)
{
    m_bins.assign(m_num_bins, energy_per_bin);
    m_bin_start_time = time;
    m_bin_head = 0;
}

// A bin whose energy differs from the last one written becomes a step.
void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::emit_bin(double energy, double time)
{
    if (energy == m_last_written_value)
        return;
    write_step(time, energy / (m_time_unit_factor * m_voltage * 1e-9), false);
    m_last_written_value = energy;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::emit_return_to_zero(double time)
{
    write_step(time, 0.0, true);
    m_last_written_value = 0.0;
}

// The step from the current of the last bin written, at time, to to_current
// a tenth of a time unit later; the dump writes the 0 of a return to zero as
// an integer.
void PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR::write_step(double time, double to_current,
                                                                           bool to_zero)
{
    const double factor = m_time_unit_factor;
    const double from_time = factor * time * 1e-9;
    const double from_current = m_last_written_value / (factor * m_voltage * 1e-9);
    const double to_time = (time + 0.1) * factor * 1e-9;
    m_times->push_back(from_time);
    m_times->push_back(to_time);
    m_currents->push_back(from_current);
    m_currents->push_back(to_current);
    if (!m_write_dump)
        return;
    m_dump_file->stream() << ' ' << std::setprecision(20) << from_time << ' ' << from_current << ' ' << std::setprecision(20)
           << to_time << ' ';
    if (to_zero)
        m_dump_file->stream() << 0;
    else
        m_dump_file->stream() << to_current;
    m_dump_file->stream() << " \n+";
}
