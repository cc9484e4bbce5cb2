// The transceiver power model of one device: one element per located
// transceiver block, linked into the device's containment tree, filled from
// the design's atoms, with bonding indices, voltages and power regions. The
// base class fixes the order of the steps; a family model fills them in.
#pragma once

#include <functional>
#include <unordered_map>
#include <vector>

#include "hssi/putil_hssi_element.h"

class DEV_DEVICE;
class CDB_ATOM_NETLIST;
class CDB_ATOM_NODE;
class CDB_ATOM_OTERM;
class CDB_CHIP_DB_ENTRY;
class DYGR_DIE_INFO;
class DYGR_PLACE_INFO;
class DYGR_PLACE_BLOCK_HIERARCHY_INFO;
class PUTIL_SA_DATA;
class PUTIL_POWER_SUPPLY_INFO;

// The user's voltages and voltage options, as the host reads them.
typedef std::unordered_map<DEV_POWER_TYPE_NAME_ENUM, DEV_VOLTAGE_ENUM> PUTIL_HSSI_USER_VOLTAGES;
typedef std::unordered_map<DEV_VOLTAGE_OPTION_TYPE_ENUM, DEV_VOLTAGE_OPTION_ENUM> PUTIL_HSSI_USER_VOLTAGE_OPTIONS;

// The host makes the model of the device's family, calls
// build_hssi_info_from_device_database and then
// fill_in_hssi_info_from_cdb_atom_netlist, and reads the elements. The model
// owns its elements; a new build invalidates the ones handed out before.
class PUTIL_EXPORT PUTIL_HSSI_INFO : public PUTIL_HEAP_OBJECT {
public:
    typedef PUTIL_HSSI_ELEMENT::ELEMENT_LIST ELEMENT_LIST;

    PUTIL_HSSI_INFO();
    // A model owns its elements: copying one would leave two owners.
    PUTIL_HSSI_INFO(const PUTIL_HSSI_INFO&) = delete;
    PUTIL_HSSI_INFO& operator=(const PUTIL_HSSI_INFO&) = delete;
    virtual ~PUTIL_HSSI_INFO();

    // One element per located block whose (kind, implementation) the
    // family's type map knows, with links, defaults and bonded flags.
    virtual void build_hssi_info_from_device_database(DEV_DEVICE* dev_device);
    // The settings of one atom placed on the element's block; the base
    // model captures nothing.
    virtual void fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);

    // Hands every placed atom to its element, lets the family propagate,
    // and drops the PLLs that serve no transceiver. Adds to data already
    // there; sa_data is kept (not owned) for the family steps.
    void fill_in_hssi_info_from_cdb_atom_netlist(CDB_ATOM_NETLIST* atom_netlist, PUTIL_SA_DATA* sa_data);

    ELEMENT_LIST& get_hssi_elements() { return m_hssi_elements; }
    int get_num_hssi_elements() const { return static_cast<int>(m_hssi_elements.size()); }
    PUTIL_HSSI_ELEMENT* get_hssi_element(int i) const;
    PUTIL_HSSI_ELEMENT* get_hssi_element_by_gid(unsigned gid) const;
    bool hssi_element_gid_exists(unsigned gid) const;
    // The elements of a type in creation order (the any-implementation key
    // of a kind lists every element of the kind).
    ELEMENT_LIST& get_hssi_elements_by_type(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);
    int get_num_hssi_elements_by_type(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);
    PUTIL_HSSI_ELEMENT* get_hssi_element_by_type(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key, int i);
    // Destroys every element and the per-type lists.
    void clear_hssi_info();
    // The element types of this model's device family (built with the tree).
    const PUTIL_HSSI_ELEMENT_TYPE_MAP& get_element_types() const { return m_element_types; }
    // The supply tables of the model's device (not owned; they must outlive
    // the model), read for the elements' voltages. Null until set.
    void set_power_supply_info(const PUTIL_POWER_SUPPLY_INFO* power_supply_info)
    {
        m_power_supply_info = power_supply_info;
    }

protected:
    // What sets the families of one device generation (whose channels sit in
    // transceiver strips) apart; everything else of their models is shared
    // and lives here, in the operations below that read these rules.
    struct STRIP_FAMILY_RULES {
        // How a serializer whose transmit buffer passes the reference clock
        // assignment check is captured: like any other, as used without
        // settings, or as not used.
        enum TX_SER_RULE { TX_SER_PLAIN, TX_SER_RTC_USED, TX_SER_RTC_UNUSED };
        TX_SER_RULE tx_ser_rule;
        // Reference clock checks, refclk selection of the 10G PCS, one port
        // per PLD PCS, the half-bandwidth receive buffer setting, the PCIe
        // hard IP top block and the second dispatch table.
        bool later_captures;
        // The buffers' fixed enum 10 and 12.
        bool buffers_have_fixed_enums;
        // Per-element supplies: those passing the pad data to the voltage
        // query, and those whose voltage sets enum 6 and enum 7.
        std::vector<int> pad_voltage_supplies;
        std::vector<int> enum_6_supplies;
        std::vector<int> vcceht_supplies;
        // Strip power-down: the supplies examined besides the PCIe hard IP
        // rule of supply 19, and whether strip parts lose 48 and 24.
        std::vector<int> powered_down_supplies;
        bool pcie_power_down_rule;
        bool powers_down_strip_parts;
        // Bonding: the (TX PCS, RX PCS) kinds of a PCS channel that take
        // part, and the usages a PCS-PMA interface atom relays through.
        std::vector<std::pair<int, int>> pcs_kinds;
        std::vector<int> pcs_pma_interface_usages;
    };
    typedef void (PUTIL_HSSI_INFO::*CAPTURE)(PUTIL_HSSI_ELEMENT*, CDB_ATOM_NODE*);

    // A model of a strip family follows these rules.
    explicit PUTIL_HSSI_INFO(const STRIP_FAMILY_RULES* strip_family);

    // Family steps, in the order the build and the fill call them.
    virtual void propagate_device_database_info();
    virtual void propagate_cdb_atom_netlist_info();
    virtual void set_power_region_of_elements();
    // Base rule: a block is bonded when its gid is enabled on the die.
    virtual void set_bonded_and_unbonded_element_info(DEV_DEVICE* dev_device);

    void create_hssi_elements(DEV_DEVICE* dev_device);
    void set_up_default_hierarchical_links(const DYGR_PLACE_BLOCK_HIERARCHY_INFO* hierarchy_info,
                                           PUTIL_HSSI_ELEMENT* hssi_element);
    void set_up_default_element_parameters(DEV_DEVICE* dev_device, PUTIL_HSSI_ELEMENT* hssi_element);

    // Capture of a block whose only setting is that it is used.
    void fill_in_hssi_info_from_cdb_atom_io(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    // Whether a PLL element serves a transceiver block.
    bool is_hssi_pll(PUTIL_HSSI_ELEMENT* hssi_element) const;
    // The bonding-index walk from a clock source's output through the
    // relaying atoms; the last walk to reach a block sets its index.
    void set_bonding_index_on_fanout(CDB_ATOM_OTERM* output, int index);
    void propagate_bonding_index_through_element(CDB_ATOM_NODE* cdb_atom, int index);

    // The element's supplies table: [supply, millivolts] per supply of its
    // block.
    void set_up_hssi_element_voltage_data(PUTIL_HSSI_ELEMENT* hssi_element);
    // Region 1 for blocks on the left half of the die, 2 on the right.
    void set_power_region_of_elements_by_die_half();

    PUTIL_SA_DATA* get_sa_data() const { return m_sa_data; }

    // The build; a strip family's keeps the die's transceiver data section
    // loaded while it makes the elements and marks them bonded.
    // before_bonded_marking runs once the tree exists, before the bonded
    // marking.
    void build_element_tree(DEV_DEVICE* dev_device, bool load_die_data_part,
                            const std::function<void()>& before_bonded_marking = {});
    // Appends an element to the model's lists (and, with a gid, to the gid
    // map).
    PUTIL_HSSI_ELEMENT* add_element(DEV_DEVICE* dev_device, unsigned gid, PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);
    // The die's placement-and-routing view, and its loaded placement view,
    // with every link on the way required.
    static DYGR_DIE_INFO* placement_view(DEV_DEVICE* dev_device);
    static DYGR_PLACE_INFO* loaded_place_info(DEV_DEVICE* dev_device);
    // Every block's supplies table, with the voltage the host gives each
    // supply in the block's region: the pad data goes with the pad
    // supplies, and the voltages of the two kinds of supplies name enum 6
    // and the VCCEHT voltage (enum 7).
    void set_up_block_supply_voltages(const std::vector<int>& pad_voltage_supplies,
                                      const std::vector<int>& enum_6_supplies, const std::vector<int>& vcceht_supplies);
    // Whether the project's option keeps the PCIe supply of region 1 or 2
    // on; the key of the user's voltage settings for a region (0, 1, 2).
    static bool pcie_power_option_on(DEV_POWER_REGION_ENUM region);
    // What a strip's power-down rules ask first: whether the strip is
    // bonded and used, and the chip database entry they write to.
    struct STRIP_POWER_STATE {
        bool bonded;
        bool used;
        CDB_CHIP_DB_ENTRY* chip;
    };
    static STRIP_POWER_STATE strip_power_state(PUTIL_HSSI_ELEMENT* strip);
    static int user_setting_key(DEV_POWER_REGION_ENUM region);

    // Strip families: the steps they share.
    void set_bonded_and_unbonded_strip_family_elements(DEV_DEVICE* dev_device);
    void propagate_strip_implementation();
    void capture_strip_family_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void propagate_strip_family_netlist_info();
    void propagate_cdb_atom_netlist_info_strip();
    void propagate_bonding_index();
    // The strip step of the families' netlist propagation: records the supplies of a strip the
    // design does not use as powered down, unless the user keeps them on. The hooks below
    // read the strip family rules; a family without them (KVB) overrides the hooks.
    void propagate_voltage_info_from_cdb_atom_netlist_strip(const PUTIL_HSSI_USER_VOLTAGES& voltages,
                                                            const PUTIL_HSSI_USER_VOLTAGE_OPTIONS& options,
                                                            PUTIL_HSSI_ELEMENT* strip);
    // Whether the strip's PCIe supply follows its hard IPs, and which other
    // supplies an unused strip powers down.
    virtual bool pcie_supply_follows_hard_ips() const;
    virtual bool powers_down_supply(DEV_POWER_SUPPLY_ENUM supply) const;
    // Whether the user's settings keep the supplies of region on.
    virtual bool user_keeps_region_on(const PUTIL_HSSI_USER_VOLTAGES& voltages,
                                      const PUTIL_HSSI_USER_VOLTAGE_OPTIONS& options,
                                      DEV_POWER_REGION_ENUM region) const;
    // Records the PCIe supply as powered down unless a hard IP keeps it on.
    virtual void power_down_unused_pcie_supply(PUTIL_HSSI_ELEMENT* strip, DEV_POWER_SUPPLY_ENUM supply,
                                               DEV_POWER_REGION_ENUM region, CDB_CHIP_DB_ENTRY* chip);
    // The blocks inside the strip: powered down unless keep_on.
    virtual void power_down_unused_strip_blocks(PUTIL_HSSI_ELEMENT* strip, bool keep_on, CDB_CHIP_DB_ENTRY* chip);
    // A PCIe hard IP keeps its strip's PCIe supply on while it is used, or
    // bonded with the project's option on.
    static bool hard_ip_keeps_pcie_supply_on(const PUTIL_HSSI_ELEMENT* hip, bool option_on);

    // Captures of the strip families, one per atom kind.
    void fill_in_hssi_info_from_cdb_atom_nothing(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pll(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_pll_dpa_output(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_ser(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_deser(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_cgb(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_ser_att(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_att(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_cdr_att(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_deser_att(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_tx_pld_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_rx_pld_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs_pma(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_refclk_divider(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_int(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_buf(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_buf(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_cdr_refclk_select_mux(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                        CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pma_lc_refclk_select_mux(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                       CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_8g_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_8g_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_10g_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_10g_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);
    void fill_in_hssi_info_from_cdb_atom_hd_hbxpe2_hip_top(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom);

    const STRIP_FAMILY_RULES* strip_family() const { return m_strip_family; }
    // Whether the model's type map knows a key.
    bool key_exists(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const
    {
        return m_element_types.element_phys_impl_key_exists(key);
    }

private:
    ELEMENT_LIST& type_list(PUTIL_HSSI_ELEMENT_TYPE element_type);
    bool enter_bonding_atom(const CDB_ATOM_NODE* cdb_atom);
    bool relays_bonding_index(const CDB_ATOM_NODE* cdb_atom) const;
    bool start_bonding_group(PUTIL_HSSI_ELEMENT* source, int index);
    void complete_pcs_channel_bonding();
    void complete_pma_channel_bonding();
    const std::vector<int>* relayed_usages(const CDB_ATOM_NODE* cdb_atom) const;

    // Declared before the elements: they keep pointers to it.
    PUTIL_HSSI_ELEMENT_TYPE_MAP m_element_types;
    ELEMENT_LIST m_hssi_elements;
    PUTIL_HASH_MAP<unsigned, PUTIL_HSSI_ELEMENT*> m_gid_to_hssi_element_hash;
    PUTIL_VECTOR<ELEMENT_LIST> m_hssi_elements_by_type;
    PUTIL_SA_DATA* m_sa_data = nullptr;
    const PUTIL_POWER_SUPPLY_INFO* m_power_supply_info = nullptr;
    // Null for the base model; a strip family's rules otherwise.
    const STRIP_FAMILY_RULES* m_strip_family = nullptr;

    // Relaying atoms already passed by the bonding walk under way, so that
    // a loop of relaying atoms ends; a walk starts at depth 0.
    int m_bonding_walk_depth = 0;
    PUTIL_HASH_SET<const CDB_ATOM_NODE*> m_bonding_walk_visited;
};

// Moves one data key of an element up or down the containment tree,
// following the child lists.
class PUTIL_EXPORT PUTIL_HSSI_INFO_HELPERS {
public:
    // Gives every element on the way the value its descendants agree on;
    // an element with a value keeps it and hides its subtree. Children that
    // disagree are an internal error. True when the element ends with a value.
    static bool propagate_and_match_enum_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                      DEV_POWER_HSSI_ENUM_DATA_ENUM key);
    static bool propagate_and_match_int_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                     DEV_POWER_HSSI_INT_DATA_ENUM key);
    static bool propagate_and_match_bool_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element,
                                                      DEV_POWER_HSSI_BOOL_DATA_ENUM key);
    static bool propagate_and_match_enum_data_upwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                       DEV_POWER_HSSI_ENUM_DATA_ENUM key,
                                                                       int& value);
    static bool propagate_and_match_int_data_upwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      DEV_POWER_HSSI_INT_DATA_ENUM key, int& value);
    static bool propagate_and_match_bool_data_upwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                       DEV_POWER_HSSI_BOOL_DATA_ENUM key,
                                                                       bool& value);

    // Sets true on every element without a value of its own above a
    // descendant that is true; an explicit false stops it.
    static void propagate_true_bool_data_upwards(PUTIL_HSSI_ELEMENT* hssi_element, DEV_POWER_HSSI_BOOL_DATA_ENUM key);
    static bool propagate_true_bool_data_upwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                  DEV_POWER_HSSI_BOOL_DATA_ENUM key);

    // Gives the element's value to its whole subtree; the element must
    // have one.
    static void propagate_enum_data_downwards(PUTIL_HSSI_ELEMENT* hssi_element, DEV_POWER_HSSI_ENUM_DATA_ENUM key);
    static void propagate_int_data_downwards(PUTIL_HSSI_ELEMENT* hssi_element, DEV_POWER_HSSI_INT_DATA_ENUM key);
    static void propagate_enum_data_downwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                               DEV_POWER_HSSI_ENUM_DATA_ENUM key, int value);
    static void propagate_int_data_downwards_recursive_helper(PUTIL_HSSI_ELEMENT* hssi_element,
                                                              DEV_POWER_HSSI_INT_DATA_ENUM key, int value);

private:
    PUTIL_HSSI_INFO_HELPERS() {}
};
