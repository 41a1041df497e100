// JUCE's X11 layer, for the display connection and the atom table it keeps.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "wrapper/PluginDisplay.h"

#include <juce_gui_basics/juce_gui_basics.h>
// JUCE's hook for running the handler of one of its loop's file descriptors (no include guard:
// included here only).
#include <juce_events/native/juce_linux_EventLoopInternal.h>

namespace wydvst
{

namespace
{

using juce::XWindowSystemUtilities::Atoms;

// Every atom JUCE's table looks up only if it exists, and the frame extents it asks windows for.
constexpr const char* kWindowManagerAtoms[] = {
    "WM_PROTOCOLS",   "WM_TAKE_FOCUS",       "WM_DELETE_WINDOW", "_NET_WM_PING",
    "WM_CHANGE_STATE", "WM_STATE",           "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE",
    "_NET_WM_STATE_HIDDEN", "_NET_FRAME_EXTENTS"};

bool lacksAnAtom(const Atoms& atoms)
{
    for (const Atom atom : atoms.protocolList)
        if (atom == None)
            return true;
    return atoms.protocols == None || atoms.changeState == None || atoms.state == None
           || atoms.windowType == None || atoms.windowState == None || atoms.windowStateHidden == None;
}

} // namespace

bool openPluginDisplay()
{
    auto* windowSystem = juce::XWindowSystem::getInstance();
    ::Display* display = windowSystem->isX11Available() ? windowSystem->getDisplay() : nullptr;
    if (display == nullptr)
        return false;
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    if (!lacksAnAtom(windowSystem->getAtoms()))
        return true;
    for (const char* name : kWindowManagerAtoms)
        Atoms::getCreating(display, name);
    // JUCE read its table when it opened the display; it reads it again, now that all exist.
    const_cast<Atoms&>(windowSystem->getAtoms()) = Atoms(display);
    return true;
}

bool dispatchQueuedXEvents()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    ::Display* display = windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;
    if (display == nullptr)
        return false;
    auto& x = *juce::X11Symbols::getInstance();
    int queued = 0;
    int connection = -1;
    {
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        queued = x.xEventsQueued(display, QueuedAlready);
        connection = x.xConnectionNumber(display);
    }
    if (queued == 0)
        return false;
    // JUCE's handler of the connection reads events until none is left, queued or on the socket.
    juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd(connection);
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    return x.xEventsQueued(display, QueuedAlready) < queued;
}

} // namespace wydvst
