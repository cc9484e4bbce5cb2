// Parser event handler base: everything about a VCD file that does not depend
// on what is done with its values.
#include "vcd/putil_vcd_parser_event_handler.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/cdb_atom.h"
#include "host/cfg.h"
#include "host/hdb.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "host/wsc_hierarchy_builder.h"
#include "vcd/putil_bit_range.h"
#include "core/putil_eda_utilities.h"
#include "core/putil_msgs.h"
#include "vcd/putil_vcd_lexer.h"
#include "vcd/putil_vcd_input_file.h"

namespace {

bool has_children(const HDB_INSTANCE_NAME* instance)
{
    return instance->begin_child() != instance->end_child();
}

std::string decimal_text(std::uint64_t value) { return std::to_string(value); }

}  // namespace

bool putil_vcd_is_named_block_kind(const char* kind, bool extended_syntax)
{
    static const char* const EXTENDED_NAMED_BLOCK_KINDS[] = {
        "generate", "struct", "union", "vhdl_record", "vhdl_for_generate", "vhdl_if_generate", "vhdl_generate"};
    if (std::strcmp(kind, "begin") == 0)
        return true;
    if (!extended_syntax)
        return false;
    for (const char* block_kind : EXTENDED_NAMED_BLOCK_KINDS) {
        if (std::strcmp(kind, block_kind) == 0)
            return true;
    }
    return false;
}

bool putil_vcd_extended_syntax_is_on() { return cfg_is_on("putil_vcd_extended_syntax", false); }

std::uint64_t PUTIL_VCD_PARSER_EVENT_HANDLER::get_line_number() const { return m_vcd_yyFlexLexer->get_line_number(); }

PUTIL_VCD_PARSER_EVENT_HANDLER::PUTIL_VCD_PARSER_EVENT_HANDLER(std::string vcd_file_name, std::uint64_t lines_in_file,
                                                               putil_vcd_lexer_yyFlexLexer* scanner,
                                                               CMP_FACADE* facade, PUTIL_INPUT_FILE_DATA* entry,
                                                               PUTIL_INPUT_FILE_MANAGER* manager)
    : m_input_file_data(entry),
      m_input_file_manager(manager),
      m_time_unit_factor(1.0f),
      m_time_unit("ns"),
      m_timescale_number(1),
      m_dump_state(VCD_DUMP_STATE_NONE),
      m_facade(facade),
      m_cap_inst(nullptr),
      m_netlist(nullptr),
      m_vcd_yyFlexLexer(scanner),
      m_vcd_file_name(std::move(vcd_file_name)),
      m_lines_in_file(lines_in_file),
      m_next_progress_line(0),
      m_input_progress(nullptr),
      m_next_progress_fraction(0.0),
      m_file_kind(VCD_FILE_KIND_UNDECIDED),
      m_extended_syntax(putil_vcd_extended_syntax_is_on()),
      m_stop_after_percent(cfg_get_int_value("putil_vcd_stop_after_percent", -1)),
      m_use_eda_names(false),
      m_lower_case_names(false),
      m_entity_count(0)
{
    PUTIL_ASSERT(m_vcd_yyFlexLexer != 0);
    m_netlist = putil_atom_netlist_of_facade(m_facade, m_cap_inst);

    build_eda_name_map();
    build_entities();
    link_instance_names_to_oterms();
}

PUTIL_VCD_PARSER_EVENT_HANDLER::~PUTIL_VCD_PARSER_EVENT_HANDLER() = default;

void PUTIL_VCD_PARSER_EVENT_HANDLER::handle_end_of_file()
{
    m_file_kind = VCD_FILE_KIND_UNDECIDED;
    m_time_unit_factor = 1.0f;
    m_timescale_number = 1;
    m_time_unit = "ns";
    m_dump_state = VCD_DUMP_STATE_NONE;
}

// Copies made by the scanner, so that a parse stopped by an internal error
// frees them with the scanner's other texts.
char* PUTIL_VCD_PARSER_EVENT_HANDLER::heap_copy(std::string_view text)
{
    return m_vcd_yyFlexLexer->copy_text(text.data(), text.size());
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::handle_timestamp_text(std::string_view time_text)
{
    return handle_timestamp(heap_copy(time_text));
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::handle_scalar_value_change_text(std::string_view value_text)
{
    char* text = heap_copy(value_text);
    return handle_scalar_value_change(text + 1, text);
}

// The value is copied first, as the scanner makes its tokens.
bool PUTIL_VCD_PARSER_EVENT_HANDLER::handle_vector_value_change_text(std::string_view code, std::string_view value)
{
    char* value_copy = heap_copy(value);
    return handle_vector_value_change(heap_copy(code), value_copy);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::reset_for_file(PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name,
                                                    std::uint64_t lines_in_file,
                                                    putil_vcd_lexer_yyFlexLexer* putil_vcd_yyFlexLexer)
{
    PUTIL_ASSERT(putil_vcd_yyFlexLexer != 0);
    m_input_file_data = entry;
    m_vcd_file_name = std::move(vcd_file_name);
    m_lines_in_file = lines_in_file;
    m_vcd_yyFlexLexer = putil_vcd_yyFlexLexer;
    m_next_progress_line = 0;
    m_input_progress = nullptr;
    m_next_progress_fraction = 0.0;
    m_malformed_values = 0;
    m_damage_reported = false;
    m_extended_syntax = putil_vcd_extended_syntax_is_on();
    build_entities();
}

// One entity per related input entry (the same file applied to several
// hierarchy instances); without a manager the design root is the only one.
void PUTIL_VCD_PARSER_EVENT_HANDLER::build_entities()
{
    m_related_entries.clear();
    m_entity_index_map.clear();
    m_entities.clear();
    m_entity_count = 1;
    if (m_input_file_manager != nullptr) {
        std::vector<PUTIL_INPUT_FILE_DATA*> related;
        m_input_file_manager->get_related_entries(m_input_file_data, related);
        m_related_entries.assign(related.begin(), related.end());
        m_entity_count = static_cast<std::uint32_t>(m_related_entries.size());
    }
    PUTIL_ASSERT(m_entity_count >= 1);
    m_scope_levels.clear();
    m_scope_level_marks.clear();
    m_entities.resize(m_entity_count);
    for (std::uint32_t i = 0; i < m_entity_count; ++i) {
        ENTITY& entity = m_entities[i];
        if (m_input_file_manager != nullptr) {
            entity.instance = m_related_entries[i]->get_hierarchy_instance();
            m_entity_index_map[m_related_entries[i]->get_id()] = i;
        } else {
            entity.instance = m_cap_inst->get_m_rooted_at();
        }
        PUTIL_ASSERT(entity.instance != 0);
        entity.eda_path = m_use_eda_names ? eda_path_of_instance(entity.instance) : std::string();
    }
}

std::string PUTIL_VCD_PARSER_EVENT_HANDLER::eda_path_of_instance(HDB_INSTANCE_NAME* entity) const
{
    PUTIL_ASSERT(entity != 0);
    const HDB_INSTANCE_NAME* root = m_cap_inst->get_m_rooted_at();
    std::string path;
    for (const HDB_INSTANCE_NAME* level = entity; level != nullptr && level != root; level = level->get_parent())
        path = level->get_unit_name() + "/" + path;
    return path;
}

// Maps the EDA simulation netlist's name of every power-relevant output term
// to the term, so that waveforms written from that netlist match too.
void PUTIL_VCD_PARSER_EVENT_HANDLER::build_eda_name_map()
{
    m_use_eda_names = false;
    m_eda_name_map.clear();
    WSC_HIERARCHY_BUILDER* builder = nullptr;
    const bool built = putil_eda_create_hierarchy_builder(m_facade, &builder);
    m_hierarchy_builder.reset(builder);
    if (!built)
        return;
    // The design's own rule, so that reads of designs with different EDA
    // tool settings each compare names their way.
    m_lower_case_names = putil_eda_lower_case_names(m_facade);
    for (auto node = m_netlist->begin_node_list(); node != m_netlist->end_node_list(); ++node) {
        const CDB_ATOM_NODE* atom = *node;
        for (auto term = atom->begin_oterm(); term != atom->end_oterm(); ++term) {
            CDB_ATOM_OTERM* oterm = *term;
            if (!putil_is_valid_power_term(oterm, true))
                continue;
            std::string name;
            if (atom->is_pin_atom() &&
                (oterm->is_used_as(CDB_PORT_TYPE_PAD_OUTPUT) || oterm->is_used_as(CDB_PORT_TYPE_PIN_CLKOUT))) {
                if (m_hierarchy_builder->find_atom_info(atom) == nullptr)
                    continue;
                name = m_hierarchy_builder->get_pin_name(atom);
            } else if (!m_hierarchy_builder->get_signal_hierarchical_name(oterm, name, "/", true)) {
                continue;
            }
            if (m_lower_case_names)
                stl_tolower(name);
            m_eda_name_map[name] = oterm;
        }
    }
    m_use_eda_names = true;
}

// Stores in each signal's hierarchy name the output term that drives it,
// preferring a connected term over unconnected ones of the same name.
void PUTIL_VCD_PARSER_EVENT_HANDLER::link_instance_names_to_oterms()
{
    const HDB_INSTANCE_NAME* root = m_cap_inst->get_m_rooted_at();
    for (auto it = root->begin_descendant(); it != root->end_descendant(); ++it)
        (*it)->set_user_word(nullptr);
    for (auto node = m_netlist->begin_node_list(); node != m_netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            CDB_ATOM_OTERM* oterm = *term;
            HDB_INSTANCE_NAME* oterm_iname = oterm->get_instance_name();
            PUTIL_ASSERT(oterm_iname != 0);
            const CDB_ATOM_OTERM* stored = static_cast<const CDB_ATOM_OTERM*>(oterm_iname->get_user_word());
            if (stored == nullptr || !cdb_is_connected(stored))
                oterm_iname->set_user_word(oterm);
            else
                PUTIL_ASSERT(!(::cdb_is_connected(oterm)));
        }
    }
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::change_dump_state(VCD_DUMP_STATE state, bool enter,
                                                       const char* required_state_text)
{
    const VCD_DUMP_STATE required = enter ? VCD_DUMP_STATE_NONE : state;
    if (m_dump_state != required)
        MSG_INTERNAL_ERROR::report(enter ? "m_dump_state == VCD_DUMP_STATE_NONE" : required_state_text, "PUTIL",
                                   PUTIL_SOURCE_NAME, __LINE__);
    m_dump_state = enter ? state : VCD_DUMP_STATE_NONE;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::set_dump_state_current(bool enter)
{
    change_dump_state(VCD_DUMP_STATE_CURRENT, enter, "m_dump_state == VCD_DUMP_STATE_CURRENT");
}
void PUTIL_VCD_PARSER_EVENT_HANDLER::set_dump_state_on(bool enter)
{
    change_dump_state(VCD_DUMP_STATE_ON, enter, "m_dump_state == VCD_DUMP_STATE_ON");
}
void PUTIL_VCD_PARSER_EVENT_HANDLER::set_dump_state_off(bool enter)
{
    change_dump_state(VCD_DUMP_STATE_OFF, enter, "m_dump_state == VCD_DUMP_STATE_OFF");
}
void PUTIL_VCD_PARSER_EVENT_HANDLER::set_dump_state_initial(bool enter)
{
    change_dump_state(VCD_DUMP_STATE_INITIAL, enter, "m_dump_state == VCD_DUMP_STATE_INITIAL");
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::post_file_line_message(MSG_OBJECT* (*factory)(const char*, const char*)) const
{
    putil_post_message(factory(m_vcd_file_name.c_str(), decimal_text(get_line_number()).c_str()));
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::check_vcd_command()
{
    if (m_file_kind == VCD_FILE_KIND_EVCD) {
        post_file_line_message(eputil_putil_vcd_reader_evcd_to_vcd_consistency_error);
        return false;
    }
    m_file_kind = VCD_FILE_KIND_VCD;
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::check_evcd_command()
{
    if (m_file_kind == VCD_FILE_KIND_VCD) {
        post_file_line_message(eputil_putil_vcd_reader_vcd_to_evcd_consistency_error);
        return false;
    }
    m_file_kind = VCD_FILE_KIND_EVCD;
    return true;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::downscope(char* kind, char* name)
{
    const bool named_block = putil_vcd_is_named_block_kind(kind, m_extended_syntax);
    const std::string scope_name(name);
    downscope_levels(named_block, scope_name);
    for (ENTITY& entity : m_entities) {
        if (named_block)
            downscope_named_block(entity, scope_name);
        else
            downscope_instance(entity, scope_name);
    }
    putil_free_text(kind);
    putil_free_text(name);
}

// Named as the instance lookup below names it: the enclosing named blocks'
// prefix and the scope's own name.
void PUTIL_VCD_PARSER_EVENT_HANDLER::downscope_levels(bool named_block, const std::string& name)
{
    m_scope_level_marks.push_back(m_scope_levels.size());
    if (named_block)
        return;
    std::string level = get_block_prefix() + name;
    if (!level.empty())
        m_scope_levels.push_back(std::move(level));
}

// A named block is no hierarchy instance: what it declares carries its name
// as a prefix, in two spellings ("blk." and the escaped "\blk:").
void PUTIL_VCD_PARSER_EVENT_HANDLER::downscope_named_block(ENTITY& entity, const std::string& name)
{
    entity.scope_match_stack.push_back(false);
    if (m_use_eda_names)
        entity.eda_path_stack.push_back(entity.eda_path);
    std::string escaped_name = name;
    const std::size_t separator = escaped_name.find("__");
    if (separator != std::string::npos)
        escaped_name.replace(separator, 2, ":");
    entity.block_prefix_stack.push_back(entity.block_prefix() + name + ".");
    entity.escaped_block_prefix_stack.push_back(entity.escaped_block_prefix() + "\\" + escaped_name + ":");
}

// A module (task, function, fork) scope moves the current instance when the
// design has an instance of that name with children; otherwise the signals
// inside are looked up relative to the outer instance (a testbench level).
void PUTIL_VCD_PARSER_EVENT_HANDLER::downscope_instance(ENTITY& entity, const std::string& name)
{
    const std::string prefix = entity.block_prefix();
    const std::string escaped_prefix = entity.escaped_block_prefix();
    entity.block_prefix_stack.push_back("");
    entity.escaped_block_prefix_stack.push_back("");

    HDB_INSTANCE_NAME* instance = entity.instance->find_in_children(prefix + name);
    if (instance == nullptr || !has_children(instance))
        instance = entity.instance->find_in_children(escaped_prefix + name);
    if (instance != nullptr && has_children(instance)) {
        entity.instance = instance;
        entity.scope_match_stack.push_back(true);
        if (putil_debug_is_on())
            putil_debug("Downscoping to: %s", instance->get_full_name().c_str());
    } else {
        entity.scope_match_stack.push_back(false);
    }

    if (!m_use_eda_names)
        return;
    entity.eda_path_stack.push_back(entity.eda_path);
    const std::string path = entity.eda_path + name + "/";
    if (m_hierarchy_builder->is_valid_hierarchy_name(path, "/"))
        entity.eda_path = path;
    putil_debug("EDA DOWNSCOPING TO %s", entity.eda_path.c_str());
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::upscope()
{
    for (ENTITY& entity : m_entities) {
        if (entity.scope_match_stack.empty()) {
            post_file_line_message(eputil_putil_vcd_reader_invalid_upscope_command);
            return false;
        }
        if (entity.scope_match_stack.back()) {
            entity.instance = entity.instance->get_parent();
            if (putil_debug_is_on())
                putil_debug("Upscoping to: %s", entity.instance->get_full_name().c_str());
        }
        entity.scope_match_stack.pop_back();
        if (!entity.block_prefix_stack.empty())
            entity.block_prefix_stack.pop_back();
        if (!entity.escaped_block_prefix_stack.empty())
            entity.escaped_block_prefix_stack.pop_back();
        if (m_use_eda_names && !entity.eda_path_stack.empty()) {
            entity.eda_path = entity.eda_path_stack.back();
            entity.eda_path_stack.pop_back();
            putil_debug("EDA UPSCOPE: %s", entity.eda_path.c_str());
        }
    }
    m_scope_levels.resize(m_scope_level_marks.back());
    m_scope_level_marks.pop_back();
    return true;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::set_timescale(int number, char* time_unit)
{
    PUTIL_ASSERT(time_unit != 0);
    float unit_factor = 1.0f;
    switch (time_unit[0]) {
    case 'f': m_time_unit = "fs"; unit_factor = 1e-6f; break;
    case 'm': m_time_unit = "ms"; unit_factor = 1e6f; break;
    case 'n': m_time_unit = "ns"; unit_factor = 1.0f; break;
    case 'p': m_time_unit = "ps"; unit_factor = 0.001f; break;
    case 's': m_time_unit = "s"; unit_factor = 1e9f; break;
    case 'u': m_time_unit = "us"; unit_factor = 1000.0f; break;
    default: PUTIL_INTERNAL_ERROR("Invalid timescale parsed in VCD file");
    }
    m_timescale_number = number;
    m_time_unit_factor = unit_factor * static_cast<float>(number);
    putil_free_text(time_unit);
}

// A width beyond an int saturates, and so does a bit number beyond one: such
// a port is wider than any signal and measures nothing.
int PUTIL_VCD_PARSER_EVENT_HANDLER::get_size_of_vector_index(const char* text)
{
    int msb = 0, lsb = 0;
    const PUTIL_BIT_RANGE_READ read = putil_read_bit_range(text, &msb, &lsb);
    if (read == PUTIL_BIT_RANGE_MALFORMED)
        PUTIL_INTERNAL_ERROR("Invalid input: get_size_of_vector_index()");
    if (read == PUTIL_BIT_RANGE_OUT_OF_RANGE)
        return INT_MAX;
    return static_cast<int>(std::clamp<std::int64_t>(putil_bit_range_width(msb, lsb), INT_MIN, INT_MAX));
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::report_parse_error(const char*, const char*)
{
    if (!report_damaged_input())
        post_file_line_message(eputil_putil_vcd_reader_general_error);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::report_damaged_input()
{
    if (m_input_progress == nullptr || !m_input_progress->is_damaged_anywhere())
        return false;
    if (!m_damage_reported)
        post_file_line_message(eputil_putil_vcd_reader_damaged_compressed_file);
    m_damage_reported = true;
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::handle_malformed_vector_value_change(char* code, char* value)
{
    // The first few are posted; a file full of them is counted, not listed.
    if (++m_malformed_values <= PUTIL_MALFORMED_VALUES_POSTED)
        putil_post_message(wputil_putil_vcd_reader_malformed_value(m_vcd_file_name.c_str(), value,
                                                                   decimal_text(get_line_number()).c_str()));
    putil_free_text(value);
    return handle_vector_value_change(code, heap_copy("bx"));
}

HDB_INSTANCE_NAME* PUTIL_VCD_PARSER_EVENT_HANDLER::find_in_scope(const ENTITY& entity, const std::string& name) const
{
    HDB_INSTANCE_NAME* found = entity.instance->find_in_children(entity.block_prefix() + name);
    if (found != nullptr)
        return found;
    return entity.instance->find_in_children(entity.escaped_block_prefix() + name);
}

// EDA names are tried as written, then in the escaped-identifier spelling
// ("\name " and "\name [3]").
CDB_ATOM_OTERM* PUTIL_VCD_PARSER_EVENT_HANDLER::find_by_eda_name(const ENTITY& entity, const std::string& name) const
{
    std::string key = entity.eda_path + name;
    if (m_lower_case_names)
        stl_tolower(key);
    auto hit = m_eda_name_map.find(key);
    if (hit != m_eda_name_map.end())
        return hit->second;
    const std::string escaped = "\\" + key;
    hit = m_eda_name_map.find(escaped + " ");
    if (hit != m_eda_name_map.end())
        return hit->second;
    const std::size_t bracket = escaped.find('[');
    if (bracket == std::string::npos)
        return nullptr;
    std::string spaced = escaped;
    spaced.insert(bracket, " ");
    hit = m_eda_name_map.find(spaced);
    return hit != m_eda_name_map.end() ? hit->second : nullptr;
}

CDB_ATOM_OTERM* PUTIL_VCD_PARSER_EVENT_HANDLER::find_oterm_for_signal(std::string name, std::uint16_t entry_id,
                                                                      int declared_width)
{
    std::uint32_t index = 0;
    if (m_input_file_manager != nullptr) {
        auto it = m_entity_index_map.find(entry_id);
        if (it != m_entity_index_map.end())
            index = it->second;
    }
    const ENTITY& entity = m_entities[index];

    if (m_use_eda_names) {
        CDB_ATOM_OTERM* oterm = find_by_eda_name(entity, name);
        if (oterm != nullptr)
            return oterm;
    }

    HDB_INSTANCE_NAME* instance = find_in_scope(entity, name);
    bool renamed = false;
    if (instance == nullptr) {
        // A PLL clock output "clk[1]" is known to the hierarchy as "_clk1".
        const std::size_t clk = name.rfind("clk[");
        if (clk == std::string::npos)
            return nullptr;
        name.replace(clk, 4, "_clk");
        const std::size_t bracket = name.rfind(']');
        if (bracket != std::string::npos)
            name.erase(bracket, 1);
        instance = find_in_scope(entity, name);
        renamed = true;
    }
    if (instance == nullptr || !instance->accepts_declaration(declared_width))
        return nullptr;
    CDB_ATOM_OTERM* oterm = static_cast<CDB_ATOM_OTERM*>(instance->get_user_word());
    if (oterm == nullptr || !renamed)
        return oterm;
    return oterm->get_my_node()->is_pll_atom() ? oterm : nullptr;
}

namespace {

typedef PUTIL_HASH_MAP<std::string, std::uint32_t> CODE_MAP;

// Stores value under key and answers what was stored before (value itself
// when the key is new), which chains the records of one identifier.
std::uint32_t register_code(CODE_MAP& map, const std::string& key, std::uint32_t value)
{
    auto inserted = map.emplace(key, value);
    const std::uint32_t previous = inserted.first->second;
    inserted.first->second = value;
    return previous;
}

bool find_code(const CODE_MAP& map, const std::string& key, std::uint32_t* value)
{
    auto it = map.find(key);
    if (it == map.end())
        return false;
    *value = it->second;
    return true;
}

}  // namespace

std::uint32_t PUTIL_VCD_PARSER_EVENT_HANDLER::register_scalar_code(const std::string& code, std::uint32_t value)
{
    return register_code(m_scalar_code_map, code, value);
}

std::uint32_t PUTIL_VCD_PARSER_EVENT_HANDLER::register_bit_code(const std::string& code, int bit, std::uint32_t value)
{
    PUTIL_VECTOR<std::uint32_t>& positions = m_bit_code_table[code].positions;
    if (positions.size() <= static_cast<std::size_t>(bit))
        positions.resize(bit + 1, PUTIL_NO_BIT_CODE);
    const std::uint32_t previous = positions[bit] != PUTIL_NO_BIT_CODE ? positions[bit] : value;
    positions[bit] = value;
    return previous;
}

const PUTIL_VCD_BIT_CODES* PUTIL_VCD_PARSER_EVENT_HANDLER::find_bit_codes(const std::string& code) const
{
    auto it = m_bit_code_table.find(code);
    return it == m_bit_code_table.end() ? nullptr : &it->second;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::register_vector_code(const std::string& code, std::uint32_t value)
{
    m_vector_code_map[code] = value;
    auto bits = m_bit_code_table.find(code);
    if (bits != m_bit_code_table.end())
        bits->second.width = value;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::find_scalar_code(const std::string& code, std::uint32_t* value) const
{
    return find_code(m_scalar_code_map, code, value);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::find_bit_code(const std::string& code, std::uint32_t bit,
                                                   std::uint32_t* value) const
{
    const PUTIL_VCD_BIT_CODES* bits = find_bit_codes(code);
    return bits != nullptr && bits->find(bit, value);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::find_vector_code(const std::string& code, std::uint32_t* value) const
{
    return find_code(m_vector_code_map, code, value);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER::clear_scalar_and_bit_codes()
{
    m_scalar_code_map.clear();
    m_bit_code_table.clear();
}

// The bar moves in steps of about one percent of the file: of its lines, or
// of its compressed bytes when the lines were not counted.
bool PUTIL_VCD_PARSER_EVENT_HANDLER::progress_due(double* fraction)
{
    if (m_lines_in_file != 0) {
        const std::uint64_t line = get_line_number();
        if (line < m_next_progress_line)
            return false;
        *fraction = static_cast<double>(line) / static_cast<double>(m_lines_in_file);
        m_next_progress_line = static_cast<std::uint64_t>((*fraction + 0.01) * static_cast<double>(m_lines_in_file));
        return true;
    }
    if (m_input_progress == nullptr)
        return false;
    *fraction = m_input_progress->fraction_read();
    if (*fraction < m_next_progress_fraction)
        return false;
    m_next_progress_fraction = *fraction + 0.01;
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER::update_progress()
{
    if (putil_lib_stop_requested()) {
        putil_debug(" Stop requested at line %I64u", static_cast<unsigned long long>(get_line_number()));
        m_stopped_early = true;
        return false;
    }
    double fraction = 0.0;
    if (!progress_due(&fraction))
        return true;
    const int percent = static_cast<int>(fraction * 100.0);
    putil_lib_update_progress_bar(0, percent);
    putil_debug(" Through %d percent of the VCD file (%I64u lines out of %I64u)", percent,
                static_cast<unsigned long long>(get_line_number()),
                static_cast<unsigned long long>(m_lines_in_file));
    if (m_stop_after_percent >= 0 && percent >= m_stop_after_percent) {
        putil_debug(" Hard stop after %d percent of the VCD file", percent);
        m_stopped_early = true;
    }
    return !m_stopped_early;
}
