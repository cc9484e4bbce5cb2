// The PELLUMV family's rules, as differences from HALDORV's, and the test
// of a transmit clock generation block's clock source that it offers.
#include "hssi/families/putil_pellumv_hssi_info.h"

#include "host/cdb_atom.h"
#include "host/cga_hssi_parameters.h"
#include "hssi/families/putil_haldorv_hssi_info.h"
#include "hssi/putil_hssi_model_support.h"

const PUTIL_HSSI_INFO::STRIP_FAMILY_RULES& PUTIL_PELLUMV_HSSI_INFO::strip_rules()
{
    static const STRIP_FAMILY_RULES rules = [] {
        STRIP_FAMILY_RULES differences = PUTIL_HALDORV_HSSI_INFO::strip_rules();
        differences.tx_ser_rule = STRIP_FAMILY_RULES::TX_SER_RTC_USED;
        differences.later_captures = true;
        differences.pad_voltage_supplies = {24};
        differences.enum_6_supplies = {23};
        differences.vcceht_supplies = {24};
        differences.powered_down_supplies = {20, 21, 22, 23, 45};
        differences.pcie_power_down_rule = false;
        // Only the 8G PCS of a channel joins its serializer's group.
        differences.pcs_kinds = {{1775, 1774}};
        differences.pcs_pma_interface_usages = {7773};
        return differences;
    }();
    return rules;
}

PUTIL_PELLUMV_HSSI_INFO::PUTIL_PELLUMV_HSSI_INFO() : PUTIL_HSSI_INFO(&strip_rules()) {}

bool PUTIL_PELLUMV_HSSI_INFO::is_tx_cgb_sourced_by_x6_xn_network(const CDB_ATOM_NODE* tx_cgb_atom)
{
    return putil_hssi::tx_cgb_sourced_by_x6_xn_network(tx_cgb_atom);
}
