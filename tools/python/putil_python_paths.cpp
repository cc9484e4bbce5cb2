// Path arguments of the Python module.
#include "putil_python_paths.h"

namespace py = pybind11;

namespace putil_python {

namespace {

// A path, not a list of them: str, bytes, or an object with __fspath__.
bool is_single_path(py::handle value)
{
    return PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()) || py::hasattr(value, "__fspath__");
}

std::string type_name(py::handle value) { return Py_TYPE(value.ptr())->tp_name; }

// The pending TypeError or ValueError (UnicodeEncodeError included) raised
// again with the argument's name before its message; others unchanged.
[[noreturn]] void raise_naming(const std::string& argument)
{
    py::error_already_set failure;
    const std::string text = argument + ": " + py::str(failure.value()).cast<std::string>();
    if (failure.matches(PyExc_TypeError))
        throw py::type_error(text);
    if (failure.matches(PyExc_ValueError))
        throw py::value_error(text);
    throw failure;
}

}  // namespace

std::string path_argument(py::handle value, const std::string& argument)
{
    // The converter of the os module's own functions: os.fspath, then
    // os.fsencode for a str, and a ValueError for an embedded NUL.
    PyObject* encoded = nullptr;
    if (PyUnicode_FSConverter(value.ptr(), &encoded) == 0)
        raise_naming(argument);
    const py::bytes bytes = py::reinterpret_steal<py::bytes>(encoded);
    return std::string(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
}

std::vector<std::string> path_list_argument(py::handle value, const std::string& argument)
{
    if (is_single_path(value))
        return {path_argument(value, argument)};
    if (!py::isinstance<py::iterable>(value))
        throw py::type_error(argument + ": expected a path (str, bytes or os.PathLike) or a list of paths, not " +
                             type_name(value));
    std::vector<std::string> names;
    for (const py::handle element : value)
        names.push_back(path_argument(element, argument + "[" + std::to_string(names.size()) + "]"));
    return names;
}

py::str decoded_text(const std::string& text)
{
    PyObject* decoded = PyUnicode_DecodeFSDefaultAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
    if (decoded == nullptr)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

}  // namespace putil_python
