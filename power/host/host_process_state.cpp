// Reference host process state reset.
#include "host_process_state.h"

#include <iostream>

#include "host_design.h"
#include "host_device.h"
#include "host_hierarchy_builder.h"
#include "host_lib_services.h"
#include "host_messages.h"
#include "host_progress.h"
#include "host_settings.h"
#include "host_timing_api.h"

void host_reset_process_state()
{
    host_set_current_design(nullptr);
    host_set_message_stream(&std::cerr);
    host_clear_posted_messages();
    host_clear_suppressions();
    host_clear_settings();
    host_progress_finish();
    host_progress_start("");
    host_clear_progress_updates();
    host_clear_hierarchy_builder_record();
    host_clear_timing_api_record();
    host_set_continue_and_warn_on_failure(false);
    host_set_customer_release(false);
    host_set_output_directory("");
    host_request_stop(false);
    host_clear_output_failures();
    host_set_infos_shown(true);
    host_set_progress_drawn(true);
}
