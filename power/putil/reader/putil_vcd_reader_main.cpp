// VCD reader: one pipeline takes every file of an operation through the
// scanner, the parser and the operation's handler.
#include "reader/putil_vcd_reader_main.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "host/big_time.h"
#include "host/cdb_atom.h"
#include "host/cfg.h"
#include "host/hdb.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "core/putil_msgs.h"
#include "vcd/putil_vcd_body_items.h"
#include "vcd/putil_vcd_input_file.h"
#include "vcd/putil_vcd_lexer.h"
#include "vcd/putil_vcd_parser.h"
#include "vcd/putil_vcd_parser_event_handler_signal_names.h"
#include "handlers/putil_record_annotator.h"
#include "handlers/putil_vcd_parser_event_handler_stats_collector.h"
#include "handlers/putil_vcd_parser_event_handler_tbl_creator.h"
#include "handlers/putil_vcd_parser_event_handler_transient_current_generator.h"
#include "handlers/putil_vwf_reader_stats_collector.h"

namespace {

// Objects of the library live in the host's memory; a refused allocation
// during a read is fatal.
template <class T>
std::unique_ptr<T> owned(T* object)
{
    if (object == nullptr)
        PUTIL_INTERNAL_ERROR("Out of memory");
    return std::unique_ptr<T>(object);
}

std::string start_text(const PUTIL_INPUT_FILE_DATA* entry)
{
    return entry->get_start_time() ? entry->get_start_time()->to_string(0) : "0 ns";
}

std::string end_text(const PUTIL_INPUT_FILE_DATA* entry)
{
    return entry->get_end_time() ? entry->get_end_time()->to_string(0) : "End of File";
}

// Signal activity from every waveform input of the store: one stats
// collector for all files, its results written after each.
class PUTIL_VCD_STATS_JOB : public PUTIL_VCD_READ_JOB {
public:
    PUTIL_VCD_STATS_JOB(CMP_FACADE* facade, PUTIL_SA_DATA* sa_data, bool use_timing_estimator)
        : m_facade(facade), m_sa_data(sa_data), m_use_timing_estimator(use_timing_estimator)
    {
    }

    PUTIL_VCD_PARSER_EVENT_HANDLER* make_handler(const PUTIL_VCD_READ_INPUT& input, std::uint64_t lines_in_file,
                                                putil_vcd_lexer_yyFlexLexer* scanner) override
    {
        m_collector = PUTIL_NEW PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(
            input.entry, input.file_name, lines_in_file, scanner, m_facade, m_sa_data, m_use_timing_estimator);
        return m_collector;
    }

    // What was collected up to a parse error is still written.
    bool finish_file(PUTIL_VCD_PARSER_EVENT_HANDLER*, bool) override { return m_collector->write_results(); }

    void announce_start(const PUTIL_VCD_READ_INPUT& input) override
    {
        putil_post_message(iputil_putil_vcd_reader_starting_vcd_stats_collection(
            input.file_name.c_str(), start_text(input.entry).c_str(), end_text(input.entry).c_str()));
    }

    void announce_finish(const PUTIL_VCD_READ_INPUT& input) override
    {
        putil_post_message(iputil_putil_vcd_reader_finished_vcd_stats_collection(
            input.file_name.c_str(), start_text(input.entry).c_str(), end_text(input.entry).c_str()));
    }

private:
    CMP_FACADE* m_facade;
    PUTIL_SA_DATA* m_sa_data;
    bool m_use_timing_estimator;
    PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR* m_collector = nullptr;
};

// The signal names of one file's declarations.
class PUTIL_VCD_SIGNAL_NAMES_JOB : public PUTIL_VCD_READ_JOB {
public:
    PUTIL_VCD_SIGNAL_NAMES_JOB(CMP_FACADE* facade, PUTIL_VCD_SIGNAL_LISTENER* listener)
        : m_facade(facade), m_listener(listener)
    {
    }

    PUTIL_VCD_PARSER_EVENT_HANDLER* make_handler(const PUTIL_VCD_READ_INPUT& input, std::uint64_t,
                                                putil_vcd_lexer_yyFlexLexer* scanner) override
    {
        return PUTIL_NEW PUTIL_VCD_PARSER_EVENT_HANDLER_SIGNAL_NAMES(input.file_name, scanner, m_facade, m_listener);
    }

    bool counts_lines() const override { return false; }

private:
    CMP_FACADE* m_facade;
    PUTIL_VCD_SIGNAL_LISTENER* m_listener;
};

// One waveform file converted into a TBL vector file.
class PUTIL_VCD_TBL_JOB : public PUTIL_VCD_READ_JOB {
public:
    PUTIL_VCD_TBL_JOB(CMP_FACADE* facade, std::string tbl_file_name, const BIG_TIME* start_time,
                      const BIG_TIME* end_time)
        : m_facade(facade), m_tbl_file_name(std::move(tbl_file_name)), m_start_time(start_time), m_end_time(end_time)
    {
    }

    PUTIL_VCD_PARSER_EVENT_HANDLER* make_handler(const PUTIL_VCD_READ_INPUT& input, std::uint64_t lines_in_file,
                                                putil_vcd_lexer_yyFlexLexer* scanner) override
    {
        m_creator = PUTIL_NEW PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR(input.file_name, lines_in_file, scanner,
                                                                         m_tbl_file_name, m_facade, m_start_time,
                                                                         m_end_time);
        return m_creator;
    }

    // The TBL file replaces its destination only when the whole file was
    // read; after a failed parse the destination keeps its content.
    bool finish_file(PUTIL_VCD_PARSER_EVENT_HANDLER*, bool parsed) override
    {
        m_creator->set_read_completed(parsed);
        return parsed;
    }

    void announce_start(const PUTIL_VCD_READ_INPUT& input) override
    {
        putil_post_message(
            iputil_putil_vcd_reader_starting_vcd_to_tbl_conversion(input.file_name.c_str(), m_tbl_file_name.c_str()));
    }

    // The handler has ended the file: the conversion finished when the TBL
    // file is in place.
    void announce_finish(const PUTIL_VCD_READ_INPUT& input) override
    {
        m_output_written = m_creator != nullptr && m_creator->output_written();
        if (m_output_written)
            putil_post_message(iputil_putil_vcd_reader_finished_vcd_to_tbl_conversion(input.file_name.c_str(),
                                                                                       m_tbl_file_name.c_str()));
    }

    bool output_written() const { return m_output_written; }

private:
    CMP_FACADE* m_facade;
    std::string m_tbl_file_name;
    const BIG_TIME* m_start_time;
    const BIG_TIME* m_end_time;
    PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR* m_creator = nullptr;   // owned by the pipeline
    bool m_output_written = false;
};

// The supply current of the store's waveform inputs: one generator for all
// files, a file that does not parse ending the run.
class PUTIL_VCD_TRANSIENT_CURRENT_JOB : public PUTIL_VCD_READ_JOB {
public:
    PUTIL_VCD_TRANSIENT_CURRENT_JOB(CMP_FACADE* facade, PUTIL_SA_DATA* sa_data, bool use_timing_estimator,
                                    const PUTIL_TOGGLE_ENERGY_MAP& energies, const double* voltage,
                                    const double* unused, std::vector<double>* times, std::vector<double>* currents,
                                    bool write_dump)
        : m_facade(facade), m_sa_data(sa_data), m_use_timing_estimator(use_timing_estimator), m_energies(energies),
          m_voltage(voltage), m_unused(unused), m_times(times), m_currents(currents), m_write_dump(write_dump)
    {
    }

    PUTIL_VCD_PARSER_EVENT_HANDLER* make_handler(const PUTIL_VCD_READ_INPUT& input, std::uint64_t lines_in_file,
                                                putil_vcd_lexer_yyFlexLexer* scanner) override
    {
        m_generator = PUTIL_NEW PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR(
            input.entry, input.file_name, lines_in_file, scanner, m_facade, m_sa_data, m_use_timing_estimator,
            m_energies, m_voltage, m_unused, m_times, m_currents, m_write_dump);
        return m_generator;
    }

    // A file that does not parse ends the run and keeps the dump file's
    // previous content.
    bool finish_file(PUTIL_VCD_PARSER_EVENT_HANDLER*, bool parsed) override
    {
        m_generator->note_file_read(parsed);
        return parsed;
    }

private:
    CMP_FACADE* m_facade;
    PUTIL_SA_DATA* m_sa_data;
    bool m_use_timing_estimator;
    const PUTIL_TOGGLE_ENERGY_MAP& m_energies;
    const double* m_voltage;
    const double* m_unused;
    std::vector<double>* m_times;
    std::vector<double>* m_currents;
    bool m_write_dump;
    PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR* m_generator = nullptr;   // owned by the pipeline
};

// The store's waveform input entries in the manager's order, and whether
// the manager asks for glitch filtering.
std::vector<PUTIL_VCD_READ_INPUT> waveform_inputs(PUTIL_SA_DATA* sa_data, bool* use_timing_estimator)
{
    PUTIL_ASSERT(sa_data != 0);
    PUTIL_INPUT_FILE_MANAGER* input_file_manager = sa_data->get_input_file_manager();
    PUTIL_ASSERT(input_file_manager != 0);
    *use_timing_estimator = input_file_manager->use_timing_estimator();
    std::vector<PUTIL_INPUT_FILE_DATA*> entries;
    input_file_manager->get_waveform_input_entries(0, entries);
    std::vector<PUTIL_VCD_READ_INPUT> inputs;
    for (PUTIL_INPUT_FILE_DATA* entry : entries)
        inputs.push_back(PUTIL_VCD_READ_INPUT{entry, entry->get_file_name()});
    return inputs;
}

}  // namespace

bool PUTIL_VCD_READ_JOB::finish_file(PUTIL_VCD_PARSER_EVENT_HANDLER*, bool parsed) { return parsed; }
void PUTIL_VCD_READ_JOB::announce_start(const PUTIL_VCD_READ_INPUT&) {}
void PUTIL_VCD_READ_JOB::announce_finish(const PUTIL_VCD_READ_INPUT&) {}

PUTIL_VCD_READER* putil_create_putil_vcd_reader(CMP_FACADE* facade) { return PUTIL_NEW PUTIL_VCD_READER_MAIN(facade); }

PUTIL_VCD_READER_MAIN::PUTIL_VCD_READER_MAIN(CMP_FACADE* facade)
    : m_facade(facade), m_cap_inst(nullptr), m_netlist(nullptr), m_status(PUTIL_VCD_READER_STATUS_OK)
{
    m_netlist = putil_atom_netlist_of_facade(m_facade, m_cap_inst);
}

bool PUTIL_VCD_READER_MAIN::reserved_file_conversion(std::string, std::string) { return true; }

int PUTIL_VCD_READER_MAIN::get_status() { return m_status; }

bool PUTIL_VCD_READER_MAIN::count_lines_in_file(const std::string& file_name, std::uint64_t* lines_in_file)
{
    PUTIL_ASSERT(lines_in_file != 0);
    *lines_in_file = 0;
    putil_debug("Counting lines in file %s", file_name.c_str());

    if (!FIO_FILE_SYSTEM::exists(file_name)) {
        if (putil_lib_get_continue_and_warn_on_failure())
            putil_post_message(wputil_putil_vcd_reader_file_not_found_warning(file_name.c_str()));
        else
            putil_post_message(eputil_putil_vcd_reader_file_not_found(file_name.c_str()));
        m_status = PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND;
        return false;
    }

    // A stream (a pipe, a FIFO, standard input) is read once, by the
    // scanner: its lines are not counted and it shows no progress. The lines
    // of a compressed file are not counted either: that would inflate it
    // twice. Its progress follows the compressed bytes read instead.
    if (!PUTIL_VCD_INPUT_FILE::is_regular_file(file_name) || PUTIL_VCD_INPUT_FILE::is_gzip_file(file_name))
        return true;

    // A file that exists but cannot be read gets no progress reporting.
    std::FILE* file = std::fopen(file_name.c_str(), "rb");
    if (file == nullptr)
        return true;

    const std::size_t block_size = 65536;
    char* buffer = static_cast<char*>(mem_malloc_wrapper(block_size, PUTIL_SEGMENT, PUTIL_SOURCE_NAME, __LINE__));
    if (buffer == nullptr) {
        std::fclose(file);
        PUTIL_INTERNAL_ERROR("Out of memory");
    }
    std::uint64_t count = 0;
    std::size_t read;
    while ((read = std::fread(buffer, 1, block_size, file)) > 0)
        count += putil_count_line_feeds(buffer, read);
    mem_free_wrapper(buffer, PUTIL_SEGMENT);
    std::fclose(file);
    *lines_in_file = count;
    return true;
}

bool PUTIL_VCD_READER_MAIN::run_pipeline(const std::vector<PUTIL_VCD_READ_INPUT>& inputs, PUTIL_VCD_READ_JOB& job)
{
    std::unique_ptr<PUTIL_VCD_PARSER_EVENT_HANDLER> handler;
    for (const PUTIL_VCD_READ_INPUT& input : inputs) {
        std::uint64_t lines_in_file = 0;
        if (job.counts_lines() && !count_lines_in_file(input.file_name, &lines_in_file))
            return false;

        PUTIL_VCD_INPUT_FILE file;
        if (!file.open(input.file_name) && !job.counts_lines())
            return false;
        job.announce_start(input);
        std::unique_ptr<putil_vcd_lexer_yyFlexLexer> scanner =
            owned(PUTIL_NEW putil_vcd_lexer_yyFlexLexer(&file.stream(), nullptr));
        if (!handler)
            handler = owned(job.make_handler(input, lines_in_file, scanner.get()));
        else
            handler->reset_for_file(input.entry, input.file_name, lines_in_file, scanner.get());
        if (file.is_compressed())
            handler->set_input_progress(&file);

        bool parsed = putil_vcd_parse(scanner.get(), handler.get());
        // A read stopped on purpose ended where it was asked to: what came
        // before is kept as read, and no later file is read.
        const bool stopped = handler->stopped_early();
        if (stopped) {
            parsed = true;
            m_status = PUTIL_VCD_READER_STATUS_STOPPED;
        }
        // The text of a damaged compressed file ends early; the grammar may
        // still have accepted what came before.
        if (parsed && !stopped && file.is_damaged()) {
            handler->report_parse_error("damaged compressed file", "(run_pipeline)");
            parsed = false;
        }
        if (!parsed)
            putil_post_message(eputil_putil_vcd_reader_failed_file_parsing(input.file_name.c_str()));
        const bool keep_going = job.finish_file(handler.get(), parsed);
        handler->handle_end_of_file();
        scanner.reset();
        job.announce_finish(input);
        if (!keep_going)
            return false;
        if (stopped)
            break;
    }
    return true;
}

bool PUTIL_VCD_READER_MAIN::read_vcd_files(PUTIL_SA_DATA* sa_data)
{
    bool use_timing_estimator = false;
    const std::vector<PUTIL_VCD_READ_INPUT> inputs = waveform_inputs(sa_data, &use_timing_estimator);
    m_status = PUTIL_VCD_READER_STATUS_OK;
    const bool read_vwf_file = cfg_is_on("putil_read_vwf_file", false);
    if (inputs.empty())
        return true;
    if (read_vwf_file)
        return read_vwf_entry(sa_data, inputs.front().entry, use_timing_estimator) ||
               putil_lib_get_continue_and_warn_on_failure();
    PUTIL_VCD_STATS_JOB job(m_facade, sa_data, use_timing_estimator);
    return run_pipeline(inputs, job) ? true : putil_lib_get_continue_and_warn_on_failure();
}

// A vector waveform table is read whole by the host's waveform database: the
// first entry only, with no scanner and no VCD messages.
bool PUTIL_VCD_READER_MAIN::read_vwf_entry(PUTIL_SA_DATA* sa_data, PUTIL_INPUT_FILE_DATA* entry,
                                           bool use_timing_estimator)
{
    PUTIL_VWF_READER_STATS_COLLECTOR* vwf_stats_collector =
        PUTIL_NEW PUTIL_VWF_READER_STATS_COLLECTOR(sa_data, use_timing_estimator);
    PUTIL_ASSERT(vwf_stats_collector != 0);
    std::unique_ptr<PUTIL_VWF_READER_STATS_COLLECTOR> collector(vwf_stats_collector);
    return collector->read_vwf_file(entry->get_file_name());
}

bool PUTIL_VCD_READER_MAIN::convert_vcd_to_tbl_file(std::string vcd_file_name, std::string tbl_file_name,
                                                    const BIG_TIME* start_time, const BIG_TIME* end_time)
{
    m_status = PUTIL_VCD_READER_STATUS_OK;
    // Equal times are a window of one instant.
    if (start_time != nullptr && end_time != nullptr &&
        end_time->get_storage_number() < start_time->get_storage_number()) {
        putil_post_message(eputil_putil_vcd_reader_invalid_start_end_timestamp());
        m_status = PUTIL_VCD_READER_STATUS_START_AFTER_END;
        return false;
    }
    PUTIL_VCD_TBL_JOB job(m_facade, std::move(tbl_file_name), start_time, end_time);
    return run_pipeline({PUTIL_VCD_READ_INPUT{nullptr, std::move(vcd_file_name)}}, job) && job.output_written();
}

bool PUTIL_VCD_READER_MAIN::generate_transient_current(PUTIL_SA_DATA* sa_data, const PUTIL_TOGGLE_ENERGY_MAP& energies,
                                                       const double* voltage, const double* unused,
                                                       std::vector<double>* times, std::vector<double>* currents,
                                                       bool write_dump)
{
    bool use_timing_estimator = false;
    const std::vector<PUTIL_VCD_READ_INPUT> inputs = waveform_inputs(sa_data, &use_timing_estimator);
    m_status = PUTIL_VCD_READER_STATUS_OK;
    if (inputs.empty())
        return true;
    PUTIL_VCD_TRANSIENT_CURRENT_JOB job(m_facade, sa_data, use_timing_estimator, energies, voltage, unused, times,
                                        currents, write_dump);
    return run_pipeline(inputs, job) ? true : putil_lib_get_continue_and_warn_on_failure();
}

bool PUTIL_VCD_READER_MAIN::read_vcd_declarations(std::string vcd_file_name, PUTIL_VCD_SIGNAL_LISTENER* listener)
{
    PUTIL_ASSERT(listener != 0);
    m_status = PUTIL_VCD_READER_STATUS_OK;
    PUTIL_VCD_SIGNAL_NAMES_JOB job(m_facade, listener);
    return run_pipeline({PUTIL_VCD_READ_INPUT{nullptr, std::move(vcd_file_name)}}, job);
}

void PUTIL_VCD_READER_MAIN::annotate_record_sums(PUTIL_SA_DATA* sa_data, PUTIL_INPUT_FILE_DATA* entry,
                                                 const std::vector<PUTIL_RECORD_SUMS>& records)
{
    PUTIL_ASSERT(sa_data != 0);
    putil_annotate_record_sums(sa_data, entry, records.data(), records.size());
}
