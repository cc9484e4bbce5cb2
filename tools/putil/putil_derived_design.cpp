// Deriving a design from VCD declarations: the library's reader tells the
// signals; this builds the design around them as they come.
#include "putil_derived_design.h"

#include <fstream>
#include <vector>

#include "putil_host.h"
#include "reader/putil_vcd_reader.h"

namespace {

// Builds one atom with one output term per signal, each driving the common
// sink. The instances of the current scope are kept, so a signal costs one
// comparison per scope level and one lookup of its own name.
class DERIVED_DESIGN_BUILDER final : public PUTIL_VCD_SIGNAL_LISTENER {
public:
    explicit DERIVED_DESIGN_BUILDER(HOST_DESIGN& design)
        : m_design(design), m_sink(design.add_atom("derived_design_sink", HOST_ATOM_KIND::OTHER))
    {
    }

    void add_signal(const std::string* levels, std::size_t level_count, const std::string& name) override
    {
        HOST_INSTANCE* instance = scope_instance(levels, level_count)->make_child(name);
        // A name declared again is one signal. While the design is being
        // derived, a name's user word marks that it has its term; the reader
        // sets every word anew before it matches names.
        if (instance->get_user_word() != nullptr)
            return;
        HOST_ATOM* atom = m_design.add_atom(name, HOST_ATOM_KIND::OTHER);
        HOST_OTERM* oterm = m_design.add_output(atom, instance, 0, false);
        m_design.add_input(m_sink, 0, oterm, false, -1);
        instance->set_user_word(oterm);
    }

private:
    // The instance of the scope levels, made when missing; the levels shared
    // with the previous signal's scope are not looked up again.
    HOST_INSTANCE* scope_instance(const std::string* levels, std::size_t level_count)
    {
        std::size_t kept = 0;
        while (kept < level_count && kept < m_levels.size() && m_levels[kept] == levels[kept])
            ++kept;
        m_levels.resize(kept);
        m_instances.resize(kept);
        for (std::size_t i = kept; i < level_count; ++i) {
            HOST_INSTANCE* parent = i == 0 ? m_design.root() : m_instances.back();
            m_levels.push_back(levels[i]);
            m_instances.push_back(parent->make_child(levels[i]));
        }
        return level_count == 0 ? m_design.root() : m_instances.back();
    }

    HOST_DESIGN& m_design;
    HOST_ATOM* m_sink;
    std::vector<std::string> m_levels;
    std::vector<HOST_INSTANCE*> m_instances;   // m_instances[i]: the instance of m_levels[0..i]
};

// Reads the file's declarations into design, with messages neither shown
// nor kept.
void read_signals(const std::string& vcd_path, HOST_DESIGN& design)
{
    HOST_DESIGN empty;
    HOST_DESIGN* current = host_current_design();
    host_set_current_design(&empty);
    std::ostream* shown = host_message_stream();
    host_set_message_stream(nullptr);
    const std::size_t kept_messages = host_posted_messages().size();

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
    DERIVED_DESIGN_BUILDER builder(design);
    if (reader)
        reader->read_vcd_declarations(vcd_path, &builder);
}

}  // namespace

std::unique_ptr<HOST_DESIGN> putil_derive_design(const std::string& vcd_path, std::string& error)
{
    if (!std::ifstream(vcd_path, std::ios::in | std::ios::binary)) {
        error = vcd_path + ": cannot open the file to derive a design from it";
        return nullptr;
    }
    auto design = std::make_unique<HOST_DESIGN>();
    read_signals(vcd_path, *design);
    return design;
}
