// The HALDORV family's rules.
#include "hssi/families/putil_haldorv_hssi_info.h"

const PUTIL_HSSI_INFO::STRIP_FAMILY_RULES& PUTIL_HALDORV_HSSI_INFO::strip_rules()
{
    static const STRIP_FAMILY_RULES rules = {
        STRIP_FAMILY_RULES::TX_SER_PLAIN,
        /* later_captures */ false,
        /* buffers_have_fixed_enums */ true,
        /* pad_voltage_supplies */ {24, 62},
        /* enum_6_supplies */ {23, 63},
        /* vcceht_supplies */ {24, 62},
        /* powered_down_supplies */ {10, 20, 22, 23, 45, 51, 52, 53, 63},
        /* pcie_power_down_rule */ true,
        /* powers_down_strip_parts */ true,
        /* pcs_kinds: 10G, 8G and the third PCS */ {{828, 825}, {1775, 1774}, {829, 826}},
        /* pcs_pma_interface_usages */ {7773, 10281, 10336},
    };
    return rules;
}

PUTIL_HALDORV_HSSI_INFO::PUTIL_HALDORV_HSSI_INFO() : PUTIL_HSSI_INFO(&strip_rules()) {}
