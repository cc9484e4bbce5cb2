// Message service of the reference host: text filling, how messages are shown and recorded, internal errors. Debug
// traces and their 64-bit conversions are shown by the program's hard stop test.
#include <memory>

#include "host_test_fixture.h"

namespace {

using HOST_MESSAGES_TEST = HOST_TEST;

// Arguments fill their placeholders in any order; the identifier follows the last slash. The catalogue's tests show
// every severity, argument count and quoting.
TEST_F(HOST_MESSAGES_TEST, shows_and_records_the_expanded_text)
{
    MSG_I three, slash;
    three.fill_args("%3!s! then %1!s! and %2!s!/IX", "a", "b", "c");
    three.set_id(222002);
    three.post();
    slash.fill_args("a/b %1!s!/ID", "c");
    slash.set_id(7);
    slash.post();
    EXPECT_EQ(m_messages.str(), "putil: info: c then a and b [222002]\nputil: info: a/b c [7]\n");
    ASSERT_EQ(host_posted_messages().size(), 2u);
    EXPECT_EQ(host_posted_messages()[0].identifier, "IX");
    EXPECT_EQ(host_posted_messages()[1].identifier, "ID");
}

// A sub-message is indented below its parent; a null one is not shown. Without a stream messages are still recorded.
TEST_F(HOST_MESSAGES_TEST, sub_messages_are_indented_and_a_null_stream_still_records)
{
    auto parent = std::make_unique<MSG_W>();
    parent->fill_args("parent %1!s!/WP", "p");
    auto* child = new MSG_I;
    child->fill_args("child/IC");
    child->set_id(11);
    parent->add_sub_message(child);
    parent->add_sub_message(new MSG_I_NULL);
    parent->post();
    EXPECT_EQ(m_messages.str(), "putil: warning: parent p [0]\n  putil: info: child [11]\n");
    host_set_message_stream(nullptr);
    parent->post();
    ASSERT_EQ(host_posted_messages().size(), 2u);
    ASSERT_EQ(host_posted_messages()[1].sub_messages.size(), 1u);
    EXPECT_EQ(host_posted_messages()[1].sub_messages[0].text, "child");
    EXPECT_EQ(m_messages.str(), "putil: warning: parent p [0]\n  putil: info: child [11]\n");
}

TEST_F(HOST_MESSAGES_TEST, internal_error_prints_and_throws)
{
    try {
        MSG_INTERNAL_ERROR::report("m_netlist != 0", "PUTIL", "putil_vcd_reader_main.cpp", 42);
        FAIL() << "report returned";
    } catch (const HOST_INTERNAL_ERROR& error) {
        EXPECT_EQ(error.line, 42);
        EXPECT_STREQ(error.what(), "internal error: m_netlist != 0 (PUTIL, putil_vcd_reader_main.cpp:42)");
    }
    EXPECT_EQ(m_messages.str(), "putil: internal error: m_netlist != 0 (PUTIL, putil_vcd_reader_main.cpp:42)\n");
    EXPECT_TRUE(host_posted_messages().empty());
}

}  // namespace
