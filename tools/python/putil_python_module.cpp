// The Python module putil: the activity job of `putil activity` and the
// transceiver jobs of `putil hssi --format` and `putil supplies`, called from
// Python. One call loads the design (and device), reads the VCD files and
// hands back the rows that the program prints; a failure raises
// putil.Error with the message id and text, a bad argument TypeError or
// ValueError. The read runs without the interpreter lock; Ctrl-C stops it.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <charconv>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "putil_activity_job.h"
#include "putil_activity_json.h"
#include "putil_activity_rows.h"
#include "putil_command.h"
#include "putil_host.h"
#include "putil_hssi_job.h"
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

// The Python result, made with the interpreter lock once the read ended.
ACTIVITY_RESULT collect_result(const HOST_DESIGN& design)
{
    ACTIVITY_RESULT result;
    putil_for_each_activity_row(design, false, [&](const PUTIL_ACTIVITY_ROW& row) {
        result.rows.append(py::make_tuple(decoded_text(row.name), csv_number(row.static_probability),
                                          csv_number(row.toggle_rate)));
    });
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        const PUTIL_INPUT_SUMMARY summary = putil_input_summary(design, entry);
        result.inputs.append(py::dict(py::arg("file") = decoded_text(entry->get_file_name()),
                                      py::arg("matched_signals") = summary.matched_signals,
                                      py::arg("toggle_percentage") = json_number(summary.toggle_percentage),
                                      py::arg("unknown_percentage") = json_number(summary.unknown_percentage)));
    }
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        result.messages.append(py::dict(py::arg("severity") = host_severity_name(message.severity),
                                        py::arg("id") = message.id, py::arg("text") = decoded_text(message.text)));
    return result;
}

// The activity job as `putil activity` runs it, with the design's root as
// the scope and the default merge, up to the read's end: the loaded design
// holds what was measured. Touches no Python object (it runs on a worker).
std::unique_ptr<HOST_DESIGN> read_activity(const ACTIVITY_REQUEST& request)
{
    if (request.vcd_files.empty())
        throw PUTIL_PYTHON_ERROR{0, "no input: give VCD files"};
    putil_apply_activity_settings(request.strict);
    const std::optional<BIG_TIME> start = window_bound("start", request.start);
    const std::optional<BIG_TIME> end = window_bound("end", request.end);
    if (start && end && start->get_storage_number() > end->get_storage_number())
        throw PUTIL_PYTHON_ERROR{0, "start " + request.start + " is later than end " + request.end};
    if (const std::optional<std::string> directory = putil_find_directory(request.vcd_files))
        throw PUTIL_PYTHON_ERROR{0, *directory + " is a directory, not a VCD file"};

    std::string error;
    std::unique_ptr<HOST_DESIGN> design =
        putil_load_waveform_design(request.design_file, request.vcd_files.front(), error);
    if (!design)
        throw PUTIL_PYTHON_ERROR{0, error};
    host_set_current_design(design.get());
    putil_add_waveform_inputs(*design, request.vcd_files, design->root(), start, end);
    const PUTIL_ACTIVITY_READ read = putil_read_waveform_inputs(*design, false);
    if (!read.error.empty() || !read.internal_error.empty())
        throw PUTIL_PYTHON_ERROR{0, read.error.empty() ? read.internal_error : read.error};
    if (read.status != PUTIL_EXIT_OK) {
        const HOST_POSTED_MESSAGE* failure = putil_first_input_failure();
        throw failure != nullptr ? PUTIL_PYTHON_ERROR{failure->id, failure->text}
                                 : PUTIL_PYTHON_ERROR{0, "the VCD files could not be read"};
    }
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
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& failure) {
        throw PUTIL_PYTHON_ERROR{0, failure.what()};
    } catch (...) {
        throw PUTIL_PYTHON_ERROR{0, "unexpected failure"};
    }
}

// The Python call: the arguments are checked with the interpreter lock, the
// design loaded and the files read on a worker without it (one call at a
// time, each from a reset host), the result made with it again.
ACTIVITY_RESULT activity(const py::object& vcd_files, const py::object& design,
                         const std::optional<std::string>& start, const std::optional<std::string>& end, bool strict)
{
    return with_python_errors([&] {
        const ACTIVITY_REQUEST request{putil_python::path_list_argument(vcd_files, "vcd_files"),
                                       design.is_none() ? "" : putil_python::path_argument(design, "design"),
                                       start.value_or(""), end.value_or(""), strict};
        const std::unique_lock<std::timed_mutex> call = putil_python::lock_checking_signals(s_call_mutex);
        std::unique_ptr<HOST_DESIGN> measured;
        const HOST_STATE_SCOPE host_state;
        putil_python::run_checking_signals([&] { measured = read_activity(request); });
        return collect_result(*measured);
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
    if (!request.vcd_files.empty())
        design = read_activity({request.vcd_files, request.design_file, request.start, request.end, request.strict});
    else if (!request.design_file.empty())
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

std::string optional_path(const py::object& path, const char* name)
{
    return path.is_none() ? "" : putil_python::path_argument(path, name);
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
    module.doc() = "Signal activity (static probability, toggle rate) from VCD files, as `putil activity` gives it, "
                   "and the transceiver power and supply tables of `putil hssi` and `putil supplies`.";

    py::exec(ERROR_CLASS_SOURCE, module.attr("__dict__"));
    py::object error_class = module.attr("Error");
    error_class.attr("__module__") = "putil";
    s_error_class = error_class.release();
    py::register_exception_translator(&translate_error);
    module.attr("__version__") = PUTIL_VERSION;

    py::class_<ACTIVITY_RESULT>(module, "Activity",
                                "What putil.activity measured.\n\n"
                                "rows: (name, static_probability, toggle_rate) per signal in netlist order, the rows "
                                "of `putil activity --format csv`; a value the waveforms did not give is None.\n"
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
               "activity(vcd_files, design=None, start=None, end=None, strict=False) -> Activity\n\n"
               "Reads the VCD files (a path or a list of paths, in order; a path is a str, bytes or os.PathLike) "
               "into the design (a JSON design or Yosys JSON netlist; None derives it from the first VCD) over "
               "the window [start, end] (times such as \"10ns\"; None: the whole file). strict accepts strict VCD "
               "only. Raises putil.Error when the job fails, TypeError or ValueError for a bad path, MemoryError "
               "when memory runs out, and KeyboardInterrupt when Ctrl-C stops the read.");
}
