// The Python module putil: the jobs of `putil activity`, `clocks`, `tbl`,
// `transient`, and the transceiver jobs of `putil hssi --format` and `putil
// supplies`, called from Python. One call loads the design (and device),
// runs the job and hands back what the program prints as records (lists of
// tuples and dicts, NumPy arrays for a waveform); a failure raises
// putil.Error with the message id and text, a bad argument TypeError or
// ValueError. Reads run without the interpreter lock; Ctrl-C stops them.
#include <pybind11/eval.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <charconv>
#include <cstdio>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "putil_activity_job.h"
#include "putil_activity_json.h"
#include "putil_activity_rows.h"
#include "putil_clocks_job.h"
#include "putil_command.h"
#include "putil_host.h"
#include "putil_hssi_job.h"
#include "putil_report_text.h"
#include "putil_transient_job.h"
#include "reader/putil_vcd_reader.h"
#include "putil_partial.h"
#include "putil_distributed_source.h"
#include "putil_python_interrupt.h"
#include "putil_python_paths.h"

namespace py = pybind11;
using putil_python::decoded_text;

namespace {

// A failed call, raised in Python as putil.Error: the numbered message that
// says why (id 0 when no numbered message does) and its text.
struct PUTIL_PYTHON_ERROR {
    unsigned id;
    std::string text;
};

const char* const ERROR_CLASS_SOURCE = R"(
class Error(Exception):
    """A failed putil call: id is the numbered message id (e.g. 222005, a VCD
    file was not found), or 0 when no numbered message says why (a design that
    does not load, a bad time text); text is the message."""

    def __init__(self, id, text):
        super().__init__(id, text)
        self.id = id
        self.text = text

    def __str__(self):
        return f"{self.text} [{self.id}]" if self.id else self.text
)";

// putil.Error, made when the module is imported; kept for the life of the
// process, as the module keeps it.
py::handle s_error_class;

// What a call gives back (putil.Activity).
struct ACTIVITY_RESULT {
    py::list rows;       // (name, static_probability, toggle_rate)
    py::list inputs;     // {"file", "matched_signals", "toggle_percentage", "unknown_percentage"}
    py::list messages;   // {"severity", "id", "text"}
};

struct ACTIVITY_REQUEST {
    std::vector<std::string> vcd_files;
    std::string design_file;   // empty: derived from the first VCD
    std::string start;         // empty: no bound
    std::string end;
    bool strict;
    std::string constraints_file;              // empty: none
    std::string scope;                         // empty: the root
    std::optional<std::string> glitch_width;   // none: no filter; empty: the design's delays
    std::string merge = "replace";
    std::vector<std::string> settings;         // NAME=VALUE
    bool keep_partial_sums = false;            // the store keeps what a partial result needs
    std::vector<std::string> warnings;         // filled by the read: constraint commands skipped
};

// What putil.clocks gives back (putil.Clocks), as `--format json` has it.
struct CLOCKS_RESULT {
    py::str rule;
    py::list signals;
    py::list tables;
    py::list messages;
};

// What putil.tbl gives back (putil.Tbl): the TBL file's lists and rows.
struct TBL_RESULT {
    py::list inputs;    // names
    py::list outputs;
    py::str unit;
    py::list rows;      // (time, input values, output values)
    py::list messages;
};

// What putil.transient gives back (putil.Transient).
struct TRANSIENT_RESULT {
    py::array_t<double> times;
    py::array_t<double> currents;
    py::list messages;
};

// A partial result (putil.Partial): the document that `putil activity
// --format partial` writes, as its JSON text.
struct PARTIAL_RESULT {
    std::string text;
};

// Every call starts from the host as a new process has it, and leaves it so.
// The library keeps nothing between calls (each read holds its own state),
// but the reference host keeps its settings, posted messages and current
// design for the whole process: the settings and messages of one call must
// not reach the next. Messages are not printed: the result carries them, and
// an error the one that failed the call.
class HOST_STATE_SCOPE {
public:
    HOST_STATE_SCOPE()
    {
        host_reset_process_state();
        host_set_message_stream(nullptr);
    }
    ~HOST_STATE_SCOPE() { host_reset_process_state(); }
    HOST_STATE_SCOPE(const HOST_STATE_SCOPE&) = delete;
    HOST_STATE_SCOPE& operator=(const HOST_STATE_SCOPE&) = delete;
};

// The host's state is the process's: calls from several Python threads
// run one after the other. Held by the calling thread for the whole call.
std::timed_mutex s_call_mutex;

std::optional<BIG_TIME> window_bound(const char* name, const std::string& text)
{
    try {
        return putil_parse_time_option(name, text);
    } catch (const PUTIL_USAGE_ERROR& usage) {
        throw PUTIL_PYTHON_ERROR{0, usage.reason};
    }
}

// The number that the CSV report shows for a value (nine significant
// digits, as "%.9g" writes them), or None for an empty field. Written and
// read without the locale, which Python code may have changed.
py::object csv_number(const std::optional<float>& value)
{
    if (!value)
        return py::none();
    char text[32];
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, static_cast<double>(*value), std::chars_format::general, 9);
    double number = 0.0;
    std::from_chars(text, written.ptr, number);
    return py::float_(number);
}

// Single-precision values as the JSON report gives them.
py::object json_number(const std::optional<float>& value)
{
    return value ? py::object(py::float_(static_cast<double>(*value))) : py::object(py::none());
}

// A JSON value of the reports as Python objects; texts decoded as the
// library's other texts are.
py::object python_value(const nlohmann::json& value)
{
    switch (value.type()) {
    case nlohmann::json::value_t::object: {
        py::dict dict;
        for (const auto& [key, item] : value.items())
            dict[py::str(key)] = python_value(item);
        return std::move(dict);
    }
    case nlohmann::json::value_t::array: {
        py::list list;
        for (const nlohmann::json& item : value)
            list.append(python_value(item));
        return std::move(list);
    }
    case nlohmann::json::value_t::string: return decoded_text(value.get<std::string>());
    case nlohmann::json::value_t::boolean: return py::bool_(value.get<bool>());
    case nlohmann::json::value_t::number_integer: return py::int_(value.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned: return py::int_(value.get<std::uint64_t>());
    case nlohmann::json::value_t::number_float: return py::float_(value.get<double>());
    default: return py::none();
    }
}

// The posted messages as `--format json` gives them, then the warnings
// that no numbered message carries (id 0).
py::list messages_result(const std::vector<std::string>& warnings = {})
{
    py::list messages = python_value(putil_posted_messages_json());
    for (const std::string& warning : warnings)
        messages.append(py::dict(py::arg("severity") = "warning", py::arg("id") = 0,
                                 py::arg("text") = decoded_text(warning)));
    return messages;
}

// The Python result, made with the interpreter lock once the read ended.
// With constraints a row also says where each value came from, as the CSV
// report's source columns do.
ACTIVITY_RESULT collect_result(const HOST_DESIGN& design, bool with_constraints,
                               const std::vector<std::string>& warnings)
{
    ACTIVITY_RESULT result;
    putil_for_each_activity_row(design, with_constraints, [&](const PUTIL_ACTIVITY_ROW& row) {
        py::tuple values = py::make_tuple(decoded_text(row.name), csv_number(row.static_probability),
                                          csv_number(row.toggle_rate));
        if (with_constraints)
            values = values + py::make_tuple(row.static_probability_source, row.toggle_rate_source);
        result.rows.append(values);
    });
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        const PUTIL_INPUT_SUMMARY summary = putil_input_summary(design, entry);
        result.inputs.append(py::dict(py::arg("file") = decoded_text(entry->get_file_name()),
                                      py::arg("matched_signals") = summary.matched_signals,
                                      py::arg("toggle_percentage") = json_number(summary.toggle_percentage),
                                      py::arg("unknown_percentage") = json_number(summary.unknown_percentage)));
    }
    result.messages = messages_result(warnings);
    return result;
}

// The failure of a job that did not succeed: the first message that failed
// it, else otherwise.
PUTIL_PYTHON_ERROR job_failure(const std::string& otherwise)
{
    const HOST_POSTED_MESSAGE* failure = putil_first_input_failure();
    return failure != nullptr ? PUTIL_PYTHON_ERROR{failure->id, failure->text} : PUTIL_PYTHON_ERROR{0, otherwise};
}

// The design of a waveform job: the design file, or the one derived from
// the first waveform. Touches no Python object.
std::unique_ptr<HOST_DESIGN> load_waveform_design(const std::string& design_file, const std::string& first_file)
{
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = putil_load_waveform_design(design_file, first_file, error);
    if (!design)
        throw PUTIL_PYTHON_ERROR{0, error};
    host_set_current_design(design.get());
    return design;
}

// The activity job as `putil activity` runs it, up to the read's end: the
// loaded design holds what was measured. Touches no Python object (it runs
// on a worker).
std::unique_ptr<HOST_DESIGN> read_activity(ACTIVITY_REQUEST& request, bool* stopped = nullptr)
{
    if (request.vcd_files.empty())
        throw PUTIL_PYTHON_ERROR{0, "no input: give VCD files"};
    putil_apply_activity_settings(request.strict);
    putil_apply_setting_assignments(request.settings);
    const std::optional<BIG_TIME> start = window_bound("start", request.start);
    const std::optional<BIG_TIME> end = window_bound("end", request.end);
    if (start && end && start->get_storage_number() > end->get_storage_number())
        throw PUTIL_PYTHON_ERROR{0, "start " + request.start + " is later than end " + request.end};
    if (const std::optional<std::string> directory = putil_find_directory(request.vcd_files))
        throw PUTIL_PYTHON_ERROR{0, *directory + " is a directory, not a VCD file"};

    std::unique_ptr<HOST_DESIGN> design = load_waveform_design(request.design_file, request.vcd_files.front());
    putil_add_waveform_inputs(*design, request.vcd_files, putil_find_scope(*design, request.scope), start, end);
    putil_set_merge_mode(*design, request.merge);
    if (request.glitch_width)
        putil_set_glitch_filter(*design, *request.glitch_width);
    std::string error;
    if (!request.constraints_file.empty() &&
        !putil_apply_clock_constraints(*design, request.constraints_file, error, request.warnings))
        throw PUTIL_PYTHON_ERROR{0, error};
    if (request.keep_partial_sums)
        putil_keep_partial_sums(*design);
    const PUTIL_ACTIVITY_READ read = putil_read_waveform_inputs(*design, false);
    if (stopped != nullptr)
        *stopped = read.stopped;
    if (!read.error.empty() || !read.internal_error.empty())
        throw PUTIL_PYTHON_ERROR{0, read.error.empty() ? read.internal_error : read.error};
    if (read.status != PUTIL_EXIT_OK)
        throw job_failure("the VCD files could not be read");
    return design;
}

// Calls call, letting through the exceptions that Python is to see
// (putil.Error, TypeError and ValueError of the arguments, a Python error
// such as KeyboardInterrupt, std::bad_alloc as MemoryError) and turning
// every other C++ exception into putil.Error with id 0.
template <class CALL>
auto with_python_errors(CALL call) -> decltype(call())
{
    try {
        return call();
    } catch (const py::error_already_set&) {
        throw;
    } catch (const py::type_error&) {
        throw;
    } catch (const py::value_error&) {
        throw;
    } catch (const PUTIL_PYTHON_ERROR&) {
        throw;
    } catch (const PUTIL_USAGE_ERROR& usage) {
        throw PUTIL_PYTHON_ERROR{0, usage.reason};
    } catch (const PUTIL_INPUT_ERROR& input) {
        throw PUTIL_PYTHON_ERROR{0, input.reason};
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& failure) {
        throw PUTIL_PYTHON_ERROR{0, failure.what()};
    } catch (...) {
        throw PUTIL_PYTHON_ERROR{0, "unexpected failure"};
    }
}

// A path argument that may be None (empty).
std::string optional_path(const py::object& value, const char* argument)
{
    return value.is_none() ? "" : putil_python::path_argument(value, argument);
}

// settings={"name": value}: NAME=VALUE assignments, as --set takes them; a
// bool is on or off.
std::vector<std::string> setting_assignments(const py::object& settings)
{
    std::vector<std::string> assignments;
    if (settings.is_none())
        return assignments;
    if (!py::isinstance<py::dict>(settings))
        throw py::type_error("settings: expected a dict of setting names and values");
    for (const auto& [name, value] : py::reinterpret_borrow<py::dict>(settings)) {
        const std::string text = py::isinstance<py::bool_>(value) ? (value.cast<bool>() ? "on" : "off")
                                                                  : py::str(value).cast<std::string>();
        assignments.push_back(py::str(name).cast<std::string>() + "=" + text);
    }
    return assignments;
}

// filter_glitches: None or False for none, True for the design's delays, a
// time text ("200ps") or a number of picoseconds for a fixed width.
std::optional<std::string> glitch_width(const py::object& filter_glitches)
{
    if (filter_glitches.is_none())
        return std::nullopt;
    if (py::isinstance<py::bool_>(filter_glitches))
        return filter_glitches.cast<bool>() ? std::optional<std::string>("") : std::nullopt;
    if (py::isinstance<py::int_>(filter_glitches) || py::isinstance<py::str>(filter_glitches))
        return py::str(filter_glitches).cast<std::string>();
    throw py::type_error("filter_glitches: expected None, a bool, a time text or a number of picoseconds");
}

// The Python calls: the arguments are checked with the interpreter lock, the
// design loaded and the files read on a worker without it (one call at a
// time, each from a reset host), the result made with it again.
ACTIVITY_RESULT activity(const py::object& vcd_files, const py::object& design,
                         const std::optional<std::string>& start, const std::optional<std::string>& end, bool strict,
                         const py::object& sdc, const std::optional<std::string>& scope,
                         const py::object& filter_glitches, const std::string& merge, const py::object& settings)
{
    return with_python_errors([&] {
        ACTIVITY_REQUEST request{putil_python::path_list_argument(vcd_files, "vcd_files"),
                                 optional_path(design, "design"),
                                 start.value_or(""),
                                 end.value_or(""),
                                 strict,
                                 optional_path(sdc, "sdc"),
                                 scope.value_or(""),
                                 glitch_width(filter_glitches),
                                 merge,
                                 setting_assignments(settings),
                                 false,
                                 {}};
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        std::unique_ptr<HOST_DESIGN> measured;
        const HOST_STATE_SCOPE host_state;
        putil_python::run_checking_signals([&] { measured = read_activity(request); });
        return collect_result(*measured, !request.constraints_file.empty(), request.warnings);
    });
}

// relative={"name": percent}: finite percentages of 0 or more, as the
// store keeps them (single precision).
std::map<std::string, float> relative_rates(const py::object& relative)
{
    std::map<std::string, float> rates;
    if (relative.is_none())
        return rates;
    if (!py::isinstance<py::dict>(relative))
        throw py::type_error("relative: expected a dict of signal names and percentages");
    for (const auto& [name, value] : py::reinterpret_borrow<py::dict>(relative)) {
        const float percent = static_cast<float>(value.cast<double>());
        if (!(percent >= 0.0f) || !std::isfinite(percent))
            throw py::value_error("relative[" + py::str(name).cast<std::string>() +
                                  "]: expected a percentage of 0 or more");
        rates[py::str(name).cast<std::string>()] = percent;
    }
    return rates;
}

CLOCKS_RESULT clocks(const py::object& design, const py::object& sdc, const std::string& rule,
                     const py::object& relative, const py::object& settings)
{
    return with_python_errors([&] {
        const std::string design_file = putil_python::path_argument(design, "design");
        const std::string constraints_file = optional_path(sdc, "sdc");
        const std::map<std::string, float> rates = relative_rates(relative);
        const std::vector<std::string> assignments = setting_assignments(settings);
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        const HOST_STATE_SCOPE host_state;
        PUTIL_CLOCKS_REPORT report;
        std::vector<std::string> warnings;
        std::unique_ptr<HOST_DESIGN> loaded;
        putil_python::run_checking_signals([&] {
            putil_apply_setting_assignments(assignments);
            std::string error;
            loaded = putil_load_clocks_design(design_file, constraints_file, error, warnings);
            if (!loaded)
                throw PUTIL_PYTHON_ERROR{0, error};
            host_set_current_design(loaded.get());
            if (!putil_run_clocks_job(*loaded, rule, rates, report))
                throw std::bad_alloc();
        });
        const nlohmann::json document = putil_clocks_report_json(report);
        CLOCKS_RESULT result{decoded_text(report.rule), python_value(document["signals"]),
                             python_value(document["tables"]), messages_result(warnings)};
        return result;
    });
}

// One pattern row of a TBL file: "TIME> IN IN = OUT OUT".
py::tuple tbl_row(const std::string& line)
{
    const std::size_t mark = line.find('>');
    std::string inputs, outputs;
    bool after_equals = false;
    for (std::size_t i = mark + 1; i < line.size(); ++i) {
        if (line[i] == ' ')
            continue;
        if (line[i] == '=')
            after_equals = true;
        else
            (after_equals ? outputs : inputs) += line[i];
    }
    return py::make_tuple(std::stod(line.substr(0, mark)), decoded_text(inputs), decoded_text(outputs));
}

// The names of a "INPUTS a b;" line.
py::list tbl_names(const std::string& line)
{
    py::list names;
    std::istringstream words(line.substr(0, line.size() - 1));
    std::string word;
    words >> word;
    while (words >> word)
        names.append(decoded_text(word));
    return names;
}

// The TBL file as records: the lists, the unit and the pattern rows.
TBL_RESULT tbl_records(std::istream& in)
{
    TBL_RESULT result;
    std::string line;
    bool pattern = false;
    while (std::getline(in, line)) {
        if (pattern) {
            if (line.find('>') != std::string::npos)
                result.rows.append(tbl_row(line));
        } else if (line.rfind("INPUTS", 0) == 0) {
            result.inputs = tbl_names(line);
        } else if (line.rfind("OUTPUTS", 0) == 0) {
            result.outputs = tbl_names(line);
        } else if (line.rfind("UNIT ", 0) == 0) {
            result.unit = decoded_text(line.substr(5, line.size() - 6));
        } else if (line == "PATTERN") {
            pattern = true;
        }
    }
    return result;
}

TBL_RESULT tbl(const py::object& vcd_file, const py::object& design, const std::optional<std::string>& start,
               const std::optional<std::string>& end, bool inputs_only, bool exact_times, bool strict,
               const py::object& output, const py::object& settings)
{
    return with_python_errors([&] {
        const std::string vcd = putil_python::path_argument(vcd_file, "vcd_file");
        const std::string design_file = optional_path(design, "design");
        std::vector<std::string> assignments = setting_assignments(settings);
        if (inputs_only)
            assignments.insert(assignments.begin(), "print_only_inputs_to_tbl_file=on");
        if (exact_times)
            assignments.insert(assignments.begin(), "putil_tbl_exact_times=on");
        // Without an output the TBL is written to a file of its own, read
        // back and removed.
        static int s_tables = 0;
        const bool kept = !output.is_none();
        const std::string tbl_file =
            kept ? putil_python::path_argument(output, "output")
                 : (std::filesystem::temp_directory_path() /
                    ("putil-python-" + std::to_string(::getpid()) + "-" + std::to_string(++s_tables) + ".tbl"))
                       .string();
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        const HOST_STATE_SCOPE host_state;
        putil_python::run_checking_signals([&] {
            if (!strict)
                host_set_setting("putil_vcd_extended_syntax", "on");
            putil_apply_setting_assignments(assignments);
            const std::optional<BIG_TIME> from = window_bound("start", start.value_or(""));
            const std::optional<BIG_TIME> to = window_bound("end", end.value_or(""));
            if (const std::optional<std::string> directory = putil_find_directory({vcd}))
                throw PUTIL_PYTHON_ERROR{0, *directory + " is a directory, not a VCD file"};
            std::unique_ptr<HOST_DESIGN> loaded = load_waveform_design(design_file, vcd);
            std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(loaded->facade()));
            if (!reader)
                throw std::bad_alloc();
            const bool converted =
                reader->convert_vcd_to_tbl_file(vcd, tbl_file, from ? &*from : nullptr, to ? &*to : nullptr);
            host_progress_finish();
            if (!converted)
                throw job_failure("the VCD file could not be converted");
        });
        std::ifstream in(tbl_file);
        TBL_RESULT result = tbl_records(in);
        in.close();
        if (!kept)
            std::remove(tbl_file.c_str());
        result.messages = messages_result();
        return result;
    });
}

TRANSIENT_RESULT transient(const py::object& vcd_files, const py::object& energies, double voltage,
                           const py::object& design, const std::optional<std::string>& scope, bool strict,
                           const py::object& settings)
{
    return with_python_errors([&] {
        const std::vector<std::string> files = putil_python::path_list_argument(vcd_files, "vcd_files");
        const std::string energies_file = putil_python::path_argument(energies, "energies");
        const std::string design_file = optional_path(design, "design");
        const std::vector<std::string> assignments = setting_assignments(settings);
        if (!(voltage > 0.0) || !std::isfinite(voltage))
            throw py::value_error("voltage: expected a positive number of volts");
        if (files.empty())
            throw PUTIL_PYTHON_ERROR{0, "no input: give VCD files"};
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        const HOST_STATE_SCOPE host_state;
        PUTIL_TRANSIENT_WAVEFORM waveform;
        putil_python::run_checking_signals([&] {
            putil_apply_activity_settings(strict);
            putil_apply_setting_assignments(assignments);
            if (const std::optional<std::string> directory = putil_find_directory(files))
                throw PUTIL_PYTHON_ERROR{0, *directory + " is a directory, not a VCD file"};
            std::unique_ptr<HOST_DESIGN> loaded = load_waveform_design(design_file, files.front());
            PUTIL_TOGGLE_ENERGY_MAP energy_map;
            std::string error;
            if (!host_load_toggle_energies(*loaded, energies_file, energy_map, error))
                throw PUTIL_PYTHON_ERROR{0, error};
            waveform = putil_generate_transient_current(*loaded, files, putil_find_scope(*loaded, scope.value_or("")),
                                                        energy_map, voltage, false);
            if (!waveform.error.empty())
                throw PUTIL_PYTHON_ERROR{0, waveform.error};
            if (!waveform.generated)
                throw job_failure("the VCD files could not be read");
            if (!putil_currents_finite(waveform))
                throw PUTIL_PYTHON_ERROR{0, "this voltage with these energies gives currents beyond the range of a "
                                            "double"};
        });
        TRANSIENT_RESULT result{py::array_t<double>(waveform.times.size(), waveform.times.data()),
                                py::array_t<double>(waveform.currents.size(), waveform.currents.data()),
                                messages_result()};
        return result;
    });
}

// What putil.hssi gives back (putil.HssiPower): the rows of
// `putil hssi --format json`.
struct HSSI_RESULT {
    py::list elements;
    py::list supplies;
    py::list regions;
};

struct HSSI_REQUEST {
    std::string device_file;
    std::string design_file;
    std::string family;
    std::vector<std::string> vcd_files;
    std::string activity_file;
    std::string start;
    std::string end;
    bool strict;
};

// A value that may be missing, as JSON null is None.
template <class T>
py::object optional_value(const std::optional<T>& value)
{
    return value ? py::cast(*value) : py::object(py::none());
}

// The design of a transceiver job with its device: read with its activity
// (waveforms or a saved report) when asked, else as the file says, or an
// empty design for a device alone. Touches no Python object.
std::unique_ptr<HOST_DESIGN> load_device_design(const HSSI_REQUEST& request)
{
    if ((!request.vcd_files.empty() || !request.activity_file.empty()) && request.design_file.empty())
        throw PUTIL_PYTHON_ERROR{0, "activity needs design: it is measured on the design's signals"};
    if (!request.vcd_files.empty() && !request.activity_file.empty())
        throw PUTIL_PYTHON_ERROR{0, "activity takes the place of vcd_files; give one or the other"};
    std::string error;
    std::unique_ptr<HOST_DESIGN> design;
    if (!request.vcd_files.empty()) {
        ACTIVITY_REQUEST activity{request.vcd_files, request.design_file, request.start, request.end, request.strict,
                                  "", "", std::nullopt, "replace", {}, false, {}};
        design = read_activity(activity);
    } else if (!request.design_file.empty())
        design = host_load_design_file(request.design_file, error);
    else
        design = std::make_unique<HOST_DESIGN>();
    if (!design)
        throw PUTIL_PYTHON_ERROR{0, error};
    host_set_current_design(design.get());
    if (!putil_load_design_device(*design, request.device_file, request.design_file, error) ||
        (!request.activity_file.empty() && !putil_read_activity_json(request.activity_file, *design, error)))
        throw PUTIL_PYTHON_ERROR{0, error};
    return design;
}

// The power report of `putil hssi --format`; a model that does not fit the
// device or a design it cannot model raises putil.Error.
PUTIL_HSSI_POWER_REPORT hssi_power(const HSSI_REQUEST& request)
{
    std::unique_ptr<HOST_DESIGN> design = load_device_design(request);
    PUTIL_HSSI_MODEL built;
    std::string error;
    try {
        if (!putil_build_hssi_model(*design, request.family, !request.design_file.empty(), true, built, error))
            throw PUTIL_PYTHON_ERROR{0, request.design_file + ": " + error};
    } catch (const PUTIL_USAGE_ERROR& usage) {
        throw PUTIL_PYTHON_ERROR{0, usage.reason};
    }
    return putil_hssi_power_report(*built.model, request.design_file.empty() ? nullptr : design->store());
}

py::dict total_dict(const PUTIL_HSSI_POWER_TOTAL& total, bool with_region)
{
    py::dict entry(py::arg("name") = decoded_text(total.name), py::arg("supply") = total.supply);
    if (with_region)
        entry["region"] = optional_value(total.region);
    entry["static_power"] = total.static_power;
    entry["dynamic_power"] = total.dynamic_power;
    entry["power"] = total.static_power + total.dynamic_power;
    return entry;
}

HSSI_RESULT hssi_result(const PUTIL_HSSI_POWER_REPORT& report)
{
    HSSI_RESULT result;
    for (const PUTIL_HSSI_POWER_ROW& row : report.elements)
        result.elements.append(py::dict(
            py::arg("name") = row.name, py::arg("element") = row.element, py::arg("gid") = row.gid,
            py::arg("kind") = row.kind, py::arg("implementation") = row.implementation, py::arg("supply") = row.supply,
            py::arg("millivolts") = row.millivolts, py::arg("region") = optional_value(row.region),
            py::arg("static_power") = row.static_power, py::arg("dynamic_energy") = row.dynamic_energy,
            py::arg("toggle_rate") = optional_value(row.toggle_rate), py::arg("dynamic_power") = row.dynamic_power));
    for (const PUTIL_HSSI_POWER_TOTAL& total : report.supplies)
        result.supplies.append(total_dict(total, false));
    for (const PUTIL_HSSI_POWER_TOTAL& total : report.regions)
        result.regions.append(total_dict(total, true));
    return result;
}

HSSI_RESULT hssi(const py::object& design, const py::object& device, const std::optional<std::string>& family,
                 const py::object& vcd_files, const py::object& activity, const std::optional<std::string>& start,
                 const std::optional<std::string>& end, bool strict)
{
    return with_python_errors([&] {
        const HSSI_REQUEST request{
            optional_path(device, "device"),
            optional_path(design, "design"),
            family.value_or(""),
            vcd_files.is_none() ? std::vector<std::string>() : putil_python::path_list_argument(vcd_files, "vcd_files"),
            optional_path(activity, "activity"),
            start.value_or(""),
            end.value_or(""),
            strict};
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        const HOST_STATE_SCOPE host_state;
        PUTIL_HSSI_POWER_REPORT report;
        putil_python::run_checking_signals([&] { report = hssi_power(request); });
        return hssi_result(report);
    });
}

// putil.supplies: the tables of `putil supplies --format json`, as a dict.
py::dict supplies(const py::object& device, const py::object& design)
{
    return with_python_errors([&] {
        HSSI_REQUEST request{optional_path(device, "device"), optional_path(design, "design"), "", {}, "", "", "", false};
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        const HOST_STATE_SCOPE host_state;
        PUTIL_SUPPLIES_REPORT report;
        putil_python::run_checking_signals([&] { report = putil_supplies_report(*load_device_design(request)); });
        py::list kinds;
        for (const PUTIL_SUPPLY_ROW& row : report.kinds)
            kinds.append(py::dict(py::arg("name") = row.name, py::arg("supply") = row.supply,
                                  py::arg("region") = optional_value(row.region),
                                  py::arg("millivolts") = optional_value(row.millivolts)));
        py::list voltages;
        for (const PUTIL_REGION_VOLTAGE& voltage : report.voltages)
            voltages.append(py::dict(py::arg("name") = voltage.name, py::arg("supply") = voltage.supply,
                                     py::arg("region") = voltage.region, py::arg("millivolts") = voltage.millivolts,
                                     py::arg("element_kinds") = voltage.element_kinds));
        py::dict matrix(py::arg("name") = report.matrix_name, py::arg("table") = report.matrix_table,
                        py::arg("flat_table") = report.matrix_flat_table);
        return py::dict(py::arg("family") = report.family, py::arg("kinds") = kinds, py::arg("voltages") = voltages,
                        py::arg("matrix") = matrix);
    });
}

// The partial result of the same job: what each file measured, to be merged
// with others by putil.merge.
PARTIAL_RESULT activity_partial(const py::object& vcd_files, const py::object& design,
                                const std::optional<std::string>& start, const std::optional<std::string>& end,
                                bool strict)
{
    return with_python_errors([&] {
        ACTIVITY_REQUEST request{putil_python::path_list_argument(vcd_files, "vcd_files"),
                                 design.is_none() ? "" : putil_python::path_argument(design, "design"),
                                 start.value_or(""), end.value_or(""), strict, "", "", std::nullopt, "replace", {},
                                 true, {}};
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        PARTIAL_RESULT result;
        const HOST_STATE_SCOPE host_state;
        putil_python::run_checking_signals([&] {
            bool stopped = false;
            std::unique_ptr<HOST_DESIGN> measured = read_activity(request, &stopped);
            PUTIL_PARTIAL_OPTIONS options;
            options.design_file = request.design_file;
            options.start = window_bound("start", request.start);
            options.end = window_bound("end", request.end);
            options.strict = strict;
            result.text = putil_partial_json(*measured, options, stopped).dump();
        });
        return result;
    });
}

// The merge of partial results in their order, as putil.activity over all
// their files gives it (or concatenated).
ACTIVITY_RESULT merge(const std::vector<PARTIAL_RESULT>& partials, const std::string& mode, const py::object& design)
{
    return with_python_errors([&] {
        PUTIL_MERGE_CHOICE choice = PUTIL_MERGE_CHOICE::REPLACE;
        if (!putil_merge_choice_from_name(mode, choice))
            throw py::value_error("mode must be \"replace\", \"add\", \"keep\" or \"concatenate\", not \"" + mode +
                                  "\"");
        const std::string design_file = design.is_none() ? "" : putil_python::path_argument(design, "design");
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        std::unique_ptr<HOST_DESIGN> merged;
        bool with_constraints = false;
        const HOST_STATE_SCOPE host_state;
        putil_python::run_checking_signals([&] {
            std::vector<PUTIL_NAMED_PARTIAL> named;
            for (std::size_t i = 0; i < partials.size(); ++i)
                named.push_back(putil_parse_partial("partial " + std::to_string(i + 1), partials[i].text));
            try {
                merged = putil_merge_partials(named, choice, design_file, false);
                with_constraints = putil_partials_have_constraints(named);
            } catch (const PUTIL_PARTIAL_ERROR& failure) {
                throw PUTIL_PYTHON_ERROR{0, failure.reason};
            }
        });
        return collect_result(*merged, with_constraints, {});
    });
}

void translate_error(std::exception_ptr failure)
{
    try {
        if (failure)
            std::rethrow_exception(failure);
    } catch (const PUTIL_PYTHON_ERROR& error) {
        try {
            const py::object instance =
                py::reinterpret_borrow<py::object>(s_error_class)(error.id, decoded_text(error.text));
            PyErr_SetObject(s_error_class.ptr(), instance.ptr());
        } catch (py::error_already_set& raised) {
            raised.restore();
        }
    }
}

}  // namespace

PYBIND11_MODULE(putil, module)
{
    module.doc() = "The putil jobs from Python: activity, clocks, tbl, transient, and the transceiver power and "
                   "supply tables of hssi and supplies, as the putil program runs them.";

    py::exec(ERROR_CLASS_SOURCE, module.attr("__dict__"));
    py::object error_class = module.attr("Error");
    error_class.attr("__module__") = "putil";
    s_error_class = error_class.release();
    py::register_exception_translator(&translate_error);
    module.attr("__version__") = PUTIL_VERSION;

    py::class_<ACTIVITY_RESULT>(module, "Activity",
                                "What putil.activity measured.\n\n"
                                "rows: (name, static_probability, toggle_rate) per signal in netlist order, the rows "
                                "of `putil activity --format csv`; a value the waveforms did not give is None; with "
                                "sdc also the source of each value (waveform, constraints or empty).\n"
                                "inputs: one dict per VCD file (file, matched_signals, toggle_percentage, "
                                "unknown_percentage), as `--format json` gives them.\n"
                                "messages: the messages the run posted (severity, id, text).")
        .def_readonly("rows", &ACTIVITY_RESULT::rows)
        .def_readonly("inputs", &ACTIVITY_RESULT::inputs)
        .def_readonly("messages", &ACTIVITY_RESULT::messages)
        .def("__repr__", [](const ACTIVITY_RESULT& result) {
            return "<putil.Activity: " + std::to_string(result.rows.size()) + " signals, " +
                   std::to_string(result.inputs.size()) + " inputs>";
        });

    py::class_<HSSI_RESULT>(module, "HssiPower",
                            "What putil.hssi found, the lists of `putil hssi --format json`.\n\n"
                            "elements: one dict per element and supply (name, element, gid, kind, implementation, "
                            "supply, millivolts, region, static_power, dynamic_energy, toggle_rate, dynamic_power).\n"
                            "supplies: the totals per supply (name, supply, static_power, dynamic_power, power).\n"
                            "regions: the totals per supply and region (the same, with region).")
        .def_readonly("elements", &HSSI_RESULT::elements)
        .def_readonly("supplies", &HSSI_RESULT::supplies)
        .def_readonly("regions", &HSSI_RESULT::regions)
        .def("__repr__", [](const HSSI_RESULT& result) {
            return "<putil.HssiPower: " + std::to_string(result.elements.size()) + " element supplies, " +
                   std::to_string(result.supplies.size()) + " supplies>";
        });

    module.def("hssi", &hssi, py::arg("design") = py::none(), py::arg("device") = py::none(),
               py::arg("family") = py::none(), py::arg("vcd_files") = py::none(), py::arg("activity") = py::none(),
               py::arg("start") = py::none(), py::arg("end") = py::none(), py::arg("strict") = false,
               "hssi(design=None, device=None, family=None, vcd_files=None, activity=None, start=None, end=None, "
               "strict=False) -> HssiPower\n\n"
               "Builds the transceiver model of the device (the design's own, or device) from the design's atoms, "
               "after reading its activity from vcd_files (as putil.activity does) or from a saved "
               "`putil activity --format json` report (activity), appends the device's power constants and "
               "answers the power per element and supply, supply, and region, as `putil hssi --format json`. "
               "family picks a model (default: the device family's). Raises putil.Error when the job fails.");

    module.def("supplies", &supplies, py::arg("device") = py::none(), py::arg("design") = py::none(),
               "supplies(device=None, design=None) -> dict\n\n"
               "The power supply tables of the device (or of the device a design names), as "
               "`putil supplies --format json`: family, kinds, voltages and matrix.");

    module.def("activity", &activity, py::arg("vcd_files"), py::arg("design") = py::none(),
               py::arg("start") = py::none(), py::arg("end") = py::none(), py::arg("strict") = false,
               py::arg("sdc") = py::none(), py::arg("scope") = py::none(), py::arg("filter_glitches") = py::none(),
               py::arg("merge") = "replace", py::arg("settings") = py::none(),
               "activity(vcd_files, design=None, start=None, end=None, strict=False, sdc=None, scope=None, "
               "filter_glitches=None, merge='replace', settings=None) -> Activity\n\n"
               "Reads the VCD files (a path or a list of paths, in order; a path is a str, bytes or os.PathLike) "
               "into the design (a JSON design or Yosys JSON netlist; None derives it from the first VCD) over "
               "the window [start, end] (times such as \"10ns\"; None: the whole file). strict accepts strict VCD "
               "only. sdc: clock constraints applied first; scope: the design instance the waveforms apply to; "
               "filter_glitches: True for the design's delays, or a width (\"200ps\", or picoseconds); merge: "
               "replace, add, keep or concatenate; settings: {name: value} as --set takes them. Raises putil.Error when the job "
               "fails, TypeError or ValueError for a bad argument, MemoryError when memory runs out, and "
               "KeyboardInterrupt when Ctrl-C stops the read.");

    py::class_<CLOCKS_RESULT>(module, "Clocks",
                              "What putil.clocks found, as `putil clocks --format json` gives it.\n\n"
                              "rule: the rule used. signals: one dict per output signal (name, clock_domain, "
                              "clock_toggle_rate, flags; relative_percent and toggle_rate when given). tables: the "
                              "report tables (title, rows). messages: the messages posted, each with its "
                              "sub_messages when it has some.")
        .def_readonly("rule", &CLOCKS_RESULT::rule)
        .def_readonly("signals", &CLOCKS_RESULT::signals)
        .def_readonly("tables", &CLOCKS_RESULT::tables)
        .def_readonly("messages", &CLOCKS_RESULT::messages)
        .def("__repr__", [](const CLOCKS_RESULT& result) {
            return "<putil.Clocks: " + std::to_string(result.signals.size()) + " signals>";
        });
    module.def("clocks", &clocks, py::arg("design"), py::arg("sdc") = py::none(), py::arg("rule") = "strict",
               py::arg("relative") = py::none(), py::arg("settings") = py::none(),
               "clocks(design, sdc=None, rule='strict', relative=None, settings=None) -> Clocks\n\n"
               "Finds the clock domain of every output signal of the design, with the constraints of sdc; rule: "
               "strict, fastest or slowest; relative: {signal name: percent of its clock's toggle rate}.");

    py::class_<TBL_RESULT>(module, "Tbl",
                           "The TBL file putil.tbl wrote, as records.\n\n"
                           "inputs, outputs: the listed signal names. unit: the time unit. rows: (time, "
                           "input_values, output_values) per pattern row, the values a str of one character per "
                           "listed signal. messages: the messages posted.")
        .def_readonly("inputs", &TBL_RESULT::inputs)
        .def_readonly("outputs", &TBL_RESULT::outputs)
        .def_readonly("unit", &TBL_RESULT::unit)
        .def_readonly("rows", &TBL_RESULT::rows)
        .def_readonly("messages", &TBL_RESULT::messages)
        .def("__repr__", [](const TBL_RESULT& result) {
            return "<putil.Tbl: " + std::to_string(result.rows.size()) + " rows>";
        });
    module.def("tbl", &tbl, py::arg("vcd_file"), py::arg("design") = py::none(), py::arg("start") = py::none(),
               py::arg("end") = py::none(), py::arg("inputs_only") = false, py::arg("exact_times") = false,
               py::arg("strict") = false, py::arg("output") = py::none(), py::arg("settings") = py::none(),
               "tbl(vcd_file, design=None, start=None, end=None, inputs_only=False, exact_times=False, strict=False, "
               "output=None, settings=None) -> Tbl\n\n"
               "Converts the VCD file into a TBL vector file, as `putil tbl` does, and answers its records; output "
               "also keeps the file at that path.");

    py::class_<TRANSIENT_RESULT>(module, "Transient",
                                 "The supply current putil.transient found.\n\n"
                                 "times (s) and currents (A): NumPy arrays of the waveform's points. messages: the "
                                 "messages posted.")
        .def_readonly("times", &TRANSIENT_RESULT::times)
        .def_readonly("currents", &TRANSIENT_RESULT::currents)
        .def_readonly("messages", &TRANSIENT_RESULT::messages)
        .def("__repr__", [](const TRANSIENT_RESULT& result) {
            return "<putil.Transient: " + std::to_string(result.times.size()) + " points>";
        });
    module.def("transient", &transient, py::arg("vcd_files"), py::arg("energies"), py::arg("voltage"),
               py::arg("design") = py::none(), py::arg("scope") = py::none(), py::arg("strict") = false,
               py::arg("settings") = py::none(),
               "transient(vcd_files, energies, voltage, design=None, scope=None, strict=False, settings=None) -> "
               "Transient\n\n"
               "The supply current of the whole die over time from the toggles of the VCD files and the switching "
               "energies (CSV name,energy_type,energy) at voltage volts, as `putil transient` gives it.");

    py::class_<PARTIAL_RESULT>(module, "Partial",
                               "What putil.activity_partial measured: per file, each signal's exact sums, to be "
                               "merged by putil.merge. Picklable; json is the text that `putil activity --format "
                               "partial` writes, and Partial(json) takes such a text back.")
        .def(py::init([](const std::string& text) { return PARTIAL_RESULT{text}; }), py::arg("json"))
        .def_property_readonly("json", [](const PARTIAL_RESULT& partial) { return partial.text; })
        .def(py::pickle([](const PARTIAL_RESULT& partial) { return py::bytes(partial.text); },
                        [](const py::bytes& state) { return PARTIAL_RESULT{std::string(state)}; }))
        .def("__repr__", [](const PARTIAL_RESULT& partial) {
            return "<putil.Partial: " + std::to_string(partial.text.size()) + " bytes>";
        });

    module.def("activity_partial", &activity_partial, py::arg("vcd_files"), py::arg("design") = py::none(),
               py::arg("start") = py::none(), py::arg("end") = py::none(), py::arg("strict") = false,
               "activity_partial(vcd_files, design=None, start=None, end=None, strict=False) -> Partial\n\n"
               "The job of putil.activity, kept as a partial result: what each file measured, to be merged with "
               "the partial results of other files (other calls, other processes or machines) by putil.merge.");
    module.def("merge", &merge, py::arg("partials"), py::arg("mode") = "replace", py::arg("design") = py::none(),
               "merge(partials, mode=\"replace\", design=None) -> Activity\n\n"
               "Merges partial results in their order (and their files' order) into the Activity that "
               "putil.activity over all their files gives: mode \"replace\", \"add\" or \"keep\" as `putil "
               "activity --merge` has them, or \"concatenate\" (the files' times and transitions added, as if the "
               "runs were played one after the other). design: the design file to annotate instead of the one the "
               "partials name (the same signals). Raises putil.Error when the partials do not agree (design, "
               "window, options) or the design does not load.");

    // putil.distributed, Python code kept in putil_distributed.py: importable
    // as a module of its own, so that Dask workers find what it sends them.
    py::module_ distributed = module.def_submodule("distributed");
    py::exec(PUTIL_DISTRIBUTED_SOURCE, distributed.attr("__dict__"));
    py::module_::import("sys").attr("modules")["putil.distributed"] = distributed;
}
