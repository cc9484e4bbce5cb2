// Long calls of the Python module that Ctrl-C interrupts.
#include "putil_python_interrupt.h"

#include <pybind11/pybind11.h>

#include <future>
#include <thread>

#include "host_lib_services.h"

namespace py = pybind11;

namespace putil_python {

namespace {

// Runs the handlers of signals that arrived since the last look, with the
// interpreter lock taken for that moment only. True when one raised; its
// exception stays pending for the caller.
bool signal_handler_raised()
{
    const py::gil_scoped_acquire interpreter;
    return PyErr_CheckSignals() != 0;
}

// Waits, without the interpreter lock, until ready(slice) answers true,
// looking at signals between slices. False when a signal handler raised.
bool wait_checking_signals(const std::function<bool(std::chrono::milliseconds)>& ready)
{
    const py::gil_scoped_release released;
    while (!ready(SIGNAL_CHECK_SLICE)) {
        if (signal_handler_raised())
            return false;
    }
    return true;
}

// Asks the read on worker to stop at its next timestamp, waits for it
// without the interpreter lock (the worker may wait for input that another
// Python thread writes) and withdraws the request.
void stop_and_join(std::thread& worker)
{
    host_request_stop(true);
    {
        const py::gil_scoped_release released;
        worker.join();
    }
    host_request_stop(false);
}

}  // namespace

std::unique_lock<std::timed_mutex> lock_checking_signals(std::timed_mutex& mutex)
{
    std::unique_lock<std::timed_mutex> lock(mutex, std::defer_lock);
    if (!wait_checking_signals([&](std::chrono::milliseconds slice) { return lock.try_lock_for(slice); }))
        throw py::error_already_set();
    return lock;
}

void run_checking_signals(const std::function<void()>& work)
{
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    bool finished = false;
    try {
        finished = wait_checking_signals([&](std::chrono::milliseconds slice) {
            return done.wait_for(slice) == std::future_status::ready;
        });
    } catch (...) {
        stop_and_join(worker);
        throw;
    }
    if (!finished) {
        stop_and_join(worker);
        throw py::error_already_set();
    }
    worker.join();
    done.get();
}

}  // namespace putil_python
