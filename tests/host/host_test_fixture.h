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
        host_set_message_stream(&m_messages);
        host_clear_posted_messages();
        host_clear_suppressions();
        host_clear_settings();
        host_clear_progress_updates();
        host_clear_hierarchy_builder_record();
        host_set_current_design(nullptr);
        host_set_continue_and_warn_on_failure(false);
        host_set_customer_release(false);
        host_clear_timing_api_record();
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
