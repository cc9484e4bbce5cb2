// The KVB transceiver model: channel elements made per transmit PMA, the
// captures, bonded marking through children, strip, quad and channel
// propagation, two-stage bonding with channel completion, and strip power-down.
#include "hssi/families/putil_kvb_hssi_info.h"

#include <cstdlib>
#include <string>

#include "host/cdb_atom.h"
#include "host/cga_hssi_parameters.h"
#include "host/cut.h"
#include "host/dev.h"
#include "host/hdb.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "hssi/putil_hssi_model_support.h"
#include "core/putil_internal.h"

using namespace putil_hssi;

namespace {

typedef PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY KEY;
typedef PUTIL_HSSI_INFO::ELEMENT_LIST ELEMENT_LIST;

// Kinds of this line's blocks.
constexpr int GENERAL_PLL = 50, HSSI_PLL = 194, QUAD = 397, CMU = 587, CALIBRATION = 589, RX_PCS = 691,
              RX_PMA = 692, TX_PCS = 693, TX_PMA = 694, PCIE_HIP = 695, CLOCK_DIVIDER = 696, TEN_G = 698,
              STRIP = 699, CHANNEL = 779, REFCLK_DIVIDER = 1786, IO = 163;
// The second bonding stage's PLLs.
constexpr int GENERAL_PLL_BONDING_IMPL = 558;
// Channel variants: a quad's channels of either attribute, and a 10G block's.
constexpr int QUAD_CHANNEL = 458, QUAD_CHANNEL_ALTERNATE = 459, TEN_G_CHANNEL = 460;
// Placement attributes of a channel's blocks: the variant, the position.
constexpr int ATTRIBUTE_VARIANT = 4, ATTRIBUTE_CHANNEL_POSITION = 14;
constexpr int PCIE_SUPPLY = 19, PART_SUPPLY_A = 48, UNSET_SUPPLY = 12;

// Whether every element of a group is used, on each of them and on the
// channel.
void mark_all_used(PUTIL_HSSI_ELEMENT* channel, const std::vector<PUTIL_HSSI_ELEMENT*>& group,
                   DEV_POWER_HSSI_BOOL_DATA_ENUM key)
{
    bool all_used = true;
    for (const PUTIL_HSSI_ELEMENT* element : group)
        all_used = all_used && is_used(element);
    for (PUTIL_HSSI_ELEMENT* element : group)
        element->set_bool_data(key, all_used);
    channel->set_bool_data(key, all_used);
}

// A clock input that must take part in power analysis.
CDB_ATOM_ITERM* required_clock(const CDB_ATOM_NODE* atom, int port)
{
    CDB_ATOM_ITERM* clk_port = atom->get_input_term_by_type(port, 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(clk_port));
    return clk_port;
}
// A channel bonding mode outside 0 to 7 reads as 0.
int channel_bonding(const CDB_ATOM_NODE* atom)
{
    const int value = enum_parameter(atom, CGA_KVB_ENUM_CHANNEL_BONDING);
    return value >= 0 && value <= 7 ? value : 0;
}

}   // namespace

PUTIL_KVB_HSSI_INFO::PUTIL_KVB_HSSI_INFO() = default;

void PUTIL_KVB_HSSI_INFO::build_hssi_info_from_device_database(DEV_DEVICE* dev_device)
{
    build_element_tree(dev_device, true, [this, dev_device] {
        KEY quads = any(QUAD);
        create_fake_channel_elements(dev_device, quads);
        KEY ten_g = any(TEN_G);
        if (key_exists(ten_g))
            create_fake_channel_elements(dev_device, ten_g);
        // The PMAs know the device they are on.
        for (int kind : {RX_PMA, TX_PMA})
            if (key_exists(any(kind)))
                for (PUTIL_HSSI_ELEMENT* pma : get_hssi_elements_by_type(any(kind)))
                    pma->set_enum_data(enum_key(8), dev_device->get_basic_info()->get_device_enum());
    });
}

void PUTIL_KVB_HSSI_INFO::create_fake_channel_elements(DEV_DEVICE* dev_device, PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    create_channel_elements(dev_device, key, -1);
}

void PUTIL_KVB_HSSI_INFO::create_channel_elements(DEV_DEVICE* dev_device, const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key,
                                                  int fixed_variant)
{
    PUTIL_ASSERT(dev_device != NULL);
    DEV_DIE_INFO* die_info = dev_device->get_die_info();
    PUTIL_ASSERT(die_info != NULL);
    DYGR_DIE_INFO* dygr_die_info = die_info->get_dygr_die_info();
    PUTIL_ASSERT(dygr_die_info != NULL);
    PUTIL_ASSERT(die_info->is_data_loaded(DEV_DIE_INFO_TYPE_PLACE));
    const DYGR_PLACE_INFO* place_info = dygr_die_info->get_place_info();
    // A copy: the channels join other type lists while the parents are walked.
    const ELEMENT_LIST parents = get_hssi_elements_by_type(key);
    for (PUTIL_HSSI_ELEMENT* parent : parents) {
        const ELEMENT_LIST tx_pmas = parent->get_child_elements(any(TX_PMA));
        for (PUTIL_HSSI_ELEMENT* tx_pma : tx_pmas) {
            KEY tx_pma_key;
            tx_pma->get_element_phys_impl_type(tx_pma_key);
            KEY channel_key(CHANNEL, tx_pma_key.phys_impl);
            PUTIL_HSSI_ELEMENT* channel = add_element(dev_device, DEV_ILLEGAL_GLOBAL_ID, channel_key);
            channel->set_bool_data(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK, true);
            adopt_child(parent, channel);
            // Associated under the parent's own key, not its kind's.
            channel->set_parent_element(parent);
            channel->add_associated_element(parent);
            channel->add_associated_element(key, parent);
        }
        const ELEMENT_LIST children = parent->get_child_elements();
        for (PUTIL_HSSI_ELEMENT* block : children) {
            const int kind = kind_of(block);
            if (kind == CHANNEL || kind == CMU)
                continue;
            const unsigned element_gid = block->get_element_gid();
            PUTIL_ASSERT(element_gid != DEV_ILLEGAL_GLOBAL_ID);
            int attribute_variant = 0, position = 0;
            place_info->get_int_attribute(element_gid, ATTRIBUTE_VARIANT, &attribute_variant);
            place_info->get_int_attribute(element_gid, ATTRIBUTE_CHANNEL_POSITION, &position);
            const int variant = fixed_variant >= 0     ? fixed_variant
                                : key.element == TEN_G ? TEN_G_CHANNEL
                                : attribute_variant != 0 ? QUAD_CHANNEL_ALTERNATE
                                                         : QUAD_CHANNEL;
            const KEY channel_key(CHANNEL, variant);
            if (!key_exists(channel_key))
                continue;
            // A position the parent has no channel of this variant at leaves
            // the block where it is.
            ELEMENT_LIST& channels = parent->get_child_elements(channel_key);
            if (position < 0 || position >= static_cast<int>(channels.size()))
                continue;
            PUTIL_HSSI_ELEMENT* channel = channels[static_cast<std::size_t>(position)];
            adopt_child(channel, block);
            attach_to_parent(block, channel);
            if (kind != TX_PMA)
                continue;
            DEV_LOCATION location;
            die_info->get_location(element_gid, location);
            const int x = location[DEV_LOCATION_X], y = location[DEV_LOCATION_Y];
            PUTIL_ASSERT(x >= 0 && y >= 0);
            channel->set_int_data(DEV_POWER_HSSI_INT_LOCATION_X, x);
            channel->set_int_data(DEV_POWER_HSSI_INT_LOCATION_Y, y);
        }
    }
}

// A strip is bonded through its quads, a channel through its transmit PMA,
// any other block by its own gid.
void PUTIL_KVB_HSSI_INFO::set_bonded_and_unbonded_element_info(DEV_DEVICE* dev_device)
{
    DYGR_DIE_INFO* dygr_die_info = placement_view(dev_device);
    for (PUTIL_HSSI_ELEMENT* hssi_element : get_hssi_elements()) {
        const int kind = kind_of(hssi_element);
        KEY child_key = any(kind == STRIP ? QUAD : TX_PMA);
        bool bonded = false;
        if (kind == STRIP || kind == CHANNEL) {
            bonded = key_exists(child_key) && get_children_bonded_status_helper(dygr_die_info, hssi_element, child_key);
        } else {
            const unsigned gid = hssi_element->get_element_gid();
            PUTIL_ASSERT(gid != DEV_ILLEGAL_GLOBAL_ID);
            bonded = dygr_die_info->is_global_id_enabled(gid);
        }
        hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED, bonded);
    }
}

bool PUTIL_KVB_HSSI_INFO::get_children_bonded_status_helper(DYGR_DIE_INFO* dygr_die_info,
                                                            PUTIL_HSSI_ELEMENT* hssi_element,
                                                            PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    for (const PUTIL_HSSI_ELEMENT* kid : hssi_element->get_child_elements(key)) {
        const unsigned kid_gid = kid->get_element_gid();
        PUTIL_ASSERT(kid_gid != DEV_ILLEGAL_GLOBAL_ID);
        if (dygr_die_info->is_global_id_enabled(kid_gid))
            return true;
    }
    return false;
}

void PUTIL_KVB_HSSI_INFO::propagate_device_database_info()
{
    propagate_strip_implementation();
}

void PUTIL_KVB_HSSI_INFO::dispatch_capture(const KVB_CAPTURE_ROW* rows, std::size_t count,
                                           PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom)
{
    PUTIL_ASSERT(hssi_element != NULL);
    PUTIL_ASSERT(cdb_atom != NULL);
    const int kind = kind_of(hssi_element);
    for (std::size_t row = 0; row < count; ++row) {
        if (rows[row].kind == kind) {
            (this->*rows[row].capture)(hssi_element, cdb_atom);
            return;
        }
    }
    PUTIL_INTERNAL_ERROR("Missing case when attempting to copy CDB atom data to power HSSI elements.");
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom)
{
    typedef PUTIL_KVB_HSSI_INFO K;
    static const KVB_CAPTURE_ROW rows[] = {
        {IO, static_cast<KVB_CAPTURE>(&K::fill_in_hssi_info_from_cdb_atom_io)},
        {HSSI_PLL, &K::fill_in_hssi_info_from_cdb_atom_hssi_pll},
        {GENERAL_PLL, &K::fill_in_hssi_info_from_cdb_atom_nothing},
        {QUAD, &K::fill_in_hssi_info_from_cdb_atom_nothing},
        {CMU, &K::fill_in_hssi_info_from_cdb_atom_hssi_cmu},
        {CALIBRATION, &K::fill_in_hssi_info_from_cdb_atom_hssi_calibration_block},
        {RX_PCS, &K::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs},
        {RX_PMA, &K::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma},
        {TX_PCS, &K::fill_in_hssi_info_from_cdb_atom_hssi_tx_pcs},
        {TX_PMA, &K::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma},
        {PCIE_HIP, &K::fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip},
        {CLOCK_DIVIDER, &K::fill_in_hssi_info_from_cdb_atom_hssi_clock_divider},
        {TEN_G, &K::fill_in_hssi_info_from_cdb_atom_nothing},
        {STRIP, &K::fill_in_hssi_info_from_cdb_atom_nothing},
        {CHANNEL, &K::fill_in_hssi_info_from_cdb_atom_nothing},
        {REFCLK_DIVIDER, &K::fill_in_hssi_info_from_cdb_atom_hssi_refclk_divider},
    };
    dispatch_capture(rows, sizeof rows / sizeof rows[0], hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_nothing(PUTIL_HSSI_ELEMENT*, CDB_ATOM_NODE*) {}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_cmu(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                   CDB_ATOM_NODE* cdb_atom)
{
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_refclk_divider(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                              CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_bool_data(bool_key(6), bool_parameter(cdb_atom, CGA_KVB_BOOL_REFCLK_DIVIDER_FLAG));
    hssi_element->set_iterm_data(iterm_key(0), required_clock(cdb_atom, 69));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_calibration_block(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                                 CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_bool_data(bool_key(7), bool_parameter(cdb_atom, CGA_KVB_BOOL_CALIBRATION_A));
    hssi_element->set_bool_data(bool_key(8), bool_parameter(cdb_atom, CGA_KVB_BOOL_CALIBRATION_B));
    hssi_element->set_bool_data(bool_key(9), bool_parameter(cdb_atom, CGA_KVB_BOOL_CALIBRATION_C));
    hssi_element->set_iterm_data(iterm_key(0), required_clock(cdb_atom, 7));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_clock_divider(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                             CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(1), enum_parameter(cdb_atom, CGA_KVB_ENUM_CLOCK_DIVIDER_TYPE));
    const int input = int_parameter(cdb_atom, CGA_KVB_INT_CLOCK_DIVIDER_INPUT);
    if (input != 0 && input != 1) {
        PUTIL_INTERNAL_ERROR("Invalid clock input selection in HSSI clock divider!");
        return;
    }
    CDB_ATOM_ITERM* clk_port = cdb_atom->get_input_term_by_type(input == 0 ? 762 : 763, 0);
    hssi_element->set_iterm_data(iterm_key(0), putil_is_valid_power_term(clk_port) ? clk_port : nullptr);
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(5), enum_parameter(cdb_atom, CGA_KVB_ENUM_RX_COMMON_MODE));
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_KVB_ENUM_PROTOCOL_HINT));
    hssi_element->set_enum_data(enum_key(10), 24);
    hssi_element->set_enum_data(enum_key(12), 21);
    hssi_element->set_enum_data(enum_key(4), enum_parameter(cdb_atom, CGA_KVB_ENUM_PMA_CHANNEL_TYPE));
    hssi_element->set_enum_data(enum_key(3), enum_parameter(cdb_atom, CGA_KVB_ENUM_REVERSE_SERIAL_LOOPBACK));
    const int equalization = enum_parameter(cdb_atom, CGA_KVB_ENUM_ADAPTIVE_EQUALIZATION);
    hssi_element->set_bool_data(bool_key(18), equalization == 1 || equalization == 2);
    hssi_element->set_int_data(int_key(9), int_parameter(cdb_atom, CGA_KVB_INT_RX_PMA_FACTOR));
    hssi_element->set_bool_data(bool_key(19), bool_parameter(cdb_atom, CGA_KVB_BOOL_RX_PMA_FLAG));
    hssi_element->set_bool_data(bool_key(17), bool_parameter(cdb_atom, CGA_KVB_BOOL_PMA_FLAG));
    hssi_element->set_bool_data(bool_key(28), false);
    hssi_element->set_iterm_data(iterm_key(0), required_clock(cdb_atom, 678));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pma(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(5), enum_parameter(cdb_atom, CGA_KVB_ENUM_TX_COMMON_MODE));
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_KVB_ENUM_PROTOCOL_HINT));
    hssi_element->set_enum_data(enum_key(10), 24);
    hssi_element->set_enum_data(enum_key(12), 21);
    hssi_element->set_int_data(int_key(5), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_SETTING_A));
    hssi_element->set_int_data(int_key(6), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_SETTING_B));
    hssi_element->set_int_data(int_key(7), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_SETTING_C));
    hssi_element->set_int_data(int_key(8), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_SETTING_D));
    hssi_element->set_enum_data(enum_key(4), enum_parameter(cdb_atom, CGA_KVB_ENUM_PMA_CHANNEL_TYPE));
    hssi_element->set_bool_data(bool_key(20), true);
    hssi_element->set_bool_data(bool_key(17), bool_parameter(cdb_atom, CGA_KVB_BOOL_PMA_FLAG));
    hssi_element->set_int_data(int_key(9), int_parameter(cdb_atom, CGA_KVB_INT_TX_PMA_FACTOR));
    hssi_element->set_bool_data(bool_key(29), bool_parameter(cdb_atom, CGA_KVB_BOOL_TX_PMA_FLAG));
    static const int serializer_clocks[] = {689, 480, 691, 693, 686};
    const int select = int_parameter(cdb_atom, CGA_KVB_INT_SERIALIZER_CLOCK_SELECT);
    if (select < 0 || select > 4) {
        PUTIL_INTERNAL_ERROR("No serializer clock found for HSSI TX PMA.");
        return;
    }
    hssi_element->set_iterm_data(iterm_key(0), required_clock(cdb_atom, serializer_clocks[select]));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    static const int refclk_ports[] = {489, 455, -1};
    capture_tx_pcs(hssi_element, cdb_atom, refclk_ports, true);
}

void PUTIL_KVB_HSSI_INFO::capture_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom,
                                         const int (&refclk_ports)[3], bool refclk_flag)
{
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_KVB_ENUM_PROTOCOL_HINT));
    hssi_element->set_enum_data(enum_key(13), channel_bonding(cdb_atom));
    const bool bypass = bool_parameter(cdb_atom, CGA_KVB_BOOL_PCS_BYPASS);
    hssi_element->set_bool_data(bool_key(31), bypass);
    const int coding = enum_parameter(cdb_atom, CGA_KVB_ENUM_TX_8B10B_MODE);
    hssi_element->set_bool_data(bool_key(13), !bypass && (coding == 1 || coding == 2));
    hssi_element->set_bool_data(bool_key(5), bool_parameter(cdb_atom, CGA_KVB_BOOL_BYTE_SERIALIZER));
    hssi_element->set_bool_data(bool_key(15), !bool_parameter(cdb_atom, CGA_KVB_BOOL_TX_PCS_OFF, true));
    hssi_element->set_int_data(int_key(4), int_parameter(cdb_atom, CGA_KVB_INT_PCS_WIDTH));
    hssi_element->set_bool_data(bool_key(16), bool_parameter(cdb_atom, CGA_KVB_BOOL_PCS_HIP));
    const int select = enum_parameter(cdb_atom, CGA_KVB_ENUM_TX_REFCLK_SELECT);
    if (select < 0 || select > 2 || refclk_ports[select] < 0) {
        PUTIL_INTERNAL_ERROR("No refclk clock found for HSSI TX PCS.");
        return;
    }
    CDB_ATOM_ITERM* refclk = cdb_atom->get_input_term_by_type(refclk_ports[select], 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(refclk));
    hssi_element->set_iterm_data(iterm_key(0), refclk);
    hssi_element->set_bool_data(bool_key(22), refclk_flag);
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    capture_rx_pcs(hssi_element, cdb_atom, false);
}

void PUTIL_KVB_HSSI_INFO::capture_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom,
                                         bool rate_match_flag)
{
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_KVB_ENUM_PROTOCOL_HINT));
    hssi_element->set_enum_data(enum_key(13), channel_bonding(cdb_atom));
    const bool bypass = bool_parameter(cdb_atom, CGA_KVB_BOOL_PCS_BYPASS);
    hssi_element->set_bool_data(bool_key(31), bypass);
    std::string aligner;
    cga_current_interface()->get_string_parameter(cdb_atom, CGA_KVB_STRING_WORD_ALIGNER, aligner);
    hssi_element->set_bool_data(bool_key(10), !aligner.empty() && !bypass);
    hssi_element->set_bool_data(bool_key(30), bool_parameter(cdb_atom, CGA_KVB_BOOL_RX_PCS_A) && !bypass);
    if (rate_match_flag) {
        hssi_element->set_bool_data(bool_key(11), false);
        hssi_element->set_bool_data(bool_key(12), bool_parameter(cdb_atom, CGA_KVB_BOOL_RX_PCS_WOMBLET_RATE_MATCH) && !bypass);
    } else {
        hssi_element->set_bool_data(bool_key(11), bool_parameter(cdb_atom, CGA_KVB_BOOL_RX_PCS_B) && !bypass);
        const int rate_match = enum_parameter(cdb_atom, CGA_KVB_ENUM_RATE_MATCH_FIFO_MODE);
        hssi_element->set_bool_data(bool_key(12), !bypass && rate_match >= 1 && rate_match <= 4);
    }
    const int coding = enum_parameter(cdb_atom, CGA_KVB_ENUM_RX_8B10B_MODE);
    hssi_element->set_bool_data(bool_key(13), !bypass && (coding == 1 || coding == 2));
    hssi_element->set_bool_data(bool_key(5), bool_parameter(cdb_atom, CGA_KVB_BOOL_BYTE_SERIALIZER));
    hssi_element->set_bool_data(bool_key(14), enum_parameter(cdb_atom, CGA_KVB_ENUM_BYTE_ORDER_MODE) != 0 && !bypass);
    hssi_element->set_bool_data(bool_key(15), !bool_parameter(cdb_atom, CGA_KVB_BOOL_RX_PCS_OFF, true));
    hssi_element->set_int_data(int_key(4), int_parameter(cdb_atom, CGA_KVB_INT_PCS_WIDTH));
    hssi_element->set_bool_data(bool_key(16), bool_parameter(cdb_atom, CGA_KVB_BOOL_PCS_HIP));
    int port = -1;
    switch (enum_parameter(cdb_atom, CGA_KVB_ENUM_RX_CLK_MUX_SELECT)) {
    case 0: port = 27; break;
    case 1: port = 489; break;
    case 2: port = 455; break;
    case 4: port = 201; break;
    default: PUTIL_INTERNAL_ERROR("No refclk clock found for HSSI RX PCS."); return;
    }
    CDB_ATOM_ITERM* refclk = cdb_atom->get_input_term_by_type(port, 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(refclk));
    hssi_element->set_iterm_data(iterm_key(0), refclk);
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                        CDB_ATOM_NODE* cdb_atom)
{
    std::vector<bool> lanes;
    cga_current_interface()->get_bit_vector_parameter(cdb_atom, CGA_KVB_BITS_HIP_LANES, lanes);
    int num_of_lanes = 0;
    for (bool bit : lanes)
        num_of_lanes += bit ? 0 : 1;
    PUTIL_ASSERT(num_of_lanes >= 0);
    hssi_element->set_int_data(int_key(0), num_of_lanes);
    const int num_of_virtual_channels = (bool_parameter(cdb_atom, CGA_KVB_BOOL_HIP_VIRTUAL_CHANNEL_A) ? 1 : 0) +
                                        (bool_parameter(cdb_atom, CGA_KVB_BOOL_HIP_VIRTUAL_CHANNEL_B) ? 1 : 0);
    PUTIL_ASSERT(num_of_virtual_channels >= 0 && num_of_virtual_channels < 3);
    hssi_element->set_int_data(int_key(1), num_of_virtual_channels);
    hssi_element->set_bool_data(bool_key(2), bool_parameter(cdb_atom, CGA_KVB_BOOL_HIP_A));
    hssi_element->set_bool_data(bool_key(3), !bool_parameter(cdb_atom, CGA_KVB_BOOL_HIP_B_OFF, true));
    hssi_element->set_bool_data(bool_key(4), !bool_parameter(cdb_atom, CGA_KVB_BOOL_HIP_C_OFF, true));
    hssi_element->set_int_data(int_key(2), int_parameter(cdb_atom, CGA_KVB_INT_HIP_DIVISION, 1));

    CDB_ATOM_ITERM* pma_clk_port =
        cdb_atom->get_input_term_by_type(bool_parameter(cdb_atom, CGA_KVB_BOOL_HIP_PMA_CLOCK_SELECT) ? 714 : 715, 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(pma_clk_port));
    hssi_element->set_iterm_data(iterm_key(1), pma_clk_port);
    CDB_ATOM_ITERM* pld_clk_port = cdb_atom->get_input_term_by_type(602, 0);
    if (putil_is_valid_power_term(pld_clk_port))
        hssi_element->set_iterm_data(iterm_key(2), pld_clk_port);
    CDB_ATOM_ITERM* core_clk_port = nullptr;
    switch (enum_parameter(cdb_atom, CGA_KVB_ENUM_HIP_CORE_CLK_SOURCE)) {
    case 0: core_clk_port = cdb_atom->get_input_term_by_type(716, 0); break;
    case 1: core_clk_port = pma_clk_port; break;
    case 2: core_clk_port = cdb_atom->get_input_term_by_type(717, 0); break;
    default: PUTIL_INTERNAL_ERROR("Invalid clock input selection in HSSI HIP!"); return;
    }
    PUTIL_ASSERT(::putil_is_valid_power_term(core_clk_port));
    hssi_element->set_iterm_data(iterm_key(3), core_clk_port);
    hssi_element->set_iterm_data(iterm_key(0), core_clk_port);

    // Clock ratios against the core clock; all 0 when it does not toggle.
    PUTIL_SA_DATA* sa_data = get_sa_data();
    const double core = sa_data->get_toggle_rate_of_term(core_clk_port);
    const double pma = sa_data->get_toggle_rate_of_term(pma_clk_port);
    const double pld = pld_clk_port != nullptr ? sa_data->get_toggle_rate_of_term(pld_clk_port) : 0.0;
    hssi_element->set_double_data(double_key(0), core > 0 ? pma / core : 0.0);
    hssi_element->set_double_data(double_key(1), core > 0 ? 1.0 : 0.0);
    hssi_element->set_double_data(double_key(2), core > 0 ? pld / core : 0.0);
    hssi_element->set_bool_data(bool_key(23), true);
    mark_populated(hssi_element, cdb_atom);
}

// The PLL's clock is its first output that takes part in power analysis;
// a PLL without one is placed but not used.
void PUTIL_KVB_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pll(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                   CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(2), enum_parameter(cdb_atom, CGA_KVB_ENUM_PLL_TYPE));
    const int factor = int_parameter(cdb_atom, CGA_KVB_INT_PLL_FACTOR, 1);
    static const std::pair<int, int> outputs[] = {{22, 0}, {22, 1}, {22, 2}, {22, 3}, {4139, 0},
                                                  {22, 0}, {22, 1}, {22, 2}, {22, 3}, {22, 4}};
    CDB_ATOM_OTERM* clock = nullptr;
    for (const std::pair<int, int>& output : outputs) {
        CDB_ATOM_OTERM* term = cdb_atom->get_output_term_by_type(output.first, output.second);
        if (term != nullptr && putil_is_valid_power_term(term, false)) {
            clock = term;
            break;
        }
    }
    hssi_element->set_atom_data(DEV_POWER_HSSI_ATOM_PLACED, cdb_atom);
    if (clock == nullptr) {
        hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED, false);
        return;
    }
    hssi_element->set_oterm_data(OTERM_0, clock);
    hssi_element->set_int_data(int_key(3), factor);
    hssi_element->set_enum_data(enum_key(11), enum_parameter(cdb_atom, CGA_KVB_ENUM_PLL_BANDWIDTH_TYPE));
    hssi_element->set_double_data(double_key(3), get_sa_data()->get_toggle_rate_of_term(clock));
    hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED, true);
}

void PUTIL_KVB_HSSI_INFO::propagate_cdb_atom_netlist_info()
{
    propagate_cdb_atom_netlist_info_strip();
    propagate_cdb_atom_netlist_info_quad();
    propagate_cdb_atom_netlist_info_channel();
    propagate_bonding_index();
    CMP_FACADE* facade = putil_lib_get_cmp_facade();
    PUTIL_HSSI_USER_VOLTAGE_OPTIONS options(61);
    PUTIL_HSSI_USER_VOLTAGES voltages(61);
    bool db_found = CUT_VOLTAGE_UTIL::read_voltage_options_from_acf(facade, options);
    PUTIL_ASSERT(db_found);
    db_found = CUT_VOLTAGE_UTIL::read_voltages_from_acf(facade, voltages);
    PUTIL_ASSERT(db_found);
    if (key_exists(any(STRIP))) {
        for (PUTIL_HSSI_ELEMENT* strip : get_hssi_elements_by_type(any(STRIP))) {
            const unsigned gid = strip->get_element_gid();
            PUTIL_ASSERT(gid != DEV_ILLEGAL_GLOBAL_ID);
            propagate_voltage_info_from_cdb_atom_netlist_strip(voltages, options, strip);
        }
    }
    set_up_block_supply_voltages({24}, {23}, {24});
}

void PUTIL_KVB_HSSI_INFO::propagate_cdb_atom_netlist_info_strip()
{
    if (!key_exists(any(STRIP)))
        return;
    for (PUTIL_HSSI_ELEMENT* strip : get_hssi_elements_by_type(any(STRIP))) {
        const unsigned gid = strip->get_element_gid();
        PUTIL_ASSERT(gid != DEV_ILLEGAL_GLOBAL_ID);
        if (PUTIL_HSSI_INFO_HELPERS::propagate_and_match_enum_data_upwards(strip, enum_key(6)))
            PUTIL_HSSI_INFO_HELPERS::propagate_enum_data_downwards(strip, enum_key(6));
        PUTIL_HSSI_INFO_HELPERS::propagate_and_match_bool_data_upwards(strip, DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED);
        PUTIL_HSSI_INFO_HELPERS::propagate_and_match_enum_data_upwards(strip, enum_key(12));
        // One calibration block per strip is in charge: the first used one.
        if (!key_exists(any(CALIBRATION)))
            continue;
        for (PUTIL_HSSI_ELEMENT* calibration : strip->get_child_elements(any(CALIBRATION))) {
            if (is_used(calibration)) {
                calibration->set_bool_data(bool_key(24), true);
                break;
            }
        }
    }
}

void PUTIL_KVB_HSSI_INFO::propagate_cdb_atom_netlist_info_quad()
{
    if (!key_exists(any(QUAD)))
        return;
    for (PUTIL_HSSI_ELEMENT* quad : get_hssi_elements_by_type(any(QUAD))) {
        if (PUTIL_HSSI_INFO_HELPERS::propagate_and_match_int_data_upwards(quad, DEV_POWER_HSSI_INT_PAD_DATA))
            PUTIL_HSSI_INFO_HELPERS::propagate_int_data_downwards(quad, DEV_POWER_HSSI_INT_PAD_DATA);
        PUTIL_HSSI_INFO_HELPERS::propagate_and_match_bool_data_upwards(quad, bool_key(22));
    }
}

void PUTIL_KVB_HSSI_INFO::propagate_cdb_atom_netlist_info_10g()
{
    if (!key_exists(any(TEN_G)))
        return;
    for (PUTIL_HSSI_ELEMENT* block : get_hssi_elements_by_type(any(TEN_G)))
        if (PUTIL_HSSI_INFO_HELPERS::propagate_and_match_int_data_upwards(block, DEV_POWER_HSSI_INT_PAD_DATA))
            PUTIL_HSSI_INFO_HELPERS::propagate_int_data_downwards(block, DEV_POWER_HSSI_INT_PAD_DATA);
}

// A channel's PMAs (and its PCSs) count as used together only when every
// one of them present is used.
void PUTIL_KVB_HSSI_INFO::propagate_cdb_atom_netlist_info_channel()
{
    if (!key_exists(any(CHANNEL)))
        return;
    for (PUTIL_HSSI_ELEMENT* channel : get_hssi_elements_by_type(any(CHANNEL))) {
        std::vector<PUTIL_HSSI_ELEMENT*> pmas, pcss;
        for (int kind : {RX_PMA, TX_PMA}) {
            const std::size_t num_pma = key_exists(any(kind)) ? channel->get_associated_elements(any(kind)).size() : 0;
            if (num_pma != 0)
                PUTIL_ASSERT(num_pma == 1);
            if (num_pma != 0)
                pmas.push_back(channel->get_associated_elements(any(kind))[0]);
        }
        for (int kind : {RX_PCS, TX_PCS}) {
            const std::size_t num_pcs = key_exists(any(kind)) ? channel->get_associated_elements(any(kind)).size() : 0;
            if (num_pcs != 0)
                PUTIL_ASSERT(num_pcs == 1);
            if (num_pcs != 0)
                pcss.push_back(channel->get_associated_elements(any(kind))[0]);
        }
        mark_all_used(channel, pmas, bool_key(25));
        mark_all_used(channel, pcss, bool_key(26));
    }
}

// Each used transceiver PLL, then each used second-stage PLL, starts a
// bonding group; every used channel then completes its receive path.
void PUTIL_KVB_HSSI_INFO::propagate_bonding_index()
{
    int index = 1;
    for (const KEY& stage : {any(HSSI_PLL), KEY(GENERAL_PLL, GENERAL_PLL_BONDING_IMPL)}) {
        if (!key_exists(stage))
            continue;
        for (PUTIL_HSSI_ELEMENT* pll : get_hssi_elements_by_type(stage)) {
            KEY key;
            pll->get_element_phys_impl_type(key);
            if (!is_used(pll) || !pll->is_valid_atom_enum(DEV_POWER_HSSI_ATOM_PLACED) ||
                (pll->is_valid_enum_enum(enum_key(2)) && pll->get_enum_data(enum_key(2)) == 14) ||
                key.phys_impl == 469 || key.phys_impl == 473)
                continue;
            CDB_ATOM_NODE* atom = pll->get_atom_data(DEV_POWER_HSSI_ATOM_PLACED);
            PUTIL_ASSERT(atom != NULL && putil_is_valid_power_atom(atom));
            pll->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, index);
            CDB_ATOM_OTERM* clock = atom->get_output_term_by_type(DB_OPORT_CLKOUT, 0);
            if (clock != nullptr && cdb_is_connected(clock))
                set_bonding_index_on_fanout(clock, index);
            ++index;
        }
    }
    if (!key_exists(any(CHANNEL)))
        return;
    for (PUTIL_HSSI_ELEMENT* channel : get_hssi_elements_by_type(any(CHANNEL))) {
        if (!is_used(channel))
            continue;
        ELEMENT_LIST& hssi_tx_pma_list = channel->get_child_elements(any(TX_PMA));
        PUTIL_ASSERT(hssi_tx_pma_list.size() == 1);
        PUTIL_HSSI_ELEMENT* hssi_tx_pma = hssi_tx_pma_list[0];
        if (is_used(hssi_tx_pma)) {
            PUTIL_ASSERT(hssi_tx_pma->is_valid_int_enum(DEV_POWER_HSSI_INT_BONDING_INDEX));
            ELEMENT_LIST empty;
            ELEMENT_LIST& hssi_tx_pcs_list = key_exists(any(TX_PCS)) ? channel->get_child_elements(any(TX_PCS)) : empty;
            if (!hssi_tx_pcs_list.empty()) {
                PUTIL_ASSERT(hssi_tx_pcs_list.size() == 1);
                if (is_used(hssi_tx_pcs_list[0]) && !has_index(hssi_tx_pcs_list[0]))
                    hssi_tx_pcs_list[0]->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX,
                                                      hssi_tx_pma->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX));
            }
        }
        PUTIL_HSSI_ELEMENT* rx_pcs = nullptr;
        if (key_exists(any(RX_PCS))) {
            ELEMENT_LIST& hssi_rx_pcs_list = channel->get_child_elements(any(RX_PCS));
            if (!hssi_rx_pcs_list.empty()) {
                PUTIL_ASSERT(hssi_rx_pcs_list.size() == 1);
                rx_pcs = hssi_rx_pcs_list[0];
                if (is_used(rx_pcs) && !has_index(rx_pcs))
                    rx_pcs->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, 0);
            }
        }
        ELEMENT_LIST& hssi_rx_pma_list = channel->get_child_elements(any(RX_PMA));
        PUTIL_ASSERT(hssi_rx_pma_list.size() == 1);
        PUTIL_HSSI_ELEMENT* rx_pma = hssi_rx_pma_list[0];
        if (is_used(rx_pma) && !has_index(rx_pma))
            rx_pma->set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX,
                                 rx_pcs != nullptr && has_index(rx_pcs)
                                     ? rx_pcs->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX)
                                     : 0);
    }
}

bool PUTIL_KVB_HSSI_INFO::pcie_supply_follows_hard_ips() const
{
    return true;
}

bool PUTIL_KVB_HSSI_INFO::powers_down_supply(DEV_POWER_SUPPLY_ENUM supply) const
{
    return supply == 20 || supply == 21 || supply == 22 || supply == 23 || supply == 45;
}

// The user keeps a region on through the voltage options.
bool PUTIL_KVB_HSSI_INFO::user_keeps_region_on(const PUTIL_HSSI_USER_VOLTAGES&,
                                               const PUTIL_HSSI_USER_VOLTAGE_OPTIONS& options,
                                               DEV_POWER_REGION_ENUM region) const
{
    const auto option = options.find(static_cast<DEV_VOLTAGE_OPTION_TYPE_ENUM>(user_setting_key(region)));
    return option != options.end() && option->second == 1;
}

// The hard IPs sit in the strip itself; one that keeps the supply on is
// enough.
void PUTIL_KVB_HSSI_INFO::power_down_unused_pcie_supply(PUTIL_HSSI_ELEMENT* strip, DEV_POWER_SUPPLY_ENUM supply,
                                                        DEV_POWER_REGION_ENUM region, CDB_CHIP_DB_ENTRY* chip)
{
    const bool option_on = pcie_power_option_on(region);
    if (key_exists(any(PCIE_HIP)))
        for (const PUTIL_HSSI_ELEMENT* hip : strip->get_child_elements(any(PCIE_HIP)))
            if (hard_ip_keeps_pcie_supply_on(hip, option_on))
                return;
    chip->set_power_region_voltage(supply, region, 0, 0);
}

// The quads of an unused strip lose their pad supplies; the strip's 10G
// blocks take the pad data of the nearer of its top and bottom quads.
void PUTIL_KVB_HSSI_INFO::power_down_unused_strip_blocks(PUTIL_HSSI_ELEMENT* strip, bool keep_on,
                                                         CDB_CHIP_DB_ENTRY* chip)
{
    PUTIL_HSSI_ELEMENT* top_quad = nullptr;
    PUTIL_HSSI_ELEMENT* bottom_quad = nullptr;
    ELEMENT_LIST no_quads;
    ELEMENT_LIST& quads = key_exists(any(QUAD)) ? strip->get_child_elements(any(QUAD)) : no_quads;
    for (PUTIL_HSSI_ELEMENT* quad : quads) {
        if (!keep_on) {
            const int pad = quad->get_int_data(DEV_POWER_HSSI_INT_PAD_DATA);
            const DEV_POWER_REGION_ENUM region24 =
                quad->get_power_region_of_element(quad->get_element_gid(), DEV_POWER_SUPPLY_VCCEHT);
            chip->set_power_region_voltage(static_cast<DEV_POWER_SUPPLY_ENUM>(PART_SUPPLY_A), region24, 0, pad);
            chip->set_power_region_voltage(DEV_POWER_SUPPLY_VCCEHT, region24, 0, pad);
        }
        const int y = quad->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y);
        if (top_quad == nullptr || y > top_quad->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y))
            top_quad = quad;
        if (bottom_quad == nullptr || y < bottom_quad->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y))
            bottom_quad = quad;
    }
    PUTIL_ASSERT(top_quad != NULL && bottom_quad != NULL);
    if (!key_exists(any(TEN_G)))
        return;
    const int top_y = top_quad->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y);
    const int bottom_y = bottom_quad->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y);
    for (PUTIL_HSSI_ELEMENT* block : strip->get_child_elements(any(TEN_G))) {
        const int y = block->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y);
        PUTIL_HSSI_ELEMENT* nearer = std::abs(top_y - y) < std::abs(y - bottom_y) ? top_quad : bottom_quad;
        if (!nearer->is_valid_int_enum(DEV_POWER_HSSI_INT_PAD_DATA))
            continue;
        block->set_int_data(DEV_POWER_HSSI_INT_PAD_DATA, nearer->get_int_data(DEV_POWER_HSSI_INT_PAD_DATA));
        PUTIL_HSSI_INFO_HELPERS::propagate_int_data_downwards(block, DEV_POWER_HSSI_INT_PAD_DATA);
    }
}
