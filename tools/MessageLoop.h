#pragma once

// Runs JUCE's Linux message loop on the calling thread for a while, for programs that drive JUCE
// themselves (tests, the artwork snapshots): the build permits no modal loops, which takes
// MessageManager::runDispatchLoopUntil away with them.

#include <juce_events/juce_events.h>

namespace juce
{
// One message, timer or X event at a time (juce_linux_Messaging.cpp).
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace wydtools
{
inline void runMessageLoopFor(int ms)
{
    const auto end = juce::Time::currentTimeMillis() + ms;
    do
    {
        if (!juce::dispatchNextMessageOnSystemQueue(true))
            juce::Thread::sleep(1);
    } while (juce::Time::currentTimeMillis() < end);
}
} // namespace wydtools
