// The transceiver power model of the KVB family, and the base of the FENNICK
// and WOMBLET models: its channels are not in the device database, so the
// model makes a channel element per transmit PMA of every quad and 10G block
// and moves the channel's blocks under it.
#pragma once

#include "hssi/putil_hssi_info.h"

class PUTIL_EXPORT PUTIL_KVB_HSSI_INFO : public PUTIL_HSSI_INFO {
public:
    PUTIL_KVB_HSSI_INFO();
    void build_hssi_info_from_device_database(DEV_DEVICE* dev_device) override;
    void fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom) override;

protected:
    void propagate_device_database_info() override;
    void propagate_cdb_atom_netlist_info() override;
    void set_bonded_and_unbonded_element_info(DEV_DEVICE* dev_device) override;
    // Strip power-down: the PCIe supply follows the hard IPs in the strip,
    // the user's choice comes from the voltage options, and the blocks of an
    // unused strip are its quads; 10G blocks take the pad data of their
    // nearer quad.
    bool pcie_supply_follows_hard_ips() const override;
    bool powers_down_supply(DEV_POWER_SUPPLY_ENUM supply) const override;
    bool user_keeps_region_on(const PUTIL_HSSI_USER_VOLTAGES& voltages, const PUTIL_HSSI_USER_VOLTAGE_OPTIONS& options,
                              DEV_POWER_REGION_ENUM region) const override;
    void power_down_unused_pcie_supply(PUTIL_HSSI_ELEMENT* strip, DEV_POWER_SUPPLY_ENUM supply,
                                       DEV_POWER_REGION_ENUM region, CDB_CHIP_DB_ENTRY* chip) override;
    void power_down_unused_strip_blocks(PUTIL_HSSI_ELEMENT* strip, bool keep_on, CDB_CHIP_DB_ENTRY* chip) override;
    // A channel element per transmit PMA of each element of key's type (a
    // quad or a 10G block), and the blocks of each channel moved under it.
    virtual void create_fake_channel_elements(DEV_DEVICE* dev_device, PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);
    // The same with every channel of one variant (-1: by the block's
    // attribute and the parent's kind).
    void create_channel_elements(DEV_DEVICE* dev_device, const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key,
                                 int fixed_variant);

    void fill_in_hssi_info_from_cdb_atom_hssi_pll(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_calibration_block(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_clock_divider(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_refclk_divider(PUTIL_HSSI_ELEMENT* hssi_element,
                                                             CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_cmu(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_nothing(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);

    // The PCS captures with the selected reference clock ports (by setting
    // 0, 1, 2; -1: not a choice) and the clock flag; the receive PCS's rate
    // matcher from its own flag instead of the FIFO mode.
    void capture_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom, const int (&refclk_ports)[3],
                        bool refclk_flag);
    void capture_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom, bool rate_match_flag);

    // A capture of this line of families; a kind without one stops the run.
    typedef void (PUTIL_KVB_HSSI_INFO::*KVB_CAPTURE)(PUTIL_HSSI_ELEMENT*, CDB_ATOM_NODE*);
    struct KVB_CAPTURE_ROW {
        int kind;
        KVB_CAPTURE capture;
    };
    void dispatch_capture(const KVB_CAPTURE_ROW* rows, std::size_t count, PUTIL_HSSI_ELEMENT* hssi_element,
                          CDB_ATOM_NODE* cdb_atom);

    void propagate_cdb_atom_netlist_info_strip();
    void propagate_cdb_atom_netlist_info_quad();
    void propagate_cdb_atom_netlist_info_channel();
    void propagate_cdb_atom_netlist_info_10g();
    void propagate_bonding_index();

private:
    bool get_children_bonded_status_helper(DYGR_DIE_INFO* dygr_die_info, PUTIL_HSSI_ELEMENT* hssi_element,
                                           PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);
};
