// The transceiver power model of the FENNICK family: KVB's, with its PMAs'
// second enum naming another supply voltage class.
#pragma once

#include "hssi/families/putil_kvb_hssi_info.h"

class PUTIL_EXPORT PUTIL_FENNICK_HSSI_INFO : public PUTIL_KVB_HSSI_INFO {
public:
    PUTIL_FENNICK_HSSI_INFO() = default;
    PUTIL_FENNICK_HSSI_INFO(const PUTIL_FENNICK_HSSI_INFO&) = delete;
    PUTIL_FENNICK_HSSI_INFO& operator=(const PUTIL_FENNICK_HSSI_INFO&) = delete;
    ~PUTIL_FENNICK_HSSI_INFO() override = default;
    void fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom) override;

protected:
    void fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
};
