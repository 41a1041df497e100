#pragma once

// Which thread runs JUCE's message loop. JUCE's Linux loop may be driven by one thread at a time.
// While no editor is open the plug-in's own thread drives it; while an editor is open the host's
// thread that calls the editor opcodes and effEditIdle drives it, and the plug-in's thread stands
// aside. Hosts differ in which thread that is (Ardour uses a thread of its own) and call
// effEditIdle again from inside audioMasterIdle, so every entry here nests and may come from any
// thread: one recursive lock, "the loop", is held by whichever thread drives JUCE right now.

#include <atomic>
#include <cstdint>
#include <memory>

namespace wydvst
{

class EventLoopGate
{
public:
    // A host thread's turn as JUCE's message thread: asks the plug-in's thread to stand aside,
    // waits for the loop and holds it until destroyed. Nests on one thread.
    class HostTurn
    {
    public:
        HostTurn();
        // Gives up waiting after timeoutMs (acquired() then says false), for callers that must
        // not wait for ever, such as the library going away.
        explicit HostTurn(int timeoutMs);
        ~HostTurn();
        bool acquired() const { return held; }

        HostTurn(const HostTurn&) = delete;
        HostTurn& operator=(const HostTurn&) = delete;

    private:
        void begin();
        bool held = false;
    };

    // A call of the host into one instance that may run JUCE's loop (effEditIdle). Registered so
    // that closing that instance from another thread can wait until the call has returned; the
    // registration lives outside the instance, so the call may outlive the instance's memory.
    class ActiveCall
    {
    public:
        explicit ActiveCall(std::uint64_t instanceId);
        ~ActiveCall();
        ActiveCall(const ActiveCall&) = delete;
        ActiveCall& operator=(const ActiveCall&) = delete;

    private:
        std::uint64_t id;
    };

    // Something that must outlive the JUCE callbacks now on this thread's stack, such as an editor
    // the host closed from inside one of that editor's own callbacks.
    struct Remains
    {
        virtual ~Remains() = default;
    };

    // Open editors keep the plug-in's thread aside.
    static void editorOpened();
    static void editorClosed();
    static int openEditorCount();

    // Dispatches what JUCE has pending now (messages, timers, repaints, X events), for a bounded
    // time. The caller holds a HostTurn.
    static void dispatchPending();
    // True while this thread is inside JUCE's loop (a callback of ours is on its stack).
    static bool isDispatchingOnThisThread();

    // Keeps `remains` until no thread is inside JUCE's loop any more, then deletes them there;
    // at once when nothing is dispatching on this thread.
    static void deleteWhenLoopUnwinds(std::unique_ptr<Remains> remains);

    // Waits until no other thread is inside an ActiveCall for this instance.
    static void waitForCallsOnOtherThreads(std::uint64_t instanceId);

    // The plug-in's own thread: drives JUCE's loop whenever no host thread needs it, until `stop`
    // is raised and wakeLoop() called.
    static void runPluginThreadLoop(const std::atomic<bool>& stop);
    static void wakeLoop();
};

} // namespace wydvst
