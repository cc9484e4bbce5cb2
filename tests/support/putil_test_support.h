// Shared test support: a fixture that silences and records the host's
// messages, checks that the library frees what it allocates, and writes
// small waveform files into a scratch folder; plus design builders.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/host_test_fixture.h"
#include "putil_host.h"

class PUTIL_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        char folder[] = "/tmp/putil_test_XXXXXX";
        m_folder = mkdtemp(folder);
        m_live_blocks = host_memory_live_blocks("PUTIL");
    }
    void TearDown() override
    {
        EXPECT_EQ(host_memory_live_blocks("PUTIL"), m_live_blocks) << "the library leaked memory";
        host_set_current_design(nullptr);
        HOST_TEST::TearDown();
        std::filesystem::remove_all(m_folder);
    }

    // Writes text into the scratch folder; answers the file's path.
    std::string write_file(const std::string& name, const std::string& text) const
    {
        const std::string path = m_folder + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::vector<unsigned> posted_ids() const
    {
        std::vector<unsigned> ids;
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            ids.push_back(message.id);
        return ids;
    }

    std::string m_folder;
    std::size_t m_live_blocks = 0;
};

// A design with one combinational atom per signal path, each driving one
// sink (delay_ps on that connection when >= 0).
inline std::unique_ptr<HOST_DESIGN> putil_make_signal_design(const std::vector<std::string>& paths,
                                                              int delay_ps = -1)
{
    auto design = std::make_unique<HOST_DESIGN>();
    HOST_ATOM* sink = design->add_atom("sink", HOST_ATOM_KIND::OTHER);
    for (const std::string& path : paths) {
        HOST_ATOM* atom = design->add_atom(path, HOST_ATOM_KIND::LCELL_COMB);
        design->add_input(sink, 0, design->add_output(atom, path, 0, false), false, delay_ps);
    }
    return design;
}

// The store's record of the term driving path (first term of that name).
inline PUTIL_OUTPUT_SIGNAL_DATA* putil_signal_data(HOST_DESIGN& design, const std::string& path)
{
    CDB_ATOM_NETLIST* netlist = design.netlist();
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            if ((*term)->get_string_hpath() == path)
                return design.store()->get_output_signal_data(*term);
        }
    }
    return nullptr;
}
