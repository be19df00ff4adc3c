// The GUI thread's queue: order, the owning thread, no run inside Post, and its end.
#include "controller/GuiQueue.h"
#include "tests/support/TestSupport.h"

#include <QTest>
#include <thread>

TEST(GuiQueue, RunsWorkFromManyThreadsOnItsOwnThreadInTheOrderPosted)
{
    GuiQueue queue;
    const std::thread::id gui = std::this_thread::get_id();
    std::mutex order;  // the tickets' order is the order of the posts
    int next = 0;
    std::vector<int> ran;
    bool elsewhere = false;
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t)
        posters.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                std::lock_guard lock(order);
                queue.Post([&, ticket = next++] {
                    elsewhere |= std::this_thread::get_id() != gui;
                    ran.push_back(ticket);
                });
            }
        });
    const bool all = QTest::qWaitFor([&] { return ran.size() == 2000; }, 5000);  // while they post
    for (std::thread& p : posters)
        p.join();
    ASSERT_TRUE(all) << ran.size();
    EXPECT_FALSE(elsewhere);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(ran[i], i);
}

TEST(GuiQueue, WorkPostedOnItsOwnThreadRunsOnlyOnceTheCallerHasReturned)
{
    GuiQueue queue;
    std::vector<std::string> steps;
    queue.Post([&] {
        queue.Post([&] { steps.push_back("inner"); });
        steps.push_back("outer");
    });
    EXPECT_TRUE(steps.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return steps.size() == 2; }, 5000));
    EXPECT_EQ(steps, (std::vector<std::string>{"outer", "inner"}));
}

TEST(GuiQueue, DestroyedByItsOwnWorkItRunsNothingMoreAndKeepsNoDescriptor)
{
    const int before = OpenDescriptors();
    auto queue = std::make_unique<GuiQueue>();
    bool first = false, second = false;
    // The work left queued posts again when it is destroyed, as work holding a last reference may.
    auto postsWhenDropped = std::shared_ptr<int>(new int, [q = queue.get(), &second](int* p) {
        delete p;
        q->Post([&second] { second = true; });
    });
    std::weak_ptr<int> dropped = postsWhenDropped;
    queue->Post([&] {
        first = true;
        queue.reset();
    });
    queue->Post([&second, p = std::move(postsWhenDropped)] { second = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return first; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_FALSE(second);
    EXPECT_TRUE(dropped.expired());
    EXPECT_EQ(OpenDescriptors(), before);
}
