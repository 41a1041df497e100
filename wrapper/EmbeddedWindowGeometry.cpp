// JUCE's X11 layer: its table of Xlib entry points, which is where the measuring is changed.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "wrapper/EmbeddedWindowGeometry.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace wydvst
{
namespace EmbeddedWindowGeometry
{

namespace
{

using GetGeometry = juce::X11Symbols::XGetGeometry;
using MoveResize = juce::X11Symbols::XMoveResizeWindow;

struct Tracked
{
    std::mutex lock;
    std::vector<unsigned long> windows;
    // Xlib's own entry points, as JUCE's table held them before ours went in.
    GetGeometry getGeometry = nullptr;
    MoveResize moveResize = nullptr;
};

Tracked& tracked()
{
    static Tracked state;
    return state;
}

bool isTracked(::Drawable window)
{
    auto& t = tracked();
    std::lock_guard<std::mutex> guard(t.lock);
    return std::find(t.windows.begin(), t.windows.end(), window) != t.windows.end();
}

bool onScreenPosition(::Display* display, ::Window window, ::Window root, int& x, int& y)
{
    ::Window child = 0;
    return juce::X11Symbols::getInstance()->xTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child) != 0;
}

// JUCE reads a window's position relative to its parent and adds the one parent position it
// keeps for all; for a tracked window it reads the position on screen (and then keeps (0, 0)).
Status geometryOnScreen(::Display* display, ::Drawable drawable, ::Window* root, int* x, int* y,
                        unsigned int* width, unsigned int* height, unsigned int* border, unsigned int* depth)
{
    const Status status = tracked().getGeometry(display, drawable, root, x, y, width, height, border, depth);
    if (status != 0 && isTracked(drawable))
    {
        int screenX = 0, screenY = 0;
        if (onScreenPosition(display, drawable, *root, screenX, screenY))
        {
            *x = screenX;
            *y = screenY;
        }
    }
    return status;
}

// JUCE places a tracked window where it believes it is on screen; it stays at its parent's origin.
void moveResizeAtOrigin(::Display* display, ::Window window, int x, int y, unsigned int width, unsigned int height)
{
    if (isTracked(window))
        x = y = 0;
    tracked().moveResize(display, window, x, y, width, height);
}

// JUCE fills its table anew whenever it starts again (the last instance closed and a new one
// opened), so the table is checked on every use.
void installInto(juce::X11Symbols& symbols)
{
    auto& t = tracked();
    std::lock_guard<std::mutex> guard(t.lock);
    if (symbols.xGetGeometry != &geometryOnScreen)
    {
        t.getGeometry = symbols.xGetGeometry;
        symbols.xGetGeometry = &geometryOnScreen;
    }
    if (symbols.xMoveResizeWindow != &moveResizeAtOrigin)
    {
        t.moveResize = symbols.xMoveResizeWindow;
        symbols.xMoveResizeWindow = &moveResizeAtOrigin;
    }
}

} // namespace

void track(unsigned long window)
{
    installInto(*juce::X11Symbols::getInstance());
    auto& t = tracked();
    std::lock_guard<std::mutex> guard(t.lock);
    if (std::find(t.windows.begin(), t.windows.end(), window) == t.windows.end())
        t.windows.push_back(window);
}

void untrack(unsigned long window)
{
    auto& t = tracked();
    std::lock_guard<std::mutex> guard(t.lock);
    t.windows.erase(std::remove(t.windows.begin(), t.windows.end(), window), t.windows.end());
}

void remeasureIfMoved(unsigned long window, int believedX, int believedY)
{
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    if (display == nullptr || !isTracked(window))
        return;
    auto* x11 = juce::X11Symbols::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    int x = 0, y = 0;
    if (!onScreenPosition(display, window, x11->xDefaultRootWindow(display), x, y)
        || (x == believedX && y == believedY))
        return;
    // JUCE measures its window again on a ConfigureNotify; one sent with an empty event mask
    // reaches only the connection that made the window, JUCE's.
    XEvent event{};
    event.xconfigure.type = ConfigureNotify;
    event.xconfigure.display = display;
    event.xconfigure.event = window;
    event.xconfigure.window = window;
    x11->xSendEvent(display, window, False, NoEventMask, &event);
    x11->xFlush(display);
}

} // namespace EmbeddedWindowGeometry
} // namespace wydvst
