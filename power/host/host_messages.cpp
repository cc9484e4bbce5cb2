// Reference host message objects: filling, ownership of sub-messages, and
// posting (show on the message stream and record).
#include "host_messages.h"
#include "host_progress.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <mutex>
#include <unordered_map>

namespace {

std::ostream* s_message_stream = &std::cerr;
bool s_infos_shown = true;

// Reads on threads of their own post one message at a time.
std::mutex s_post_lock;

std::vector<HOST_POSTED_MESSAGE>& posted_messages()
{
    static std::vector<HOST_POSTED_MESSAGE> s_posted;
    return s_posted;
}

bool is_null_message(const MSG_OBJECT* message)
{
    return dynamic_cast<const MSG_W_NULL*>(message) != nullptr ||
           dynamic_cast<const MSG_I_NULL*>(message) != nullptr;
}

HOST_POSTED_MESSAGE make_record(const MSG_OBJECT& message)
{
    HOST_POSTED_MESSAGE record{message.get_severity(), message.get_id(), "", "", {}};
    // The catalogue hands "<text>/<IDENTIFIER>"; the text itself may hold '/'.
    const std::string& filled = message.get_filled_text();
    std::string::size_type slash = filled.rfind('/');
    std::string text = slash == std::string::npos ? filled : filled.substr(0, slash);
    if (slash != std::string::npos)
        record.identifier = filled.substr(slash + 1);
    record.text = host_expand_message_text(text, message.get_args());
    for (const MSG_OBJECT* sub : message.get_sub_messages()) {
        if (sub != nullptr && !is_null_message(sub))
            record.sub_messages.push_back(make_record(*sub));
    }
    return record;
}

void print_record(std::ostream& stream, const HOST_POSTED_MESSAGE& record, int depth)
{
    stream << std::string(2 * depth, ' ') << host_format_message_line(record) << '\n';
    for (const HOST_POSTED_MESSAGE& sub : record.sub_messages)
        print_record(stream, sub, depth + 1);
}

}  // namespace

void host_set_message_stream(std::ostream* stream)
{
    s_message_stream = stream;
}

std::ostream* host_message_stream()
{
    return s_message_stream;
}

void host_set_infos_shown(bool shown)
{
    s_infos_shown = shown;
}

const std::vector<HOST_POSTED_MESSAGE>& host_posted_messages()
{
    return posted_messages();
}

void host_clear_posted_messages()
{
    posted_messages().clear();
}

void host_add_posted_message(const HOST_POSTED_MESSAGE& message)
{
    posted_messages().push_back(message);
}

void host_truncate_posted_messages(std::size_t count)
{
    if (count < posted_messages().size())
        posted_messages().resize(count);
}

const char* host_severity_name(MSG_SEVERITY severity)
{
    switch (severity) {
    case MSG_SEVERITY_INFO:
        return "info";
    case MSG_SEVERITY_WARNING:
        return "warning";
    case MSG_SEVERITY_ERROR:
        return "error";
    }
    return "unknown";
}

namespace {

std::unordered_map<std::string, std::string>& shown_file_names()
{
    static std::unordered_map<std::string, std::string> names;
    return names;
}

}  // namespace

void host_set_shown_file_name(const std::string& path, const std::string& shown)
{
    shown_file_names()[path] = shown;
}

const std::string& host_shown_file_name(const std::string& path)
{
    const auto shown = shown_file_names().find(path);
    return shown == shown_file_names().end() ? path : shown->second;
}

std::string host_expand_message_text(const std::string& text, const std::vector<std::string>& args)
{
    std::string result;
    result.reserve(text.size());
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        bool placeholder = text[i] == '%' && i + 4 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
                           text.compare(i + 2, 3, "!s!") == 0;
        std::size_t arg = placeholder ? static_cast<std::size_t>(text[i + 1] - '1') : 0;
        if (!placeholder || arg >= args.size()) {
            result += text[i];
            continue;
        }
        result += host_shown_file_name(args[arg]);
        i += 4;
    }
    return result;
}

std::string host_format_message_line(const HOST_POSTED_MESSAGE& message)
{
    return std::string("putil: ") + host_severity_name(message.severity) + ": " + message.text + " [" +
           std::to_string(message.id) + "]";
}

MSG_OBJECT::MSG_OBJECT(MSG_SEVERITY severity, MSG_REPORT* report) : m_severity(severity), m_report(report) {}

MSG_OBJECT::~MSG_OBJECT()
{
    for (MSG_OBJECT* sub : m_sub_messages)
        delete sub;
}

void MSG_OBJECT::fill_args(const char* text)
{
    m_text = text == nullptr ? "" : text;
    m_args.clear();
}

void MSG_OBJECT::fill_args(const char* text, const char* arg1)
{
    fill_args(text);
    m_args.push_back(arg1 == nullptr ? "" : arg1);
}

void MSG_OBJECT::fill_args(const char* text, const char* arg1, const char* arg2)
{
    fill_args(text, arg1);
    m_args.push_back(arg2 == nullptr ? "" : arg2);
}

void MSG_OBJECT::fill_args(const char* text, const char* arg1, const char* arg2, const char* arg3)
{
    fill_args(text, arg1, arg2);
    m_args.push_back(arg3 == nullptr ? "" : arg3);
}

void MSG_OBJECT::set_id(unsigned id)
{
    m_id = id;
}

void MSG_OBJECT::set_report(MSG_REPORT* report)
{
    m_report = report;
}

void MSG_OBJECT::add_sub_message(MSG_OBJECT* sub)
{
    if (sub != nullptr)
        m_sub_messages.push_back(sub);
}

namespace {

// The messages that start and end the read of a waveform file name the
// file (their first argument): the progress bar follows them.
const unsigned READ_START_IDS[] = {222000, 222002};
const unsigned READ_END_IDS[] = {222001, 222003};

void follow_reads(const MSG_OBJECT& message)
{
    const unsigned id = message.get_id();
    if (std::find(std::begin(READ_START_IDS), std::end(READ_START_IDS), id) != std::end(READ_START_IDS) &&
        !message.get_args().empty())
        host_progress_start(host_shown_file_name(message.get_args().front()));
    else if (std::find(std::begin(READ_END_IDS), std::end(READ_END_IDS), id) != std::end(READ_END_IDS))
        host_progress_complete();
}

}  // namespace

void MSG_OBJECT::post()
{
    const std::lock_guard<std::mutex> lock(s_post_lock);
    follow_reads(*this);
    posted_messages().push_back(make_record(*this));
    if (s_message_stream == nullptr || (posted_messages().back().severity == MSG_SEVERITY_INFO && !s_infos_shown))
        return;
    // A message starts on a line of its own, not after an open progress bar.
    host_progress_finish();
    print_record(*s_message_stream, posted_messages().back(), 0);
    s_message_stream->flush();
}

MSG_SEVERITY MSG_OBJECT::get_severity() const
{
    return m_severity;
}

unsigned MSG_OBJECT::get_id() const
{
    return m_id;
}

MSG_REPORT* MSG_OBJECT::get_report() const
{
    return m_report;
}

const std::string& MSG_OBJECT::get_filled_text() const
{
    return m_text;
}

const std::vector<std::string>& MSG_OBJECT::get_args() const
{
    return m_args;
}

const std::vector<MSG_OBJECT*>& MSG_OBJECT::get_sub_messages() const
{
    return m_sub_messages;
}

MSG_E::MSG_E(MSG_REPORT* report) : MSG_OBJECT(MSG_SEVERITY_ERROR, report) {}
MSG_W::MSG_W(MSG_REPORT* report) : MSG_OBJECT(MSG_SEVERITY_WARNING, report) {}
MSG_I::MSG_I(MSG_REPORT* report) : MSG_OBJECT(MSG_SEVERITY_INFO, report) {}

MSG_W_NULL::MSG_W_NULL() : MSG_W(nullptr) {}
MSG_I_NULL::MSG_I_NULL() : MSG_I(nullptr) {}

void MSG_W_NULL::post() {}
void MSG_I_NULL::post() {}
