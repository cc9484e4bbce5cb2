// Message service of the reference host: text filling, how messages are
// shown and recorded, internal errors and debug traces.
#include <cstdarg>
#include <memory>

#include "host_test_fixture.h"

namespace {

using HOST_MESSAGES_TEST = HOST_TEST;

struct MESSAGE_CASE {
    const char* name; MSG_SEVERITY severity; const char* text; std::vector<const char*> args; unsigned id;
    const char* expected_line; const char* expected_identifier;
};
class MESSAGE_FORMAT_TEST : public HOST_TEST, public ::testing::WithParamInterface<MESSAGE_CASE> {};

TEST_P(MESSAGE_FORMAT_TEST, ShowsAndRecordsTheExpandedText)
{
    const MESSAGE_CASE& c = GetParam();
    std::unique_ptr<MSG_OBJECT> message(c.severity == MSG_SEVERITY_ERROR     ? static_cast<MSG_OBJECT*>(new MSG_E)
                                        : c.severity == MSG_SEVERITY_WARNING ? static_cast<MSG_OBJECT*>(new MSG_W)
                                                                             : new MSG_I);
    const std::vector<const char*>& a = c.args;
    if (a.empty())
        message->fill_args(c.text);
    else if (a.size() == 1)
        message->fill_args(c.text, a[0]);
    else
        message->fill_args(c.text, a[0], a[1], a[2]);
    message->set_id(c.id);
    message->post();
    EXPECT_EQ(m_messages.str(), std::string(c.expected_line) + "\n");
    ASSERT_EQ(host_posted_messages().size(), 1u);
    const HOST_POSTED_MESSAGE& posted = host_posted_messages()[0];
    EXPECT_EQ(posted.severity, c.severity);
    EXPECT_EQ(posted.id, c.id);
    EXPECT_EQ(posted.identifier, c.expected_identifier);
}

const MESSAGE_CASE MESSAGE_CASES[] = {
    {"ErrorOneArgument", MSG_SEVERITY_ERROR,
     "VCD file %1!s! was not found/EPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND", {"a.vcd"}, 222005,
     "putil: error: VCD file a.vcd was not found [222005]", "EPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND"},
    {"InfoThreeArgumentsOutOfOrder", MSG_SEVERITY_INFO, "%3!s! then %1!s! and %2!s!/IX",
     {"a", "b", "c"}, 222002, "putil: info: c then a and b [222002]", "IX"},
    {"WarningKeepsQuotesAndSpaces", MSG_SEVERITY_WARNING, "Can't parse \"%1!s!\".  Done/WPUTIL_X",
     {"x/y.vcd"}, 222011, "putil: warning: Can't parse \"x/y.vcd\".  Done [222011]", "WPUTIL_X"},
    {"SlashInTextSplitsAtTheLast", MSG_SEVERITY_INFO, "a/b %1!s!/ID", {"c"}, 7, "putil: info: a/b c [7]", "ID"},
    {"MissingArgumentStaysVisible", MSG_SEVERITY_ERROR, "line %2!s! of %1!s!/E", {"f"}, 1,
     "putil: error: line %2!s! of f [1]", "E"},
    {"NoIdentifier", MSG_SEVERITY_INFO, "plain text", {}, 0, "putil: info: plain text [0]", ""},
};
INSTANTIATE_TEST_SUITE_P(Catalogue, MESSAGE_FORMAT_TEST, ::testing::ValuesIn(MESSAGE_CASES), row_name);

TEST_F(HOST_MESSAGES_TEST, SubMessagesAreIndentedBelowTheirParentAndOwned)
{
    auto parent = std::make_unique<MSG_W>();
    parent->fill_args("parent %1!s!/WP", "p");
    parent->set_id(10);
    auto* child = new MSG_I;
    child->fill_args("child/IC");
    child->set_id(11);
    auto* grandchild = new MSG_I;   // owned by child
    grandchild->fill_args("grandchild/IG");
    grandchild->set_id(12);
    child->add_sub_message(grandchild);
    parent->add_sub_message(child);
    parent->add_sub_message(new MSG_I_NULL);
    parent->post();
    EXPECT_EQ(m_messages.str(), "putil: warning: parent p [10]\n  putil: info: child [11]\n"
                                "    putil: info: grandchild [12]\n");
    ASSERT_EQ(host_posted_messages().size(), 1u);
    ASSERT_EQ(host_posted_messages()[0].sub_messages.size(), 1u);
    EXPECT_EQ(host_posted_messages()[0].sub_messages[0].sub_messages[0].text, "grandchild");
    EXPECT_EQ(parent->get_sub_messages().size(), 2u);
}

TEST_F(HOST_MESSAGES_TEST, NullStreamStillRecords)
{
    host_set_message_stream(nullptr);
    MSG_E message;
    message.fill_args("quiet/EQ");
    message.post();
    ASSERT_EQ(host_posted_messages().size(), 1u);
    EXPECT_EQ(host_posted_messages()[0].text, "quiet");
    EXPECT_EQ(m_messages.str(), "");
}

TEST_F(HOST_MESSAGES_TEST, InternalErrorPrintsAndThrows)
{
    try {
        MSG_INTERNAL_ERROR::report("m_netlist != 0", "PUTIL", "putil_vcd_reader_main.cpp", 42);
        FAIL() << "report returned";
    } catch (const HOST_INTERNAL_ERROR& error) {
        EXPECT_EQ(error.expression, "m_netlist != 0");
        EXPECT_EQ(error.tag, "PUTIL");
        EXPECT_EQ(error.file, "putil_vcd_reader_main.cpp");
        EXPECT_EQ(error.line, 42);
        EXPECT_STREQ(error.what(), "internal error: m_netlist != 0 (PUTIL, putil_vcd_reader_main.cpp:42)");
    }
    EXPECT_EQ(m_messages.str(), "putil: internal error: m_netlist != 0 (PUTIL, putil_vcd_reader_main.cpp:42)\n");
    EXPECT_TRUE(host_posted_messages().empty());
}

TEST(HOST_PRINTF_FORMAT, Rewrites64BitConversions)
{
    const std::pair<const char*, const char*> cases[] = {
        {"(%I64u lines out of %I64u)", "(%llu lines out of %llu)"}, {"%d %s", "%d %s"}, {"%10I64d", "%10lld"},
        {"100%% I64u", "100%% I64u"}, {"%-5I64x|", "%-5llx|"}, {"tail %", "tail %"}};
    for (const auto& [format, expected] : cases)
        EXPECT_EQ(host_standard_printf_format(format), expected);
}

void debug(const char* channel, int level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    msg_local_vdebug(channel, level, format, args);
    va_end(args);
}

TEST_F(HOST_MESSAGES_TEST, DebugTracesShowOnlyUpToTheChannelLevel)
{
    host_enable_debug("PUTIL", 2);
    host_enable_debug("OTHER", 0);
    ::testing::internal::CaptureStderr();
    debug("PUTIL", 2, " Through %d percent (%I64u lines)", 40, static_cast<unsigned long long>(10000000000ULL));
    debug("PUTIL", 3, "too detailed");
    debug("OTHER", 1, "channel off");
    debug("PUTIL", 1, "ends with newline\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "putil: debug:  Through 40 percent (10000000000 lines)\nputil: debug: ends with newline\n");
    EXPECT_EQ(host_debug_level("PUTIL"), 2);
}

}  // namespace
