// What the window tests wait on: the test host's rounds of idle calls, and its reaction to
// audioMasterIdle replaced while the plug-in's thread calls it.

#include "tools/HostGuiThread.h"
#include "tools/VstHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace
{

using namespace std::chrono_literals;

// A record whose dispatcher only counts the idle calls it gets.
struct CountingEffect
{
    AEffect record{};
    std::atomic<int> idles{0};

    CountingEffect()
    {
        record.magic = kEffectMagic;
        record.object = this;
        record.dispatcher = [](AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
            if (opcode == effEditIdle)
                ++static_cast<CountingEffect*>(e->object)->idles;
            return 0;
        };
    }
};

// A gate a task on another thread waits at until it is opened.
struct Gate
{
    std::mutex lock;
    std::condition_variable opened;
    bool open = false;
    void wait()
    {
        std::unique_lock<std::mutex> guard(lock);
        opened.wait(guard, [this] { return open; });
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            open = true;
        }
        opened.notify_all();
    }
};

TEST(HostIdleRounds, AWaitForRoundsReturnsOnceEveryShownEditorWasIdledThatOften)
{
    vsthost::HostGuiThread gui;
    CountingEffect first, second;
    gui.startIdling(&first.record);
    gui.startIdling(&second.record);
    const auto roundsBefore = gui.idleRounds();
    const int firstBefore = first.idles, secondBefore = second.idles;

    ASSERT_TRUE(gui.waitForIdleRounds(4, 10s));
    EXPECT_GE(gui.idleRounds(), roundsBefore + 4);
    // The first round may have begun before the wait: three whole ones at least.
    EXPECT_GE(first.idles - firstBefore, 3);
    EXPECT_GE(second.idles - secondBefore, 3);

    gui.stopIdling(&first.record);
    gui.stopIdling(&second.record);
}

TEST(HostIdleRounds, AWaitGivesUpWhileTheHostThreadIsHeldAndNoRoundFinishes)
{
    vsthost::HostGuiThread gui;
    Gate gate;
    std::atomic<bool> holding{false};
    std::thread holder([&] {
        gui.run([&] {
            holding = true;
            gate.wait();
        });
    });
    while (!holding)
        std::this_thread::yield();
    EXPECT_FALSE(gui.waitForIdleRounds(1, 200ms));
    gate.release();
    holder.join();
    EXPECT_TRUE(gui.waitForIdleRounds(2, 10s)) << "rounds go on once the thread is free";
}

TEST(HostReaction, ReplacedWhileRunningTheRunningOneEndsAndTheNextCallRunsTheReplacement)
{
    vsthost::Host host;
    EXPECT_FALSE(host.onMasterIdle);
    Gate gate;
    std::atomic<int> firstRuns{0}, secondRuns{0};
    std::atomic<bool> firstInside{false};
    host.onMasterIdle = [&](AEffect*) {
        firstInside = true;
        gate.wait();
        ++firstRuns;
    };
    EXPECT_TRUE(host.onMasterIdle);

    AEffect record{};
    std::thread plugin([&] { host.handle(&record, audioMasterIdle, 0, 0, nullptr, 0.0f); });
    while (!firstInside)
        std::this_thread::yield();
    host.onMasterIdle = [&](AEffect*) { ++secondRuns; }; // while the first one runs
    gate.release();
    plugin.join();
    EXPECT_EQ(firstRuns, 1);

    host.handle(&record, audioMasterIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(secondRuns, 1);
    EXPECT_EQ(firstRuns, 1);
    host.onMasterIdle = nullptr;
    EXPECT_FALSE(host.onMasterIdle);
    host.handle(&record, audioMasterIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(host.count(audioMasterIdle), 3u);
}

TEST(HostReaction, AssignedOverAndOverWhileAnotherThreadCallsIt)
{
    vsthost::Host host;
    AEffect record{};
    std::atomic<bool> stop{false};
    std::atomic<long> calls{0};
    std::thread plugin([&] {
        while (!stop)
            host.handle(&record, audioMasterIdle, 0, 0, nullptr, 0.0f);
    });
    for (int i = 0; i < 2000; ++i)
        host.onMasterIdle = [&calls, i](AEffect*) { calls += i >= 0 ? 1 : 0; };
    ASSERT_TRUE(host.waitFor(audioMasterIdle, 100, 10s));
    stop = true;
    plugin.join();
    EXPECT_GT(calls.load(), 0);
}

} // namespace
