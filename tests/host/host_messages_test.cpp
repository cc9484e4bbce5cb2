// Message service of the reference host: text filling, how messages are
// shown and recorded, suppression, internal errors and debug traces.
#include <cstdarg>
#include <memory>

#include "host_test_fixture.h"

namespace {

using HOST_MESSAGES_TEST = HOST_TEST;

struct MESSAGE_CASE {
    const char* name;
    MSG_SEVERITY severity;
    const char* text;
    std::vector<const char*> args;
    unsigned id;
    const char* expected_line;
    const char* expected_identifier;
};

std::unique_ptr<MSG_OBJECT> make_message(MSG_SEVERITY severity)
{
    switch (severity) {
    case MSG_SEVERITY_ERROR:
        return std::make_unique<MSG_E>();
    case MSG_SEVERITY_WARNING:
        return std::make_unique<MSG_W>();
    default:
        return std::make_unique<MSG_I>();
    }
}

void fill(MSG_OBJECT& message, const char* text, const std::vector<const char*>& args)
{
    switch (args.size()) {
    case 0:
        message.fill_args(text);
        break;
    case 1:
        message.fill_args(text, args[0]);
        break;
    case 2:
        message.fill_args(text, args[0], args[1]);
        break;
    default:
        message.fill_args(text, args[0], args[1], args[2]);
        break;
    }
}

class MESSAGE_FORMAT_TEST : public HOST_TEST, public ::testing::WithParamInterface<MESSAGE_CASE> {};

TEST_P(MESSAGE_FORMAT_TEST, ShowsAndRecordsTheExpandedText)
{
    const MESSAGE_CASE& c = GetParam();
    std::unique_ptr<MSG_OBJECT> message = make_message(c.severity);
    fill(*message, c.text, c.args);
    message->set_id(c.id);
    message->post();
    EXPECT_EQ(m_messages.str(), std::string(c.expected_line) + "\n");
    ASSERT_EQ(host_posted_messages().size(), 1u);
    const HOST_POSTED_MESSAGE& posted = host_posted_messages()[0];
    EXPECT_EQ(posted.severity, c.severity);
    EXPECT_EQ(posted.id, c.id);
    EXPECT_EQ(posted.identifier, c.expected_identifier);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, MESSAGE_FORMAT_TEST,
    ::testing::Values(
        MESSAGE_CASE{"ErrorOneArgument", MSG_SEVERITY_ERROR,
                     "VCD file %1!s! was not found/EPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND", {"a.vcd"}, 222005,
                     "putil: error: VCD file a.vcd was not found [222005]", "EPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND"},
        MESSAGE_CASE{"InfoThreeArgumentsOutOfOrder", MSG_SEVERITY_INFO, "%3!s! then %1!s! and %2!s!/IX", {"a", "b", "c"},
                     222002, "putil: info: c then a and b [222002]", "IX"},
        MESSAGE_CASE{"WarningKeepsQuotesAndSpaces", MSG_SEVERITY_WARNING,
                     "Can't parse \"%1!s!\".  Done/WPUTIL_X", {"x/y.vcd"}, 222011,
                     "putil: warning: Can't parse \"x/y.vcd\".  Done [222011]", "WPUTIL_X"},
        MESSAGE_CASE{"SlashInTextSplitsAtTheLast", MSG_SEVERITY_INFO, "a/b %1!s!/ID", {"c"}, 7,
                     "putil: info: a/b c [7]", "ID"},
        MESSAGE_CASE{"MissingArgumentStaysVisible", MSG_SEVERITY_ERROR, "line %2!s! of %1!s!/E", {"f"}, 1,
                     "putil: error: line %2!s! of f [1]", "E"},
        MESSAGE_CASE{"NoIdentifier", MSG_SEVERITY_INFO, "plain text", {}, 0, "putil: info: plain text [0]", ""}),
    [](const ::testing::TestParamInfo<MESSAGE_CASE>& info) { return std::string(info.param.name); });

TEST_F(HOST_MESSAGES_TEST, SubMessagesAreIndentedBelowTheirParentAndOwned)
{
    auto parent = std::make_unique<MSG_W>();
    parent->fill_args("parent %1!s!/WP", "p");
    parent->set_id(10);
    auto* child = new MSG_I;
    child->fill_args("child/IC");
    child->set_id(11);
    auto* grandchild = new MSG_I;
    grandchild->fill_args("grandchild/IG");
    grandchild->set_id(12);
    child->add_sub_message(grandchild);
    parent->add_sub_message(child);
    parent->add_sub_message(new MSG_I_NULL);
    parent->post();
    EXPECT_EQ(m_messages.str(),
              "putil: warning: parent p [10]\n"
              "  putil: info: child [11]\n"
              "    putil: info: grandchild [12]\n");
    ASSERT_EQ(host_posted_messages().size(), 1u);
    ASSERT_EQ(host_posted_messages()[0].sub_messages.size(), 1u);
    EXPECT_EQ(host_posted_messages()[0].sub_messages[0].sub_messages[0].text, "grandchild");
    EXPECT_EQ(parent->get_sub_messages().size(), 2u);
}

TEST_F(HOST_MESSAGES_TEST, NullMessagesShowAndRecordNothing)
{
    MSG_W_NULL warning;
    MSG_I_NULL info;
    warning.post();
    info.post();
    EXPECT_EQ(warning.get_severity(), MSG_SEVERITY_WARNING);
    EXPECT_EQ(info.get_severity(), MSG_SEVERITY_INFO);
    EXPECT_TRUE(host_posted_messages().empty());
    EXPECT_EQ(m_messages.str(), "");
}

TEST_F(HOST_MESSAGES_TEST, NullStreamStillRecords)
{
    host_set_message_stream(nullptr);
    MSG_E message;
    message.fill_args("quiet/EQ");
    message.set_id(3);
    message.post();
    ASSERT_EQ(host_posted_messages().size(), 1u);
    EXPECT_EQ(host_posted_messages()[0].text, "quiet");
    EXPECT_EQ(m_messages.str(), "");
}

TEST_F(HOST_MESSAGES_TEST, FillKeepsTextAndArgumentsAsGiven)
{
    MSG_I message;
    message.fill_args("t %1!s! %2!s!/ID", "x", nullptr);
    EXPECT_EQ(message.get_filled_text(), "t %1!s! %2!s!/ID");
    EXPECT_EQ(message.get_args(), (std::vector<std::string>{"x", ""}));
    message.fill_args("again/ID");
    EXPECT_TRUE(message.get_args().empty());
    EXPECT_EQ(message.get_report(), nullptr);
}

TEST_F(HOST_MESSAGES_TEST, SuppressionIsAnsweredByTheDefaultIndex)
{
    MSG_INDEX* index = MSG_INDEX::get_default_index();
    EXPECT_FALSE(index->is_suppressed(222006));
    host_suppress_message(222006);
    EXPECT_TRUE(index->is_suppressed(222006));
    EXPECT_FALSE(index->is_suppressed(222005));
    host_clear_suppressions();
    EXPECT_FALSE(index->is_suppressed(222006));
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

struct FORMAT_CASE {
    const char* format;
    const char* expected;
};

class PRINTF_FORMAT_TEST : public ::testing::TestWithParam<FORMAT_CASE> {};

TEST_P(PRINTF_FORMAT_TEST, Rewrites64BitConversions)
{
    EXPECT_EQ(host_standard_printf_format(GetParam().format), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Debug, PRINTF_FORMAT_TEST,
                         ::testing::Values(FORMAT_CASE{"(%I64u lines out of %I64u)", "(%llu lines out of %llu)"},
                                           FORMAT_CASE{"%d %s", "%d %s"}, FORMAT_CASE{"%10I64d", "%10lld"},
                                           FORMAT_CASE{"100%% I64u", "100%% I64u"}, FORMAT_CASE{"%-5I64x|", "%-5llx|"},
                                           FORMAT_CASE{"tail %", "tail %"}));

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
    debug("PUTIL", 2, " Through %d percent of the VCD file (%I64u lines out of %I64u)", 40,
          static_cast<unsigned long long>(4000000000ULL), static_cast<unsigned long long>(10000000000ULL));
    debug("PUTIL", 3, "too detailed");
    debug("OTHER", 1, "channel off");
    debug("PUTIL", 1, "ends with newline\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "putil: debug:  Through 40 percent of the VCD file (4000000000 lines out of 10000000000)\n"
              "putil: debug: ends with newline\n");
    EXPECT_EQ(host_debug_level("PUTIL"), 2);
}

}  // namespace
