#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "support/TemporarySandbox.h"

using namespace platform;

TEST(RunLoop, PostsFromAnotherThreadArriveOnMainInOrder) {
    vantrel::test::TemporarySandbox sandbox;
    RunLoop& loop = RunLoop::main();
    std::vector<int> seen;
    std::atomic<bool> wrongThread {false};
    runInBackground([&] {
        for (int i = 0; i < 500; ++i)
            dispatchToMain([&, i] {
                wrongThread = wrongThread || !loop.isMainThread();
                seen.push_back(i);
            });
    });
    ASSERT_TRUE(loop.runUntil([&] { return seen.size() == 500; }));
    EXPECT_TRUE(loop.waitForBackgroundThreads());
    EXPECT_FALSE(wrongThread);
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(seen[i], i);
}

TEST(RunLoop, TimersFireByThePlatformClock) {
    vantrel::test::TemporarySandbox sandbox;
    Clock::setNow(Date(1000));
    RunLoop& loop = RunLoop::main();
    std::vector<std::string> fired;
    loop.performAfterDelay(10, [&] { fired.push_back("ten"); });
    loop.performAfterDelay(5, [&] { fired.push_back("five"); });
    auto cancelled = loop.performAfterDelay(7, [&] { fired.push_back("cancelled"); });
    loop.cancel(cancelled);
    loop.runUntilIdle();
    EXPECT_TRUE(fired.empty());
    Clock::advance(6);
    loop.runUntilIdle();
    EXPECT_EQ(fired, std::vector<std::string> {"five"});
    Clock::advance(100);
    loop.runUntilIdle();
    EXPECT_EQ(fired, (std::vector<std::string> {"five", "ten"}));
}

TEST(RunLoop, CallsPostedWhileRunningRunInTheSamePass) {
    vantrel::test::TemporarySandbox sandbox;
    int count = 0;
    dispatchToMain([&] {
        ++count;
        dispatchToMain([&] { ++count; });
    });
    EXPECT_EQ(RunLoop::main().runUntilIdle(), 2);
    EXPECT_EQ(count, 2);
}

TEST(NotificationCenter, DestroyedObserverIsNeverCalledAndUserInfoArrives) {
    auto& center = NotificationCenter::defaultCenter();
    int first = 0, second = 0;
    auto keep
        = std::make_unique<ObserverToken>(center.addObserver("Ping", [&](const Notification&) { ++first; }));
    std::string status;
    ObserverToken other = center.addObserver("Ping", [&](const Notification& n) {
        ++second;
        if (n.userInfo.count("status"))
            status = n.userInfo.at("status").string();
        keep.reset(); // the first observer goes away while a post is delivered
    });
    center.post("Pong");
    EXPECT_EQ(first + second, 0);
    center.post("Ping", {{"status", Value("Complete")}});
    EXPECT_EQ(status, "Complete");
    center.post("Ping");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    other.remove();
    center.post("Ping");
    EXPECT_EQ(second, 2);
}

TEST(RunLoop, BeforeWaitingObserverRunsOncePerBurst) {
    vantrel::test::TemporarySandbox sandbox;
    RunLoop& loop = RunLoop::main();
    std::vector<std::string> seen;
    loop.setBeforeWaitingObserver([&] {
        seen.push_back("observer");
        if (seen.size() == 4) {
            // A call posted by the observer starts another burst.
            loop.post([&] { seen.push_back("late"); });
        } else if (seen.size() > 4) {
            loop.stop();
        }
    });
    for (int i = 0; i < 3; ++i)
        loop.post([&] { seen.push_back("task"); });
    loop.run();
    loop.reset();
    EXPECT_EQ(seen, (std::vector<std::string> {"task", "task", "task", "observer", "late", "observer"}));
}
