#include "tools/X11Session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <set>
#include <thread>

namespace vsthost
{

namespace
{

std::mutex errorLock;
std::vector<XError> recordedErrors;
std::set<Display*> sessionDisplays;

// The session lists windows and then asks about each; a window the plug-in destroys in between
// (a closed menu) answers BadWindow. That is the session's race, not the plug-in's error.
bool isSessionLookingAtAVanishedWindow(Display* display, const XErrorEvent& event)
{
    constexpr int kGetWindowAttributes = 3, kQueryTree = 15, kTranslateCoordinates = 40, kGetImage = 73;
    const int request = event.request_code;
    return sessionDisplays.count(display) != 0 && (event.error_code == BadWindow || event.error_code == BadMatch)
           && (request == kGetWindowAttributes || request == kQueryTree || request == kTranslateCoordinates
               || request == kGetImage);
}

int recordError(Display* display, XErrorEvent* event)
{
    std::lock_guard<std::mutex> guard(errorLock);
    if (!isSessionLookingAtAVanishedWindow(display, *event))
        recordedErrors.push_back({event->error_code, event->request_code});
    return 0;
}

// Without a window manager these atoms may not exist yet, and JUCE looks them up without
// creating them and then uses the empty answer, which ends the process with a BadAtom error.
// Created once here, they exist for as long as this connection stays open.
void createWindowManagerAtoms(Display* display)
{
    const char* names[] = {"WM_PROTOCOLS",       "WM_DELETE_WINDOW", "WM_TAKE_FOCUS",
                           "WM_STATE",           "_NET_FRAME_EXTENTS", "_NET_WM_PING",
                           "_NET_ACTIVE_WINDOW", "_NET_WM_STATE",    "_NET_WM_USER_TIME",
                           "_NET_WM_WINDOW_TYPE", "_NET_SUPPORTED",  "_NET_WM_NAME",
                           "UTF8_STRING",        "_MOTIF_WM_HINTS",  "_NET_WM_ICON"};
    for (const char* name : names)
        XInternAtom(display, name, False);
}

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

std::unique_ptr<X11Session> X11Session::open(std::string& error, bool createAtoms)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        error = "no X server (DISPLAY is not set or does not answer)";
        return nullptr;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor))
    {
        XCloseDisplay(display);
        error = "the X server has no XTest extension";
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> guard(errorLock);
        sessionDisplays.insert(display);
    }
    XSetErrorHandler(recordError);
    if (createAtoms)
        createWindowManagerAtoms(display);
    XSync(display, False);
    return std::unique_ptr<X11Session>(new X11Session(display));
}

X11Session::X11Session(Display* d) : display(d) {}

X11Session::~X11Session()
{
    {
        std::lock_guard<std::mutex> guard(errorLock);
        sessionDisplays.erase(display);
    }
    XCloseDisplay(display);
}

void X11Session::sync() const
{
    XSync(display, False);
}

X11Session::WindowId X11Session::createParentWindow(int width, int height, int x, int y)
{
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                                              static_cast<unsigned>(width), static_cast<unsigned>(height),
                                              0, BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, "WYD test host");
    XMapWindow(display, window);
    sync();
    return window;
}

X11Session::FramedWindow X11Session::createFramedParentWindow(int width, int height, int x, int y)
{
    FramedWindow framed;
    framed.frame = createParentWindow(width, height, x, y);
    const int screen = DefaultScreen(display);
    framed.inner = XCreateSimpleWindow(display, framed.frame, 0, 0, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                       WhitePixel(display, screen));
    XMapWindow(display, framed.inner);
    sync();
    return framed;
}

bool X11Session::atomExists(const char* name) const
{
    return XInternAtom(display, name, True) != None;
}

void X11Session::destroyWindow(WindowId window)
{
    XDestroyWindow(display, window);
    sync();
}

void X11Session::hideWindow(WindowId window)
{
    XUnmapWindow(display, window);
    sync();
}

void X11Session::showWindow(WindowId window)
{
    XMapWindow(display, window);
    sync();
}

void X11Session::focusAsWindowManager(WindowId window)
{
    const int screen = DefaultScreen(display);
    moveMouse(DisplayWidth(display, screen) - 1, DisplayHeight(display, screen) - 1);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    sync();
}

std::vector<X11Session::WindowId> X11Session::children(WindowId window) const
{
    Window root = 0, parent = 0, *list = nullptr;
    unsigned count = 0;
    std::vector<WindowId> result;
    if (XQueryTree(display, window, &root, &parent, &list, &count) != 0)
    {
        result.assign(list, list + count);
        if (list != nullptr)
            XFree(list);
    }
    return result;
}

std::vector<X11Session::WindowId> X11Session::mappedTopLevelWindows() const
{
    // With the server held, no window (a closing menu) goes between the listing and the look.
    XGrabServer(display);
    std::vector<WindowId> mapped;
    for (WindowId window : children(DefaultRootWindow(display)))
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable)
            mapped.push_back(window);
    }
    XUngrabServer(display);
    sync();
    return mapped;
}

WindowBox X11Session::box(WindowId window) const
{
    WindowBox result;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0)
        return result;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &result.x, &result.y, &child);
    result.width = attributes.width;
    result.height = attributes.height;
    return result;
}

bool X11Session::isViewable(WindowId window) const
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

std::uint32_t X11Session::pixel(WindowId window, int x, int y) const
{
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    const auto value = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xffffffu;
    XDestroyImage(image);
    return value;
}

void X11Session::moveMouse(int x, int y)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    sync();
}

void X11Session::pressButton(int x, int y)
{
    moveMouse(x, y);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    sync();
}

void X11Session::releaseButton(int x, int y)
{
    moveMouse(x, y);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    sync();
}

void X11Session::click(int x, int y)
{
    moveMouse(x, y);
    pause(30);
    pressButton(x, y);
    pause(60);
    releaseButton(x, y);
}

void X11Session::drag(int fromX, int fromY, int toX, int toY, int steps)
{
    moveMouse(fromX, fromY);
    pause(30);
    pressButton(fromX, fromY);
    for (int i = 1; i <= steps; ++i)
    {
        pause(20);
        moveMouse(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    }
    pause(30);
    releaseButton(toX, toY);
}

void X11Session::listenForKeys(WindowId window)
{
    XSelectInput(display, window, KeyPressMask);
    sync();
}

int X11Session::takeKeyPresses(WindowId window)
{
    sync();
    int presses = 0;
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        presses += event.type == KeyPress && event.xkey.window == window ? 1 : 0;
    }
    return presses;
}

void X11Session::typeKey(const char* keysymName)
{
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    sync();
    pause(20);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    sync();
}

void X11Session::typeText(const std::string& text)
{
    for (const char c : text)
    {
        const std::string name = c == ' ' ? std::string("space") : std::string(1, c);
        typeKey(name.c_str());
        pause(20);
    }
}

X11Session::WindowId X11Session::focusedWindow() const
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus;
}

bool X11Session::isSameOrInside(WindowId window, WindowId ancestor) const
{
    const Window root = DefaultRootWindow(display);
    while (window != None && window != PointerRoot && window != root)
    {
        if (window == ancestor)
            return true;
        Window rootReturn = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, window, &rootReturn, &parent, &list, &count) == 0)
            return false;
        if (list != nullptr)
            XFree(list);
        window = parent;
    }
    return false;
}

std::vector<XError> X11Session::errors()
{
    std::lock_guard<std::mutex> guard(errorLock);
    return recordedErrors;
}

void X11Session::clearErrors()
{
    std::lock_guard<std::mutex> guard(errorLock);
    recordedErrors.clear();
}

} // namespace vsthost
