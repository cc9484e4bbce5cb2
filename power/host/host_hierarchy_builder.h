// Reference host EDA hierarchy builder: the names the simulation netlist
// gives to the design's signals and pins, and a record of how the library
// constructed the builder.
#pragma once

#include <cstddef>
#include <string>

#include "host/wsc_hierarchy_builder.h"

class CDB_ATOM_HIERARCHY_LIST;

// What the library passed to the builder's constructor.
struct HOST_HIERARCHY_BUILDER_ARGUMENTS {
    CMP_FACADE* facade = nullptr;
    std::string name_text;
    CDB_ATOM_NETLIST* netlist = nullptr;
    CDB_ATOM_HIERARCHY_LIST* hierarchy_list = nullptr;
    int netlist_type = 0;
    bool flat = false;
    bool flag1 = false;
    bool flag2 = false;
    bool flag3 = false;
    bool flag4 = false;
    bool verbose = false;
};

// The pin of an atom in the simulation netlist.
class WSC_ATOM_INFO {
public:
    explicit WSC_ATOM_INFO(std::string pin_name) : m_pin_name(std::move(pin_name)) {}
    const std::string& pin_name() const { return m_pin_name; }

private:
    std::string m_pin_name;
};

const HOST_HIERARCHY_BUILDER_ARGUMENTS& host_hierarchy_builder_arguments(const WSC_HIERARCHY_BUILDER& builder);
// Builders constructed since the process started (or the last clear), and
// the arguments of the newest one (null when there was none).
std::size_t host_hierarchy_builders_made();
const HOST_HIERARCHY_BUILDER_ARGUMENTS* host_last_hierarchy_builder_arguments();
void host_clear_hierarchy_builder_record();

// The EDA form of a name: unchanged when every level is a plain identifier
// (letters, digits, '_', '$', not starting with a digit; the last level may
// end in a bit index "[n]"), else escaped as "\" + name + " ", with a bit
// index kept after the space ("\top/u1/q~reg [3]").
std::string host_escape_eda_name(const std::string& name, const char* separator);
