// The BRINDEV family's rules, as differences from PELLUMV's.
#include "hssi/families/putil_brindev_hssi_info.h"

#include "hssi/families/putil_pellumv_hssi_info.h"

const PUTIL_HSSI_INFO::STRIP_FAMILY_RULES& PUTIL_BRINDEV_HSSI_INFO::strip_rules()
{
    static const STRIP_FAMILY_RULES rules = [] {
        STRIP_FAMILY_RULES differences = PUTIL_PELLUMV_HSSI_INFO::strip_rules();
        // A serializer that passes the reference clock check is not used.
        differences.tx_ser_rule = STRIP_FAMILY_RULES::TX_SER_RTC_UNUSED;
        differences.buffers_have_fixed_enums = false;
        differences.pad_voltage_supplies = {};
        differences.vcceht_supplies = {};
        differences.powers_down_strip_parts = false;
        return differences;
    }();
    return rules;
}

PUTIL_BRINDEV_HSSI_INFO::PUTIL_BRINDEV_HSSI_INFO() : PUTIL_HSSI_INFO(&strip_rules()) {}
