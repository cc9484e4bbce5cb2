// Reference host design loader: a HOST_DESIGN from a JSON design file (the
// format is described in docs/design-format.md).
#pragma once

#include <memory>
#include <string>

#include "host_design.h"

// Null on failure, with error set to one line naming the file, the place
// (a JSON path such as atoms[3].inputs[0].source) and what is wrong.
std::unique_ptr<HOST_DESIGN> host_load_design_file(const std::string& path, std::string& error);
// The same from text held in memory; label stands for the file name in
// error messages.
std::unique_ptr<HOST_DESIGN> host_load_design_text(const std::string& text, const std::string& label,
                                                   std::string& error);
