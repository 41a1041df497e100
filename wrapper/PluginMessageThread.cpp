#include "wrapper/PluginMessageThread.h"

#include <juce_events/juce_events.h>

#include <future>

namespace juce
{
// JUCE's Linux event loop: dispatches one message or file-descriptor event, waiting for one when
// returnIfNoPendingMessages is false. Defined in juce_linux_Messaging.cpp; JUCE's own
// run-loop functions need a quit message that would end the MessageManager for good.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace wydvst
{

PluginMessageThread::PluginMessageThread()
{
    std::promise<void> becameMessageThread;
    auto ready = becameMessageThread.get_future();
    thread = std::thread([this, promise = std::move(becameMessageThread)]() mutable {
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        promise.set_value();
        run();
    });
    ready.wait();
}

PluginMessageThread::~PluginMessageThread()
{
    if (stop())
        return;
    // Destroyed on the thread itself: it ends by itself once the current message returns, and
    // nothing is left to join it.
    if (thread.joinable())
        thread.detach();
}

void PluginMessageThread::run()
{
    while (!stopRequested.load())
    {
        try
        {
            juce::dispatchNextMessageOnSystemQueue(false);
        }
        catch (...)
        {
            // A throwing callback must not end message handling for every instance.
        }
    }
}

void PluginMessageThread::wakeUp()
{
    // The loop sleeps until something arrives; an empty message makes it look at stopRequested.
    juce::MessageManager::callAsync([] {});
}

bool PluginMessageThread::stop()
{
    stopRequested = true;
    if (isThisThread())
        return false;
    join();
    return true;
}

void PluginMessageThread::join()
{
    if (!thread.joinable())
        return;
    wakeUp();
    thread.join();
}

bool PluginMessageThread::isThisThread() const
{
    return thread.get_id() == std::this_thread::get_id();
}

} // namespace wydvst
