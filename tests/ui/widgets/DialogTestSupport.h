#pragma once

// Helpers for the preset menu and dialog tests: a clean preset folder under the program's
// temporary HOME, windows on the test X server, and the X atoms JUCE needs there.

#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

namespace wydtest
{

// JUCE uses WM_PROTOCOLS, WM_STATE and _NET_FRAME_EXTENTS without creating them; on an X server
// without a window manager they do not exist. Creating them on a connection that stays open keeps
// them for the whole program. Returns that connection's display (null without X).
inline void* xDisplayWithWindowAtoms()
{
    static void* display = [] {
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
        if (x11 == nullptr)
            return (void*) nullptr;
        using OpenDisplay = void* (*) (const char*);
        using InternAtom = unsigned long (*)(void*, const char*, int);
        using Flush = int (*)(void*);
        auto open = (OpenDisplay) dlsym(x11, "XOpenDisplay");
        auto intern = (InternAtom) dlsym(x11, "XInternAtom");
        auto flush = (Flush) dlsym(x11, "XFlush");
        void* d = open != nullptr ? open(nullptr) : nullptr;
        if (d != nullptr && intern != nullptr && flush != nullptr)
        {
            for (auto* name : { "WM_PROTOCOLS", "WM_STATE", "_NET_FRAME_EXTENTS" })
                intern(d, name, 0);
            flush(d);
        }
        return d;
    }();
    return display;
}

// JUCE looks the atoms up once, when its X window system starts (possibly in a test that opens no
// window): they must exist before that, so they are made while the program starts.
inline const bool windowAtomsMadeBeforeJuceStarts = (xDisplayWithWindowAtoms(), true);

#define WYD_REQUIRE_DISPLAY()                                                                      \
    if (!::wydtest::haveDisplay() || ::wydtest::xDisplayWithWindowAtoms() == nullptr)              \
    GTEST_SKIP() << "needs an X display"

// Test programs run side by side (ctest -j) on one X server, and a window that takes the keyboard
// focus closes another program's popup menu. Window tests of this program wait for each other.
// The lock file lies in the test command's run folder, which goes when the run ends.
class XFocusLock
{
public:
    XFocusLock()
    {
        // One lock per process, however many windows a test opens.
        const auto* display = std::getenv("DISPLAY");
        const auto path = juce::String(temporaryRoot()) + "/wyd-xfocus"
                        + juce::String(display != nullptr ? display : "").retainCharacters("0123456789.")
                        + ".lock";
        if (holders++ == 0 && (fd = ::open(path.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) >= 0)
            ::flock(fd, LOCK_EX);
    }
    ~XFocusLock()
    {
        if (--holders == 0 && fd >= 0)
            ::close(std::exchange(fd, -1)); // releases the lock
    }
    XFocusLock(const XFocusLock&) = delete;
    XFocusLock& operator=(const XFocusLock&) = delete;

private:
    static inline int holders = 0;
    static inline int fd = -1;
};

// An 800 x 450 window standing in for the editor.
struct OnScreenWindow : juce::Component
{
    XFocusLock focusLock;

    OnScreenWindow()
    {
        setSize(800, 450);
        setOpaque(true);
        addToDesktop(0);
        setVisible(true);
        runMessageLoopUntil([this] { return isShowing(); }, 2000);
    }
    ~OnScreenWindow() override { removeFromDesktop(); }
    void paint(juce::Graphics& g) override { g.fillAll(juce::Colours::grey); }
};

inline juce::File presetFolder()
{
    return JuceGuiEnvironment::temporaryHome().presetFolder();
}

// Removes everything under the temporary Music folder so each test starts with no presets, and
// no cyclic link is left for the clean-up of the temporary HOME (which follows links).
inline void clearMusicFolder()
{
    JuceGuiEnvironment::temporaryHome().path().getChildFile("Music").deleteRecursively(false);
}

inline juce::File makeFile(const juce::File& file, const juce::String& text = "x")
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText(text);
    return file;
}

// The item numbers and the shape of a popup menu, as text: "[Sub: 1 c] 2 b 3 a" lists a
// sub-menu Sub holding item 1 "c" (ticks shown as "+"), then items 2 and 3 of the menu itself.
inline juce::String describeMenu(const juce::PopupMenu& menu)
{
    juce::StringArray parts;
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.subMenu != nullptr)
            parts.add("[" + item.text + ": " + describeMenu(*item.subMenu) + "]");
        else
            parts.add(juce::String(item.itemID) + (item.isTicked ? "+" : " ")
                      + item.text.upToLastOccurrenceOf(".", false, false));
    }
    return parts.joinIntoString(" ");
}

} // namespace wydtest
