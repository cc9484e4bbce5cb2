// The reset of the reference host's process-wide state, which lets one process run job after job.
#include "host_test_fixture.h"

namespace {

using HOST_PROCESS_STATE_TEST = HOST_TEST;

TEST_F(HOST_PROCESS_STATE_TEST, reset_returns_every_record_and_choice_to_its_start)
{
    HOST_DESIGN design;
    host_set_current_design(&design);
    MSG_I message;
    message.fill_args("text/IT");
    message.post();
    host_suppress_message(222002);
    ASSERT_TRUE(host_set_setting("putil_vcd_extended_syntax", "on"));
    putil_lib_update_progress_bar(0, 40);
    host_set_continue_and_warn_on_failure(true);
    host_set_customer_release(true);

    host_reset_process_state();
    EXPECT_EQ(host_current_design(), nullptr);
    EXPECT_EQ(host_message_stream(), &std::cerr);
    EXPECT_TRUE(host_posted_messages().empty());
    EXPECT_FALSE(MSG_INDEX::get_default_index()->is_suppressed(222002));
    EXPECT_FALSE(cfg_is_on("putil_vcd_extended_syntax", false));
    EXPECT_TRUE(host_progress_updates().empty());
    EXPECT_FALSE(putil_lib_get_continue_and_warn_on_failure());
    EXPECT_FALSE(PUTIL_VELDRA_INI::instance()->get_customer_release());
}

}  // namespace
