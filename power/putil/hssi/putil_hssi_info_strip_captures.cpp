// Captures of the strip families: the settings of one transceiver atom,
// copied into the element of the block it is placed on, dispatched by the
// block's kind.
#include "host/cdb_atom.h"
#include "host/cga_hssi_parameters.h"
#include "host/cut.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "hssi/putil_hssi_info.h"
#include "hssi/putil_hssi_model_support.h"
#include "core/putil_internal.h"

using namespace putil_hssi;

namespace {

typedef PUTIL_HSSI_INFO::ELEMENT_LIST ELEMENT_LIST;

// Terms the power analysis takes part in, or null.
CDB_ATOM_ITERM* valid_input(const CDB_ATOM_NODE* atom, int port)
{
    CDB_ATOM_ITERM* term = atom->get_input_term_by_type(port, 0);
    return term != nullptr && putil_is_valid_power_term(term) ? term : nullptr;
}
CDB_ATOM_OTERM* valid_output(const CDB_ATOM_NODE* atom, int port)
{
    CDB_ATOM_OTERM* term = atom->get_output_term_by_type(port, 0);
    return term != nullptr && putil_is_valid_power_term(term) ? term : nullptr;
}
CDB_ATOM_ITERM* first_valid_input(const CDB_ATOM_NODE* atom, std::initializer_list<int> ports)
{
    for (int port : ports)
        if (CDB_ATOM_ITERM* term = valid_input(atom, port))
            return term;
    return nullptr;
}
void store_input(PUTIL_HSSI_ELEMENT* element, int key, CDB_ATOM_ITERM* term)
{
    if (term != nullptr)
        element->set_iterm_data(iterm_key(key), term);
}
void store_output(PUTIL_HSSI_ELEMENT* element, CDB_ATOM_OTERM* term)
{
    if (term != nullptr)
        element->set_oterm_data(OTERM_0, term);
}

// The reference clock check of the transmit buffer behind a serializer;
// false without one.
bool tx_ser_passes_rtc_check(const CDB_ATOM_NODE* tx_ser)
{
    const CDB_ATOM_NODE* tx_buf =
        tx_ser == nullptr ? nullptr : CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::get_tx_buf_via_tx_ser(tx_ser);
    return tx_buf != nullptr && CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::check_rtc_assignment(tx_buf);
}

// The fixed enum 10 and 12 of the transmit and receive buffers, in the
// families that set them.
void set_fixed_buffer_enums(PUTIL_HSSI_ELEMENT* element, bool fixed)
{
    if (!fixed)
        return;
    element->set_enum_data(enum_key(10), 24);
    element->set_enum_data(enum_key(12), 24);
}

// A data width setting: 8, 10, 16 or 20 bits.
int pcs_width(int setting)
{
    static const int widths[] = {8, 10, 16, 20};
    return setting >= 0 && setting < 4 ? widths[setting] : 8;
}

// A channel bonding mode outside 0 to 3 reads as 0.
int bonding_mode(int value)
{
    return value >= 0 && value <= 3 ? value : 0;
}

// Input ports of the reference clock multiplexers by selected value 3 .. 28.
const int s_refclk_mux_ports[] = {6709, 6708, 6710, 6711, 6713, 6714, 6715, 6716, 6717, 6718, 6719, 6720, 6712,
                                  6721, 6722, 6724, 6725, 6726, 6727, 6728, 6729, 6730, 6731, 6723, 5979, 6704};
constexpr int s_first_refclk_mux_value = 3;

void capture_refclk_mux(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom, int parameter, int last_value,
                        const char* missing)
{
    const int value = enum_parameter(cdb_atom, parameter);
    if (value < s_first_refclk_mux_value || value > last_value) {
        PUTIL_INTERNAL_ERROR(missing);
        return;
    }
    CDB_ATOM_ITERM* clk_port = cdb_atom->get_input_term_by_type(s_refclk_mux_ports[value - s_first_refclk_mux_value], 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(clk_port));
    hssi_element->set_iterm_data(iterm_key(0), clk_port);
    mark_populated(hssi_element, cdb_atom);
}

// The clock-enable settings of the 10G PCS: each bool is true when its
// setting is 1.
struct CLOCK_ENABLE {
    int key;
    int parameter;
};
const CLOCK_ENABLE s_10g_tx_clock_enables[] = {
    {32, CGA_ENUM_HD_PCS10G_TX_CHNL_WRFIFO_CLKEN},   {33, CGA_ENUM_HD_PCS10G_TX_CHNL_RDFIFO_CLKEN},
    {34, CGA_ENUM_HD_PCS10G_TX_CHNL_FRMGEN_CLKEN},   {35, CGA_ENUM_HD_PCS10G_TX_CHNL_CRCGEN_CLKEN},
    {36, CGA_ENUM_HD_PCS10G_TX_CHNL_ENC64B66B_TXSM_CLKEN}, {37, CGA_ENUM_HD_PCS10G_TX_CHNL_SCRM_CLKEN},
    {38, CGA_ENUM_HD_PCS10G_TX_CHNL_DISPGEN_CLKEN},  {39, CGA_ENUM_HD_PCS10G_TX_CHNL_PRBS_CLKEN},
    {40, CGA_ENUM_HD_PCS10G_TX_CHNL_SQWGEN_CLKEN},   {41, CGA_ENUM_HD_PCS10G_TX_CHNL_GBRED_CLKEN},
    {43, CGA_ENUM_HD_PCS10G_TX_CHNL_BITSLIP_EN},
};
const CLOCK_ENABLE s_10g_rx_clock_enables[] = {
    {32, CGA_ENUM_HD_PCS10G_RX_CHNL_WRFIFO_CLKEN},  {33, CGA_ENUM_HD_PCS10G_RX_CHNL_RDFIFO_CLKEN},
    {44, CGA_ENUM_HD_PCS10G_RX_CHNL_CRCCHK_CLKEN},  {45, CGA_ENUM_HD_PCS10G_RX_CHNL_RAND_CLKEN},
    {46, CGA_ENUM_HD_PCS10G_RX_CHNL_BER_CLKEN},     {47, CGA_ENUM_HD_PCS10G_RX_CHNL_DEC64B66B_CLKEN},
    {48, CGA_ENUM_HD_PCS10G_RX_CHNL_FRMSYNC_CLKEN}, {49, CGA_ENUM_HD_PCS10G_RX_CHNL_DESCRM_CLKEN},
    {50, CGA_ENUM_HD_PCS10G_RX_CHNL_DISPCHK_CLKEN}, {51, CGA_ENUM_HD_PCS10G_RX_CHNL_BLKSYNC_CLKEN},
    {39, CGA_ENUM_HD_PCS10G_RX_CHNL_PRBS_CLKEN},    {52, CGA_ENUM_HD_PCS10G_RX_CHNL_GBEXP_CLKEN},
    {43, CGA_ENUM_HD_PCS10G_RX_CHNL_BITSLIP_MODE},
};

template <std::size_t N>
void capture_clock_enables(PUTIL_HSSI_ELEMENT* hssi_element, const CDB_ATOM_NODE* cdb_atom,
                           const CLOCK_ENABLE (&enables)[N])
{
    for (const CLOCK_ENABLE& enable : enables)
        hssi_element->set_bool_data(bool_key(enable.key), enum_parameter(cdb_atom, enable.parameter) == 1);
}

// A reference clock chosen by a setting among three ports; another value
// stops the run with missing.
CDB_ATOM_ITERM* selected_refclk(const CDB_ATOM_NODE* cdb_atom, int parameter, const int (&ports)[3],
                                const char* missing)
{
    const int value = int_parameter(cdb_atom, parameter);
    if (value < 0 || value > 2) {
        PUTIL_INTERNAL_ERROR(missing);
        return nullptr;
    }
    return valid_input(cdb_atom, ports[value]);
}

}   // namespace

// The dispatch of the strip families by block kind: the capture of the
// first family generation and of the later one; null: no such block may
// carry an atom.
void PUTIL_HSSI_INFO::capture_strip_family_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom)
{
    typedef PUTIL_HSSI_INFO I;
    struct CAPTURE_ROW {
        int kind;
        CAPTURE first;
        CAPTURE later;
    };
    static const CAPTURE_ROW rows[] = {
        {163, &I::fill_in_hssi_info_from_cdb_atom_io, &I::fill_in_hssi_info_from_cdb_atom_io},
        {699, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {819, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {820, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {822, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {823, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1058, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1773, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1776, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1777, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1778, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1836, &I::fill_in_hssi_info_from_cdb_atom_nothing, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {812, &I::fill_in_hssi_info_from_cdb_atom_hssi_pll, &I::fill_in_hssi_info_from_cdb_atom_hssi_pll},
        {1743, &I::fill_in_hssi_info_from_cdb_atom_hssi_pll, &I::fill_in_hssi_info_from_cdb_atom_hssi_pll},
        {815, &I::fill_in_hssi_info_from_cdb_atom_io, &I::fill_in_hssi_info_from_cdb_atom_io},
        {816, &I::fill_in_hssi_info_from_cdb_atom_io, &I::fill_in_hssi_info_from_cdb_atom_io},
        {817, &I::fill_in_hssi_info_from_cdb_atom_io, &I::fill_in_hssi_info_from_cdb_atom_io},
        {826, &I::fill_in_hssi_info_from_cdb_atom_io, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {829, &I::fill_in_hssi_info_from_cdb_atom_io, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1779, &I::fill_in_hssi_info_from_cdb_atom_io, &I::fill_in_hssi_info_from_cdb_atom_nothing},
        {1859, &I::fill_in_hssi_info_from_cdb_atom_io, nullptr},
        {825, &I::fill_in_hssi_info_from_cdb_atom_hssi_10g_rx_pcs, &I::fill_in_hssi_info_from_cdb_atom_hssi_10g_rx_pcs},
        {828, &I::fill_in_hssi_info_from_cdb_atom_hssi_10g_tx_pcs, &I::fill_in_hssi_info_from_cdb_atom_hssi_10g_tx_pcs},
        {1105, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_int, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_int},
        {1774, &I::fill_in_hssi_info_from_cdb_atom_hssi_8g_rx_pcs, &I::fill_in_hssi_info_from_cdb_atom_hssi_8g_rx_pcs},
        {1775, &I::fill_in_hssi_info_from_cdb_atom_hssi_8g_tx_pcs, &I::fill_in_hssi_info_from_cdb_atom_hssi_8g_tx_pcs},
        {1780, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_cdr_refclk_select_mux,
         &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_cdr_refclk_select_mux},
        {1781, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_buf, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_buf},
        {1782, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_deser,
         &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_deser},
        {1783, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_buf, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_buf},
        {1784, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_cgb, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_cgb},
        {1785, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_ser, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_ser},
        {1786, &I::fill_in_hssi_info_from_cdb_atom_hssi_refclk_divider,
         &I::fill_in_hssi_info_from_cdb_atom_hssi_refclk_divider},
        {1787, &I::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs_pma, &I::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs_pma},
        {1789, &I::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs_pma, &I::fill_in_hssi_info_from_cdb_atom_hssi_rx_pcs_pma},
        {1788, &I::fill_in_hssi_info_from_cdb_atom_hssi_rx_pld_pcs, &I::fill_in_hssi_info_from_cdb_atom_hssi_rx_pld_pcs},
        {1790, &I::fill_in_hssi_info_from_cdb_atom_hssi_tx_pld_pcs, &I::fill_in_hssi_info_from_cdb_atom_hssi_tx_pld_pcs},
        {1794, &I::fill_in_hssi_info_from_cdb_atom_pll_dpa_output, &I::fill_in_hssi_info_from_cdb_atom_pll_dpa_output},
        {1841, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_lc_refclk_select_mux, nullptr},
        {1854, &I::fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip, &I::fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip},
        {1857, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_cdr_att, nullptr},
        {1858, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_deser_att, nullptr},
        {1860, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_ser_att, nullptr},
        {1861, &I::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_att, nullptr},
        {1746, nullptr, &I::fill_in_hssi_info_from_cdb_atom_hd_hbxpe2_hip_top},
    };
    PUTIL_ASSERT(hssi_element != NULL);
    PUTIL_ASSERT(cdb_atom != NULL);
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key;
    hssi_element->get_element_phys_impl_type(key);
    for (const CAPTURE_ROW& row : rows) {
        if (row.kind != key.element)
            continue;
        CAPTURE capture = m_strip_family->later_captures ? row.later : row.first;
        if (capture == nullptr)
            break;
        (this->*capture)(hssi_element, cdb_atom);
        return;
    }
    PUTIL_INTERNAL_ERROR("Missing case when attempting to copy CDB atom data to power HSSI elements.");
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_nothing(PUTIL_HSSI_ELEMENT*, CDB_ATOM_NODE*) {}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pll(PUTIL_HSSI_ELEMENT* hssi_element,
                                                               CDB_ATOM_NODE* cdb_atom)
{
    const int self_factor = int_parameter(cdb_atom, CGA_INT_PLL_FACTOR_SELF, 1);
    const int refclk_factor = int_parameter(cdb_atom, CGA_INT_PLL_FACTOR_REFCLK, 1);
    const int lc_factor = int_parameter(cdb_atom, CGA_INT_LC_PLL_FACTOR, 1);
    CDB_ATOM_OTERM* clk_port = nullptr;
    for (int port : {6872, 6871, 4257, 10371, 10372}) {
        if (!cdb_atom->implements(static_cast<DB_OUTPUT_PORT_TYPE>(port)))
            continue;
        clk_port = valid_output(cdb_atom, port);
        if (clk_port != nullptr)
            break;
    }
    PUTIL_ASSERT(::putil_is_valid_power_term(clk_port));
    hssi_element->set_oterm_data(OTERM_0, clk_port);
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY element_type;
    hssi_element->get_element_phys_impl_type(element_type);
    if (element_type.element == 1743) {
        // A CDR PLL fed by its reference clock input runs in the third mode.
        const CDB_ATOM_ITERM* refclk = cdb_atom->get_input_term_by_type(2895, 0);
        const bool refclk_in_use = refclk != nullptr && refclk->get_source() != nullptr;
        hssi_element->set_enum_data(enum_key(2), refclk_in_use ? 14 : 9);
        hssi_element->set_int_data(int_key(3), refclk_in_use ? refclk_factor : self_factor);
    } else if (element_type.element == 812) {
        hssi_element->set_int_data(int_key(3), lc_factor);
        hssi_element->set_enum_data(enum_key(2), 10);
    } else {
        PUTIL_INTERNAL_ERROR("element_type.element == DEV_ELEMENT_CDR_PLL || element_type.element == DEV_ELEMENT_LC_PLL");
    }
    hssi_element->set_double_data(double_key(3), get_sa_data()->get_toggle_rate_of_term(clk_port));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_pll_dpa_output(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                     CDB_ATOM_NODE* cdb_atom)
{
    const CDB_ATOM_NODE* pll_atom = nullptr;
    for (CDB_ATOM_NODE::ITERM_ITERATOR iter = cdb_atom->begin_iterm(); iter != cdb_atom->end_iterm(); ++iter) {
        const CDB_ATOM_OTERM* source = (*iter)->get_source();
        if (source == nullptr || (*iter)->get_any_usage_as() != 6970)
            continue;
        pll_atom = source->get_my_node();
        break;
    }
    PUTIL_ASSERT(pll_atom != NULL);
    hssi_element->set_enum_data(enum_key(2), enum_parameter(pll_atom, CGA_ENUM_PLL_TYPE));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_ser(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    // Later families mark a serializer whose transmit buffer passes the
    // reference clock check and capture nothing else of it.
    if (m_strip_family->tx_ser_rule != STRIP_FAMILY_RULES::TX_SER_PLAIN && tx_ser_passes_rtc_check(cdb_atom)) {
        hssi_element->set_bool_data(bool_key(54), true);
        if (m_strip_family->tx_ser_rule == STRIP_FAMILY_RULES::TX_SER_RTC_USED)
            mark_populated(hssi_element, cdb_atom);
        else
            hssi_element->set_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED, false);
        return;
    }
    hssi_element->set_int_data(int_key(9), int_parameter(cdb_atom, CGA_INT_SER_DESER_FACTOR));
    hssi_element->set_bool_data(bool_key(17), bool_parameter(cdb_atom, CGA_BOOL_SER_DESER_FLAG));
    store_input(hssi_element, 0, valid_input(cdb_atom, 3074));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_deser(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                        CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_int_data(int_key(9), int_parameter(cdb_atom, CGA_INT_SER_DESER_FACTOR));
    hssi_element->set_bool_data(bool_key(17), bool_parameter(cdb_atom, CGA_BOOL_SER_DESER_FLAG));
    store_input(hssi_element, 0, valid_input(cdb_atom, 6766));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_cgb(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    if (!m_strip_family->later_captures) {
        store_output(hssi_element, valid_output(cdb_atom, 7757));
        mark_populated(hssi_element, cdb_atom);
        return;
    }
    CDB_ATOM_OTERM* output = valid_output(cdb_atom, 7757);
    if (output == nullptr)
        output = valid_output(cdb_atom, 7758);
    store_output(hssi_element, output);
    hssi_element->set_bool_data(bool_key(53), tx_cgb_sourced_by_x6_xn_network(cdb_atom));
    // The check of the first serializer this block clocks.
    const CDB_ATOM_NODE* tx_ser = nullptr;
    if (output != nullptr)
        for (CDB_ATOM_ITERM* fanout = output->begin_iterm_fanout(); fanout != output->end_iterm_fanout() && !tx_ser;
             fanout = fanout->get_next_fanout())
            if (fanout->get_my_node()->is_hssi_pma_tx_ser_atom())
                tx_ser = fanout->get_my_node();
    hssi_element->set_bool_data(bool_key(54), tx_ser_passes_rtc_check(tx_ser));
    mark_populated(hssi_element, cdb_atom);
}

#define PUTIL_INPUT_ONLY_CAPTURE(NAME, PORT)                                                               \
    void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_##NAME(PUTIL_HSSI_ELEMENT* hssi_element,         \
                                                                 CDB_ATOM_NODE* cdb_atom)                   \
    {                                                                                                      \
        store_input(hssi_element, 0, valid_input(cdb_atom, PORT));                                         \
        mark_populated(hssi_element, cdb_atom);                                                            \
    }
PUTIL_INPUT_ONLY_CAPTURE(hssi_pma_ser_att, 8351)
PUTIL_INPUT_ONLY_CAPTURE(hssi_pma_tx_att, 9556)
PUTIL_INPUT_ONLY_CAPTURE(hssi_pma_cdr_att, 3154)
PUTIL_INPUT_ONLY_CAPTURE(hssi_rx_pcs_pma, 6815)
#undef PUTIL_INPUT_ONLY_CAPTURE

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_deser_att(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                         CDB_ATOM_NODE* cdb_atom)
{
    store_output(hssi_element, valid_output(cdb_atom, 7747));
    mark_populated(hssi_element, cdb_atom);
}

// The first family generation falls back to a second clock port.
void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_tx_pld_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    store_input(hssi_element, 0,
                m_strip_family->later_captures ? valid_input(cdb_atom, 6870) : first_valid_input(cdb_atom, {6870, 9644}));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_rx_pld_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    store_input(hssi_element, 0,
                m_strip_family->later_captures ? valid_input(cdb_atom, 6849) : first_valid_input(cdb_atom, {6849, 9617}));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_refclk_divider(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                          CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_bool_data(bool_key(6), bool_parameter(cdb_atom, CGA_BOOL_REFCLK_DIVIDER_FLAG));
    store_input(hssi_element, 0, valid_input(cdb_atom, 3259));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_int(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                   CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_int_data(int_key(16), enum_parameter(cdb_atom, CGA_ENUM_PM_INT_RX_DATA_OUT_SEL));
    store_input(hssi_element, 0, valid_input(cdb_atom, 5979));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_tx_buf(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    set_fixed_buffer_enums(hssi_element, m_strip_family->buffers_have_fixed_enums);
    hssi_element->set_int_data(int_key(5), int_parameter(cdb_atom, CGA_INT_TX_BUF_SETTING_A));
    hssi_element->set_int_data(int_key(6), int_parameter(cdb_atom, CGA_INT_TX_BUF_SETTING_B));
    hssi_element->set_int_data(int_key(7), int_parameter(cdb_atom, CGA_INT_TX_BUF_SETTING_C));
    hssi_element->set_int_data(int_key(8), int_parameter(cdb_atom, CGA_INT_TX_BUF_SETTING_D));
    hssi_element->set_int_data(int_key(15), enum_parameter(cdb_atom, CGA_ENUM_PM_TX_VCM_CURRENT_ADDL));
    if (m_strip_family->later_captures)
        hssi_element->set_bool_data(bool_key(54), CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::check_rtc_assignment(cdb_atom));
    store_input(hssi_element, 0, valid_input(cdb_atom, 6335));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_rx_buf(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    set_fixed_buffer_enums(hssi_element, m_strip_family->buffers_have_fixed_enums);
    hssi_element->set_bool_data(bool_key(19), enum_parameter(cdb_atom, CGA_ENUM_PM_RX_SD_SERIAL_LOOPBACK) != 0);
    hssi_element->set_int_data(int_key(18), enum_parameter(cdb_atom, CGA_ENUM_PM_RX_SD_INPUT_VCM_SEL));
    if (m_strip_family->later_captures) {
        hssi_element->set_int_data(int_key(17), enum_parameter(cdb_atom, CGA_ENUM_PM_RX_SD_RX_SEL_HALF_BW));
        hssi_element->set_bool_data(bool_key(21), bool_parameter(cdb_atom, CGA_BOOL_RX_BUF_FLAG));
    } else {
        hssi_element->set_int_data(int_key(17), enum_parameter(cdb_atom, CGA_ENUM_PM_RX_SD_EQ_BW_SEL));
        hssi_element->set_int_data(int_key(20), enum_parameter(cdb_atom, CGA_ENUM_PM_RX_SD_BYPASS_EQZ_STAGES_234));
    }
    hssi_element->set_int_data(int_key(19), enum_parameter(cdb_atom, CGA_ENUM_PM_RX_SD_VCM_CURRENT_ADD));
    store_output(hssi_element, valid_output(cdb_atom, 4775));
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_cdr_refclk_select_mux(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                                     CDB_ATOM_NODE* cdb_atom)
{
    capture_refclk_mux(hssi_element, cdb_atom, CGA_ENUM_CDR_REFCLK_SELECT, 28,
                       "No serializer clock found for HSSI_PMA_CDR_REFCLK_SELECT_MUX.");
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pma_lc_refclk_select_mux(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                                    CDB_ATOM_NODE* cdb_atom)
{
    capture_refclk_mux(hssi_element, cdb_atom, CGA_ENUM_LC_REFCLK_SELECT, 26,
                       "No serializer clock found for HSSI_PMA_LC_REFCLK_SELECT_MUX.");
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_8g_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                     CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_TX_PROT_MODE));
    hssi_element->set_enum_data(enum_key(13), bonding_mode(int_parameter(cdb_atom, CGA_INT_HD_PCS8G_TX_BONDING_MODE)));
    const bool encoder = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_TX_EIGHTB_TENB_ENCODER) != 0;
    hssi_element->set_bool_data(bool_key(13), encoder);
    const int serializer = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_TX_BYTE_SERIALIZER);
    hssi_element->set_bool_data(bool_key(5), serializer != 0);
    const int mode = int_parameter(cdb_atom, CGA_INT_HD_PCS8G_TX_MODE);
    hssi_element->set_bool_data(bool_key(15), mode != 2);
    hssi_element->set_bool_data(bool_key(31), mode == 0 && !encoder && serializer == 0);
    const int width = pcs_width(enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_TX_PMA_DW));
    const int factor = serializer == 1 ? 2 : serializer == 2 ? 4 : 1;
    hssi_element->set_int_data(int_key(4), encoder ? width * factor * 8 / 10 : width * factor);
    hssi_element->set_int_data(int_key(14), factor);
    hssi_element->set_bool_data(bool_key(16), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_TX_HIP_MODE) != 0);
    const int refclk_select = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_TX_REFCLK_B_CLK_SEL);
    if (refclk_select != 0 && refclk_select != 1) {
        PUTIL_INTERNAL_ERROR("No refclk clock found for HSSI 8G TX PCS.");
        return;
    }
    store_input(hssi_element, 0, valid_input(cdb_atom, refclk_select == 0 ? 6564 : 3363));
    if (m_strip_family->later_captures) {
        const CDB_ATOM_NODE* tx_ser = CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::get_tx_ser_via_tx_pcs(cdb_atom);
        hssi_element->set_bool_data(bool_key(54), tx_ser_passes_rtc_check(tx_ser));
    }
    hssi_element->set_bool_data(bool_key(22), true);
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_8g_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                     CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_PROT_MODE));
    hssi_element->set_enum_data(enum_key(13), bonding_mode(int_parameter(cdb_atom, CGA_INT_HD_PCS8G_RX_BONDING_MODE)));
    const int word_align = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_WA_PD);
    const bool aligner = word_align != 0 && word_align != 1;
    const bool setting = int_parameter(cdb_atom, CGA_INT_HD_PCS8G_RX_SETTING) == 1;
    const bool rate_match = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_RATE_MATCH) != 0;
    const bool decoder = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_EIGHTB_TENB_DECODER) != 0;
    const int deserializer = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_BYTE_DESERIALIZER);
    const bool byte_order = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_BYTE_ORDER) != 0;
    const int mode = int_parameter(cdb_atom, CGA_INT_HD_PCS8G_RX_MODE);
    hssi_element->set_bool_data(bool_key(10), aligner);
    hssi_element->set_bool_data(bool_key(30),
                                enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_WA_BOUNDARY_LOCK_CTRL) == 0);
    hssi_element->set_bool_data(bool_key(11), setting);
    hssi_element->set_bool_data(bool_key(12), rate_match);
    hssi_element->set_bool_data(bool_key(13), decoder);
    hssi_element->set_bool_data(bool_key(5), deserializer != 0);
    hssi_element->set_bool_data(bool_key(14), byte_order);
    hssi_element->set_bool_data(bool_key(15), mode != 2);
    hssi_element->set_bool_data(bool_key(31), mode == 0 && !aligner && !setting && !rate_match && !decoder &&
                                                  deserializer == 0 && !byte_order);
    hssi_element->set_bool_data(bool_key(16), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_HIP_MODE) == 1);
    const int width = pcs_width(enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_PMA_DW));
    const int factor = deserializer == 1 || deserializer == 2 ? 2 : deserializer == 3 ? 4 : 1;
    hssi_element->set_int_data(int_key(4), decoder ? width * factor * 8 / 10 : width * factor);
    hssi_element->set_int_data(int_key(14), factor);
    static const int clock_ports[] = {6505, 6455, 6508};
    const int clock_select = enum_parameter(cdb_atom, CGA_ENUM_HD_PCS8G_DIGI_RX_RX_CLK2);
    if (clock_select < 0 || clock_select > 2) {
        PUTIL_INTERNAL_ERROR("No refclk clock found for HSSI RX PCS.");
        return;
    }
    CDB_ATOM_ITERM* refclk = valid_input(cdb_atom, clock_ports[clock_select]);
    if (refclk == nullptr)
        refclk = cdb_atom->get_input_term_by_type(6505, 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(refclk));
    hssi_element->set_iterm_data(iterm_key(0), refclk);
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_10g_tx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS10G_TX_CHNL_PROT_MODE));
    hssi_element->set_enum_data(enum_key(13), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS10G_TX_CHNL_CTRL_PLANE_BONDING));
    capture_clock_enables(hssi_element, cdb_atom, s_10g_tx_clock_enables);
    hssi_element->set_bool_data(bool_key(42), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS10G_TX_CHNL_TXFIFO_MODE) != 0);
    if (m_strip_family->later_captures) {
        static const int ports[] = {9279, 6455, 3363};
        CDB_ATOM_ITERM* refclk = selected_refclk(cdb_atom, CGA_INT_HD_PCS10G_TX_REFCLK_SEL, ports,
                                                 "No refclk clock found for HSSI 10G TX PCS.");
        if (refclk != nullptr) {
            hssi_element->set_iterm_data(iterm_key(0), refclk);
            hssi_element->set_bool_data(bool_key(22), true);
        }
    } else {
        CDB_ATOM_ITERM* refclk = cdb_atom->get_input_term_by_type(6455, 0);
        PUTIL_ASSERT(::putil_is_valid_power_term(refclk));
        hssi_element->set_iterm_data(iterm_key(0), refclk);
        hssi_element->set_bool_data(bool_key(22), true);
    }
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_10g_rx_pcs(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                      CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_enum_data(enum_key(0), enum_parameter(cdb_atom, CGA_ENUM_HD_PCS10G_RX_CHNL_PROT_MODE));
    capture_clock_enables(hssi_element, cdb_atom, s_10g_rx_clock_enables);
    if (m_strip_family->later_captures) {
        static const int ports[] = {9256, 9258, 3363};
        store_input(hssi_element, 0, selected_refclk(cdb_atom, CGA_INT_HD_PCS10G_RX_REFCLK_SEL, ports,
                                                     "No refclk clock found for HSSI 10G RX PCS."));
    } else {
        CDB_ATOM_ITERM* refclk = cdb_atom->get_input_term_by_type(9258, 0);
        PUTIL_ASSERT(::putil_is_valid_power_term(refclk));
        hssi_element->set_iterm_data(iterm_key(0), refclk);
    }
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hssi_pcie_hip(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                    CDB_ATOM_NODE* cdb_atom)
{
    hssi_element->set_bool_data(bool_key(2), enum_parameter(cdb_atom, CGA_ENUM_HD_HBXPE3_HIP_GEN123_LANE_RATE_MODE) == 1);
    hssi_element->set_bool_data(bool_key(3), int_parameter(cdb_atom, CGA_INT_HD_HBXPE3_HIP_SETTING_A) != 0);
    hssi_element->set_bool_data(bool_key(4), int_parameter(cdb_atom, CGA_INT_HD_HBXPE3_HIP_SETTING_B) != 0);
    hssi_element->set_bool_data(bool_key(23), true);
    static const int lanes[] = {1, 2, 4, 8};
    const int lane_mask = enum_parameter(cdb_atom, CGA_ENUM_HD_HBXPE3_HIP_LANE_MASK);
    hssi_element->set_int_data(int_key(0), lane_mask >= 4 && lane_mask <= 7 ? lanes[lane_mask - 4] : 0);
    const int protocol = enum_parameter(cdb_atom, CGA_ENUM_HD_HBXPE3_HIP_PROT_MODE);
    if (protocol >= 0 && protocol <= 2)
        hssi_element->set_int_data(int_key(22), protocol + 1);
    hssi_element->set_int_data(int_key(1), int_parameter(cdb_atom, CGA_INT_HD_HBXPE3_HIP_SETTING_C) == 0 ? 1 : 0);
    static const int divisions[] = {1, 2, 4, 8};
    const int divider = enum_parameter(cdb_atom, CGA_ENUM_HD_HBXPE3_HIP_CORE_CLK_DIVIDER);
    hssi_element->set_int_data(int_key(2), divider >= 1 && divider <= 3 ? divisions[divider] : 1);

    const int pclk_port_type = enum_parameter(cdb_atom, CGA_ENUM_HD_HBXPE3_HIP_ENABLE_CH0_PCLK_OUT) == 2 ? 5966 : 5965;
    CDB_ATOM_ITERM* pclk_port = valid_input(cdb_atom, pclk_port_type);
    store_input(hssi_element, 1, pclk_port);
    CDB_ATOM_ITERM* pld_clk_port = cdb_atom->get_input_term_by_type(5979, 0);
    PUTIL_ASSERT(::putil_is_valid_power_term(pld_clk_port));
    hssi_element->set_iterm_data(iterm_key(2), pld_clk_port);
    CDB_ATOM_ITERM* core_clk_port = nullptr;
    switch (enum_parameter(cdb_atom, CGA_ENUM_HD_HBXPE3_HIP_CORE_CLK_SOURCE)) {
    case 0: core_clk_port = first_valid_input(cdb_atom, {5988, 5989, 5987}); break;
    case 2: core_clk_port = cdb_atom->get_input_term_by_type(5918, 0); break;
    case 3: core_clk_port = pclk_port; break;
    default: break;
    }
    PUTIL_ASSERT(::putil_is_valid_power_term(core_clk_port));
    hssi_element->set_iterm_data(iterm_key(3), core_clk_port);
    hssi_element->set_iterm_data(iterm_key(0), core_clk_port);

    // Clock ratios against the core clock; all 0 when it does not toggle.
    const double core = get_sa_data()->get_toggle_rate_of_term(core_clk_port);
    const double pclk = pclk_port != nullptr ? get_sa_data()->get_toggle_rate_of_term(pclk_port) : 0.0;
    const double pld = get_sa_data()->get_toggle_rate_of_term(pld_clk_port);
    hssi_element->set_double_data(double_key(0), core > 0 ? pclk / core : 0.0);
    hssi_element->set_double_data(double_key(1), core > 0 ? 1.0 : 0.0);
    hssi_element->set_double_data(double_key(2), core > 0 ? pld / core : 0.0);
    mark_populated(hssi_element, cdb_atom);
}

void PUTIL_HSSI_INFO::fill_in_hssi_info_from_cdb_atom_hd_hbxpe2_hip_top(PUTIL_HSSI_ELEMENT* hssi_element,
                                                                        CDB_ATOM_NODE* cdb_atom)
{
    const int protocol = enum_parameter(cdb_atom, CGA_ENUM_HD_HBXPE2_HIP_TOP_PROT_MODE);
    if (protocol == 0 || protocol == 1)
        hssi_element->set_int_data(int_key(22), protocol + 1);
    mark_populated(hssi_element, cdb_atom);
}

bool putil_hssi::tx_cgb_sourced_by_x6_xn_network(const CDB_ATOM_NODE* tx_cgb_atom)
{
    PUTIL_ASSERT(tx_cgb_atom->is_hssi_pma_tx_cgb());
    int autil_x1_clock_sel = 0;
    PUTIL_ASSERT(cga_current_interface()->get_enum_data(tx_cgb_atom, CGA_ENUM_X1_CLOCK_SOURCE_SEL, &autil_x1_clock_sel));
    if (autil_x1_clock_sel == 10) {
        int autil_xn_clock_sel = 0;
        PUTIL_ASSERT(cga_current_interface()->get_enum_data(tx_cgb_atom, CGA_ENUM_XN_CLOCK_SOURCE_SEL, &autil_xn_clock_sel));
        return autil_xn_clock_sel != 5;
    }
    if ((autil_x1_clock_sel >= 6 && autil_x1_clock_sel <= 9) || (autil_x1_clock_sel >= 28 && autil_x1_clock_sel <= 39))
        return true;
    if ((autil_x1_clock_sel >= 0 && autil_x1_clock_sel <= 5) || (autil_x1_clock_sel >= 11 && autil_x1_clock_sel <= 27) ||
        (autil_x1_clock_sel >= 40 && autil_x1_clock_sel <= 50))
        return false;
    PUTIL_INTERNAL_ERROR("Unknown ENUM type when determining CGB_X1_CLOCK_SOURCE_SEL");
    return false;
}
