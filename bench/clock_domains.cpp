// Times calculate_clock_domains on synthetic designs of 64 clock domains:
// pipelines of registers with logic between them, some stages taking data
// from the next domain, so that both walks and the conflict rules work.
// Prints one line per size: nodes, edges, clocks, seconds (best of three
// runs), seconds per (clock x edge) and per node.
//
// usage: putil_bench_clock_domains [NODES ...]   (default 250000 1000000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "clocks/putil_clock_domain_calculator.h"
#include "putil_host.h"

namespace {

const int s_clocks = 64;
// Gates between two registers of a stage.
const int s_depth = 7;
// Every this many stages the first gate also takes a register of the next
// domain.
const int s_cross_domain_every = 16;
const int s_runs = 3;

struct DOMAIN {
    HOST_OTERM* clock;
    HOST_OTERM* last_register;
    HOST_INSTANCE* scope;
};

HOST_OTERM* add_gate(HOST_DESIGN& design, HOST_INSTANCE* scope, int number, const std::vector<HOST_OTERM*>& inputs)
{
    HOST_ATOM* atom = design.add_atom("g", HOST_ATOM_KIND::LCELL_COMB);
    HOST_OTERM* out = design.add_output(atom, scope->make_child("g" + std::to_string(number)), 0, false);
    for (HOST_OTERM* input : inputs)
        design.add_input(atom, 0, input);
    return out;
}

HOST_OTERM* add_register(HOST_DESIGN& design, HOST_INSTANCE* scope, int number, HOST_OTERM* clock,
                         HOST_OTERM* data)
{
    HOST_ATOM* atom = design.add_atom("r", HOST_ATOM_KIND::LCELL_FF);
    HOST_OTERM* q = design.add_output(atom, scope->make_child("r" + std::to_string(number)), 0, true);
    design.set_clock_input(design.add_input(atom, 0, clock), true);
    if (data != nullptr)
        design.add_input(atom, 1, data);
    return q;
}

// One stage per domain in turn, until the design has about nodes output
// terms: a register, then s_depth gates from it to the next register.
void build_design(HOST_DESIGN& design, long nodes)
{
    std::vector<DOMAIN> domains(s_clocks);
    for (int c = 0; c < s_clocks; ++c) {
        const std::string name = "clk" + std::to_string(c);
        HOST_ATOM* pin = design.add_atom(name, HOST_ATOM_KIND::CLOCK_PIN);
        HOST_OTERM* clock = design.add_output(pin, name, DB_OPORT_PADIO, false);
        // Periods of 2 to 8.3 ns: every domain has a rate of its own.
        design.add_clock(name, 2000 + 100 * c, 0.5, {clock});
        HOST_INSTANCE* scope = design.root()->make_child("d" + std::to_string(c));
        domains[c] = DOMAIN{clock, add_register(design, scope, 0, clock, nullptr), scope};
    }
    const long stages = nodes / (s_depth + 1) / s_clocks;
    for (long stage = 1; stage <= stages; ++stage) {
        for (int c = 0; c < s_clocks; ++c) {
            DOMAIN& domain = domains[c];
            std::vector<HOST_OTERM*> first_inputs = {domain.last_register};
            if (stage % s_cross_domain_every == 0)
                first_inputs.push_back(domains[(c + 1) % s_clocks].last_register);
            const int base = static_cast<int>(stage) * (s_depth + 1);
            HOST_OTERM* gate = add_gate(design, domain.scope, base, first_inputs);
            for (int j = 1; j < s_depth; ++j)
                gate = add_gate(design, domain.scope, base + j, {gate, domain.last_register});
            domain.last_register = add_register(design, domain.scope, base + s_depth, domain.clock, gate);
        }
    }
}

void run(long nodes)
{
    HOST_DESIGN design("bench");
    host_set_current_design(&design);
    build_design(design, nodes);
    std::unique_ptr<PUTIL_CLOCK_DOMAIN_CALCULATOR> calculator(
        putil_create_putil_clock_domain_calculator(design.store(), design.facade(), false, false));
    calculator->apply_clock_settings();

    // Best of a few runs: each run starts afresh from the same settings.
    double seconds = 0.0;
    for (int run = 0; run < s_runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        calculator->calculate_clock_domains(STRICT);
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || elapsed < seconds)
            seconds = elapsed;
    }

    const double node_count = static_cast<double>(design.timing_netlist()->node_count());
    const double edge_count = static_cast<double>(design.timing_netlist()->edge_count());
    std::printf("nodes %.0f edges %.0f clocks %d seconds %.3f seconds_per_clock_edge %.3e seconds_per_node %.3e\n",
                node_count, edge_count, s_clocks, seconds, seconds / (s_clocks * edge_count), seconds / node_count);
    std::fflush(stdout);
    calculator.reset();
    host_set_current_design(nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::strtol(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {250000, 1000000};
    for (const long nodes : sizes)
        run(nodes);
    return 0;
}
