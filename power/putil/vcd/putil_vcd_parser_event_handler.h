// Base of the handlers that the VCD parser drives: file kind, dump state,
// timescale, scopes per entity, name matching against the atom netlist,
// identifier-code maps, progress and the parse-error message. Subclasses
// implement the value, timestamp and declaration slots for their job.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/putil_internal.h"

class putil_vcd_lexer_yyFlexLexer;
class CMP_FACADE;
class HDB_CMP_ACTION_PT_INSTANCE;
class HDB_INSTANCE_NAME;
class CDB_ATOM_NETLIST;
class CDB_ATOM_OTERM;
class PUTIL_INPUT_FILE_DATA;
class PUTIL_INPUT_FILE_MANAGER;
class WSC_HIERARCHY_BUILDER;
class MSG_OBJECT;
class PUTIL_VCD_INPUT_PROGRESS;

const std::uint32_t PUTIL_NO_BIT_CODE = 0xFFFFFFFFu;

// The bit codes of one identifier registered for the current file, by bit
// position (PUTIL_NO_BIT_CODE where none was), with the width last
// registered for it as a vector: what a value change needs, in one lookup.
struct PUTIL_VCD_BIT_CODES {
    std::uint32_t width = 0;
    PUTIL_VECTOR<std::uint32_t> positions;

    bool find(std::uint32_t position, std::uint32_t* value) const
    {
        if (position >= positions.size() || positions[position] == PUTIL_NO_BIT_CODE)
            return false;
        *value = positions[position];
        return true;
    }
};

enum VCD_DUMP_STATE {
    VCD_DUMP_STATE_NONE = 0,
    VCD_DUMP_STATE_INITIAL = 1,
    VCD_DUMP_STATE_ON = 2,
    VCD_DUMP_STATE_OFF = 3,
    VCD_DUMP_STATE_CURRENT = 4
};

// Whether a "$scope" of this kind is a named block: not a hierarchy level
// of its own, its name prefixes what it declares ("begin"; with the extended
// syntax also generate blocks, structures and records).
bool putil_vcd_is_named_block_kind(const char* kind, bool extended_syntax);

// The setting that makes the reader accept what real simulators write beyond
// strict VCD.
bool putil_vcd_extended_syntax_is_on();

enum VCD_FILE_KIND { VCD_FILE_KIND_UNDECIDED = 0, VCD_FILE_KIND_VCD = 1, VCD_FILE_KIND_EVCD = 2 };

// How many malformed values of one file are posted as warnings; the rest
// are only counted.
const std::uint64_t PUTIL_MALFORMED_VALUES_POSTED = 10;

class PUTIL_VCD_PARSER_EVENT_HANDLER : public PUTIL_HEAP_OBJECT {
public:
    // entry and manager are null when the handler serves no store (TBL
    // conversion); the design root is then the only entity.
    PUTIL_VCD_PARSER_EVENT_HANDLER(std::string vcd_file_name, std::uint64_t lines_in_file,
                                   putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade,
                                   PUTIL_INPUT_FILE_DATA* entry, PUTIL_INPUT_FILE_MANAGER* manager);
    virtual ~PUTIL_VCD_PARSER_EVENT_HANDLER();
    PUTIL_VCD_PARSER_EVENT_HANDLER(const PUTIL_VCD_PARSER_EVENT_HANDLER&) = delete;
    PUTIL_VCD_PARSER_EVENT_HANDLER& operator=(const PUTIL_VCD_PARSER_EVENT_HANDLER&) = delete;

    // Slots the parser calls. Every char* argument is a heap block from the
    // scanner that the handler owns and frees (putil_free_text); a false
    // result stops the parse.
    virtual bool handle_timestamp(char* time_text) = 0;
    virtual void handle_vcd_close(char* time_text) = 0;
    virtual void handle_variable_declaration(char* kind, int size, char* code, char* reference, char* index) = 0;
    virtual bool handle_port_value_change(char* code, char* value) = 0;
    virtual bool handle_vector_value_change(char* code, char* value) = 0;
    virtual void handle_real_value_change(char* code, char* value) = 0;
    // code points into value_text (value_text + 1); only value_text is freed.
    virtual bool handle_scalar_value_change(char* code, char* value_text) = 0;
    // A vector value that is no VCD value ("b", "b0b00"; extended syntax
    // only): warns with the file, line and value, counts it, and hands the
    // change on as "bx", unknown in every bit.
    bool handle_malformed_vector_value_change(char* code, char* value);
    // The same slots for texts that the scanner reads in place: views into its
    // buffer, valid until it calls end_of_texts. The defaults hand heap copies
    // to the slots above; a handler may read the views instead. value_text is
    // the level and the code of a scalar ("1!"), value that of a vector
    // ("b1010").
    virtual bool handle_timestamp_text(std::string_view time_text);
    virtual bool handle_scalar_value_change_text(std::string_view value_text);
    virtual bool handle_vector_value_change_text(std::string_view code, std::string_view value);
    // The scanner hands over no more texts until the next text slot call:
    // their views end here, and a handler that held changes back must apply
    // them now. Does nothing by default.
    virtual void end_of_texts() {}
    // After "$enddefinitions $end", before the body is scanned: true reads
    // the body, false ends the parse there as accepted (a handler that
    // needs only the declarations).
    virtual bool handle_end_of_definitions() { return true; }
    // Called by the reader after each parse: returns file kind, timescale and
    // dump state to their defaults.
    virtual void handle_end_of_file();

    // Prepares the handler for the next input entry of the same run.
    void reset_for_file(PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name, std::uint64_t lines_in_file,
                        putil_vcd_lexer_yyFlexLexer* scanner);

    // Where progress comes from when the file's lines were not counted (a
    // compressed file): how far its reading has got. Null: no progress.
    void set_input_progress(PUTIL_VCD_INPUT_PROGRESS* progress) { m_input_progress = progress; }

    // Dump blocks: enter with true at the command, leave with false at "$end".
    void set_dump_state_current(bool enter);
    void set_dump_state_on(bool enter);
    void set_dump_state_off(bool enter);
    void set_dump_state_initial(bool enter);

    // The first VCD-only or EVCD-only construct fixes the kind of the file;
    // a construct of the other kind posts its message and answers false.
    bool check_vcd_command();
    bool check_evcd_command();

    // "$scope" and "$upscope"; downscope frees both texts. upscope posts
    // the invalid-upscope message and answers false when no scope is open.
    void downscope(char* kind, char* name);
    bool upscope();

    // "$timescale": frees unit.
    void set_timescale(int number, char* unit);
    // msb - lsb + 1 of "[msb:lsb]"; text is not freed.
    int get_size_of_vector_index(const char* text);
    // Whether the read ended early on purpose (a stop after a percentage
    // of the file, or the host's stop request), not on an error.
    bool stopped_early() const { return m_stopped_early; }
    // Posts the general parse error with the file name and the current line;
    // for a damaged compressed file, the damage instead.
    void report_parse_error(const char* text, const char* where);
    // For a read that went wrong: when the file's compressed data is damaged
    // (the text ends early, or turns to garbage before that shows), posts
    // that once, as the cause of whatever went wrong, and answers true.
    // Reads the rest of the file: only the reading thread may call it.
    bool report_damaged_input();

    int get_file_kind() const { return m_file_kind; }
    VCD_DUMP_STATE get_dump_state() const { return m_dump_state; }
    float get_time_unit_factor() const { return m_time_unit_factor; }
    const std::string& get_time_unit() const { return m_time_unit; }
    int get_timescale_number() const { return m_timescale_number; }
    std::uint32_t get_entity_count() const { return m_entity_count; }
    HDB_INSTANCE_NAME* get_current_instance(std::uint32_t entity) const { return m_entities[entity].instance; }
    const std::string& get_vcd_file_name() const { return m_vcd_file_name; }
    // The open scopes as the file names them: one level per instance scope
    // (after the prefix of a named block around it: "blk.u"); named blocks
    // and scopes without a name add none.
    const PUTIL_VECTOR<std::string>& get_scope_levels() const { return m_scope_levels; }
    // The prefix that the innermost named blocks give a signal ("blk."), "" outside them.
    std::string get_block_prefix() const { return m_entities[0].block_prefix(); }

protected:
    // Output term that a VCD signal name (relative to the current scope of
    // the entity of entry_id) stands for, or null; declared_width is the
    // width of its declaration when that is a whole vector, else 0.
    CDB_ATOM_OTERM* find_oterm_for_signal(std::string name, std::uint16_t entry_id, int declared_width = 0);

    // Identifier maps: register answers the value previously stored under the
    // key, or value when the key is new, and stores value.
    std::uint32_t register_scalar_code(const std::string& code, std::uint32_t value);
    std::uint32_t register_bit_code(const std::string& code, int bit, std::uint32_t value);
    void register_vector_code(const std::string& code, std::uint32_t value);
    bool find_scalar_code(const std::string& code, std::uint32_t* value) const;
    bool find_bit_code(const std::string& code, std::uint32_t bit, std::uint32_t* value) const;
    bool find_vector_code(const std::string& code, std::uint32_t* value) const;
    // Every bit code of code in this file, or null when it has none.
    const PUTIL_VCD_BIT_CODES* find_bit_codes(const std::string& code) const;
    // Calls visit(code) once for every identifier code with a scalar record
    // or bit records.
    template <class VISIT>
    void for_each_declared_code(VISIT visit) const
    {
        for (const auto& scalar : m_scalar_code_map)
            visit(scalar.first);
        for (const auto& bits : m_bit_code_table) {
            if (m_scalar_code_map.count(bits.first) == 0)
                visit(bits.first);
        }
    }
    void clear_scalar_and_bit_codes();
    // The line that the scanner of the current file has reached.
    std::uint64_t get_line_number() const;

    // Called once per timestamp: moves the progress bar. False when the read
    // is to end here, cleanly: "putil_vcd_stop_after_percent" is reached or
    // the host asks to stop (stopped_early then answers true).
    bool update_progress();
    // The fraction of the file read, when the progress bar is due to move.
    bool progress_due(double* fraction);

    PUTIL_INPUT_FILE_DATA* m_input_file_data;
    PUTIL_INPUT_FILE_MANAGER* m_input_file_manager;
    PUTIL_VECTOR<PUTIL_INPUT_FILE_DATA*> m_related_entries;
    float m_time_unit_factor;
    std::string m_time_unit;
    int m_timescale_number;
    VCD_DUMP_STATE m_dump_state;
    PUTIL_HASH_MAP<std::string, std::uint32_t> m_scalar_code_map;
    PUTIL_HASH_MAP<std::string, std::uint32_t> m_vector_code_map;
    PUTIL_HASH_MAP<std::string, PUTIL_VCD_BIT_CODES> m_bit_code_table;   // the bit codes of each identifier
    CMP_FACADE* m_facade;
    HDB_CMP_ACTION_PT_INSTANCE* m_cap_inst;
    CDB_ATOM_NETLIST* m_netlist;
    putil_vcd_lexer_yyFlexLexer* m_vcd_yyFlexLexer;
    std::string m_vcd_file_name;
    std::uint64_t m_lines_in_file;
    std::uint64_t m_next_progress_line;
    PUTIL_VCD_INPUT_PROGRESS* m_input_progress;
    double m_next_progress_fraction;
    int m_file_kind;
    bool m_extended_syntax;   // "putil_vcd_extended_syntax", read per file
    int m_stop_after_percent; // "putil_vcd_stop_after_percent", read per handler; -1: never stop
    bool m_stopped_early = false;
    std::uint64_t m_malformed_values = 0;   // of this file, read as unknown; the first PUTIL_MALFORMED_VALUES_POSTED posted
    bool m_damage_reported = false;          // of this file

private:
    typedef PUTIL_VECTOR<std::string> STRING_STACK;

    // Scope state of one hierarchy instance the file is applied to.
    struct ENTITY {
        HDB_INSTANCE_NAME* instance = nullptr;     // current hierarchy instance
        std::string eda_path;                      // current EDA path, each level followed by "/"
        STRING_STACK eda_path_stack;               // saved EDA paths
        PUTIL_VECTOR<bool> scope_match_stack;      // per open scope: it moved the instance
        STRING_STACK block_prefix_stack;           // named-block prefixes, "blk." form
        STRING_STACK escaped_block_prefix_stack;   // named-block prefixes, "\blk:" form

        // The innermost named-block prefixes; "" outside named blocks.
        std::string block_prefix() const { return top_of(block_prefix_stack); }
        std::string escaped_block_prefix() const { return top_of(escaped_block_prefix_stack); }
        static std::string top_of(const STRING_STACK& stack) { return stack.empty() ? std::string() : stack.back(); }
    };

    void build_entities();
    char* heap_copy(std::string_view text);
    void downscope_levels(bool named_block, const std::string& name);
    std::string eda_path_of_instance(HDB_INSTANCE_NAME* entity) const;
    void build_eda_name_map();
    void link_instance_names_to_oterms();
    void downscope_named_block(ENTITY& entity, const std::string& name);
    void downscope_instance(ENTITY& entity, const std::string& name);
    HDB_INSTANCE_NAME* find_in_scope(const ENTITY& entity, const std::string& name) const;
    CDB_ATOM_OTERM* find_by_eda_name(const ENTITY& entity, const std::string& name) const;
    void change_dump_state(VCD_DUMP_STATE state, bool enter, const char* required_state_text);
    void post_file_line_message(MSG_OBJECT* (*factory)(const char*, const char*)) const;

    bool m_use_eda_names;
    bool m_lower_case_names;   // EDA names compared in lower case, by the design's tool settings
    PUTIL_HASH_MAP<std::string, CDB_ATOM_OTERM*> m_eda_name_map;
    PUTIL_VECTOR<ENTITY> m_entities;
    std::uint32_t m_entity_count;
    PUTIL_HASH_MAP<std::uint16_t, std::uint32_t> m_entity_index_map;
    PUTIL_VECTOR<std::string> m_scope_levels;
    PUTIL_VECTOR<std::size_t> m_scope_level_marks;   // per open scope: the level count outside it
    // The host makes it with plain new; a constructor stopped halfway still frees it.
    std::unique_ptr<WSC_HIERARCHY_BUILDER> m_hierarchy_builder;
};
