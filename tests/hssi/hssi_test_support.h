// Shared fixture of the transceiver model tests: a small device of a family
// without built-in tables, made current, and a check for internal errors.
#pragma once

#include "putil_hssi_info.h"
#include "putil_power_supply_info.h"
#include "putil_test_support.h"

// Element kinds and implementations of the test device.
constexpr int STRIP = 699, PART = 815, TX_PLL = 812, GENERAL_PLL = 50;
constexpr int STRIP_IMPL = 100, PART_IMPL_A = 101, PART_IMPL_B = 102, TX_PLL_IMPL = 103, PLL_IMPL = 104;
constexpr int UNMODELLED_IMPL = 99;
constexpr int TEST_FAMILY = 60;

// Runs body and expects it to stop with the internal error of expression.
template <class BODY>
void expect_internal_error(const std::string& expression, BODY body)
{
    try {
        body();
        ADD_FAILURE() << "no internal error; expected " << expression;
    } catch (const HOST_INTERNAL_ERROR& error) {
        EXPECT_EQ(error.expression, expression);
    }
}

class HSSI_TEST : public PUTIL_TEST {
protected:
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        host_set_current_design(&m_design);
        m_device = m_design.device();
        m_device->set_family(static_cast<DEV_FAMILY_ENUM>(TEST_FAMILY));
        m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS,
                                        {{STRIP, STRIP_IMPL}, {PART, PART_IMPL_A}, {PART, PART_IMPL_B},
                                         {TX_PLL, TX_PLL_IMPL}, {GENERAL_PLL, PLL_IMPL}});
    }

    void TearDown() override
    {
        // The supply tables are process-wide; their blocks are not the test's.
        PUTIL_POWER_SUPPLY_INFO::reset_tables();
        PUTIL_TEST::TearDown();
    }

    // A strip (gid 10) holding two parts (11 with a pad, 14 not enabled), a
    // block of an unmodelled implementation (12) whose own child (13) is
    // thereby cut off, and a transceiver PLL (20); a general PLL (30) on
    // its own. Element ids follow the kinds' order in the type map.
    void add_test_blocks()
    {
        add(10, STRIP, STRIP_IMPL, 1, 0);
        add(11, PART, PART_IMPL_A, 1, 1, 10);
        add(12, PART, UNMODELLED_IMPL, 2, 1, 10);
        add(13, PART, PART_IMPL_A, 2, 2, 12);
        add(14, PART, PART_IMPL_B, 3, 1, 10);
        add(20, TX_PLL, TX_PLL_IMPL, 5, 2, 10);
        add(30, GENERAL_PLL, PLL_IMPL, 8, 3);
        m_device->set_pad(11, {{2, 77}});
        m_device->set_block_enabled(14, false);
        m_device->set_die_width(10);
    }
    void add(unsigned gid, int kind, int impl, int x, int y, unsigned parent = DEV_ILLEGAL_GLOBAL_ID)
    {
        m_device->add_block(gid, static_cast<DEV_ELEMENT_ENUM>(kind), static_cast<DEV_PHYS_IMPL_ENUM>(impl), x, y,
                            parent);
    }
    static std::vector<int> ids_of(const PUTIL_HSSI_ELEMENT::ELEMENT_LIST& elements)
    {
        std::vector<int> ids;
        for (const PUTIL_HSSI_ELEMENT* element : elements)
            ids.push_back(element->get_element_id());
        return ids;
    }

    HOST_DESIGN m_design;
    HOST_DEVICE* m_device = nullptr;
};
