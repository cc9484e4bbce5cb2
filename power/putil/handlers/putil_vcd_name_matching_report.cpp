// Name-matching report of the stats collector: which pins and registers no
// waveform signal matched, which matched signals never had a known value,
// and counts by category.
#include <algorithm>
#include <fstream>

#include "host/cdb_atom.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "core/putil_replaced_file.h"
#include "handlers/putil_vcd_parser_event_handler_stats_collector.h"

namespace {

enum REGISTER_CATEGORY { CATEGORY_MAC_MULT, CATEGORY_MAC_OUT, CATEGORY_LCELL, CATEGORY_RAM, CATEGORY_COUNT, CATEGORY_NONE };

const char* const CATEGORY_NAMES[CATEGORY_COUNT] = {"MAC_MULT", "MAC_OUT", "LCELL", "RAM"};

// The first category that holds, in the order multiplier, MAC output, RAM, logic cell.
REGISTER_CATEGORY category_of(const CDB_ATOM_NODE* atom)
{
    if (atom->is_mac_mult_atom())
        return CATEGORY_MAC_MULT;
    if (atom->is_mac_out_atom())
        return CATEGORY_MAC_OUT;
    if (atom->is_ram_atom())
        return CATEGORY_RAM;
    if (atom->is_lcell_atom() || atom->is_lcell_comb_atom() || atom->is_lcell_ff_atom())
        return CATEGORY_LCELL;
    return CATEGORY_NONE;
}

struct MATCHING_COUNTS {
    unsigned pin_oterms = 0;
    unsigned pin_oterms_unmatched = 0;
    unsigned registered_oterms = 0;
    unsigned registered_oterms_unmatched = 0;
    unsigned category_registered[CATEGORY_COUNT] = {};
    unsigned category_unmatched[CATEGORY_COUNT] = {};

    void write_summary(std::ostream& out) const
    {
        out << "PIN_OTERMS\t" << pin_oterms << "\n";
        out << "PIN_OTERMS_UNMATCHED\t" << pin_oterms_unmatched << "\n";
        out << "REGISTERED_OTERMS\t" << registered_oterms << "\n";
        out << "REGISTERED_OTERMS_UNMATCHED\t" << registered_oterms_unmatched << "\n";
        for (int category = 0; category < CATEGORY_COUNT; ++category) {
            out << CATEGORY_NAMES[category] << "_REGISTERED_OTERMS\t" << category_registered[category] << "\n";
            out << CATEGORY_NAMES[category] << "_REGISTERED_OTERMS_UNMATCHED\t" << category_unmatched[category]
                << "\n";
        }
    }
};

}  // namespace

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::write_name_matching_info()
{
    PUTIL_REPLACED_FILE unmatched_file(putil_side_file("putil_vcd_unmatched_names_list.txt"));
    PUTIL_REPLACED_FILE no_data_file(putil_side_file("putil_vcd_no_data_list.txt"));
    std::ostream& unmatched_list = unmatched_file.stream();
    std::ostream& no_data_list = no_data_file.stream();
    CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != 0);

    MATCHING_COUNTS counts;
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        const CDB_ATOM_NODE* atom = *node;
        for (auto term = atom->begin_oterm(); term != atom->end_oterm(); ++term) {
            CDB_ATOM_OTERM* oterm = *term;
            const auto records = records_of(oterm);
            const bool matched = records.first != records.second;
            const bool has_data =
                std::any_of(m_oterm_infos.begin() + records.first, m_oterm_infos.begin() + records.second,
                            [this](const OTERM_INFO& info) { return record_time(info.known_time) != 0; });
            const std::string hpath = oterm->get_string_hpath();

            if (putil_is_named_pin_side(atom, oterm)) {
                ++counts.pin_oterms;
                if (!matched) {
                    ++counts.pin_oterms_unmatched;
                    unmatched_list << hpath << ",PIN\n";
                }
            }
            if (oterm->is_registered()) {
                const REGISTER_CATEGORY category = category_of(atom);
                ++counts.registered_oterms;
                if (category != CATEGORY_NONE)
                    ++counts.category_registered[category];
                if (!matched) {
                    ++counts.registered_oterms_unmatched;
                    if (category != CATEGORY_NONE) {
                        ++counts.category_unmatched[category];
                        unmatched_list << hpath << "," << CATEGORY_NAMES[category] << "\n";
                    }
                }
            }
            if (matched && !has_data)
                no_data_list << hpath << "\n";
        }
    }
    putil_commit_or_report(unmatched_file);
    putil_commit_or_report(no_data_file);
    putil_write_side_file("putil_vcd_unmatched_names_summary.txt",
                          [&](std::ostream& summary) { counts.write_summary(summary); });
}
