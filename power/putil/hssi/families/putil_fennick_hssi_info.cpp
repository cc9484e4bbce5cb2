// FENNICK's captures: KVB's, with enum 12 = 45 on the PMAs.
#include "hssi/families/putil_fennick_hssi_info.h"

#include "hssi/putil_hssi_model_support.h"
#include "core/putil_internal.h"

using namespace putil_hssi;

namespace {
constexpr int RX_PMA = 692, TX_PMA = 694;
}   // namespace

void PUTIL_FENNICK_HSSI_INFO::fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element,
                                                              CDB_ATOM_NODE* cdb_atom)
{
    PUTIL_ASSERT(hssi_element != NULL);
    PUTIL_ASSERT(cdb_atom != NULL);
    const int kind = kind_of(hssi_element);
    if (kind == RX_PMA)
        fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(hssi_element, cdb_atom);
    else if (kind == TX_PMA)
        fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(hssi_element, cdb_atom);
    else
        PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom(hssi_element, cdb_atom);
}

void PUTIL_FENNICK_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(hssi_element, cdb_atom);
    hssi_element->set_enum_data(enum_key(12), 45);
}

void PUTIL_FENNICK_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(hssi_element, cdb_atom);
    hssi_element->set_enum_data(enum_key(12), 45);
}
