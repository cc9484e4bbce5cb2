// Path arguments of the Python module: str, bytes and os.PathLike objects,
// taken as Python's open() takes them, and texts handed back to Python.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace putil_python {

// The file name that the system gets for one path argument: str and
// os.PathLike encoded with the filesystem encoding (os.fsencode), bytes as
// they are. Throws TypeError for another type and ValueError for an
// embedded NUL, both naming the argument.
std::string path_argument(pybind11::handle value, const std::string& argument);

// A path, or any iterable of paths, as file names in order; an element's
// error names it as argument[index].
std::vector<std::string> path_list_argument(pybind11::handle value, const std::string& argument);

// A text of the library (a file name, a signal name, a message), decoded as
// os.fsdecode does: bytes that are not valid in the filesystem encoding
// survive as surrogate escapes instead of failing the call.
pybind11::str decoded_text(const std::string& text);

}  // namespace putil_python
