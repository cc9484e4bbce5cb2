// Deriving a design from VCD declarations: the library's reader lists the
// signals; this builds the design around them.
#include "putil_derived_design.h"

#include <fstream>
#include <vector>

#include "putil_host.h"
#include "putil_vcd_reader.h"

namespace {

// The signal paths of the file's declarations, read into an empty design
// with messages neither shown nor kept.
std::vector<std::vector<std::string>> read_signal_paths(const std::string& vcd_path)
{
    HOST_DESIGN empty;
    HOST_DESIGN* current = host_current_design();
    host_set_current_design(&empty);
    std::ostream* shown = host_message_stream();
    host_set_message_stream(nullptr);
    const std::size_t kept_messages = host_posted_messages().size();

    std::vector<std::vector<std::string>> paths;
    std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(empty.facade()));
    struct RESTORE {
        HOST_DESIGN* current;
        std::ostream* shown;
        std::size_t kept_messages;
        ~RESTORE()
        {
            host_truncate_posted_messages(kept_messages);
            host_set_message_stream(shown);
            host_set_current_design(current);
        }
    } restore{current, shown, kept_messages};
    if (reader)
        reader->read_vcd_declarations(vcd_path, &paths);
    return paths;
}

}  // namespace

std::unique_ptr<HOST_DESIGN> putil_derive_design(const std::string& vcd_path, std::string& error)
{
    if (!std::ifstream(vcd_path, std::ios::in | std::ios::binary)) {
        error = vcd_path + ": cannot open the file to derive a design from it";
        return nullptr;
    }
    const std::vector<std::vector<std::string>> signals = read_signal_paths(vcd_path);
    auto design = std::make_unique<HOST_DESIGN>();
    HOST_ATOM* sink = design->add_atom("derived_design_sink", HOST_ATOM_KIND::OTHER);
    for (const std::vector<std::string>& levels : signals) {
        HOST_ATOM* atom = design->add_atom(levels.back(), HOST_ATOM_KIND::OTHER);
        HOST_OTERM* oterm = design->add_output(atom, levels, 0, false);
        design->add_input(sink, 0, oterm, false, -1);
    }
    return design;
}
