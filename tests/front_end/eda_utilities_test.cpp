// The simulation tool's netlist type decides the name case rule and the
// hierarchy builder the library asks the host for.
#include "host/host_test_fixture.h"
#include "host/wsc_hierarchy_builder.h"
#include "core/putil_eda_utilities.h"

namespace {

struct EDA_TOOL_CASE {
    const char* name;
    int tool_netlist_type;     // < 0: no simulation tool set
    int naming_style;          // setting 996
    bool lower_case;
    int builder_netlist_type;  // < 0: no builder made
    bool flag1;
};

class EDA_UTILITIES_TEST : public HOST_TEST, public ::testing::WithParamInterface<EDA_TOOL_CASE> {};

TEST_P(EDA_UTILITIES_TEST, follows_the_simulation_tool)
{
    const EDA_TOOL_CASE& row = GetParam();
    HOST_DESIGN design;
    if (row.tool_netlist_type >= 0)
        design.set_eda_tool(row.tool_netlist_type);
    design.set_eda_tool_setting(996, row.naming_style);
    design.set_eda_tool_setting(976, 1);

    EXPECT_EQ(putil_eda_lower_case_names(design.facade()), row.lower_case);
    WSC_HIERARCHY_BUILDER* builder = nullptr;
    EXPECT_EQ(putil_eda_create_hierarchy_builder(design.facade(), &builder), row.builder_netlist_type >= 0);
    ASSERT_EQ(builder != nullptr, row.builder_netlist_type >= 0);
    if (builder != nullptr) {
        const HOST_HIERARCHY_BUILDER_ARGUMENTS* a = host_last_hierarchy_builder_arguments();
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->netlist, design.netlist());
        // Flat; flag2, flag3 and flag4 are the settings 979, 976 and 977.
        EXPECT_EQ(std::make_tuple(a->netlist_type, a->flat, a->flag1, a->flag2, a->flag3, a->flag4, a->verbose),
                  std::make_tuple(row.builder_netlist_type, true, row.flag1, false, true, false, false));
    }
    delete builder;
}

INSTANTIATE_TEST_SUITE_P(TOOLS, EDA_UTILITIES_TEST, ::testing::Values(
    EDA_TOOL_CASE{"no_tool", -1, 2, false, -1, false},
    EDA_TOOL_CASE{"type_2_lower_case", 2, 2, true, 0, true},
    EDA_TOOL_CASE{"type_3_as_written", 3, 334, false, 3, true},
    EDA_TOOL_CASE{"type_4", 4, 7, false, 9, false},
    EDA_TOOL_CASE{"type_5_has_no_names", 5, 2, false, -1, false}), row_name);

}  // namespace
