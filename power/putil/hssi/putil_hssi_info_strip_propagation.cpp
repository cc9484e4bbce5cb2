// Steps the strip families share: bonded marking, the strip variant down
// each strip, and the netlist propagation (strip data, bonding indices,
// strip power-down, the voltages of every block's supplies).
#include <unordered_map>

#include "host/cdb_atom.h"
#include "host/cut.h"
#include "host/dev.h"
#include "host/dstr.h"
#include "host/hdb.h"
#include "host/putil_lib.h"
#include "hssi/putil_hssi_info.h"
#include "hssi/putil_hssi_model_support.h"
#include "core/putil_internal.h"

using namespace putil_hssi;

namespace {

typedef PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY KEY;

bool contains(const std::vector<int>& values, int value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Kinds of the strip families' blocks.
constexpr int PCIE_CONTAINER = 821, PCIE_HIP = 1854, STRIP_PART = 820;
constexpr int PMA_CHANNEL = 822, PCS_CHANNEL = 823;
constexpr int RX_BUF = 1781, RX_DESER = 1782, TX_SER = 1785;
// Implementations of bonding clock sources that start no bonding group.
bool starts_no_bonding_group(int phys_impl)
{
    return phys_impl == 469 || phys_impl == 473;
}
// Supplies the PCIe hard IP rule and the strip parts' power-down name.
constexpr int PCIE_SUPPLY = 19, PART_SUPPLY_A = 48;
// Supplies of a block that are not voltage-set per element.
constexpr int UNSET_SUPPLY = 12;
// String options that keep the PCIe supply of region 1 and 2 on.
constexpr int PCIE_OPTION_REGION_1 = 1403, PCIE_OPTION_REGION_2 = 1404;

DEV_POWER_SUPPLY_ENUM supply_of(int supply) { return static_cast<DEV_POWER_SUPPLY_ENUM>(supply); }

}   // namespace

PUTIL_HSSI_INFO::STRIP_POWER_STATE PUTIL_HSSI_INFO::strip_power_state(PUTIL_HSSI_ELEMENT* strip)
{
    KEY hssi_strip_key;
    strip->get_element_phys_impl_type(hssi_strip_key);
    PUTIL_ASSERT(hssi_strip_key.element == DEV_ELEMENT_HSSI_STRIP);
    CDB_CHIP_DB_ENTRY* chip = putil_lib_get_cdb_chip_db_entry();
    PUTIL_ASSERT(chip != NULL);
    return {is_true(strip, DEV_POWER_HSSI_BOOL_ELEMENT_BONDED), is_used(strip), chip};
}

int PUTIL_HSSI_INFO::user_setting_key(DEV_POWER_REGION_ENUM region)
{
    switch (static_cast<int>(region)) {
    case 0: return 4;
    case 1: return 0;
    case 2: return 1;
    default: PUTIL_INTERNAL_ERROR("Unknown power region."); return -1;
    }
}

bool PUTIL_HSSI_INFO::pcie_power_option_on(DEV_POWER_REGION_ENUM region)
{
    if (region != 1 && region != 2) {
        PUTIL_INTERNAL_ERROR("Unknown power region.");
        return false;
    }
    const HDB_OPTION* option =
        HDB_STRING_OPTION::get_string_option(region == 1 ? PCIE_OPTION_REGION_1 : PCIE_OPTION_REGION_2);
    if (option == nullptr)
        return false;
    const std::string text = option->get_value_str();
    return dstr_exists_dev_voltage_option_enum_by_string(text) &&
           dstr_get_dev_voltage_option_enum_by_string(text) == 1;
}

void PUTIL_HSSI_INFO::set_bonded_and_unbonded_strip_family_elements(DEV_DEVICE* dev_device)
{
    DYGR_DIE_INFO* dygr_die_info = placement_view(dev_device);
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements) {
        const unsigned gid = hssi_element->get_element_gid();
        PUTIL_ASSERT(gid != DEV_ILLEGAL_GLOBAL_ID);
        hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED, dygr_die_info->is_global_id_enabled(gid));
    }
}

// Every block of a strip knows the strip's variant (enum 9).
void PUTIL_HSSI_INFO::propagate_strip_implementation()
{
    const KEY strips(DEV_ELEMENT_HSSI_STRIP, DEV_PHYS_IMPL_ANY);
    if (!key_exists(strips))
        return;
    for (PUTIL_HSSI_ELEMENT* strip : get_hssi_elements_by_type(strips)) {
        KEY key;
        strip->get_element_phys_impl_type(key);
        strip->set_enum_data(enum_key(9), key.phys_impl);
        PUTIL_HSSI_INFO_HELPERS::propagate_enum_data_downwards(strip, enum_key(9));
    }
}

void PUTIL_HSSI_INFO::propagate_strip_family_netlist_info()
{
    propagate_cdb_atom_netlist_info_strip();
    propagate_bonding_index();
    CMP_FACADE* facade = putil_lib_get_cmp_facade();
    PUTIL_HSSI_USER_VOLTAGE_OPTIONS options;
    PUTIL_HSSI_USER_VOLTAGES voltages;
    // A compilation without voltage settings leaves both empty.
    CUT_VOLTAGE_UTIL::read_voltage_options_from_acf(facade, options);
    CUT_VOLTAGE_UTIL::read_voltages_from_acf(facade, voltages);
    const KEY strips(DEV_ELEMENT_HSSI_STRIP, DEV_PHYS_IMPL_ANY);
    if (key_exists(strips)) {
        for (PUTIL_HSSI_ELEMENT* strip : get_hssi_elements_by_type(strips)) {
            const unsigned gid = strip->get_element_gid();
            PUTIL_ASSERT(gid != DEV_ILLEGAL_GLOBAL_ID);
            propagate_voltage_info_from_cdb_atom_netlist_strip(voltages, options, strip);
        }
    }
    set_up_block_supply_voltages(m_strip_family->pad_voltage_supplies, m_strip_family->enum_6_supplies,
                                 m_strip_family->vcceht_supplies);
}

void PUTIL_HSSI_INFO::propagate_cdb_atom_netlist_info_strip()
{
    const KEY strips(DEV_ELEMENT_HSSI_STRIP, DEV_PHYS_IMPL_ANY);
    if (!key_exists(strips))
        return;
    for (PUTIL_HSSI_ELEMENT* strip : get_hssi_elements_by_type(strips)) {
        const unsigned gid = strip->get_element_gid();
        PUTIL_ASSERT(gid != DEV_ILLEGAL_GLOBAL_ID);
        if (PUTIL_HSSI_INFO_HELPERS::propagate_and_match_enum_data_upwards(strip, enum_key(6)))
            PUTIL_HSSI_INFO_HELPERS::propagate_enum_data_downwards(strip, enum_key(6));
        PUTIL_HSSI_INFO_HELPERS::propagate_and_match_bool_data_upwards(strip, bool_key(22));
        PUTIL_HSSI_INFO_HELPERS::propagate_and_match_bool_data_upwards(strip, DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED);
        PUTIL_HSSI_INFO_HELPERS::propagate_and_match_enum_data_upwards(strip, enum_key(12));
    }
}

void PUTIL_HSSI_INFO::set_up_block_supply_voltages(const std::vector<int>& pad_voltage_supplies,
                                                   const std::vector<int>& enum_6_supplies,
                                                   const std::vector<int>& vcceht_supplies)
{
    CMP_FACADE* facade = putil_lib_get_cmp_facade();
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements) {
        const unsigned gid = hssi_element->get_element_gid();
        if (gid == DEV_ILLEGAL_GLOBAL_ID)
            continue;
        for (DEV_POWER_SUPPLY_ENUM supply : CUT_VOLTAGE_UTIL::get_power_supplies_of_element(gid)) {
            if (supply == UNSET_SUPPLY)
                continue;
            const DEV_POWER_REGION_ENUM region = hssi_element->get_power_region_of_element(gid, supply);
            const int pad = contains(pad_voltage_supplies, supply) &&
                                    hssi_element->is_valid_int_enum(DEV_POWER_HSSI_INT_PAD_DATA)
                                ? hssi_element->get_int_data(DEV_POWER_HSSI_INT_PAD_DATA)
                                : 0;
            const int voltage = CUT_VOLTAGE_UTIL::get_voltage(facade, supply, region, pad);
            hssi_element->append_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, {supply, voltage});
            if (contains(enum_6_supplies, supply))
                hssi_element->set_enum_data(enum_key(6), CUT_VOLTAGE_UTIL::get_voltage_enum(voltage));
            if (contains(vcceht_supplies, supply))
                hssi_element->set_enum_data(DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE,
                                            CUT_VOLTAGE_UTIL::get_voltage_enum(voltage));
        }
    }
}

void PUTIL_HSSI_INFO::propagate_voltage_info_from_cdb_atom_netlist_strip(const PUTIL_HSSI_USER_VOLTAGES& voltages,
                                                                         const PUTIL_HSSI_USER_VOLTAGE_OPTIONS& options,
                                                                         PUTIL_HSSI_ELEMENT* strip)
{
    const STRIP_POWER_STATE state = strip_power_state(strip);
    const bool bonded = state.bonded, used = state.used;
    CDB_CHIP_DB_ENTRY* chip = state.chip;
    const unsigned gid = strip->get_element_gid();
    bool user_on = false;
    for (DEV_POWER_SUPPLY_ENUM supply : CUT_VOLTAGE_UTIL::get_power_supplies_of_element(gid)) {
        const DEV_POWER_REGION_ENUM region = strip->get_power_region_of_element(gid, supply);
        if (supply == PCIE_SUPPLY && pcie_supply_follows_hard_ips()) {
            power_down_unused_pcie_supply(strip, supply, region, chip);
            continue;
        }
        if (!powers_down_supply(supply))
            continue;
        const bool supply_on = user_keeps_region_on(voltages, options, region);
        user_on = user_on || supply_on;
        if (!used && !(supply_on && bonded))
            chip->set_power_region_voltage(supply, region, 0, 0);
    }
    power_down_unused_strip_blocks(strip, used || (user_on && bonded), chip);
    putil_lib_force_chip_db_entry_voltage_from_ini();
}

bool PUTIL_HSSI_INFO::pcie_supply_follows_hard_ips() const
{
    return m_strip_family->pcie_power_down_rule;
}

bool PUTIL_HSSI_INFO::powers_down_supply(DEV_POWER_SUPPLY_ENUM supply) const
{
    return contains(m_strip_family->powered_down_supplies, supply);
}

bool PUTIL_HSSI_INFO::user_keeps_region_on(const PUTIL_HSSI_USER_VOLTAGES& voltages,
                                           const PUTIL_HSSI_USER_VOLTAGE_OPTIONS&,
                                           DEV_POWER_REGION_ENUM region) const
{
    const auto setting = voltages.find(static_cast<DEV_POWER_TYPE_NAME_ENUM>(user_setting_key(region)));
    return setting != voltages.end() && setting->second == 1;
}

// The strip parts lose their two supplies, where the family powers them down.
void PUTIL_HSSI_INFO::power_down_unused_strip_blocks(PUTIL_HSSI_ELEMENT* strip, bool keep_on,
                                                     CDB_CHIP_DB_ENTRY* chip)
{
    const KEY parts(STRIP_PART, DEV_PHYS_IMPL_ANY);
    if (keep_on || !m_strip_family->powers_down_strip_parts || !key_exists(parts))
        return;
    for (PUTIL_HSSI_ELEMENT* part : strip->get_child_elements(parts)) {
        const DEV_POWER_REGION_ENUM region =
            part->get_power_region_of_element(part->get_element_gid(), DEV_POWER_SUPPLY_VCCEHT);
        chip->set_power_region_voltage(supply_of(PART_SUPPLY_A), region, 0, 0);
        chip->set_power_region_voltage(DEV_POWER_SUPPLY_VCCEHT, region, 0, 0);
    }
}

bool PUTIL_HSSI_INFO::hard_ip_keeps_pcie_supply_on(const PUTIL_HSSI_ELEMENT* hip, bool option_on)
{
    return is_used(hip) || (option_on && is_true(hip, DEV_POWER_HSSI_BOOL_ELEMENT_BONDED));
}

// The PCIe supply of a strip stays on while one of its PCIe containers has
// a hard IP that keeps it on; every container before that one records the
// region as powered down.
void PUTIL_HSSI_INFO::power_down_unused_pcie_supply(PUTIL_HSSI_ELEMENT* strip, DEV_POWER_SUPPLY_ENUM supply,
                                                    DEV_POWER_REGION_ENUM region, CDB_CHIP_DB_ENTRY* chip)
{
    const bool option_on = pcie_power_option_on(region);
    const KEY containers(PCIE_CONTAINER, DEV_PHYS_IMPL_ANY), hips(PCIE_HIP, DEV_PHYS_IMPL_ANY);
    if (!key_exists(containers))
        return;
    const bool hips_exist = key_exists(hips);
    for (PUTIL_HSSI_ELEMENT* dpip_element : strip->get_child_elements(containers)) {
        PUTIL_ASSERT(dpip_element != NULL);
        bool qualifies = false;
        if (hips_exist)
            for (const PUTIL_HSSI_ELEMENT* hip : dpip_element->get_child_elements(hips))
                qualifies = qualifies || hard_ip_keeps_pcie_supply_on(hip, option_on);
        if (qualifies)
            return;
        chip->set_power_region_voltage(supply, region, 0, 0);
    }
}

// Bonding groups: every used clock source starts one, in the order CDR
// PLLs, LC PLLs, PLL DPA outputs; the walk from each spreads its index; then
// the PCS and PMA channels complete the receive paths.
void PUTIL_HSSI_INFO::propagate_bonding_index()
{
    static const int stage_kinds[] = {1743, 812, 1794};
    int index = 1;
    for (int stage = 0; stage < 3; ++stage) {
        const KEY sources(stage_kinds[stage], DEV_PHYS_IMPL_ANY);
        if (!key_exists(sources))
            continue;
        for (PUTIL_HSSI_ELEMENT* source : get_hssi_elements_by_type(sources))
            if (start_bonding_group(source, index))
                ++index;
    }
    complete_pcs_channel_bonding();
    complete_pma_channel_bonding();
}

bool PUTIL_HSSI_INFO::start_bonding_group(PUTIL_HSSI_ELEMENT* source, int index)
{
    KEY key;
    source->get_element_phys_impl_type(key);
    if (!is_used(source) || !source->is_valid_atom_enum(DEV_POWER_HSSI_ATOM_PLACED) ||
        starts_no_bonding_group(key.phys_impl))
        return false;
    // A CDR PLL in its reference clock mode starts no group.
    if (key.element == 1743 && source->is_valid_enum_enum(enum_key(2)) && source->get_enum_data(enum_key(2)) == 14)
        return false;
    CDB_ATOM_NODE* atom = source->get_atom_data(DEV_POWER_HSSI_ATOM_PLACED);
    PUTIL_ASSERT(atom != NULL && putil_is_valid_power_atom(atom));
    source->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, index);
    for (CDB_ATOM_NODE::OTERM_ITERATOR iter = atom->begin_oterm(); iter != atom->end_oterm(); ++iter)
        if (cdb_is_connected(*iter))
            set_bonding_index_on_fanout(*iter, index);
    return true;
}

// A used TX PCS takes its channel's serializer index; a used RX PCS without
// one takes its paired TX PCS's, or 0.
void PUTIL_HSSI_INFO::complete_pcs_channel_bonding()
{
    const KEY pcs_channels(PCS_CHANNEL, DEV_PHYS_IMPL_ANY), pma_channels(PMA_CHANNEL, DEV_PHYS_IMPL_ANY);
    if (!key_exists(pcs_channels) ||
        !key_exists(pma_channels))
        return;
    // The first PMA channel at each location.
    std::unordered_map<long long, PUTIL_HSSI_ELEMENT*> pma_by_location;
    for (PUTIL_HSSI_ELEMENT* hssi_pma_channel_temp : get_hssi_elements_by_type(pma_channels)) {
        PUTIL_ASSERT(hssi_pma_channel_temp->is_valid_int_enum(DEV_POWER_HSSI_INT_LOCATION_X) && hssi_pma_channel_temp->is_valid_int_enum(DEV_POWER_HSSI_INT_LOCATION_Y));
        const long long location =
            (static_cast<long long>(hssi_pma_channel_temp->get_int_data(DEV_POWER_HSSI_INT_LOCATION_X)) << 32) |
            static_cast<unsigned>(hssi_pma_channel_temp->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y));
        pma_by_location.emplace(location, hssi_pma_channel_temp);
    }
    const KEY tx_sers(TX_SER, DEV_PHYS_IMPL_ANY);
    for (PUTIL_HSSI_ELEMENT* hssi_pcs_channel : get_hssi_elements_by_type(pcs_channels)) {
        if (!is_used(hssi_pcs_channel))
            continue;
        PUTIL_ASSERT(hssi_pcs_channel->is_valid_int_enum(DEV_POWER_HSSI_INT_LOCATION_X) && hssi_pcs_channel->is_valid_int_enum(DEV_POWER_HSSI_INT_LOCATION_Y));
        const long long location =
            (static_cast<long long>(hssi_pcs_channel->get_int_data(DEV_POWER_HSSI_INT_LOCATION_X)) << 32) |
            static_cast<unsigned>(hssi_pcs_channel->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y));
        const auto found = pma_by_location.find(location);
        PUTIL_HSSI_ELEMENT* hssi_pma_channel = found == pma_by_location.end() ? nullptr : found->second;
        PUTIL_ASSERT(hssi_pma_channel != NULL);
        for (const std::pair<int, int>& pcs_kinds : m_strip_family->pcs_kinds) {
            ELEMENT_LIST& tx_pcs_vector = hssi_pcs_channel->get_child_elements(KEY(pcs_kinds.first, DEV_PHYS_IMPL_ANY));
            PUTIL_ASSERT(tx_pcs_vector.size() == 1);
            if (!is_used(tx_pcs_vector[0]))
                continue;
            ELEMENT_LIST& tx_ser_vector = hssi_pma_channel->get_child_elements(tx_sers);
            PUTIL_ASSERT((tx_ser_vector.size() == 1) && tx_ser_vector[0]->is_valid_bool_enum(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED) && tx_ser_vector[0]->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED) && tx_ser_vector[0]->is_valid_int_enum(DEV_POWER_HSSI_INT_BONDING_INDEX));
            const int tx_ser_bonding_index = tx_ser_vector[0]->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX);
            if (!has_index(tx_pcs_vector[0]))
                tx_pcs_vector[0]->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, tx_ser_bonding_index);
            PUTIL_ASSERT(tx_pcs_vector[0]->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX) == tx_ser_bonding_index);
        }
        for (const std::pair<int, int>& pcs_kinds : m_strip_family->pcs_kinds) {
            ELEMENT_LIST& rx_pcs_vector = hssi_pcs_channel->get_child_elements(KEY(pcs_kinds.second, DEV_PHYS_IMPL_ANY));
            PUTIL_ASSERT(rx_pcs_vector.size() == 1);
            if (!is_used(rx_pcs_vector[0]) || has_index(rx_pcs_vector[0]))
                continue;
            ELEMENT_LIST& tx_pcs = hssi_pcs_channel->get_child_elements(KEY(pcs_kinds.first, DEV_PHYS_IMPL_ANY));
            const bool paired = tx_pcs.size() == 1 && is_used(tx_pcs[0]) && has_index(tx_pcs[0]);
            rx_pcs_vector[0]->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX,
                                           paired ? tx_pcs[0]->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX) : 0);
        }
    }
}

// The receive buffer and deserializer of a used PMA channel join its
// serializer's group, or group 0 when the serializer is not used.
void PUTIL_HSSI_INFO::complete_pma_channel_bonding()
{
    const KEY pma_channels(PMA_CHANNEL, DEV_PHYS_IMPL_ANY);
    if (!key_exists(pma_channels))
        return;
    for (PUTIL_HSSI_ELEMENT* pma_channel : get_hssi_elements_by_type(pma_channels)) {
        if (!is_used(pma_channel))
            continue;
        ELEMENT_LIST& rx_buf_vector = pma_channel->get_child_elements(KEY(RX_BUF, DEV_PHYS_IMPL_ANY));
        PUTIL_ASSERT(rx_buf_vector.size() == 1);
        if (!is_used(rx_buf_vector[0]) || has_index(rx_buf_vector[0]))
            continue;
        ELEMENT_LIST& tx_ser_vector = pma_channel->get_child_elements(KEY(TX_SER, DEV_PHYS_IMPL_ANY));
        PUTIL_ASSERT(tx_ser_vector.size() == 1);
        const int index = is_used(tx_ser_vector[0]) && has_index(tx_ser_vector[0])
                              ? tx_ser_vector[0]->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX)
                              : 0;
        rx_buf_vector[0]->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, index);
        ELEMENT_LIST& rx_deser_vector = pma_channel->get_child_elements(KEY(RX_DESER, DEV_PHYS_IMPL_ANY));
        PUTIL_ASSERT(rx_deser_vector.size() == 1);
        if (is_used(rx_deser_vector[0]) && !has_index(rx_deser_vector[0]))
            rx_deser_vector[0]->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, index);
    }
}
