#pragma once

// JUCE's message loop for a plug-in on Linux. A host that shows no editor never lends the plug-in
// a thread for JUCE's messages (it does not call effEditIdle), so timers and asynchronous updates
// would never run. This thread becomes JUCE's message thread and dispatches its messages while no
// host thread needs the loop (see EventLoopGate), until stopped; stop() joins it, so nothing of
// ours runs once the library may be unloaded.

#include <atomic>
#include <thread>

namespace wydvst
{

class PluginMessageThread
{
public:
    // Starts the thread and returns once it runs. JUCE's MessageManager must exist. Throws std::system_error when no thread can be started.
    PluginMessageThread();
    // Stops and joins, unless called on this thread itself (then see stop()).
    ~PluginMessageThread();

    PluginMessageThread(const PluginMessageThread&) = delete;
    PluginMessageThread& operator=(const PluginMessageThread&) = delete;

    // Asks the loop to end and waits for it. Called on the thread itself it only asks (a thread
    // cannot join itself) and answers false; join() must follow from another thread.
    bool stop();
    void join();
    bool isThisThread() const;

private:
    void run();
    void wakeUp();

    std::atomic<bool> stopRequested{false};
    std::thread thread;
};

} // namespace wydvst
