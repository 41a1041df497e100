#pragma once

// The test host's side of X11: its own display connection, the windows it embeds plug-in editors
// into, and mouse input synthesised through the XTest extension (real server events, delivered
// to whatever window is under the pointer, as a user's clicks are).

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace vsthost
{

struct XError
{
    int errorCode = 0;
    int requestCode = 0;
};

struct WindowBox
{
    int x = 0, y = 0, width = 0, height = 0; // x, y on the screen
};

class X11Session
{
public:
    using WindowId = unsigned long;

    // Null, with the reason in `error`, when no X server answers or XTest is missing. Without a
    // window manager some atoms JUCE needs do not exist; the session creates them unless told not
    // to (to see whether a plug-in manages without).
    static std::unique_ptr<X11Session> open(std::string& error, bool createWindowManagerAtoms = true);
    ~X11Session();

    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    // A mapped top-level window at x, y of the screen (its top-left corner unless told), as a
    // host's editor frame.
    WindowId createParentWindow(int width, int height, int x = 0, int y = 0);
    // A host's editor frame as GTK hosts make it: a top-level window at x, y, with the window
    // handed to the plug-in inside it.
    struct FramedWindow
    {
        WindowId frame = 0;
        WindowId inner = 0;
    };
    FramedWindow createFramedParentWindow(int width, int height, int x = 0, int y = 0);
    void destroyWindow(WindowId window);
    // Unmaps and maps again, as a host hides and shows its editor window without closing it.
    void hideWindow(WindowId window);
    void showWindow(WindowId window);
    bool atomExists(const char* name) const;
    // Gives `window` the keyboard focus, as a window manager does for the window the user
    // clicked last, with the pointer moved out of the way first: no window below it hears of the
    // focus until it takes the focus itself. (Without a window manager the focus follows the
    // pointer, which no desktop does.)
    void focusAsWindowManager(WindowId window);

    std::vector<WindowId> children(WindowId window) const;
    // The screen's top-level windows that are mapped (popup menus are among them).
    std::vector<WindowId> mappedTopLevelWindows() const;
    WindowBox box(WindowId window) const;
    // Whether the window and all its ancestors are mapped, so that it shows and takes clicks.
    bool isViewable(WindowId window) const;
    // The colour shown at x, y of the window (its children's drawing included), 0xRRGGBB.
    std::uint32_t pixel(WindowId window, int x, int y) const;

    void moveMouse(int x, int y);
    void pressButton(int x, int y);
    void releaseButton(int x, int y);
    void click(int x, int y);
    // Press at `from`, move to `to` in `steps` moves, release.
    void drag(int fromX, int fromY, int toX, int toY, int steps);

    // Keyboard: the host's window hears key presses (those sent to it count too), and a key is
    // typed as the user does, into whatever window has the focus.
    void listenForKeys(WindowId window);
    // Key presses `window` received since the last call.
    int takeKeyPresses(WindowId window);
    void typeKey(const char* keysymName);
    // Lower-case letters, digits and spaces, one key each.
    void typeText(const std::string& text);
    WindowId focusedWindow() const;
    // Whether `window` is `ancestor` or lies somewhere inside it.
    bool isSameOrInside(WindowId window, WindowId ancestor) const;

    // Every X error this process met since the last clear, on any connection, but for the
    // session's own look at a window that vanished meanwhile: the session installs a recording
    // error handler (Xlib's default one would end the process).
    static std::vector<XError> errors();
    static void clearErrors();

private:
    explicit X11Session(Display* display);
    void sync() const;

    Display* display;
};

} // namespace vsthost
