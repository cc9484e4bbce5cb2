// Reference host message service: how posted messages are shown and the
// record of every message posted, for the CLI and the tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/msg.h"

// One posted message as the user saw it: text with its arguments filled in
// and the identifier split off.
struct HOST_POSTED_MESSAGE {
    MSG_SEVERITY severity;
    unsigned id;
    std::string identifier;
    std::string text;
    std::vector<HOST_POSTED_MESSAGE> sub_messages;
};

// Where messages and internal errors are printed; std::cerr at start, null
// prints nothing (messages are still recorded).
void host_set_message_stream(std::ostream* stream);
std::ostream* host_message_stream();
// Whether information messages are printed (they are recorded either way);
// true at start.
void host_set_infos_shown(bool shown);

const std::vector<HOST_POSTED_MESSAGE>& host_posted_messages();
void host_clear_posted_messages();
// Records a message as posted without showing it: the messages of an
// earlier run, carried along with its results.
void host_add_posted_message(const HOST_POSTED_MESSAGE& message);

// A file the library reads under another path than the one the user gave
// (standard input as /dev/stdin, a replayed stream as /dev/fd/N): messages
// and reports show it as shown.
void host_set_shown_file_name(const std::string& path, const std::string& shown);
// The name to show for path: its shown name, else path itself.
const std::string& host_shown_file_name(const std::string& path);
// Forgets the messages posted after the first count of them.
void host_truncate_posted_messages(std::size_t count);

// "info", "warning" or "error".
const char* host_severity_name(MSG_SEVERITY severity);

// text with "%1!s!" .. "%9!s!" replaced by args[0] ..; a placeholder without
// an argument stays as written so that the gap shows.
std::string host_expand_message_text(const std::string& text, const std::vector<std::string>& args);


// One shown line (without indentation or newline): "putil: info: <text> [<id>]".
std::string host_format_message_line(const HOST_POSTED_MESSAGE& message);

// Suppression of warning and information ids, answered by the default
// MSG_INDEX. Posting does not consult it: the library asks the index and
// makes a null message, so a message that slipped past it still shows.
void host_suppress_message(unsigned id);
void host_clear_suppressions();
