// Reference host progress bar: "\rFILE [########            ] 40%  12s left"
// redrawn in place, ended with a newline at 100 percent or by
// host_progress_finish.
#include "host_progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

#include <unistd.h>

#include "host/cfg.h"

namespace {

constexpr int BAR_WIDTH = 20;
constexpr std::size_t LABEL_WIDTH = 40;

// Reads on threads of their own move the bar one at a time.
std::mutex s_progress_lock;
std::vector<int> s_updates;
bool s_line_open = false;
bool s_drawn = true;
std::string s_label;
int s_percent = 0;
std::chrono::steady_clock::time_point s_started = std::chrono::steady_clock::now();

// "45s", "1m05s", "2h03m".
std::string duration_text(double seconds)
{
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole < 60)
        std::snprintf(text, sizeof text, "%lds", whole);
    else if (whole < 3600)
        std::snprintf(text, sizeof text, "%ldm%02lds", whole / 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ldh%02ldm", whole / 3600, whole / 60 % 60);
    return text;
}

void draw(int percent)
{
    const int shown = std::clamp(percent, 0, 100);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - s_started).count();
    // "\x1b[K" clears what a longer earlier bar left on the line.
    std::cerr << '\r' << host_progress_text(s_label, shown, host_progress_seconds_left(shown, elapsed)) << "\x1b[K";
    s_line_open = shown < 100;
    if (!s_line_open)
        std::cerr << '\n';
    std::cerr.flush();
}

bool drawing() { return s_drawn && isatty(STDERR_FILENO); }

}  // namespace

std::string host_progress_text(const std::string& label, int percent, std::optional<double> seconds_left)
{
    const int shown = std::clamp(percent, 0, 100);
    const int filled = shown * BAR_WIDTH / 100;
    std::string text;
    if (!label.empty())
        text = (label.size() > LABEL_WIDTH ? "..." + label.substr(label.size() - (LABEL_WIDTH - 3)) : label) + " ";
    text += "[" + std::string(filled, '#') + std::string(BAR_WIDTH - filled, ' ') + "] " + std::to_string(shown) + "%";
    if (seconds_left)
        text += "  " + duration_text(*seconds_left) + " left";
    return text;
}

std::optional<double> host_progress_seconds_left(int percent, double elapsed)
{
    if (percent < 1 || percent >= 100 || elapsed < 1.0)
        return std::nullopt;
    return elapsed * (100 - percent) / percent;
}

void putil_lib_update_progress_bar(int state, int percent)
{
    // Other states belong to the host's own progress phases; the library
    // only draws (state 0).
    if (state != 0)
        return;
    const std::lock_guard<std::mutex> lock(s_progress_lock);
    s_updates.push_back(percent);
    s_percent = percent;
    if (drawing())
        draw(percent);
}

void host_set_progress_drawn(bool drawn)
{
    s_drawn = drawn;
}

const std::vector<int>& host_progress_updates()
{
    return s_updates;
}

void host_clear_progress_updates()
{
    s_updates.clear();
}

void host_progress_finish()
{
    const std::lock_guard<std::mutex> lock(s_progress_lock);
    if (!s_line_open)
        return;
    std::cerr << '\n' << std::flush;
    s_line_open = false;
}

void host_progress_start(const std::string& label)
{
    const std::lock_guard<std::mutex> lock(s_progress_lock);
    s_label = label;
    s_percent = 0;
    s_started = std::chrono::steady_clock::now();
}

void host_progress_complete()
{
    const std::lock_guard<std::mutex> lock(s_progress_lock);
    const int stop_after = cfg_get_int_value("putil_vcd_stop_after_percent", -1);
    const bool stopped = putil_lib_stop_requested() || (stop_after >= 0 && s_percent >= stop_after);
    if (s_line_open && !stopped && drawing())
        draw(100);
}

const std::string& host_progress_label()
{
    return s_label;
}
