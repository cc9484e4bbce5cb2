// Clock settings: constraint clocks become toggle rates and duty cycles of
// their terms, mirrored across pins; PLL and clock control outputs derive
// theirs; and the calculator builds and releases the timing netlist.
#include "clock_test_support.h"

namespace {

// "tr <rate> <user|sim>, sp <value> <user|sim>", "-" for a value not given.
std::string record_text(const CLOCK_DESIGN& d, const char* name)
{
    const PUTIL_OUTPUT_SIGNAL_DATA* data = d.design.store()->get_output_signal_data(d.term(name));
    std::ostringstream text;
    const auto value = [&](const char* label, float number, int user_flag, int sim_flag) {
        text << label;
        if (data->get_flag_value(user_flag))
            text << " " << number << " user";
        else if (data->get_flag_value(sim_flag))
            text << " " << number << " sim";
        else
            text << " -";
    };
    value("tr", data->get_toggle_rate(), PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE, PUTIL_TOGGLE_RATE_ANNOTATED);
    text << ", ";
    value("sp", data->get_static_probability(), PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE,
          PUTIL_STATIC_PROBABILITY_ANNOTATED);
    return text.str();
}

struct SETTINGS_CASE {
    const char* name;
    void (*build)(CLOCK_DESIGN&);
    bool ignore_settings;
    std::map<std::string, std::string> expected;
};

// An I/O pad with a pad output and a combinational output, and a clock of
// 100 MHz on one of them.
void pad_clock(CLOCK_DESIGN& d, int clocked_port)
{
    HOST_ATOM* pin = d.design.add_atom("pin", HOST_ATOM_KIND::IO_PAD);
    HOST_OTERM* pad = d.output(pin, "pad", DB_OPORT_PADIO);
    HOST_OTERM* combout = d.output(pin, "combout", DB_OPORT_COMBOUT);
    d.design.add_clock("clk", 10000, 0.25, {clocked_port == DB_OPORT_PADIO ? pad : combout});
}

void clock_on_pad(CLOCK_DESIGN& d) { pad_clock(d, DB_OPORT_PADIO); }
void clock_on_combout(CLOCK_DESIGN& d) { pad_clock(d, DB_OPORT_COMBOUT); }

void two_clocks_slow_first(CLOCK_DESIGN& d)
{
    HOST_OTERM* t = d.gate("t", {});
    d.design.add_clock("slow", 10000, 0.25, {t});
    d.design.add_clock("fast", 5000, 0.75, {t});
}

void two_clocks_fast_first(CLOCK_DESIGN& d)
{
    HOST_OTERM* t = d.gate("t", {});
    d.design.add_clock("fast", 5000, 0.75, {t});
    d.design.add_clock("slow", 10000, 0.25, {t});
}

void simulated_rate(CLOCK_DESIGN& d)
{
    HOST_OTERM* t = d.gate("t", {});
    d.design.add_clock("clk", 10000, 0.5, {t});
    d.preset_rate(t, 1e6f, false);
}

void duty_cycle_out_of_range(CLOCK_DESIGN& d) { d.design.add_clock("clk", 10000, 1.5, {d.gate("t", {})}); }
void no_period(CLOCK_DESIGN& d) { d.design.add_clock("clk", TDC_INT_NOT_SET, 0.5, {d.gate("t", {})}); }

// A PLL that doubles the frequency of a 100 MHz reference.
HOST_OTERM* doubling_pll(CLOCK_DESIGN& d, HOST_OTERM* reference)
{
    HOST_OTERM* pll = d.gate("pll", {}, HOST_ATOM_KIND::PLL, DB_OPORT_CLKOUT);
    d.design.add_input(pll->atom(), DB_IPORT_PLL_INCLK, reference);
    d.design.set_atom_parameter(pll->atom(), HOST_PLL_MULTIPLY_PARAMETER, 2);
    d.design.set_atom_parameter(pll->atom(), HOST_PLL_DIVIDE_PARAMETER, 1);
    return pll;
}

void pll_from(CLOCK_DESIGN& d, bool from_user)
{
    HOST_OTERM* reference = d.pin("ref");
    doubling_pll(d, reference);
    d.preset_rate(reference, 2e8f, from_user);
}

void pll_from_user_rate(CLOCK_DESIGN& d) { pll_from(d, true); }
void pll_from_simulated_rate(CLOCK_DESIGN& d) { pll_from(d, false); }

// A clock control block choosing between 50 and 100 MHz with select line
// 0 tied to 1 and line 1 tied to 0 (or driven by logic).
void clock_control(CLOCK_DESIGN& d, bool static_select)
{
    HOST_OTERM* slow = d.pin("slow");
    HOST_OTERM* fast = d.pin("fast");
    HOST_OTERM* ctrl = d.gate("ctrl", {}, HOST_ATOM_KIND::CLOCK_CONTROL, DB_OPORT_CLKOUT);
    d.design.add_input(ctrl->atom(), DB_IPORT_CLKCTRL_INCLK, slow);
    d.design.add_input(ctrl->atom(), DB_IPORT_CLKCTRL_INCLK, fast);
    d.design.tie_input(d.design.add_input(ctrl->atom(), DB_IPORT_CLKSELECT, nullptr), HOST_INPUT_TIE::VCC);
    HOST_ITERM* line1 = d.design.add_input(ctrl->atom(), DB_IPORT_CLKSELECT, static_select ? nullptr : d.pin("sel"));
    if (static_select)
        d.design.tie_input(line1, HOST_INPUT_TIE::GND);
    d.preset_rate(slow, 1e8f, true);
    d.preset_rate(fast, 2e8f, true);
}

void clock_control_static_select(CLOCK_DESIGN& d) { clock_control(d, true); }
void clock_control_logic_select(CLOCK_DESIGN& d) { clock_control(d, false); }

// A PLL fed by a clock control block fed by the PLL.
void feedback_loop(CLOCK_DESIGN& d)
{
    HOST_OTERM* ctrl = d.gate("ctrl", {}, HOST_ATOM_KIND::CLOCK_CONTROL, DB_OPORT_CLKOUT);
    d.design.add_input(ctrl->atom(), DB_IPORT_CLKCTRL_INCLK, doubling_pll(d, ctrl));
}

void pad_clock_and_pll(CLOCK_DESIGN& d)
{
    HOST_OTERM* reference = d.pin("ref");
    doubling_pll(d, reference);
    pad_clock(d, DB_OPORT_PADIO);
    d.preset_rate(reference, 2e8f, true);
}

const SETTINGS_CASE s_settings_cases[] = {
    {"clock_on_pad_mirrored", clock_on_pad, false,
     {{"pad", "tr 2e+08 user, sp 0.25 user"}, {"combout", "tr 2e+08 user, sp 0.25 user"}}},
    {"clock_on_combout_mirrored", clock_on_combout, false,
     {{"pad", "tr 2e+08 user, sp 0.25 user"}, {"combout", "tr 2e+08 user, sp 0.25 user"}}},
    {"two_clocks_slow_first", two_clocks_slow_first, false, {{"t", "tr 4e+08 user, sp 0.75 user"}}},
    {"two_clocks_fast_first", two_clocks_fast_first, false, {{"t", "tr 4e+08 user, sp 0.75 user"}}},
    {"simulated_rate_kept", simulated_rate, false, {{"t", "tr 1e+06 sim, sp 0.5 user"}}},
    {"duty_cycle_out_of_range", duty_cycle_out_of_range, false, {{"t", "tr 2e+08 user, sp -"}}},
    {"no_period", no_period, false, {{"t", "tr -, sp -"}}},
    {"pll_from_user_rate", pll_from_user_rate, false, {{"pll", "tr 4e+08 user, sp -"}}},
    {"pll_from_simulated_rate", pll_from_simulated_rate, false, {{"pll", "tr 4e+08 sim, sp -"}}},
    {"clock_control_static_select", clock_control_static_select, false, {{"ctrl", "tr 2e+08 user, sp -"}}},
    {"clock_control_logic_select", clock_control_logic_select, false, {{"ctrl", "tr -, sp -"}}},
    {"feedback_loop", feedback_loop, false, {{"ctrl", "tr -, sp -"}, {"pll", "tr -, sp -"}}},
    {"ignored", pad_clock_and_pll, true, {{"pll", "tr -, sp -"}, {"pad", "tr -, sp -"}, {"combout", "tr -, sp -"}}},
};

class CLOCK_SETTINGS : public CLOCK_TEST, public ::testing::WithParamInterface<SETTINGS_CASE> {};

TEST_P(CLOCK_SETTINGS, write_rates_and_duty_cycles)
{
    GetParam().build(m_design);
    host_set_setting("putil_ignore_clock_settings", GetParam().ignore_settings ? "on" : "off");
    m_calculator.reset(make_calculator());
    m_calculator->apply_clock_settings();
    for (const auto& [term, expected] : GetParam().expected)
        EXPECT_EQ(record_text(m_design, term.c_str()), expected) << term;
}

INSTANTIATE_TEST_SUITE_P(CASES, CLOCK_SETTINGS, ::testing::ValuesIn(s_settings_cases), row_name);

// Whether the caller built the timing netlist, and which routing data was
// loaded before; what the calculator builds and what it unloads.
struct CONSTRUCTION_CASE {
    const char* name;
    bool use_existing_timing_netlist;
    bool use_second_timing_options;
    bool route_view;
    bool route_loaded;
    bool route_timing_loaded;
    int builds;
    bool route_timing_loaded_after;
    int destroys;
};

const CONSTRUCTION_CASE s_construction_cases[] = {
    // The caller's build loaded the routing timing data; it stays.
    {"existing_timing_netlist", true, false, true, false, false, 0, true, 0},
    {"no_route_view", false, false, false, false, false, 1, false, 0},
    {"route_timing_loaded_by_the_build", false, false, true, false, false, 1, false, 1},
    {"only_route_loaded_before", false, true, true, true, false, 1, false, 1},
    {"route_timing_loaded_before", false, false, true, false, true, 1, true, 0},
    {"both_loaded_before", false, false, true, true, true, 1, true, 0},
};

class CLOCK_CONSTRUCTION : public CLOCK_TEST, public ::testing::WithParamInterface<CONSTRUCTION_CASE> {};

TEST_P(CLOCK_CONSTRUCTION, builds_and_releases_what_it_loads)
{
    const CONSTRUCTION_CASE& c = GetParam();
    putil_two_clocks_meet(m_design);
    HOST_DEVICE* device = m_design.design.device();
    device->set_route_view(c.route_view);
    if (c.route_view) {
        device->set_route_data_loaded(c.route_loaded);
        device->set_route_timing_data_loaded(c.route_timing_loaded);
    }
    if (c.use_existing_timing_netlist)
        m_design.design.build_timing_netlist();
    host_clear_timing_api_record();

    m_calculator.reset(make_calculator(c.use_existing_timing_netlist, c.use_second_timing_options));
    const HOST_TIMING_API_RECORD built = host_timing_api_record();
    EXPECT_FALSE(host_timing_scope_open());
    EXPECT_EQ(built.builds, c.builds);
    EXPECT_EQ(built.scope_starts, c.builds);
    if (c.builds > 0) {
        EXPECT_EQ(built.invoke_mode, 1);
        const int first = c.use_second_timing_options ? 1000 : TDC_INT_NOT_SET;
        EXPECT_EQ(built.options.first, first);
        EXPECT_EQ(built.options.second, !c.use_second_timing_options);
        EXPECT_EQ(built.options.fifth, TDC_INT_NOT_SET);
        EXPECT_EQ(built.build_flags[0], !c.use_second_timing_options);
    }
    EXPECT_NE(m_design.design.timing_netlist(), nullptr);

    m_calculator.reset();
    EXPECT_EQ(host_timing_api_record().releases, c.builds);
    EXPECT_EQ(host_timing_api_record().released_databases, std::vector<int>(c.builds, 5));
    EXPECT_EQ(device->route_timing_data_loaded(), c.route_timing_loaded_after);
    if (c.route_view) {
        EXPECT_EQ(device->route_data_loaded(), c.route_loaded);
        EXPECT_EQ(device->route_view()->route_timing().destroy_count(), c.destroys);
    }
}

INSTANTIATE_TEST_SUITE_P(CASES, CLOCK_CONSTRUCTION, ::testing::ValuesIn(s_construction_cases), row_name);

}  // namespace
