// The transceiver model's element tree: building it from the device
// database, filling it from the atom netlist, the PLL pruning, the base
// bonding-index walk, element voltages and die-half power regions.
#include "hssi/putil_hssi_info.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "host/cdb_atom.h"
#include "host/cut.h"
#include "host/dev.h"
#include "host/putil_lib.h"
#include "hssi/putil_hssi_model_support.h"
#include "core/putil_internal.h"
#include "supplies/putil_power_supply_info.h"

using namespace putil_hssi;

namespace {

// Element kinds of PLLs: a general PLL that may serve transceivers, and the
// transceiver PLLs that always do.
constexpr int s_general_pll_kind = 50;
bool is_transceiver_pll_kind(int kind)
{
    return kind == 194 || kind == 812 || kind == 1743;
}

// A block's pad data that the element keeps.
constexpr int s_pad_int_data_key = 2;

}   // namespace

PUTIL_HSSI_INFO::PUTIL_HSSI_INFO() = default;

PUTIL_HSSI_INFO::PUTIL_HSSI_INFO(const STRIP_FAMILY_RULES* strip_family) : m_strip_family(strip_family) {}

PUTIL_HSSI_INFO::~PUTIL_HSSI_INFO()
{
    clear_hssi_info();
}

PUTIL_HSSI_ELEMENT* PUTIL_HSSI_INFO::get_hssi_element(int i) const
{
    PUTIL_ASSERT(static_cast<PUTIL_HSSI_ELEMENT_ID>(0) <= i && i < get_num_hssi_elements());
    return m_hssi_elements[static_cast<std::size_t>(i)];
}

PUTIL_HSSI_ELEMENT* PUTIL_HSSI_INFO::get_hssi_element_by_gid(unsigned gid) const
{
    const auto iter = m_gid_to_hssi_element_hash.find(gid);
    PUTIL_ASSERT(iter != m_gid_to_hssi_element_hash.end());
    return iter->second;
}

bool PUTIL_HSSI_INFO::hssi_element_gid_exists(unsigned gid) const
{
    return m_gid_to_hssi_element_hash.count(gid) != 0;
}

PUTIL_HSSI_INFO::ELEMENT_LIST& PUTIL_HSSI_INFO::type_list(PUTIL_HSSI_ELEMENT_TYPE element_type)
{
    PUTIL_ASSERT(0 <= element_type && element_type < static_cast<int>(m_hssi_elements_by_type.size()));
    return m_hssi_elements_by_type[static_cast<std::size_t>(element_type)];
}

PUTIL_HSSI_INFO::ELEMENT_LIST& PUTIL_HSSI_INFO::get_hssi_elements_by_type(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    return type_list(m_element_types.get_hssi_element_type(key));
}

int PUTIL_HSSI_INFO::get_num_hssi_elements_by_type(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    return static_cast<int>(get_hssi_elements_by_type(key).size());
}

PUTIL_HSSI_ELEMENT* PUTIL_HSSI_INFO::get_hssi_element_by_type(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key, int i)
{
    ELEMENT_LIST& hssi_element_by_type = get_hssi_elements_by_type(key);
    PUTIL_ASSERT(0 <= i && i < static_cast<int>(hssi_element_by_type.size()));
    return hssi_element_by_type[static_cast<std::size_t>(i)];
}

void PUTIL_HSSI_INFO::clear_hssi_info()
{
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements)
        delete hssi_element;
    ELEMENT_LIST().swap(m_hssi_elements);
    m_gid_to_hssi_element_hash.clear();
    PUTIL_VECTOR<ELEMENT_LIST>().swap(m_hssi_elements_by_type);
}

// The base model's steps do nothing; a strip family's model runs the steps
// its rules describe.
void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom)
{
    if (m_strip_family != nullptr)
        capture_strip_family_atom(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::propagate_device_database_info()
{
    if (m_strip_family != nullptr)
        propagate_strip_implementation();
}

void PUTIL_HSSI_INFO::propagate_cdb_atom_netlist_info()
{
    if (m_strip_family != nullptr)
        propagate_strip_family_netlist_info();
}

void PUTIL_HSSI_INFO::set_power_region_of_elements()
{
    if (m_strip_family != nullptr)
        set_power_region_of_elements_by_die_half();
}

DYGR_DIE_INFO* PUTIL_HSSI_INFO::placement_view(DEV_DEVICE* dev_device)
{
    PUTIL_ASSERT(dev_device != NULL);
    DEV_DIE_INFO* die_info = dev_device->get_die_info();
    PUTIL_ASSERT(die_info != NULL);
    DYGR_DIE_INFO* dygr_die_info = die_info->get_dygr_die_info();
    PUTIL_ASSERT(dygr_die_info != NULL);
    return dygr_die_info;
}

DYGR_PLACE_INFO* PUTIL_HSSI_INFO::loaded_place_info(DEV_DEVICE* dev_device)
{
    DYGR_PLACE_INFO* place_info = placement_view(dev_device)->get_place_info();
    PUTIL_ASSERT(place_info != NULL);
    PUTIL_ASSERT(place_info->is_data_loaded());
    return place_info;
}

void PUTIL_HSSI_INFO::build_hssi_info_from_device_database(DEV_DEVICE* dev_device)
{
    build_element_tree(dev_device, m_strip_family != nullptr);
}

void PUTIL_HSSI_INFO::build_element_tree(DEV_DEVICE* dev_device, bool load_die_data_part,
                                         const std::function<void()>& before_bonded_marking)
{
    DYGR_PLACE_INFO* place_info = loaded_place_info(dev_device);
    DEV_DIE_INFO* die_info = dev_device->get_die_info();
    const bool loads_data_part = load_die_data_part && !die_info->is_data_loaded(DEV_DIE_INFO_TYPE_TRANSCEIVER);
    if (loads_data_part)
        die_info->load_data(DEV_DIE_INFO_TYPE_TRANSCEIVER);
    m_element_types.create_element_type_map(dev_device);
    create_hssi_elements(dev_device);
    const DYGR_PLACE_BLOCK_HIERARCHY_INFO* hierarchy_info = place_info->get_hierarchy_info();
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements) {
        set_up_default_hierarchical_links(hierarchy_info, hssi_element);
        set_up_default_element_parameters(dev_device, hssi_element);
    }
    if (before_bonded_marking)
        before_bonded_marking();
    set_bonded_and_unbonded_element_info(dev_device);
    if (loads_data_part)
        die_info->release_data(DEV_DIE_INFO_TYPE_TRANSCEIVER);
    propagate_device_database_info();
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements)
        putil_lib_set_is_hssi_gid(hssi_element->get_element_gid(), true);
    set_power_region_of_elements();
}

void PUTIL_HSSI_INFO::create_hssi_elements(DEV_DEVICE* dev_device)
{
    DYGR_PLACE_INFO* place_info = loaded_place_info(dev_device);
    clear_hssi_info();
    // A copy: the element constructor may rebuild the map.
    const PUTIL_HSSI_ELEMENT_TYPE_MAP::KEY_VECTOR types = m_element_types.get_element_phys_impl_vector();
    m_hssi_elements_by_type.assign(static_cast<std::size_t>(m_element_types.get_num_element_types()),
                                   ELEMENT_LIST());
    // Elements are numbered by kind in type-map order, then by placement
    // index within the kind.
    for (const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& type_key : types) {
        if (type_key.phys_impl != DEV_PHYS_IMPL_ANY)
            continue;
        const int count = place_info->get_num_element(type_key.element);
        for (int index = 0; index < count; ++index) {
            const unsigned element_gid = place_info->get_global_id(type_key.element, index);
            PUTIL_ASSERT(element_gid != DEV_ILLEGAL_GLOBAL_ID);
            PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key(type_key.element,
                                                 dev_device->get_die_info()->get_phys_impl(element_gid, 0));
            // A block in an implementation the family does not model gets
            // no element.
            if (key_exists(key))
                add_element(dev_device, element_gid, key);
        }
    }
}

PUTIL_HSSI_ELEMENT* PUTIL_HSSI_INFO::add_element(DEV_DEVICE* dev_device, unsigned gid,
                                                 PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    PUTIL_HSSI_ELEMENT* hssi_element =
        PUTIL_NEW PUTIL_HSSI_ELEMENT(m_element_types, dev_device, gid, get_num_hssi_elements(), key);
    if (hssi_element == nullptr)
        PUTIL_INTERNAL_ERROR("Out of memory");
    m_hssi_elements.push_back(hssi_element);
    if (gid != DEV_ILLEGAL_GLOBAL_ID)
        m_gid_to_hssi_element_hash[gid] = hssi_element;
    type_list(m_element_types.get_hssi_element_type(key)).push_back(hssi_element);
    type_list(m_element_types.get_hssi_element_type(key.any_implementation())).push_back(hssi_element);
    return hssi_element;
}

void PUTIL_HSSI_INFO::set_up_default_hierarchical_links(const DYGR_PLACE_BLOCK_HIERARCHY_INFO* hierarchy_info,
                                                        PUTIL_HSSI_ELEMENT* hssi_element)
{
    const unsigned gid = hssi_element->get_element_gid();
    const auto parent_iter = m_gid_to_hssi_element_hash.find(hierarchy_info->get_parent(gid));
    if (parent_iter != m_gid_to_hssi_element_hash.end())
        attach_to_parent(hssi_element, parent_iter->second);
    // Blocks without an element are passed over, their children with them.
    for (unsigned child_gid = hierarchy_info->get_first_child(gid); child_gid != DEV_ILLEGAL_GLOBAL_ID;
         child_gid = hierarchy_info->get_next_sibling(child_gid)) {
        const auto child_iter = m_gid_to_hssi_element_hash.find(child_gid);
        if (child_iter != m_gid_to_hssi_element_hash.end())
            adopt_child(hssi_element, child_iter->second);
    }
}

void PUTIL_HSSI_INFO::set_up_default_element_parameters(DEV_DEVICE* dev_device, PUTIL_HSSI_ELEMENT* hssi_element)
{
    DEV_DIE_INFO* die_info = dev_device->get_die_info();
    PUTIL_ASSERT(die_info != NULL);
    DEV_PAD_INFO* pad_info = dev_device->get_pad_info();
    PUTIL_ASSERT(pad_info != NULL);
    const unsigned gid = hssi_element->get_element_gid();
    if (gid != DEV_ILLEGAL_GLOBAL_ID) {
        DEV_LOCATION location;
        die_info->get_location(gid, location);
        const int x = location[DEV_LOCATION_X];
        const int y = location[DEV_LOCATION_Y];
        PUTIL_ASSERT(x >= 0 && y >= 0);
        hssi_element->set_int_data(DEV_POWER_HSSI_INT_LOCATION_X, x);
        hssi_element->set_int_data(DEV_POWER_HSSI_INT_LOCATION_Y, y);
        if (const DEV_PAD* pad = pad_info->get_pad_by_global_id(gid))
            hssi_element->set_int_data(DEV_POWER_HSSI_INT_PAD_DATA, pad->get_int_data(s_pad_int_data_key));
    }
    // Every block counts as a transceiver block until the fill says otherwise.
    hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK, true);
}

void PUTIL_HSSI_INFO::set_bonded_and_unbonded_element_info(DEV_DEVICE* dev_device)
{
    if (m_strip_family != nullptr) {
        set_bonded_and_unbonded_strip_family_elements(dev_device);
        return;
    }
    DYGR_DIE_INFO* dygr_die_info = placement_view(dev_device);
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements) {
        const unsigned gid = hssi_element->get_element_gid();
        if (gid != DEV_ILLEGAL_GLOBAL_ID)
            hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED, dygr_die_info->is_global_id_enabled(gid));
    }
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_netlist(CDB_ATOM_NETLIST* atom_netlist, PUTIL_SA_DATA* sa_data)
{
    PUTIL_ASSERT(atom_netlist != NULL && sa_data != NULL);
    m_sa_data = sa_data;
    for (CDB_ATOM_NETLIST::NODE_ITERATOR atom_iter = atom_netlist->begin_node_list();
         atom_iter != atom_netlist->end_node_list(); ++atom_iter) {
        PUTIL_ASSERT((*atom_iter) != 0);
        const auto element_iter = m_gid_to_hssi_element_hash.find((*atom_iter)->get_location_index());
        if (element_iter != m_gid_to_hssi_element_hash.end())
            fill_in_hssi_info_from_cdb_atom(element_iter->second, *atom_iter);
    }
    propagate_cdb_atom_netlist_info();
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements) {
        const int kind = kind_of(hssi_element);
        if (kind != s_general_pll_kind && !is_transceiver_pll_kind(kind))
            continue;
        if (is_hssi_pll(hssi_element))
            continue;
        hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK, false);
        putil_lib_set_is_hssi_gid(hssi_element->get_element_gid(), false);
    }
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_io(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_atom_data(DEV_POWER_HSSI_ATOM_PLACED, cdb_atom);
    hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED, true);
}

bool PUTIL_HSSI_INFO::is_hssi_pll(PUTIL_HSSI_ELEMENT* hssi_element) const
{
    PUTIL_ASSERT(hssi_element != NULL);
    const int kind = kind_of(hssi_element);
    if (is_transceiver_pll_kind(kind))
        return true;
    if (kind != s_general_pll_kind) {
        PUTIL_INTERNAL_ERROR("The element passed into is_hssi_pll() is not a PLL!");
        return false;
    }
    // A general PLL counts when it is used and its clock drives another
    // block that still counts as a transceiver block.
    if (!hssi_element->is_valid_bool_enum(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED) ||
        !hssi_element->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED))
        return false;
    CDB_ATOM_NODE* atom = hssi_element->get_atom_data(DEV_POWER_HSSI_ATOM_PLACED);
    PUTIL_ASSERT(atom != NULL && putil_is_valid_power_atom(atom));
    CDB_ATOM_OTERM* clock_output = atom->get_output_term_by_type(DB_OPORT_CLKOUT, 0);
    if (clock_output == nullptr || !cdb_is_connected(clock_output))
        return false;
    bool serves_transceiver = false;
    for (CDB_ATOM_ITERM* fanout = clock_output->begin_iterm_fanout(); fanout != clock_output->end_iterm_fanout();
         fanout = fanout->get_next_fanout()) {
        const CDB_ATOM_NODE* fanout_atom = fanout->get_my_node();
        if (fanout_atom->get_location_element() == s_general_pll_kind)
            continue;
        const auto element_iter = m_gid_to_hssi_element_hash.find(fanout_atom->get_location_index());
        if (element_iter == m_gid_to_hssi_element_hash.end())
            continue;
        const PUTIL_HSSI_ELEMENT* fanout_element = element_iter->second;
        if (fanout_element->is_valid_bool_enum(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK) &&
            fanout_element->get_bool_data(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK))
            serves_transceiver = true;
    }
    return serves_transceiver;
}

// The walk starts afresh at depth 0; within one walk a relaying atom is
// passed once, which changes nothing on a network without loops (every
// pass of the same walk writes the same index).
bool PUTIL_HSSI_INFO::enter_bonding_atom(const CDB_ATOM_NODE* cdb_atom)
{
    if (m_bonding_walk_depth == 0)
        m_bonding_walk_visited.clear();
    return m_bonding_walk_visited.insert(cdb_atom).second;
}

void PUTIL_HSSI_INFO::set_bonding_index_on_fanout(CDB_ATOM_OTERM* output, int index)
{
    if (m_bonding_walk_depth == 0)
        m_bonding_walk_visited.clear();
    ++m_bonding_walk_depth;
    for (CDB_ATOM_ITERM* fanout = output->begin_iterm_fanout(); fanout != output->end_iterm_fanout();
         fanout = fanout->get_next_fanout()) {
        CDB_ATOM_NODE* atom = fanout->get_my_node();
        const auto element_iter = m_gid_to_hssi_element_hash.find(atom->get_location_index());
        if (element_iter != m_gid_to_hssi_element_hash.end() && !atom->is_bonding_index_exempt_atom()) {
            PUTIL_HSSI_ELEMENT* element = element_iter->second;
            // A strip family's walk ends at a block that already holds the
            // index it carries.
            if (m_strip_family != nullptr && element->is_valid_int_enum(DEV_POWER_HSSI_INT_BONDING_INDEX) &&
                element->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX) == index)
                continue;
            element->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, index);
        }
        if (relays_bonding_index(atom))
            propagate_bonding_index_through_element(atom, index);
    }
    --m_bonding_walk_depth;
}

bool PUTIL_HSSI_INFO::relays_bonding_index(const CDB_ATOM_NODE* cdb_atom) const
{
    if (m_strip_family == nullptr)
        return cdb_atom->is_bonding_multi_output_atom() || cdb_atom->is_bonding_pll_atom() ||
               cdb_atom->is_bonding_secondary_atom();
    return cdb_atom->is_bonding_multi_output_atom() || cdb_atom->is_bonding_pll_atom() ||
           cdb_atom->is_hssi_pma_tx_cgb() || cdb_atom->is_hssi_pma_tx_ser_atom() ||
           cdb_atom->is_hssi_pcs_pma_interface_atom();
}

// The outputs through which a relaying atom passes the index on: clock
// outputs of the usages its kind relays, or a PLL's clock output.
void PUTIL_HSSI_INFO::propagate_bonding_index_through_element(CDB_ATOM_NODE* cdb_atom, int index)
{
    if (!enter_bonding_atom(cdb_atom))
        return;
    ++m_bonding_walk_depth;
    const std::vector<int>* usages = relayed_usages(cdb_atom);
    if (usages != nullptr) {
        for (CDB_ATOM_NODE::OTERM_ITERATOR iter = cdb_atom->begin_oterm(); iter != cdb_atom->end_oterm(); ++iter)
            if (cdb_is_connected(*iter) &&
                std::find(usages->begin(), usages->end(), (*iter)->get_any_usage_as()) != usages->end())
                set_bonding_index_on_fanout(*iter, index);
    } else if (cdb_atom->is_bonding_pll_atom()) {
        CDB_ATOM_OTERM* clock_output = cdb_atom->get_output_term_by_type(DB_OPORT_CLKOUT, 0);
        if (clock_output != nullptr && cdb_is_connected(clock_output))
            set_bonding_index_on_fanout(clock_output, index);
    } else if (m_strip_family != nullptr) {
        const std::string text = "Unknown atom type (" + cdb_get_atom_type_name(cdb_atom->get_atom_type()) +
                                 ") in propagate_bonding_index_through_element.";
        PUTIL_INTERNAL_ERROR(text.c_str());
    }
    --m_bonding_walk_depth;
}

// The usages a multi-output atom relays, in the order the kinds are tested;
// null for a PLL (its one clock output) and for atoms that relay nothing.
const std::vector<int>* PUTIL_HSSI_INFO::relayed_usages(const CDB_ATOM_NODE* cdb_atom) const
{
    static const std::vector<int> multi_output = {385, 393, 394, 667, 669, 4617};
    static const std::vector<int> tx_cgb = {1508, 1555, 1763, 1879, 2207, 2347, 2580, 2713, 3398, 3612,
                                             3791, 3860, 4192, 7755, 7756, 7757, 7758, 7764, 7765};
    static const std::vector<int> tx_ser = {4775, 7769};
    if (cdb_atom->is_bonding_multi_output_atom())
        return &multi_output;
    if (m_strip_family == nullptr)
        return cdb_atom->is_bonding_secondary_atom() ? &multi_output : nullptr;
    if (cdb_atom->is_bonding_pll_atom())
        return nullptr;
    if (cdb_atom->is_hssi_pma_tx_cgb())
        return &tx_cgb;
    if (cdb_atom->is_hssi_pma_tx_ser_atom())
        return &tx_ser;
    if (cdb_atom->is_hssi_pcs_pma_interface_atom())
        return &m_strip_family->pcs_pma_interface_usages;
    return nullptr;
}

void PUTIL_HSSI_INFO::set_up_hssi_element_voltage_data(PUTIL_HSSI_ELEMENT* hssi_element)
{
    const unsigned gid = hssi_element->get_element_gid();
    if (gid == DEV_ILLEGAL_GLOBAL_ID)
        return;
    std::vector<std::vector<int>> supplies_table;
    for (DEV_POWER_SUPPLY_ENUM supply : CUT_VOLTAGE_UTIL::get_power_supplies_of_element(gid)) {
        PUTIL_ASSERT(m_power_supply_info != NULL);
        const DEV_POWER_REGION_ENUM region = m_power_supply_info->get_gid_power_region(gid, supply);
        int voltage = m_power_supply_info->get_power_region_voltage(supply, region);
        // The block's own VCCEHT setting wins over its region's voltage.
        if (supply == DEV_POWER_SUPPLY_VCCEHT && hssi_element->is_valid_enum_enum(DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE))
            PUTIL_ASSERT(CUT_VOLTAGE_UTIL::get_int_voltage_from_dev_enum( static_cast<DEV_VOLTAGE_ENUM>( hssi_element->get_enum_data( DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE ) ), &voltage ));
        supplies_table.push_back({supply, voltage});
    }
    // A block without supplies gets no table.
    if (!supplies_table.empty())
        hssi_element->set_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, supplies_table);
}

void PUTIL_HSSI_INFO::set_power_region_of_elements_by_die_half()
{
    DYGR_PLACE_INFO* place_info = loaded_place_info(DMGR_UTILITY::get_current_device());
    const int half = place_info->get_nx() / 2;
    for (PUTIL_HSSI_ELEMENT* hssi_element : m_hssi_elements) {
        const unsigned gid = hssi_element->get_element_gid();
        if (gid == DEV_ILLEGAL_GLOBAL_ID)
            continue;
        const DYGR_PLACE_BLOCK* place_block = place_info->get_place_block(gid);
        PUTIL_ASSERT(place_block != NULL);
        hssi_element->set_power_region_of_element(static_cast<DEV_POWER_REGION_ENUM>(place_block->get_x() < half ? 1 : 2));
    }
}
