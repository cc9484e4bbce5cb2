// FENNICK's captures: KVB's, with enum 12 = 45 on the PMAs.
#include "putil_fennick_hssi_info.h"

#include "putil_internal.h"

namespace {
constexpr auto ENUM_12 = static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(12);
constexpr int RX_PMA = 692, TX_PMA = 694;
}   // namespace

void PUTIL_FENNICK_HSSI_INFO::fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element,
                                                              CDB_ATOM_NODE* cdb_atom)
{
    PUTIL_ASSERT(hssi_element != NULL);
    PUTIL_ASSERT(cdb_atom != NULL);
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key;
    hssi_element->get_element_phys_impl_type(key);
    if (key.element == RX_PMA)
        fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(hssi_element, cdb_atom);
    else if (key.element == TX_PMA)
        fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(hssi_element, cdb_atom);
    else
        PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom(hssi_element, cdb_atom);
}

void PUTIL_FENNICK_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(hssi_element, cdb_atom);
    hssi_element->set_enum_data(ENUM_12, 45);
}

void PUTIL_FENNICK_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(hssi_element, cdb_atom);
    hssi_element->set_enum_data(ENUM_12, 45);
}
