#include "tools/HostGuiThread.h"

#include <algorithm>

namespace vsthost
{

namespace
{
constexpr auto kIdleInterval = std::chrono::milliseconds(15);
}

struct HostGuiThread::Task
{
    std::function<void()> work;
    bool started = false;
    bool done = false;
};

HostGuiThread::HostGuiThread() : thread([this] { loop(); }) {}

HostGuiThread::~HostGuiThread()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        quit = true;
    }
    changed.notify_all();
    thread.join();
}

bool HostGuiThread::run(std::function<void()> work, std::chrono::milliseconds timeout)
{
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    std::unique_lock<std::mutex> guard(lock);
    tasks.push_back(task);
    changed.notify_all();
    if (changed.wait_for(guard, timeout, [&] { return task->done; }))
        return true;
    if (!task->started)
    {
        tasks.erase(std::find(tasks.begin(), tasks.end(), task));
        return false;
    }
    changed.wait(guard, [&] { return task->done; });
    return true;
}

void HostGuiThread::startIdling(AEffect* effect)
{
    std::lock_guard<std::mutex> guard(lock);
    idleTargets.push_back(effect);
}

void HostGuiThread::stopIdling(AEffect* effect)
{
    std::lock_guard<std::mutex> guard(lock);
    idleTargets.erase(std::remove(idleTargets.begin(), idleTargets.end(), effect), idleTargets.end());
}

bool HostGuiThread::isInsideIdle(AEffect* effect) const
{
    std::lock_guard<std::mutex> guard(lock);
    return insideIdle == effect;
}

bool HostGuiThread::waitUntilOutOfIdle(AEffect* effect, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, timeout, [&] { return insideIdle != effect; });
}

std::uint64_t HostGuiThread::idleRounds() const
{
    std::lock_guard<std::mutex> guard(lock);
    return finishedRounds;
}

bool HostGuiThread::waitForIdleRounds(int rounds, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(lock);
    const auto target = finishedRounds + static_cast<std::uint64_t>(std::max(rounds, 0));
    return changed.wait_for(guard, timeout, [&] { return finishedRounds >= target; });
}

void HostGuiThread::loop()
{
    std::unique_lock<std::mutex> guard(lock);
    while (!quit)
    {
        while (!tasks.empty())
        {
            auto task = tasks.front();
            tasks.pop_front();
            task->started = true;
            guard.unlock();
            task->work();
            guard.lock();
            task->done = true;
            changed.notify_all();
        }
        guard.unlock();
        idleAll();
        guard.lock();
        ++finishedRounds;
        changed.notify_all();
        changed.wait_for(guard, kIdleInterval, [&] { return quit || !tasks.empty(); });
    }
}

void HostGuiThread::idleAll()
{
    std::vector<AEffect*> targets;
    {
        std::lock_guard<std::mutex> guard(lock);
        targets = idleTargets;
    }
    for (AEffect* effect : targets)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (std::find(idleTargets.begin(), idleTargets.end(), effect) == idleTargets.end())
                continue;
            insideIdle = effect;
        }
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        {
            std::lock_guard<std::mutex> guard(lock);
            insideIdle = nullptr;
        }
        changed.notify_all();
    }
}

} // namespace vsthost
