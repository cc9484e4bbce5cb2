// A second thread that runs the jobs it is handed, one at a time.
#include "core/putil_background_worker.h"

#include <system_error>
#include <utility>

namespace {
// Checks before a wait sleeps: a few microseconds. A hand-off is rare (a
// room of thousands of changes each), so sleeping costs little; yielding
// instead would give the core away to whatever else runs on a busy machine
// and leave both threads waiting for their next slice.
const int s_spins = 2000;

// Tells the core this is a spin-wait loop.
inline void relax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}
}

PUTIL_BACKGROUND_WORKER::~PUTIL_BACKGROUND_WORKER()
{
    if (!m_thread.joinable())
        return;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_job; });
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PUTIL_BACKGROUND_WORKER::start(std::function<void()> job)
{
    wait();
    if (!m_thread.joinable() && !start_thread()) {
        // No thread to be had: the job runs here, as the caller would run it.
        job();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_job = std::move(job);
        m_busy.store(true, std::memory_order_release);
    }
    m_changed.notify_all();
}

bool PUTIL_BACKGROUND_WORKER::start_thread()
{
    try {
        m_thread = std::thread([this] { run(); });
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void PUTIL_BACKGROUND_WORKER::wait()
{
    for (int spin = 0; spin < s_spins && m_busy.load(std::memory_order_acquire); ++spin)
        relax();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_job && !m_job_taken) {
        // The thread has not got to the job yet (on a busy machine it may
        // wait a whole time slice for a core): the caller runs it instead
        // of waiting for it.
        std::function<void()> job = std::exchange(m_job, nullptr);
        m_busy.store(false, std::memory_order_release);
        lock.unlock();
        job();
        return;
    }
    m_changed.wait(lock, [this] { return !m_job; });
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}

void PUTIL_BACKGROUND_WORKER::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (!m_job) {
            lock.unlock();
            for (int spin = 0; spin < s_spins && !m_busy.load(std::memory_order_acquire) &&
                               !m_stopping.load(std::memory_order_acquire);
                 ++spin)
                relax();
            lock.lock();
        }
        m_changed.wait(lock, [this] { return m_job || m_stopping; });
        if (m_stopping)
            return;
        m_job_taken = true;
        lock.unlock();
        try {
            m_job();
        } catch (...) {
            m_failure = std::current_exception();
        }
        lock.lock();
        m_job = nullptr;
        m_job_taken = false;
        m_busy.store(false, std::memory_order_release);
        m_changed.notify_all();
    }
}
