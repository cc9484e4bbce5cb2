// One job at a time on a second thread, so that the caller can go on with
// other work meanwhile.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// The caller starts a job, goes on, and waits for it before it starts the
// next one or touches anything the job touches. The thread starts with the
// first job and ends with the worker, after the job in hand.
class PUTIL_BACKGROUND_WORKER {
public:
    PUTIL_BACKGROUND_WORKER() = default;
    PUTIL_BACKGROUND_WORKER(const PUTIL_BACKGROUND_WORKER&) = delete;
    PUTIL_BACKGROUND_WORKER& operator=(const PUTIL_BACKGROUND_WORKER&) = delete;
    ~PUTIL_BACKGROUND_WORKER();

    // Waits for the job before, then hands this one to the thread (or runs it
    // now when no thread can be started).
    void start(std::function<void()> job);
    // Returns when no job is running; rethrows what the last job threw. A
    // job the thread has not started yet is run here instead.
    void wait();

private:
    bool start_thread();
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_job;   // the job handed over and not finished; empty when idle
    bool m_job_taken = false;      // the thread has started m_job: a wait must wait for it
    // Mirrors of "m_job is set" and "stopping", read without the lock by
    // waits that spin a little before they sleep: waking a sleeping thread
    // takes longer than most waits.
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_stopping{false};
    std::exception_ptr m_failure;
    std::thread m_thread;
};
