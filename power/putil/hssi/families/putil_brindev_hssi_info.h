// The transceiver power model of the BRINDEV family: PELLUMV's rules, with
// serializers that pass the reference clock check counted as unused, no
// fixed buffer enums, no pad voltages and no strip parts powered down.
#pragma once

#include "hssi/putil_hssi_info.h"

class PUTIL_EXPORT PUTIL_BRINDEV_HSSI_INFO : public PUTIL_HSSI_INFO {
public:
    PUTIL_BRINDEV_HSSI_INFO();
    // The family's rules, for the families described as differences from it.
    static const STRIP_FAMILY_RULES& strip_rules();
};
