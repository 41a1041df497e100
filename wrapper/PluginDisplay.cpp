// JUCE's X11 layer, for the display connection and the atom table it keeps.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "wrapper/PluginDisplay.h"

#include <juce_gui_basics/juce_gui_basics.h>

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

} // namespace wydvst
