// The Python module putil: the activity job of `putil activity`, called from
// Python. One call loads the design, reads the VCD files and hands back the
// rows and input summaries that the program prints; a failure raises
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
#include "putil_activity_rows.h"
#include "putil_command.h"
#include "putil_host.h"
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
    bool keep_partial_sums = false;   // the store keeps what a partial result needs
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
std::unique_ptr<HOST_DESIGN> read_activity(const ACTIVITY_REQUEST& request, bool* stopped = nullptr)
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
    if (request.keep_partial_sums)
        putil_keep_partial_sums(*design);
    const PUTIL_ACTIVITY_READ read = putil_read_waveform_inputs(*design, false);
    if (stopped != nullptr)
        *stopped = read.stopped;
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

// The partial result of the same job: what each file measured, to be merged
// with others by putil.merge.
PARTIAL_RESULT activity_partial(const py::object& vcd_files, const py::object& design,
                                const std::optional<std::string>& start, const std::optional<std::string>& end,
                                bool strict)
{
    return with_python_errors([&] {
        ACTIVITY_REQUEST request{putil_python::path_list_argument(vcd_files, "vcd_files"),
                                 design.is_none() ? "" : putil_python::path_argument(design, "design"),
                                 start.value_or(""), end.value_or(""), strict};
        request.keep_partial_sums = true;
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
        const HOST_STATE_SCOPE host_state;
        putil_python::run_checking_signals([&] {
            std::vector<PUTIL_NAMED_PARTIAL> named;
            for (std::size_t i = 0; i < partials.size(); ++i)
                named.push_back(putil_parse_partial("partial " + std::to_string(i + 1), partials[i].text));
            try {
                merged = putil_merge_partials(named, choice, design_file, false);
            } catch (const PUTIL_PARTIAL_ERROR& failure) {
                throw PUTIL_PYTHON_ERROR{0, failure.reason};
            }
        });
        return collect_result(*merged);
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
    module.doc() = "Signal activity (static probability, toggle rate) from VCD files, as `putil activity` gives it.";

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

    module.def("activity", &activity, py::arg("vcd_files"), py::arg("design") = py::none(),
               py::arg("start") = py::none(), py::arg("end") = py::none(), py::arg("strict") = false,
               "activity(vcd_files, design=None, start=None, end=None, strict=False) -> Activity\n\n"
               "Reads the VCD files (a path or a list of paths, in order; a path is a str, bytes or os.PathLike) "
               "into the design (a JSON design or Yosys JSON netlist; None derives it from the first VCD) over "
               "the window [start, end] (times such as \"10ns\"; None: the whole file). strict accepts strict VCD "
               "only. Raises putil.Error when the job fails, TypeError or ValueError for a bad path, MemoryError "
               "when memory runs out, and KeyboardInterrupt when Ctrl-C stops the read.");

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
