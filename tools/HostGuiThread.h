#pragma once

// The test host's editor thread: runs the host's editor calls and calls effEditIdle about every
// 15 ms on the instances whose editors it shows, as a host does from its GUI thread (Ardour from
// a thread of its own). Other threads can see whether it is inside an idle call and act
// meanwhile.

#include "vst/AEffect.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vsthost
{

class HostGuiThread
{
public:
    HostGuiThread();
    ~HostGuiThread();

    HostGuiThread(const HostGuiThread&) = delete;
    HostGuiThread& operator=(const HostGuiThread&) = delete;

    // Runs `task` on this thread and waits for it. False when it had not started after
    // `timeout` (the thread is held inside a plug-in): it is then withdrawn and never runs. A
    // task that started is always waited for, so it may capture what the caller's frame owns.
    bool run(std::function<void()> task, std::chrono::milliseconds timeout = std::chrono::seconds(10));

    void startIdling(AEffect* effect);
    // No further idle calls for `effect` begin after this returns; one may be running now.
    void stopIdling(AEffect* effect);
    // Whether an effEditIdle call into `effect` is running now.
    bool isInsideIdle(AEffect* effect) const;
    // Waits until no effEditIdle call into `effect` runs.
    bool waitUntilOutOfIdle(AEffect* effect, std::chrono::milliseconds timeout) const;

    // Rounds of idle calls finished so far; each round idles every shown editor once.
    std::uint64_t idleRounds() const;
    // Waits until `rounds` more rounds have finished (the first may have begun before the call):
    // with two or more, every editor has handled what reached it before the call (X events,
    // timer ticks), however slowly the machine runs.
    bool waitForIdleRounds(int rounds, std::chrono::milliseconds timeout) const;

private:
    struct Task;
    void loop();
    void idleAll();

    mutable std::mutex lock;
    mutable std::condition_variable changed;
    std::deque<std::shared_ptr<Task>> tasks;
    std::vector<AEffect*> idleTargets;
    AEffect* insideIdle = nullptr;
    std::uint64_t finishedRounds = 0;
    bool quit = false;
    std::thread thread;
};

} // namespace vsthost
