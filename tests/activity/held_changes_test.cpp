// The room for held value changes and the worker that applies them on a second thread.
#include <atomic>
#include <stdexcept>
#include <vector>

#include "putil_background_worker.h"
#include "putil_test_support.h"
#include "putil_vcd_held_changes.h"

namespace {

TEST(HELD_CHANGES_TEST, group_changes_by_time_and_window_and_refuse_what_does_not_fit)
{
    PUTIL_VCD_HELD_CHANGES held(4, 8);
    held.reserve();
    EXPECT_TRUE(held.hold_scalar(1, '1', 0.0, true));
    EXPECT_TRUE(held.hold_vector(2, "b101", 0.0, true));
    EXPECT_TRUE(held.hold_scalar(3, 'x', 5.0, true));
    // Five characters do not fit in the four left.
    EXPECT_FALSE(held.hold_vector(4, "b1010", 5.0, false));
    EXPECT_TRUE(held.hold_vector(4, "b101", 5.0, false));
    EXPECT_FALSE(held.hold_scalar(5, '0', 5.0, false));

    ASSERT_EQ(held.steps().size(), 3u);
    EXPECT_EQ(held.steps()[0].end, 2u);
    EXPECT_EQ(held.steps()[1].time, 5.0);
    EXPECT_FALSE(held.steps()[2].in_window);
    EXPECT_EQ(std::string(held.text_of(held.changes()[3]), held.changes()[3].text_length), "b101");
    EXPECT_EQ(static_cast<char>(held.changes()[2].text), 'x');

    held.clear();
    EXPECT_TRUE(held.empty());
    EXPECT_TRUE(held.steps().empty());
    // A text longer than the whole room never fits.
    EXPECT_FALSE(held.hold_vector(1, "b10101010", 0.0, true));
    EXPECT_TRUE(held.hold_vector(1, "b1010101", 0.0, true));
}

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
