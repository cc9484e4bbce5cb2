// Host netlist-writer hierarchy builder: the names that the EDA simulation
// netlist gives to the design's signals and pins.
#pragma once

#include <string>

class CMP_FACADE;
class CDB_ATOM_NETLIST;
class CDB_ATOM_HIERARCHY_LIST;
class CDB_ATOM_NODE;
class CDB_ATOM_OTERM;
class WSC_ATOM_INFO;
class WSC_HIERARCHY_BUILDER_DATA;

class WSC_HIERARCHY_BUILDER {
public:
    WSC_HIERARCHY_BUILDER(CMP_FACADE* facade, const char* name_text, CDB_ATOM_NETLIST* netlist,
                          CDB_ATOM_HIERARCHY_LIST* hierarchy_list, int netlist_type, bool flat,
                          bool flag1, bool flag2, bool flag3, bool flag4, bool verbose);
    ~WSC_HIERARCHY_BUILDER();
    WSC_HIERARCHY_BUILDER(const WSC_HIERARCHY_BUILDER&) = delete;
    WSC_HIERARCHY_BUILDER& operator=(const WSC_HIERARCHY_BUILDER&) = delete;

    void build();
    bool is_built_successfully() const;

    // Null when the netlist writer has no pin of this atom.
    const WSC_ATOM_INFO* find_atom_info(const CDB_ATOM_NODE* atom) const;
    std::string get_pin_name(const CDB_ATOM_NODE* atom) const;
    // Writes the EDA name of the signal the term drives, levels joined by
    // separator; false when the term has none.
    bool get_signal_hierarchical_name(const CDB_ATOM_OTERM* oterm, std::string& name,
                                      const char* separator, bool escaped) const;
    // Whether name (levels each followed by separator) is an instance path of
    // the EDA netlist.
    bool is_valid_hierarchy_name(const std::string& name, const char* separator) const;

private:
    WSC_HIERARCHY_BUILDER_DATA* m_data;
};
