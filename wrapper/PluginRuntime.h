#pragma once

// Process-wide state of the plug-in library: JUCE's GUI and message system with its message
// thread, up while any instance (or an instance being created) needs it, and the list of live
// instances that asynchronous callbacks look their instance up in.

#include <cstdint>
#include <functional>

namespace wydvst
{

class JuceVSTWrapper;

class JuceRuntime
{
public:
    // One user of JUCE: the first brings JUCE and the message thread up, the last one gone shuts
    // them down and joins the thread.
    class Use
    {
    public:
        Use(); // throws when JUCE or its message thread cannot be started
        ~Use();
        Use(Use&& other) noexcept;
        Use& operator=(Use&&) = delete;
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        bool held = true;
    };

    static bool isUp();
};

class LiveInstances
{
public:
    // Registers a constructed instance; the answer identifies it for asynchronous callbacks.
    static std::uint64_t add(JuceVSTWrapper& instance);
    // Unregisters; waits while withInstance runs a call on it on another thread.
    static void remove(std::uint64_t id);
    static std::size_t count();
    // Runs `call` on the instance when it is still alive. Instances are never deleted while a
    // call runs: remove() waits for it.
    static void forEach(const std::function<void(JuceVSTWrapper&)>& call);
    static bool withInstance(std::uint64_t id, const std::function<void(JuceVSTWrapper&)>& call);
};

} // namespace wydvst
