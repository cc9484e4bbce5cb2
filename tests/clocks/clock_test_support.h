// Clock test support: small designs of clock pins, registers and gates made
// with the host builders, and a fixture that runs the clock domain
// calculator over them in the scratch folder and reads its results back.
#pragma once

#include <map>
#include <sstream>

#include "clocks/putil_clock_domain_calculator.h"
#include "putil_test_support.h"

// Builders of one design. Atoms enter the netlist in the order they are
// made, and so do timing nodes: the first clock made is domain 0.
class CLOCK_DESIGN {
public:
    // A clock pin with one pad output under a constraint clock (no clock
    // when period_ps is 0).
    HOST_OTERM* clock_pin(const std::string& name, int period_ps, double duty_cycle = 0.5)
    {
        HOST_OTERM* oterm = pin(name, HOST_ATOM_KIND::CLOCK_PIN);
        if (period_ps != 0)
            design.add_clock(name, period_ps, duty_cycle, {oterm});
        return oterm;
    }
    // A pin with one output, by default its pad side.
    HOST_OTERM* pin(const std::string& name, HOST_ATOM_KIND kind = HOST_ATOM_KIND::INPUT_PIN,
                    int port_type = DB_OPORT_PADIO)
    {
        return output(design.add_atom(name, kind), name, port_type);
    }
    // An output term that term() finds by name without numbering the
    // netlist (which would stop it growing).
    HOST_OTERM* output(HOST_ATOM* atom, const std::string& name, int port_type, bool registered = false)
    {
        HOST_OTERM* oterm = design.add_output(atom, name, port_type, registered);
        m_terms.emplace(name, oterm);
        return oterm;
    }
    // A register clocked by clock (none: unclocked) with data inputs.
    HOST_OTERM* reg(const std::string& name, HOST_OTERM* clock, const std::vector<HOST_OTERM*>& data = {})
    {
        HOST_ATOM* atom = design.add_atom(name, HOST_ATOM_KIND::LCELL_FF);
        HOST_OTERM* q = output(atom, name, 0, true);
        if (clock != nullptr)
            design.set_clock_input(design.add_input(atom, 0, clock), true);
        for (HOST_OTERM* source : data)
            design.add_input(atom, 1, source);
        return q;
    }
    HOST_OTERM* gate(const std::string& name, const std::vector<HOST_OTERM*>& inputs,
                     HOST_ATOM_KIND kind = HOST_ATOM_KIND::LCELL_COMB, int port_type = 0)
    {
        HOST_ATOM* atom = design.add_atom(name, kind);
        HOST_OTERM* out = output(atom, name, port_type);
        for (HOST_OTERM* source : inputs)
            design.add_input(atom, 0, source);
        return out;
    }
    // Gives the term's record a toggle rate as the user (flag 2) or
    // simulation (flag 0) would.
    void preset_rate(HOST_OTERM* oterm, float rate, bool from_user)
    {
        PUTIL_OUTPUT_SIGNAL_DATA* data = design.store()->get_output_signal_data(oterm);
        data->set_toggle_rate(rate);
        data->set_flag_value(from_user ? PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE : PUTIL_TOGGLE_RATE_ANNOTATED, true);
    }
    // The first term made under that name.
    HOST_OTERM* term(const std::string& name) const { return m_terms.find(name)->second; }

    HOST_DESIGN design;

private:
    std::multimap<std::string, HOST_OTERM*> m_terms;
};

class CLOCK_TEST : public PUTIL_TEST {
protected:
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        host_set_current_design(&m_design.design);
        // The dump goes to the working directory.
        m_previous_directory = std::filesystem::current_path();
        std::filesystem::current_path(m_folder);
    }
    void TearDown() override
    {
        m_calculator.reset();
        std::filesystem::current_path(m_previous_directory);
        PUTIL_TEST::TearDown();
    }

    PUTIL_CLOCK_DOMAIN_CALCULATOR* make_calculator(bool use_existing_timing_netlist = false,
                                                   bool use_second_timing_options = false)
    {
        return putil_create_putil_clock_domain_calculator(m_design.design.store(), m_design.design.facade(),
                                                          use_existing_timing_netlist, use_second_timing_options);
    }

    // The dump's columns after the term's name, tab-separated: frequency,
    // rate from the fanout walk, two domains met forward, two register
    // domains met backward, clock net, domain.
    std::map<std::string, std::string> dump_rows() const
    {
        std::map<std::string, std::string> rows;
        const std::vector<std::string> lines = putil_lines_of(putil_read_text("power_clock_domain_info.dump"));
        for (std::size_t i = 3; i < lines.size(); ++i) {
            const std::size_t tab = lines[i].find('\t');
            rows[lines[i].substr(0, tab)] = lines[i].substr(tab + 1);
        }
        return rows;
    }

    // Applies the clock settings and calculates the domains with the dump
    // on; the calculator is left in m_calculator for queries.
    std::map<std::string, std::string> calculate(PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type)
    {
        host_set_setting("putil_clock_domain_dump", "on");
        m_calculator.reset(make_calculator());
        m_calculator->apply_clock_settings();
        m_calculator->calculate_clock_domains(type);
        return dump_rows();
    }

    CLOCK_DESIGN m_design;
    std::unique_ptr<PUTIL_CLOCK_DOMAIN_CALCULATOR> m_calculator;
    std::filesystem::path m_previous_directory;
};

// Shared designs.

// clkA (100 MHz) and clkB (50 MHz) launch registers a and b; their data
// meet on gate g.
inline void putil_two_clocks_meet(CLOCK_DESIGN& d)
{
    HOST_OTERM* a = d.reg("a", d.clock_pin("clkA", 10000));
    HOST_OTERM* b = d.reg("b", d.clock_pin("clkB", 20000));
    d.gate("g", {a, b});
}
