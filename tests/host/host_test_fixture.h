// Fixture of the reference host tests: every test starts from an empty message record, settings store (customer
// release off), progress record and timing API record, with messages captured in a string instead of stderr, and
// leaves no settings behind.
#pragma once

#include <cctype>
#include <sstream>

#include <gtest/gtest.h>

#include "putil_host.h"

class HOST_TEST : public ::testing::Test {
protected:
    void SetUp() override
    {
        host_reset_process_state();
        host_set_message_stream(&m_messages);
    }
    void TearDown() override
    {
        host_set_message_stream(&std::cerr);
        host_clear_settings();
    }

    std::ostringstream m_messages;
};

// Name generator for INSTANTIATE_TEST_SUITE_P over rows with a name member.
inline constexpr auto row_name = [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
};
