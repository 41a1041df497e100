#include "wrapper/PluginMessageThread.h"

#include "wrapper/EventLoopGate.h"

#include <future>

namespace wydvst
{

PluginMessageThread::PluginMessageThread()
{
    std::promise<void> started;
    auto ready = started.get_future();
    thread = std::thread([this, promise = std::move(started)]() mutable {
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
    EventLoopGate::runPluginThreadLoop(stopRequested);
}

void PluginMessageThread::wakeUp()
{
    EventLoopGate::wakeLoop();
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
