// The worker that applies held value changes on a second thread.
#include <atomic>
#include <stdexcept>
#include <vector>

#include "core/putil_background_worker.h"
#include "putil_test_support.h"

namespace {

TEST(BACKGROUND_WORKER_TEST, runs_jobs_in_order_and_hands_back_what_they_throw)
{
    PUTIL_BACKGROUND_WORKER worker;
    std::vector<int> order;
    for (int job = 0; job < 100; ++job)
        worker.start([&order, job] { order.push_back(job); });
    worker.wait();
    ASSERT_EQ(order.size(), 100u);
    for (int job = 0; job < 100; ++job)
        EXPECT_EQ(order[job], job);

    worker.start([] { throw std::runtime_error("job failed"); });
    EXPECT_THROW(worker.wait(), std::runtime_error);
    // The failure is reported once; the worker takes the next job.
    worker.wait();
    worker.start([&order] { order.push_back(100); });
    worker.wait();
    EXPECT_EQ(order.back(), 100);
}

// A wait runs a job that the thread has not started yet: whichever thread
// runs it, every job runs once, in order, and is done when wait returns.
TEST(BACKGROUND_WORKER_TEST, a_job_runs_once_whether_the_thread_or_the_waiter_takes_it)
{
    PUTIL_BACKGROUND_WORKER worker;
    int runs = 0;
    int last = -1;
    bool in_order = true;
    for (int job = 0; job < 20000; ++job) {
        worker.start([&, job] {
            in_order = in_order && last == job - 1;
            last = job;
            ++runs;
        });
        if (job % 3 == 0) {
            worker.wait();
            EXPECT_EQ(runs, job + 1);
        }
    }
    worker.wait();
    EXPECT_EQ(runs, 20000);
    EXPECT_TRUE(in_order);
}

TEST(BACKGROUND_WORKER_TEST, finishes_the_job_in_hand_before_it_is_destroyed)
{
    std::atomic<bool> finished{false};
    {
        PUTIL_BACKGROUND_WORKER worker;
        worker.start([&finished] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = true;
        });
    }
    EXPECT_TRUE(finished);
}

}  // namespace
