// A parser event handler for tests: records each slot call with its arguments
// and the line counter, frees the texts it receives, and can refuse a slot.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "putil_host.h"
#include "putil_vcd_parser_event_handler.h"

struct VCD_SLOT_CALL {
    std::string text; // "scalar(!,1!)@4": slot, arguments, line counter
    VCD_DUMP_STATE dump_state;
};

class VCD_RECORDING_HANDLER : public PUTIL_VCD_PARSER_EVENT_HANDLER {
public:
    struct STATE {
        int file_kind;
        VCD_DUMP_STATE dump_state;
        std::string time_unit;
        int timescale_number;
    };

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

    const std::vector<VCD_SLOT_CALL>& calls() const { return m_calls; }
    STATE state() const { return {get_file_kind(), get_dump_state(), get_time_unit(), get_timescale_number()}; }

private:
    bool record(const char* slot, std::initializer_list<std::string> arguments, std::initializer_list<char*> owned)
    {
        std::string text = std::string(slot) + "(";
        const char* separator = "";
        for (const std::string& argument : arguments) {
            text += separator + argument;
            separator = ",";
        }
        m_calls.push_back({text + ")@" + std::to_string(putil_vcd_get_line_number()), get_dump_state()});
        for (char* block : owned)
            putil_free_text(block);
        return m_refused_slot != slot;
    }

    std::string m_refused_slot;
    std::vector<VCD_SLOT_CALL> m_calls;
};
