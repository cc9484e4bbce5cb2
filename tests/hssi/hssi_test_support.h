// Shared fixture of the transceiver model tests: a small device of a family
// without built-in tables, made current, and a check for internal errors.
#pragma once

#include <functional>

#include "hssi/families/putil_brindev_hssi_info.h"
#include "hssi/families/putil_fennick_hssi_info.h"
#include "hssi/families/putil_haldorv_hssi_info.h"
#include "hssi/putil_hssi_info.h"
#include "hssi/families/putil_kvb_hssi_info.h"
#include "hssi/families/putil_pellumv_hssi_info.h"
#include "supplies/putil_power_supply_info.h"
#include "hssi/families/putil_womblet_hssi_info.h"
#include "putil_test_support.h"

// Element kinds and implementations of the test device.
constexpr int STRIP = 699, PART = 815, TX_PLL = 812, GENERAL_PLL = 50;
constexpr int STRIP_IMPL = 100, PART_IMPL_A = 101, PART_IMPL_B = 102, TX_PLL_IMPL = 103, PLL_IMPL = 104;
constexpr int UNMODELLED_IMPL = 99;
constexpr int TEST_FAMILY = 60;

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
        // The type map's blocks would count as leaked.
        m_element_types = PUTIL_HSSI_ELEMENT_TYPE_MAP();
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
    // The element types of the elements a test makes without a model.
    PUTIL_HSSI_ELEMENT_TYPE_MAP m_element_types;
};

enum FAMILY { HALDORV = 8, PELLUMV = 9, BRINDEV = 17, KVB = 50, FENNICK = 7, WOMBLET = 42 };

inline std::unique_ptr<PUTIL_HSSI_INFO> model_of(FAMILY family)
{
    switch (family) {
    case HALDORV: return std::make_unique<PUTIL_HALDORV_HSSI_INFO>();
    case PELLUMV: return std::make_unique<PUTIL_PELLUMV_HSSI_INFO>();
    case BRINDEV: return std::make_unique<PUTIL_BRINDEV_HSSI_INFO>();
    case KVB: return std::make_unique<PUTIL_KVB_HSSI_INFO>();
    case FENNICK: return std::make_unique<PUTIL_FENNICK_HSSI_INFO>();
    default: return std::make_unique<PUTIL_WOMBLET_HSSI_INFO>();
    }
}

inline auto int_key(int key) { return static_cast<DEV_POWER_HSSI_INT_DATA_ENUM>(key); }
inline auto bool_key(int key) { return static_cast<DEV_POWER_HSSI_BOOL_DATA_ENUM>(key); }
inline auto enum_key(int key) { return static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(key); }
inline auto supply(int s) { return static_cast<DEV_POWER_SUPPLY_ENUM>(s); }
inline auto region(int r) { return static_cast<DEV_POWER_REGION_ENUM>(r); }

// A device of one family whose blocks each model builds, and a design on it.
class FAMILY_TEST : public HSSI_TEST {
protected:
    // The kinds in implementation 1; the KVB line always knows quads.
    void use_family(FAMILY family, const std::vector<int>& kinds)
    {
        DEV_2D_INT_DATA rows;
        for (int kind : kinds)
            rows.push_back({kind, 1});
        if (family == KVB || family == FENNICK || family == WOMBLET)
            rows.push_back({397, 1});
        use_family_rows(family, rows);
    }
    void use_family_rows(FAMILY family, const DEV_2D_INT_DATA& rows)
    {
        m_device->set_family(static_cast<DEV_FAMILY_ENUM>(family));
        m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, rows);
        m_device->set_die_width(4);
        m_model = model_of(family);
    }
    HOST_ATOM* atom(const std::string& name, unsigned gid, HOST_ATOM_KIND kind = HOST_ATOM_KIND::OTHER)
    {
        HOST_ATOM* a = m_design.add_atom(name, kind);
        m_design.set_atom_location(a, gid);
        return a;
    }
    // An output of port type port that drives a sink, so that it counts.
    HOST_OTERM* driving_output(HOST_ATOM* a, int port, HOST_ATOM* sink = nullptr)
    {
        HOST_OTERM* out = m_design.add_output(a, a->name() + "|" + std::to_string(port), port, false);
        m_design.add_input(sink != nullptr ? sink : m_design.add_atom(a->name() + "_load", HOST_ATOM_KIND::OTHER),
                           0, out);
        return out;
    }
    HOST_ITERM* input(HOST_ATOM* a, int port, bool connected = false)
    {
        HOST_OTERM* source = nullptr;
        if (connected)
            source = m_design.add_output(m_design.add_atom(a->name() + "_src" + std::to_string(port), HOST_ATOM_KIND::OTHER),
                                         a->name() + "_src|" + std::to_string(port), 0, false);
        return m_design.add_input(a, port, source);
    }
    void build_and_fill()
    {
        m_model->build_hssi_info_from_device_database(m_device);
        m_model->fill_in_hssi_info_from_cdb_atom_netlist(m_design.netlist(), m_design.store());
    }
    PUTIL_HSSI_ELEMENT* element(unsigned gid) { return m_model->get_hssi_element_by_gid(gid); }
    int index_of(unsigned gid)
    {
        PUTIL_HSSI_ELEMENT* e = element(gid);
        return e->is_valid_int_enum(DEV_POWER_HSSI_INT_BONDING_INDEX) ? e->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX)
                                                                        : -1;
    }
    void TearDown() override
    {
        m_model.reset();
        HSSI_TEST::TearDown();
    }

    std::unique_ptr<PUTIL_HSSI_INFO> m_model;
};

// One capture: an atom on a block of kind, with parameters and terms; what
// the element holds after the fill, or the internal error that stops it.
class CAPTURE_TEST;
struct CAPTURE_CASE {
    const char* name;
    FAMILY family;
    int kind;
    std::function<void(CAPTURE_TEST&, HOST_ATOM*)> set_up;
    std::function<void(PUTIL_HSSI_ELEMENT*)> check;
    std::string internal_error = "";   // the message of the internal error that stops the fill
};

class CAPTURE_TEST : public FAMILY_TEST, public ::testing::WithParamInterface<CAPTURE_CASE> {
public:
    void set(HOST_ATOM* a, int parameter, long long value) { m_design.set_atom_parameter(a, parameter, value); }
    using FAMILY_TEST::driving_output;
    using FAMILY_TEST::input;
    HOST_DESIGN& design() { return m_design; }
};

inline bool used(const PUTIL_HSSI_ELEMENT* e)
{
    return e->is_valid_bool_enum(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED) &&
           e->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED);
}
