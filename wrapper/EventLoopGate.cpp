#include "wrapper/EventLoopGate.h"

#include "wrapper/KeptAtExit.h"
#include "wrapper/PluginDisplay.h"

#include <juce_events/juce_events.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace juce
{
// JUCE's Linux event loop: dispatches one message, timer or X event, waiting for one when
// returnIfNoPendingMessages is false. Defined in juce_linux_Messaging.cpp; never to be entered by
// two threads at once, which is what the loop lock below ensures.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace wydvst
{

namespace
{

// One idle call dispatches at most this much, so that a flood of messages cannot keep the host's
// thread inside the plug-in.
constexpr int kMaxEventsPerIdle = 256;
constexpr juce::uint32 kMaxIdleMilliseconds = 50;

struct GateState
{
    // Held by the thread that drives JUCE's loop; recursive because hosts call back in.
    std::recursive_mutex loop;

    // Guards the counts, the active calls and the remains, and is the condition variable's lock.
    std::mutex lock;
    std::condition_variable changed;
    std::atomic<int> openEditors{0};
    std::atomic<int> hostTurnsWanted{0};
    std::atomic<bool> pluginThreadDispatching{false};
    std::multimap<std::uint64_t, std::thread::id> activeCalls;
    std::vector<std::unique_ptr<EventLoopGate::Remains>> remains;
};

GateState& gate()
{
    static KeptAtExit<GateState> state;
    return state.get();
}

// How deep this thread is inside JUCE's loop, and inside host turns.
thread_local int dispatchDepth = 0;
thread_local int turnDepth = 0;

bool pluginThreadMayRun(const GateState& g)
{
    return g.openEditors.load() == 0 && g.hostTurnsWanted.load() == 0;
}

void becomeMessageThread()
{
    if (auto* mm = juce::MessageManager::getInstanceWithoutCreating())
        if (!mm->isThisTheMessageThread())
            mm->setCurrentThreadAsMessageThread();
}

// The plug-in's thread may sleep inside JUCE's loop; an empty message wakes it.
void wakePluginThreadIfInLoop()
{
    if (gate().pluginThreadDispatching.load())
        juce::MessageManager::callAsync([] {});
}

// Deletes what was kept until the loop unwound. Called by the loop's holder with nothing of
// JUCE's loop left on its stack; no lock is held while the remains go, since deleting the last
// instance's remains shuts JUCE down.
void buryRemains()
{
    std::vector<std::unique_ptr<EventLoopGate::Remains>> dead;
    {
        std::lock_guard<std::mutex> guard(gate().lock);
        dead.swap(gate().remains);
    }
    // In the order they were kept: an editor before the processor it shows.
    for (auto& remains : dead)
        remains.reset();
}

bool dispatchOne(bool waitForAnEvent)
{
    // JUCE may have gone meanwhile (the last instance was closed from inside a callback, and its
    // remains were buried); its loop would then spin without ever returning.
    if (juce::MessageManager::getInstanceWithoutCreating() == nullptr)
        return false;
    bool dispatched = false;
    ++dispatchDepth;
    try
    {
        // X events already queued come first: JUCE's loop would not see them, and would even
        // wait for other events with them queued.
        dispatched = dispatchQueuedXEvents() || juce::dispatchNextMessageOnSystemQueue(!waitForAnEvent);
    }
    catch (...)
    {
        // A throwing callback must not end message handling for every instance.
    }
    if (--dispatchDepth == 0)
        buryRemains();
    return dispatched;
}

void notifyChange(const std::function<void(GateState&)>& change)
{
    auto& g = gate();
    {
        std::lock_guard<std::mutex> guard(g.lock);
        change(g);
    }
    g.changed.notify_all();
}

} // namespace

// ---- host turns -------------------------------------------------------------------------------

EventLoopGate::HostTurn::HostTurn()
{
    begin();
    gate().loop.lock();
    held = true;
    ++turnDepth;
    becomeMessageThread();
}

EventLoopGate::HostTurn::HostTurn(int timeoutMs)
{
    begin();
    // Polled: try_lock_for waits in pthread_mutex_clocklock, which ThreadSanitizer does not see,
    // so a loop taken that way would look unheld to it and hide every real report behind false ones.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!(held = gate().loop.try_lock()) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!held)
        return;
    ++turnDepth;
    becomeMessageThread();
}

void EventLoopGate::HostTurn::begin()
{
    // Raised before looking at the plug-in's thread: either it sees the request before it enters
    // JUCE's loop, or it is already marked as inside and gets woken.
    notifyChange([](GateState& g) { ++g.hostTurnsWanted; });
    if (turnDepth == 0 && dispatchDepth == 0)
        wakePluginThreadIfInLoop();
}

EventLoopGate::HostTurn::~HostTurn()
{
    if (held)
    {
        if (--turnDepth == 0 && dispatchDepth == 0)
            buryRemains();
        gate().loop.unlock();
    }
    notifyChange([](GateState& g) { --g.hostTurnsWanted; });
}

// ---- calls in flight --------------------------------------------------------------------------

EventLoopGate::ActiveCall::ActiveCall(std::uint64_t instanceId) : id(instanceId)
{
    notifyChange([this](GateState& g) { g.activeCalls.emplace(id, std::this_thread::get_id()); });
}

EventLoopGate::ActiveCall::~ActiveCall()
{
    notifyChange([this](GateState& g) {
        const auto range = g.activeCalls.equal_range(id);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second == std::this_thread::get_id())
            {
                g.activeCalls.erase(it);
                return;
            }
    });
}

void EventLoopGate::waitForCallsOnOtherThreads(std::uint64_t instanceId)
{
    auto& g = gate();
    const auto me = std::this_thread::get_id();
    std::unique_lock<std::mutex> guard(g.lock);
    g.changed.wait(guard, [&] {
        const auto range = g.activeCalls.equal_range(instanceId);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second != me)
                return false;
        return true;
    });
}

// ---- editors ----------------------------------------------------------------------------------

void EventLoopGate::editorOpened()
{
    notifyChange([](GateState& g) { ++g.openEditors; });
}

void EventLoopGate::editorClosed()
{
    notifyChange([](GateState& g) { --g.openEditors; });
}

int EventLoopGate::openEditorCount()
{
    return gate().openEditors.load();
}

// ---- dispatching ------------------------------------------------------------------------------

void EventLoopGate::dispatchPending()
{
    const juce::uint32 start = juce::Time::getMillisecondCounter();
    for (int i = 0; i < kMaxEventsPerIdle; ++i)
    {
        if (!dispatchOne(false))
            break;
        if (juce::Time::getMillisecondCounter() - start > kMaxIdleMilliseconds)
            break;
    }
}

bool EventLoopGate::isDispatchingOnThisThread()
{
    return dispatchDepth > 0;
}

void EventLoopGate::deleteWhenLoopUnwinds(std::unique_ptr<Remains> remains)
{
    if (!isDispatchingOnThisThread())
        return; // `remains` goes here and now
    std::lock_guard<std::mutex> guard(gate().lock);
    gate().remains.push_back(std::move(remains));
}

void EventLoopGate::runPluginThreadLoop(const std::atomic<bool>& stop)
{
    auto& g = gate();
    while (!stop.load())
    {
        {
            std::unique_lock<std::mutex> guard(g.lock);
            g.changed.wait(guard, [&] { return stop.load() || pluginThreadMayRun(g); });
        }
        if (stop.load())
            break;

        std::lock_guard<std::recursive_mutex> hold(g.loop);
        becomeMessageThread();
        for (;;)
        {
            // Marked first, checked second: a host turn asked for after the check finds the
            // mark and wakes this thread out of its wait for an event.
            g.pluginThreadDispatching = true;
            if (stop.load() || !pluginThreadMayRun(g))
                break;
            if (!dispatchOne(true))
                std::this_thread::sleep_for(std::chrono::milliseconds(1)); // JUCE is gone
        }
        g.pluginThreadDispatching = false;
    }
}

void EventLoopGate::wakeLoop()
{
    notifyChange([](GateState&) {});
    juce::MessageManager::callAsync([] {});
}

} // namespace wydvst
