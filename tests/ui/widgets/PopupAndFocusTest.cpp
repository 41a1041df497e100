// Popup menus and keyboard focus on a real X server: the menu must open without holding the
// caller and stay open (which needs X keyboard focus on one of our windows), and the new-folder
// prompt must get the keys typed while the editor sits inside a host's window.

#include "ui/PresetLocations.h"
#include "ui/widgets/TarvelWydKX7PresetBrowser.h"
#include "ui/widgets/TarvelWydKX7PresetMenu.h"
#include "DialogTestSupport.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

// Xlib's event names are macros that clash with juce::KeyPress.
constexpr int xKeyPressEvent = KeyPress;
constexpr int xKeyReleaseEvent = KeyRelease;
#undef KeyPress
#undef KeyRelease

using namespace wydtest;

namespace
{
// The few Xlib calls a host makes, looked up in the library JUCE loads as well.
#define WYD_XLIB(name) decltype(&X##name) name = reinterpret_cast<decltype(&X##name)>(dlsym(RTLD_DEFAULT, "X" #name))
struct Xlib
{
    Display* display = static_cast<Display*>(xDisplayWithWindowAtoms());
    WYD_XLIB(CreateSimpleWindow);
    WYD_XLIB(MapWindow);
    WYD_XLIB(DestroyWindow);
    WYD_XLIB(Sync);
    WYD_XLIB(GetInputFocus);
    WYD_XLIB(SendEvent);
    WYD_XLIB(KeysymToKeycode);
    decltype(&XDefaultRootWindow) rootWindow =
        reinterpret_cast<decltype(&XDefaultRootWindow)>(dlsym(RTLD_DEFAULT, "XDefaultRootWindow"));

    Window focusWindow()
    {
        Window focus = 0;
        int revert = 0;
        GetInputFocus(display, &focus, &revert);
        return focus;
    }

    // A key typed on the keyboard: sent to whichever window has the X keyboard focus.
    void typeKey(KeySym key)
    {
        XEvent event = {};
        event.xkey.type = xKeyPressEvent;
        event.xkey.display = display;
        event.xkey.window = focusWindow();
        event.xkey.root = rootWindow(display);
        event.xkey.keycode = KeysymToKeycode(display, key);
        event.xkey.same_screen = True;
        SendEvent(display, event.xkey.window, True, KeyPressMask, &event);
        event.xkey.type = xKeyReleaseEvent;
        SendEvent(display, event.xkey.window, True, KeyReleaseMask, &event);
        Sync(display, False);
    }
};

struct PopupAndFocusTest : ::testing::Test
{
    void SetUp() override { clearMusicFolder(); }
    void TearDown() override { clearMusicFolder(); }
};
} // namespace

TEST_F(PopupAndFocusTest, PresetPopupStaysOpenInTheEditorsLookAndPicksAFile)
{
    WYD_REQUIRE_DISPLAY();
    makeFile(presetFolder().getChildFile("first.tz7p"));
    makeFile(presetFolder().getChildFile("second.tz7p"));
    OnScreenWindow editor;
    juce::LookAndFeel_V3 editorLook;
    editor.setLookAndFeel(&editorLook);
    TarvelWydKX7PresetMenu menu("presetMenu_");
    menu.setDirectoryPath(PresetLocations::presetFolderText());
    menu.setFileExtension("*.tz7p");
    editor.addAndMakeVisible(menu);
    menu.setBounds(228, 5, 254, 19);
    menu.setSelectedFilePath("Init.tz7p");

    // Opened by a click on the label, before any button had the keyboard focus; the click
    // returns with the menu open. Another test program's window may take the focus away and
    // close the menu: that is retried, a menu that never stays open is not.
    bool lookWasTheEditors = false;
    bool menuStayedOpen = false;
    for (int attempt = 0; attempt < 3 && !menuStayedOpen; ++attempt)
    {
        const auto now = juce::Time::getCurrentTime();
        menu.mouseDown(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {}, {},
                                        juce::MouseInputSource::defaultPressure, 0, 0, 0, 0, &menu,
                                        &menu, now, {}, now, 1, false));
        auto* popup = juce::Component::getCurrentlyModalComponent();
        ASSERT_NE(popup, nullptr) << "the click did not open the menu";
        juce::Component::SafePointer<juce::Component> open(popup);
        runMessageLoopFor(300);
        menuStayedOpen = open != nullptr && open->isShowing();
        if (!menuStayedOpen)
            continue;
        lookWasTheEditors = &popup->getLookAndFeel() == &editorLook;
        popup->keyPressed(juce::KeyPress(juce::KeyPress::downKey));
        popup->keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
    }

    ASSERT_TRUE(menuStayedOpen) << "the popup closed by itself";
    EXPECT_TRUE(lookWasTheEditors);
    EXPECT_TRUE(runMessageLoopUntil([&] { return menu.getSelectedFileIndex() == 1; }, 1000));
    EXPECT_EQ(menu.getText(), menu.getFileName(0));
    EXPECT_FALSE(menu.isMarkedAsChange());
    editor.setLookAndFeel(nullptr);
}

TEST_F(PopupAndFocusTest, NewFolderPromptTakesTheKeysInsideAHostWindow)
{
    WYD_REQUIRE_DISPLAY();
    XFocusLock focusLock;
    Xlib x;
    ASSERT_NE(x.display, nullptr);
    const auto hostWindow = x.CreateSimpleWindow(x.display, x.rootWindow(x.display), 0, 0,
                                                 800, 450, 0, 0, 0);
    x.MapWindow(x.display, hostWindow);
    x.Sync(x.display, False);

    ASSERT_TRUE(presetFolder().createDirectory());
    WYD_KX7AudioProcessor processor;
    TarvelWydKX7PresetMenu menu("presetMenu_");
    juce::Component editor;
    editor.setSize(800, 450);
    TarvelWydKX7PresetBrowser dialog("savePresetBrowser_", "Save", juce::File(PresetLocations::presetFolderText()),
                                     "*.tz7p", 5, 1, 5, 3, 8, &processor, &menu);
    editor.addChildComponent(dialog);
    dialog.setBounds(0, 0, 800, 450);
    editor.addToDesktop(0, (void*) hostWindow);
    editor.setVisible(true);
    ASSERT_TRUE(runMessageLoopUntil([&] { return editor.isShowing(); }));
    runMessageLoopFor(100);

    dialog.show();
    dialog.getNewFolderButton()->triggerClick();
    auto& prompt = *dialog.getNewFolderComponent();
    ASSERT_TRUE(runMessageLoopUntil([&] { return prompt.isVisible(); }));
    // Keys typed while another test program's window holds the focus go there: retried.
    bool typed = false;
    for (int attempt = 0; attempt < 3 && !typed; ++attempt)
    {
        prompt.getTextEditor().clear();
        prompt.getTextEditor().grabKeyboardFocus();
        for (auto key : { XK_k, XK_e, XK_y })
            x.typeKey(key);
        typed = runMessageLoopUntil([&] { return prompt.getTextEditor().getText() == "key"; }, 1000);
    }
    EXPECT_TRUE(typed) << prompt.getTextEditor().getText();

    // Return clicks OK once the prompt's timer has enabled it for the typed name.
    ASSERT_TRUE(runMessageLoopUntil([&] { return prompt.getOkButton().isEnabled(); }));
    bool closed = false;
    for (int attempt = 0; attempt < 3 && !closed; ++attempt)
    {
        prompt.getTextEditor().grabKeyboardFocus();
        x.typeKey(XK_Return);
        closed = runMessageLoopUntil([&] { return !prompt.isVisible(); }, 1000);
    }
    EXPECT_TRUE(closed);
    EXPECT_TRUE(presetFolder().getChildFile("key").isDirectory());

    dialog.hide();
    editor.removeFromDesktop();
    x.DestroyWindow(x.display, hostWindow);
    x.Sync(x.display, False);
}
