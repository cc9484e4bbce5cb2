// A parser event handler for tests that records each slot call with its arguments and the line counter, frees the
// texts it receives, and can refuse a slot; and a fixture that parses text with it.
#pragma once

#include <initializer_list>

#include "host/host_test_fixture.h"
#include "vcd/putil_vcd_lexer.h"
#include "vcd/putil_vcd_parser.h"
#include "vcd/putil_vcd_parser_event_handler.h"

using STRINGS = std::vector<std::string>;

class VCD_RECORDING_HANDLER : public PUTIL_VCD_PARSER_EVENT_HANDLER {
public:
    // The slot named refused_slot ("timestamp", "port", "vector", "scalar") answers false.
    VCD_RECORDING_HANDLER(putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade, std::string refused_slot = "")
        : PUTIL_VCD_PARSER_EVENT_HANDLER("test.vcd", 0, scanner, facade, nullptr, nullptr),
          m_refused_slot(std::move(refused_slot))
    {
    }

    bool handle_timestamp(char* time) override { return record("timestamp", {time}, {time}); }
    void handle_vcd_close(char* time) override { record("vcd_close", {time}, {time}); }
    void handle_variable_declaration(char* kind, int size, char* code, char* reference, char* index) override
    {
        record("var", {kind, std::to_string(size), code, reference, index}, {kind, code, reference, index});
    }
    bool handle_port_value_change(char* code, char* value) override { return record("port", {code, value}, {code, value}); }
    bool handle_vector_value_change(char* code, char* value) override { return record("vector", {code, value}, {code, value}); }
    void handle_real_value_change(char* code, char* value) override { record("real", {code, value}, {code, value}); }
    bool handle_scalar_value_change(char* code, char* text) override { return record("scalar", {code, text}, {text}); }
    int file_kind() const { return get_file_kind(); }
    VCD_DUMP_STATE dump_state() const { return get_dump_state(); }

    STRINGS calls;                             // "scalar(!,1!)@4": slot, arguments, line counter
    std::vector<VCD_DUMP_STATE> dump_states;   // at each call

private:
    bool record(const char* slot, std::initializer_list<std::string> arguments, std::initializer_list<char*> owned)
    {
        std::string text = std::string(slot) + "(";
        const char* separator = "";
        for (const std::string& argument : arguments) {
            text += separator + argument;
            separator = ",";
        }
        calls.push_back(text + ")@" + std::to_string(get_line_number()));
        dump_states.push_back(get_dump_state());
        for (char* block : owned)
            putil_free_text(block);
        return m_refused_slot != slot;
    }

    std::string m_refused_slot;
};

struct VCD_PARSE_RESULT {
    bool accepted;
    STRINGS calls;
    std::vector<VCD_DUMP_STATE> dump_states;
    int file_kind;                        // at the end of the parse
    VCD_DUMP_STATE final_dump_state;
    STRINGS messages;                     // "<id>: <text>"
};

// The message the user sees for id at line, as "<id>: <text>".
inline std::string vcd_message(unsigned id, int line)
{
    const std::string at = std::to_string(line);
    switch (id) {
    case 222007: return "222007: Parse error in VCD file test.vcd near line " + at;
    case 222008: return "222008: VCD file test.vcd has an invalid upscope command on line " + at;
    case 222009: return "222009: VCD file \"test.vcd\" has an invalid EVCD command on line " + at;
    default: return "222010: EVCD file \"test.vcd\" has an invalid VCD command on line " + at;
    }
}

// One parse: input, whether it is accepted, the slot calls and the messages.
struct VCD_PARSE_CASE { const char* name; std::string input; bool accepted; STRINGS calls; STRINGS messages; };
inline void PrintTo(const VCD_PARSE_CASE& parse_case, std::ostream* stream) { *stream << parse_case.name; }

class VCD_PARSE_TEST : public HOST_TEST {
protected:
    // Parses with a fresh scanner and handler, the extended syntax on or off;
    // once both are deleted, the library holds no more blocks than before and
    // freed none twice.
    VCD_PARSE_RESULT parse(const std::string& input, bool extended = false, const std::string& refused_slot = "")
    {
        host_set_setting("putil_vcd_extended_syntax", extended ? "on" : "off");
        host_clear_posted_messages();
        const std::size_t live_before = host_memory_live_blocks("PUTIL");
        const std::size_t bad_frees_before = host_memory_bad_frees();
        std::istringstream stream(input);
        auto* scanner = PUTIL_NEW putil_vcd_lexer_yyFlexLexer(&stream, nullptr);
        auto* handler = PUTIL_NEW VCD_RECORDING_HANDLER(scanner, m_design.facade(), refused_slot);
        const bool accepted = putil_vcd_parse(scanner, handler);
        VCD_PARSE_RESULT result{accepted, handler->calls, handler->dump_states, handler->file_kind(),
                                handler->dump_state(), {}};
        delete handler;
        delete scanner;
        EXPECT_EQ(host_memory_live_blocks("PUTIL"), live_before);
        EXPECT_EQ(host_memory_bad_frees(), bad_frees_before);
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            result.messages.push_back(std::to_string(message.id) + ": " + message.text);
        return result;
    }

    void expect_parse(const VCD_PARSE_CASE& row, bool extended)
    {
        const VCD_PARSE_RESULT result = parse(row.input, extended);
        EXPECT_EQ(result.accepted, row.accepted);
        EXPECT_EQ(result.calls, row.calls);
        EXPECT_EQ(result.messages, row.messages);
    }

    HOST_DESIGN m_design;
};

class VCD_PARSE_CASES : public VCD_PARSE_TEST, public testing::WithParamInterface<VCD_PARSE_CASE> {};
