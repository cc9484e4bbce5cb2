// WOMBLET's differences from FENNICK: which blocks take atoms, its PMA and
// PCS captures, and one channel variant for every channel.
#include "hssi/families/putil_womblet_hssi_info.h"

#include "host/cdb_atom.h"
#include "host/cga_hssi_parameters.h"
#include "host/putil_lib.h"
#include "hssi/putil_hssi_model_support.h"
#include "core/putil_internal.h"

using namespace putil_hssi;

namespace {

// What WOMBLET's two PMA captures share: the modes, fixed supply classes,
// channel type 1 and a required clock input.
void capture_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom, int common_mode, int clock_port)
{
    hssi_element->set_enum_data(enum_key(5), enum_parameter(cdb_atom, common_mode));
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_KVB_ENUM_PROTOCOL_HINT));
    hssi_element->set_enum_data(enum_key(10), 48);
    hssi_element->set_enum_data(enum_key(12), 45);
    hssi_element->set_enum_data(enum_key(4), 1);
    hssi_element->set_bool_data(bool_key(17), false);
    CDB_ATOM_ITERM* clk_port = cdb_atom->get_input_term_by_type(clock_port, 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(clk_port));
    hssi_element->set_iterm_data(iterm_key(0), clk_port);
}

}   // namespace

void PUTIL_WOMBLET_HSSI_INFO::fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element,
                                                              CDB_ATOM_NODE* cdb_atom)
{
    typedef PUTIL_WOMBLET_HSSI_INFO W;
    // Clock dividers and reference clock dividers take no atoms here.
    static const KVB_CAPTURE_ROW rows[] = {
        {50, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_pll)},
        {194, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_pll)},
        {163, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_io)},
        {587, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_cmu)},
        {589, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_calibration_block)},
        {691, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs)},
        {692, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma)},
        {693, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_tx_pcs)},
        {694, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma)},
        {695, static_cast<KVB_CAPTURE>(&W::fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip)},
    };
    dispatch_capture(rows, sizeof rows / sizeof rows[0], hssi_element, cdb_atom);
}

void PUTIL_WOMBLET_HSSI_INFO::create_fake_channel_elements(DEV_DEVICE* dev_device,
                                                          PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    create_channel_elements(dev_device, key, 1);
}

void PUTIL_WOMBLET_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    capture_pma(hssi_element, cdb_atom, CGA_KVB_ENUM_RX_COMMON_MODE, 678);
    hssi_element->set_enum_data(enum_key(3), enum_parameter(cdb_atom, CGA_KVB_ENUM_REVERSE_SERIAL_LOOPBACK));
    hssi_element->set_bool_data(bool_key(18), false);
    hssi_element->set_int_data(int_key(9), int_parameter(cdb_atom, CGA_KVB_INT_RX_PMA_FACTOR));
    hssi_element->set_bool_data(bool_key(19), bool_parameter(cdb_atom, CGA_KVB_BOOL_RX_PMA_FLAG));
    hssi_element->set_bool_data(bool_key(28), bool_parameter(cdb_atom, CGA_KVB_BOOL_RX_PMA_WOMBLET_FLAG));
    mark_populated(hssi_element, cdb_atom);
}

// No serializer clock selection: the clock comes on one input.
void PUTIL_WOMBLET_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    capture_pma(hssi_element, cdb_atom, CGA_KVB_ENUM_TX_COMMON_MODE, 3012);
    hssi_element->set_int_data(int_key(5), 0);
    hssi_element->set_int_data(int_key(6), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_SETTING_B));
    hssi_element->set_int_data(int_key(7), 0);
    hssi_element->set_int_data(int_key(8), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_SETTING_D));
    hssi_element->set_bool_data(bool_key(20), bool_parameter(cdb_atom, CGA_KVB_BOOL_TX_PMA_WOMBLET_FLAG));
    hssi_element->set_int_data(int_key(9), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_FACTOR));
    hssi_element->set_bool_data(bool_key(29), false);
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_WOMBLET_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    static const int refclk_ports[] = {489, -1, 455};
    capture_tx_pcs(hssi_element, cdb_atom, refclk_ports, false);
}

void PUTIL_WOMBLET_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    capture_rx_pcs(hssi_element, cdb_atom, true);
}
