// Long calls of the Python module that Ctrl-C interrupts: the work runs
// without the interpreter lock, and the calling thread keeps answering the
// interpreter's signal handlers while it waits.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>

namespace putil_python {

// How long the calling thread waits between two looks at pending signals.
constexpr std::chrono::milliseconds SIGNAL_CHECK_SLICE{100};

// Locks mutex for the calling thread, which holds the interpreter lock: it
// is released while the mutex is awaited, so the thread that owns the mutex
// can take it. Throws pybind11::error_already_set when a signal handler
// raised (Ctrl-C: KeyboardInterrupt) before the mutex was taken.
std::unique_lock<std::timed_mutex> lock_checking_signals(std::timed_mutex& mutex);

// Runs work on a worker thread while the calling thread, which holds the
// interpreter lock, releases it and waits. When a signal handler raises,
// the host is asked to stop the read in progress (putil_lib_stop_requested),
// the worker is joined, the request withdrawn and the handler's exception
// thrown as pybind11::error_already_set; otherwise what work threw is
// thrown again. work must not touch Python objects.
void run_checking_signals(const std::function<void()>& work);

}  // namespace putil_python
