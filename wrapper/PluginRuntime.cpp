#include "wrapper/PluginRuntime.h"

#include "wrapper/EventLoopGate.h"
#include "wrapper/JuceVSTWrapper.h"
#include "wrapper/KeptAtExit.h"
#include "wrapper/PluginMessageThread.h"

#include <juce_events/juce_events.h>

#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace wydvst
{

namespace
{

constexpr int kUnloadWaitMilliseconds = 2000;

struct RuntimeState
{
    std::mutex lock;
    int users = 0;
    // Set when the last user went away on the message thread itself, which cannot join itself:
    // the next start or the library's unloading finishes the shutdown.
    bool shutdownDeferred = false;
    std::unique_ptr<PluginMessageThread> messageThread;

    // Runs when the library is unloaded (dlclose) with JUCE still up: a host unloaded it with
    // instances left open, or the last instance closed on the message thread itself. Every
    // thread running our code or JUCE's (its timer thread) must end before the code goes.
    void shutDownForUnloading()
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!messageThread || messageThread->isThisThread())
            return;
        messageThread->stop();
        messageThread.reset();
        // A host that ends its process with one of its threads still inside JUCE's loop would
        // hang here for good: JUCE then stays up, as it did before.
        EventLoopGate::HostTurn turn(kUnloadWaitMilliseconds);
        if (turn.acquired())
            juce::shutdownJuce_GUI();
    }

    void start()
    {
        juce::initialiseJuce_GUI();
        try
        {
            messageThread = std::make_unique<PluginMessageThread>();
        }
        catch (...)
        {
            juce::shutdownJuce_GUI();
            throw;
        }
    }

    void shutDown()
    {
        messageThread->stop();
        messageThread.reset();
        // JUCE's objects are deleted by the thread that drives its loop, which is now this one.
        EventLoopGate::HostTurn turn;
        juce::shutdownJuce_GUI();
    }

    void finishDeferredShutdown()
    {
        if (!shutdownDeferred)
            return;
        shutdownDeferred = false;
        shutDown();
    }
};

RuntimeState& runtime()
{
    static RuntimeState state;
    return state;
}

// Set when the static objects are destroyed. On dlclose a library destructor runs before them
// (JUCE's among them, which its shutdown still needs); when the process exits, after them.
bool staticObjectsDestroyed = false;
struct StaticObjectsWatch
{
    ~StaticObjectsWatch() { staticObjectsDestroyed = true; }
} staticObjectsWatch; // made at load, before any other static here, so destroyed last

bool unloading = false;

__attribute__((destructor)) void shutDownJuceWhenUnloaded()
{
    // At the process's exit the message thread was already joined as its owner was destroyed.
    if (staticObjectsDestroyed)
        return;
    unloading = true;
    // Editors of instances the host left open hold threads of their own (a file browser's).
    LiveInstances::forEach([](JuceVSTWrapper& instance) {
        AEffect* effect = instance.getAeffect();
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    });
    runtime().shutDownForUnloading();
}

struct InstanceList
{
    std::recursive_mutex lock;
    std::map<std::uint64_t, JuceVSTWrapper*> live;
    std::uint64_t nextId = 1;
};

// JUCE callbacks on the plug-in's thread look instances up while a process may be exiting.
InstanceList& instances()
{
    static KeptAtExit<InstanceList> list;
    return list.get();
}

} // namespace

bool libraryIsUnloading()
{
    return unloading;
}

JuceRuntime::Use::Use()
{
    auto& state = runtime();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.users == 0)
    {
        if (state.shutdownDeferred && state.messageThread->isThisThread())
            throw std::runtime_error("plug-in created while its last instance closes");
        state.finishDeferredShutdown();
        state.start();
    }
    ++state.users;
}

JuceRuntime::Use::Use(Use&& other) noexcept : held(other.held)
{
    other.held = false;
}

JuceRuntime::Use::~Use()
{
    if (!held)
        return;
    auto& state = runtime();
    std::lock_guard<std::mutex> guard(state.lock);
    if (--state.users > 0)
        return;
    if (state.messageThread->isThisThread())
    {
        state.messageThread->stop(); // only asks; the thread cannot join itself
        state.shutdownDeferred = true;
        return;
    }
    state.shutDown();
}

bool JuceRuntime::isUp()
{
    auto& state = runtime();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.users > 0;
}

std::uint64_t LiveInstances::add(JuceVSTWrapper& instance)
{
    auto& list = instances();
    std::lock_guard<std::recursive_mutex> guard(list.lock);
    const std::uint64_t id = list.nextId++;
    list.live[id] = &instance;
    return id;
}

void LiveInstances::remove(std::uint64_t id)
{
    auto& list = instances();
    std::lock_guard<std::recursive_mutex> guard(list.lock);
    list.live.erase(id);
}

std::size_t LiveInstances::count()
{
    auto& list = instances();
    std::lock_guard<std::recursive_mutex> guard(list.lock);
    return list.live.size();
}

void LiveInstances::forEach(const std::function<void(JuceVSTWrapper&)>& call)
{
    auto& list = instances();
    std::lock_guard<std::recursive_mutex> guard(list.lock);
    for (auto& entry : list.live)
        call(*entry.second);
}

bool LiveInstances::withInstance(std::uint64_t id, const std::function<void(JuceVSTWrapper&)>& call)
{
    auto& list = instances();
    std::lock_guard<std::recursive_mutex> guard(list.lock);
    const auto found = list.live.find(id);
    if (found == list.live.end())
        return false;
    call(*found->second);
    return true;
}

} // namespace wydvst
