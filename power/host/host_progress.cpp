// Reference host progress bar: "\r[########            ] 40%" redrawn in
// place, ended with a newline at 100 percent or by host_progress_finish.
#include "host_progress.h"

#include <algorithm>
#include <iostream>
#include <mutex>
#include <string>

#include <unistd.h>

namespace {

constexpr int BAR_WIDTH = 20;

// Reads on threads of their own move the bar one at a time.
std::mutex s_progress_lock;
std::vector<int> s_updates;
bool s_line_open = false;
bool s_drawn = true;

void draw(int percent)
{
    int shown = std::clamp(percent, 0, 100);
    int filled = shown * BAR_WIDTH / 100;
    std::cerr << "\r[" << std::string(filled, '#') << std::string(BAR_WIDTH - filled, ' ') << "] " << shown << '%';
    s_line_open = shown < 100;
    if (!s_line_open)
        std::cerr << '\n';
    std::cerr.flush();
}

}  // namespace

void putil_lib_update_progress_bar(int state, int percent)
{
    // Other states belong to the host's own progress phases; the library
    // only draws (state 0).
    if (state != 0)
        return;
    const std::lock_guard<std::mutex> lock(s_progress_lock);
    s_updates.push_back(percent);
    if (s_drawn && isatty(STDERR_FILENO))
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
