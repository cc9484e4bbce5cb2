// The transceiver power model of the WOMBLET family: FENNICK's, with its own
// PMA and PCS captures, fewer block kinds taking atoms, and every channel of
// one variant.
#pragma once

#include "hssi/families/putil_fennick_hssi_info.h"

class PUTIL_EXPORT PUTIL_WOMBLET_HSSI_INFO : public PUTIL_FENNICK_HSSI_INFO {
public:
    PUTIL_WOMBLET_HSSI_INFO() = default;
    ~PUTIL_WOMBLET_HSSI_INFO() override = default;
    void fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom) override;

private:
    void create_fake_channel_elements(DEV_DEVICE* dev_device, PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) override;
    void fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
};
