// The transceiver power model of the PELLUMV family: a strip family of the
// later generation, whose serializers and buffers answer the host's
// reference clock assignment check.
#pragma once

#include "hssi/putil_hssi_info.h"

class PUTIL_EXPORT PUTIL_PELLUMV_HSSI_INFO : public PUTIL_HSSI_INFO {
public:
    PUTIL_PELLUMV_HSSI_INFO();
    // The family's rules, for the families described as differences from it.
    static const STRIP_FAMILY_RULES& strip_rules();

    // Whether a transmit clock generation block takes its clock from the
    // x6/xN clock network (also used by BRINDEV).
    static bool is_tx_cgb_sourced_by_x6_xn_network(const CDB_ATOM_NODE* tx_cgb_atom);
};
