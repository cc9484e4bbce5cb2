// The transceiver power model of the HALDORV family: the strip family of the
// first generation.
#pragma once

#include "hssi/putil_hssi_info.h"

class PUTIL_EXPORT PUTIL_HALDORV_HSSI_INFO : public PUTIL_HSSI_INFO {
public:
    PUTIL_HALDORV_HSSI_INFO();
    // The family's rules, for the families described as differences from it.
    static const STRIP_FAMILY_RULES& strip_rules();
};
