// Times the transceiver model on synthetic devices: strips of six channels
// (a channel block with four leaf blocks each), two transceiver PLLs and a
// general PLL per strip, a design with an atom on every leaf and PLL, and a
// bonding walk from each strip's PLL through a relaying atom to its leaves.
// Prints one line per size: blocks, elements, seconds (best of three runs
// of build, fill and walks) and seconds per block.
//
// usage: putil_bench_hssi_model [BLOCKS ...]   (default 10000 40000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "hssi/putil_hssi_info.h"
#include "putil_host.h"

namespace {

constexpr int s_family = 60;
constexpr int s_channels_per_strip = 6;
constexpr int s_blocks_per_strip = 1 + s_channels_per_strip * 5 + 3;
constexpr int s_runs = 3;
enum KIND { STRIP = 699, CHANNEL = 819, TX_PMA = 815, RX_PMA = 816, RX_PCS = 825, TX_PCS = 828, TX_PLL = 812,
            GENERAL_PLL = 50 };
const int s_leaf_kinds[] = {TX_PMA, RX_PMA, RX_PCS, TX_PCS};

// Captures every placed atom as "used" and starts the bonding walks.
class BENCH_HSSI_INFO : public PUTIL_HSSI_INFO {
public:
    void fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* element, CDB_ATOM_NODE* atom) override
    {
        fill_in_hssi_info_from_cdb_atom_io(element, atom);
    }
    void walk(const std::vector<HOST_OTERM*>& sources)
    {
        for (std::size_t i = 0; i < sources.size(); ++i)
            set_bonding_index_on_fanout(sources[i], static_cast<int>(i % 4) + 1);
    }
};

struct BENCH_DESIGN {
    HOST_DESIGN design;
    std::vector<HOST_OTERM*> bonding_sources;
    int blocks = 0;
};

void add_block(BENCH_DESIGN& bench, unsigned gid, int kind, int x, int y, unsigned parent)
{
    bench.design.device()->add_block(gid, static_cast<DEV_ELEMENT_ENUM>(kind), static_cast<DEV_PHYS_IMPL_ENUM>(1),
                                     x, y, parent);
    ++bench.blocks;
}

HOST_ATOM* placed_atom(BENCH_DESIGN& bench, unsigned gid)
{
    HOST_ATOM* atom = bench.design.add_atom("a" + std::to_string(gid), HOST_ATOM_KIND::OTHER);
    bench.design.set_atom_location(atom, gid);
    return atom;
}

// One strip at column x: blocks, atoms and the bonding network.
void add_strip(BENCH_DESIGN& bench, int strip, unsigned& gid)
{
    HOST_DESIGN& design = bench.design;
    const int x = strip % 40, y0 = (strip / 40) * 64;
    const unsigned strip_gid = gid++;
    add_block(bench, strip_gid, STRIP, x, y0, DEV_ILLEGAL_GLOBAL_ID);
    const unsigned pll_gid = gid++;
    add_block(bench, pll_gid, TX_PLL, x, y0 + 1, strip_gid);
    add_block(bench, gid++, TX_PLL, x, y0 + 2, strip_gid);
    const unsigned general_pll_gid = gid++;
    add_block(bench, general_pll_gid, GENERAL_PLL, x, y0 + 3, strip_gid);

    HOST_ATOM* pll = placed_atom(bench, pll_gid);
    design.set_atom_flag(pll, HOST_ATOM_BONDING_PLL, true);
    HOST_OTERM* pll_clock = design.add_output(pll, "s" + std::to_string(strip) + "|pll", DB_OPORT_CLKOUT, false);
    HOST_ATOM* relay = design.add_atom("relay", HOST_ATOM_KIND::OTHER);
    design.set_atom_flag(relay, HOST_ATOM_BONDING_MULTI_OUTPUT, true);
    design.add_input(relay, 0, pll_clock);
    HOST_OTERM* bonding_clock = design.add_output(relay, "s" + std::to_string(strip) + "|bond", 385, false);
    HOST_ATOM* general_pll = placed_atom(bench, general_pll_gid);
    HOST_OTERM* general_clock =
        design.add_output(general_pll, "s" + std::to_string(strip) + "|gpll", DB_OPORT_CLKOUT, false);
    bench.bonding_sources.push_back(pll_clock);

    for (int channel = 0; channel < s_channels_per_strip; ++channel) {
        const unsigned channel_gid = gid++;
        const int y = y0 + 4 + channel * 5;
        add_block(bench, channel_gid, CHANNEL, x, y, strip_gid);
        for (int leaf = 0; leaf < 4; ++leaf) {
            const unsigned leaf_gid = gid++;
            add_block(bench, leaf_gid, s_leaf_kinds[leaf], x, y + 1 + leaf, channel_gid);
            HOST_ATOM* atom = placed_atom(bench, leaf_gid);
            design.add_input(atom, 0, leaf == 0 ? general_clock : bonding_clock);
        }
    }
}

std::unique_ptr<BENCH_DESIGN> make_design(long blocks)
{
    auto bench = std::make_unique<BENCH_DESIGN>();
    HOST_DEVICE* device = bench->design.device();
    device->set_family(static_cast<DEV_FAMILY_ENUM>(s_family));
    std::vector<std::vector<int>> kinds;
    for (int kind : {STRIP, CHANNEL, TX_PMA, RX_PMA, RX_PCS, TX_PCS, TX_PLL, GENERAL_PLL})
        kinds.push_back({kind, 1});
    device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, kinds);
    device->set_die_width(40);
    unsigned gid = 1;
    for (int strip = 0; bench->blocks + s_blocks_per_strip <= blocks; ++strip)
        add_strip(*bench, strip, gid);
    return bench;
}

double time_model(BENCH_DESIGN& bench, int& elements)
{
    double best = 1e30;
    for (int run = 0; run < s_runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        BENCH_HSSI_INFO model;
        model.build_hssi_info_from_device_database(bench.design.device());
        model.fill_in_hssi_info_from_cdb_atom_netlist(bench.design.netlist(), bench.design.store());
        model.walk(bench.bonding_sources);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        elements = model.get_num_hssi_elements();
        best = std::min(best, elapsed.count());
    }
    return best;
}

}   // namespace

int main(int argc, char** argv)
{
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atol(argv[i]));
    if (sizes.empty())
        sizes = {10000, 40000};
    for (long size : sizes) {
        std::unique_ptr<BENCH_DESIGN> bench = make_design(size);
        host_set_current_design(&bench->design);
        int elements = 0;
        const double seconds = time_model(*bench, elements);
        std::printf("blocks %d elements %d seconds %.4f seconds_per_block %.4e\n", bench->blocks, elements, seconds,
                    seconds / bench->blocks);
        host_set_current_design(nullptr);
    }
    return 0;
}
