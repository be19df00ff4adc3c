// The GUI thread's queue: order, the owning thread, no re-entrant runs, and its end.
#include "controller/GuiQueue.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QTest>
#include <thread>

namespace {

// Runs the event loop until `done` holds (5 s at most).
bool Until(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 5000);
}

struct PostsWhenDestroyed {
    GuiQueue& queue;
    bool& ran;
    ~PostsWhenDestroyed()
    {
        queue.Post([&ran = ran] { ran = true; });
    }
};

}  // namespace

TEST(GuiQueue, RunsWorkFromManyThreadsOnItsOwnThreadInTheOrderPosted)
{
    GuiQueue queue;
    const std::thread::id gui = std::this_thread::get_id();
    constexpr int kThreads = 4, kEach = 500;
    std::mutex order;  // makes the order of the posts known: the tickets' order
    int next = 0;
    std::vector<int> ran;  // GUI thread only
    bool elsewhere = false;
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t)
        posters.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) {
                std::lock_guard lock(order);
                queue.Post([&ran, &elsewhere, gui, ticket = next++] {
                    elsewhere |= std::this_thread::get_id() != gui;
                    ran.push_back(ticket);
                });
            }
        });
    // The GUI thread runs the work while the threads still post.
    const bool all = Until([&] { return ran.size() == kThreads * kEach; });
    for (std::thread& p : posters)
        p.join();
    ASSERT_TRUE(all) << ran.size() << " of " << kThreads * kEach << " ran";
    EXPECT_FALSE(elsewhere);
    for (int i = 0; i < kThreads * kEach; ++i)
        ASSERT_EQ(ran[i], i) << "out of order at " << i;
}

TEST(GuiQueue, WorkPostedOnItsOwnThreadRunsOnlyOnceTheCallerHasReturned)
{
    GuiQueue queue;
    std::vector<std::string> steps;
    queue.Post([&] {
        queue.Post([&] { steps.push_back("inner"); });
        steps.push_back("outer returns");
    });
    queue.Post([&] { steps.push_back("second"); });
    EXPECT_TRUE(steps.empty()) << "Post ran work before the event loop did";
    ASSERT_TRUE(Until([&] { return steps.size() == 3; }));
    EXPECT_EQ(steps, (std::vector<std::string>{"outer returns", "second", "inner"}));
}

TEST(GuiQueue, WorkNotYetRunIsDroppedWithTheQueueAndNoDescriptorStays)
{
    const int before = OpenDescriptors();
    auto held = std::make_shared<int>(0);  // its count tells whether the dropped work was freed
    bool ran = false;
    for (int i = 0; i < 50; ++i) {
        auto queue = std::make_unique<GuiQueue>();
        queue->Post([&ran, held] { ran = true; });
        // Work whose destruction posts again, as work holding a last reference might: the queue
        // being destroyed takes that post without running it or locking up.
        queue->Post([again = std::make_shared<PostsWhenDestroyed>(*queue, ran)] {});
        queue.reset();
    }
    // Nothing is left to wake the event loop for the dropped work.
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    EXPECT_EQ(held.use_count(), 1);
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(GuiQueue, WorkThatDestroysTheQueueEndsTheRun)
{
    const int before = OpenDescriptors();
    auto queue = std::make_unique<GuiQueue>();
    bool first = false, second = false;
    queue->Post([&] {
        first = true;
        queue.reset();
    });
    queue->Post([&] { second = true; });
    // Both items are taken in one run: once the first has run, the run is over.
    ASSERT_TRUE(Until([&] { return first; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(second);
    EXPECT_EQ(OpenDescriptors(), before);
}
