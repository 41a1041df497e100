// Typing into the editor's dialogs, a display without a window manager, and unloading with an
// editor shown: the built .so in the test host, with real X input through XTest.

#include "EditorTestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace
{

using namespace std::chrono_literals;
using plugintest::eventually;

// Editor coordinates.
constexpr int kBypassX = 775, kBypassY = 16;
constexpr int kInputVolX = 59, kInputVolY = 256;
constexpr int kLowFreqStep2X = 112, kLowFreqStep2Y = 124;
constexpr int kFileButtonX = 86, kFileButtonY = 16;
constexpr int kPresetNameX = 355, kPresetNameY = 14;
constexpr int kDialogProbeX = 400, kDialogProbeY = 225;
constexpr int kNewFolderX = 693, kNewFolderY = 343;
constexpr int kCancelX = 693, kCancelY = 419;
constexpr int kNewFolderFieldX = 320, kNewFolderFieldY = 180;
// On the new-folder prompt's OK button, left of its label.
constexpr int kPromptOkX = 222, kPromptOkY = 249;
constexpr int kBypass = 0;

class EditorKeyboard : public plugintest::EditorTest
{
protected:
    // Picks the first item and waits for the menu to close.
    void pickFromMenu(vsthost::X11Session::WindowId menu)
    {
        pickFirstMenuItem(menu);
        ASSERT_TRUE(eventually([&] { return newTopLevelWindows().empty(); })) << "the menu stayed";
    }

    // File > Save Preset of a preset never saved: the save dialog, its name field focused.
    void openSaveDialog(const Shown& shown)
    {
        ASSERT_TRUE(letEditorsHandle()); // nothing left to draw from before
        const auto before = x11->pixel(shown.window, kDialogProbeX, kDialogProbeY);
        click(shown, kFileButtonX, kFileButtonY);
        const auto menu = waitForMenu();
        ASSERT_NE(menu, 0u) << "the file menu did not open";
        pickFromMenu(menu);
        ASSERT_NE(pixelChangedFrom(shown, kDialogProbeX, kDialogProbeY, before), before) << "no save dialog";
        ASSERT_TRUE(letEditorsHandle()); // the whole dialog drawn
        ASSERT_TRUE(eventually([&] { return editorOwnsTheFocus(shown); })) << "the dialog has no keyboard";
    }

    // A key the editor has no use for, handed to the host: X's focus leaves our window.
    void handAStrayKeyToTheHost(const Shown& shown)
    {
        const float bypass = shown.plugin->getParameter(kBypass);
        click(shown, kBypassX, kBypassY);
        ASSERT_TRUE(eventually([&] { return shown.plugin->getParameter(kBypass) != bypass; }));
        x11->typeKey("F5");
        ASSERT_TRUE(eventually([&] { return x11->focusedWindow() == shown.frame; }));
    }

    static juce::File presetFolder() { return WYD_KX7AudioProcessor::getPresetFolder(); }
};

TEST_F(EditorKeyboard, TheNewFolderPromptTakesTheTypingAfterAnyKeyHandOffWithOrWithoutAClick)
{
    struct Case
    {
        const char* folder;
        bool keyHandedOffBeforeTheDialog;
        bool strayKeyInTheDialog;
        bool clickIntoTheField;
    };
    const Case cases[] = {
        {"plain", false, false, false},
        {"clicked", false, false, true},
        {"after hand off", true, false, false},
        {"after hand off clicked", true, false, true},
        {"stray in dialog", false, true, false},
        {"stray in dialog clicked", false, true, true},
    };
    auto& shown = showEditor(HostWindow::insideFrame);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.folder);
        if (c.keyHandedOffBeforeTheDialog)
            handAStrayKeyToTheHost(shown);
        x11->listenForKeys(shown.frame);
        x11->takeKeyPresses(shown.frame);
        ASSERT_TRUE(letEditorsHandle());
        const auto withoutDialog = x11->pixel(shown.window, kDialogProbeX, kDialogProbeY);
        openSaveDialog(shown);
        if (c.strayKeyInTheDialog)
            x11->typeKey("F5");
        ASSERT_TRUE(letEditorsHandle());
        const auto withoutPrompt = x11->pixel(shown.window, kPromptOkX, kPromptOkY);
        click(shown, kNewFolderX, kNewFolderY);
        ASSERT_NE(pixelChangedFrom(shown, kPromptOkX, kPromptOkY, withoutPrompt), withoutPrompt) << "no new-folder prompt";
        ASSERT_TRUE(letEditorsHandle()); // the whole prompt drawn
        const auto okDisabled = x11->pixel(shown.window, kPromptOkX, kPromptOkY);
        if (c.clickIntoTheField)
            click(shown, kNewFolderFieldX, kNewFolderFieldY);
        x11->moveMouse(1200, 1000);
        ASSERT_TRUE(eventually([&] { return editorOwnsTheFocus(shown); })) << "the prompt has no keyboard";
        x11->typeText(c.folder);
        // OK is enabled on the prompt's next tick after the typing: Return before that does nothing.
        ASSERT_NE(pixelChangedFrom(shown, kPromptOkX, kPromptOkY, okDisabled), okDisabled) << "OK stayed disabled";
        x11->typeKey("Return");
        EXPECT_TRUE(eventually([&] { return presetFolder().getChildFile(c.folder).isDirectory(); }))
            << "Return created no folder";
        presetFolder().getChildFile(c.folder).deleteRecursively(); // the other tests' preset menu stays as it was
        EXPECT_EQ(x11->takeKeyPresses(shown.frame), 0) << "typing reached the host";

        click(shown, kCancelX, kCancelY);
        ASSERT_TRUE(eventually([&] { return x11->pixel(shown.window, kDialogProbeX, kDialogProbeY) == withoutDialog; }))
            << "the save dialog stayed";
    }
}

TEST_F(EditorKeyboard, TheSaveDialogsNameFieldKeepsItsTextSpacesIncluded)
{
    auto& shown = showEditor(HostWindow::insideFrame);
    handAStrayKeyToTheHost(shown);
    x11->listenForKeys(shown.frame);
    x11->takeKeyPresses(shown.frame);
    openSaveDialog(shown);
    x11->moveMouse(1200, 1000);
    x11->typeText("my take");
    x11->typeKey("Return");
    EXPECT_TRUE(eventually([&] { return presetFolder().getChildFile("my take.tz7p").existsAsFile(); }))
        << "the preset was not saved under the typed name";
    presetFolder().getChildFile("my take.tz7p").deleteFile();
    EXPECT_EQ(x11->takeKeyPresses(shown.frame), 0) << "typing reached the host";
}

// A display where no client has created any atom yet, as where no window manager ever ran: the
// test command's second X server (scripts/xvfb.sh), which no other test uses.
class EditorWithoutWindowManager : public EditorKeyboard
{
protected:
    void SetUp() override
    {
        const char* bare = std::getenv("WYD_BARE_DISPLAY");
        if (std::getenv("DISPLAY") == nullptr || bare == nullptr || *bare == 0)
            GTEST_SKIP() << "no bare X server (WYD_BARE_DISPLAY is not set; scripts/xvfb.sh starts one)";
        sharedDisplay = std::getenv("DISPLAY");
        setenv("DISPLAY", bare, 1);
        createWindowManagerAtoms = false;
        EditorKeyboard::SetUp();
    }
    void TearDown() override
    {
        EditorKeyboard::TearDown(); // fails on every X error the plug-in met
        gui.reset();
        x11.reset();
        if (!sharedDisplay.empty())
            setenv("DISPLAY", sharedDisplay.c_str(), 1);
    }
    std::string sharedDisplay;
};

TEST_F(EditorWithoutWindowManager, ClicksAndAMenuSendNoFailingRequest)
{
    ASSERT_FALSE(x11->atomExists("WM_PROTOCOLS"));
    ASSERT_FALSE(x11->atomExists("WM_STATE"));
    auto& shown = showEditor();
    for (int i = 0; i < 2; ++i)
    {
        const float bypass = shown.plugin->getParameter(kBypass);
        click(shown, kBypassX, kBypassY);
        EXPECT_TRUE(eventually([&] { return shown.plugin->getParameter(kBypass) != bypass; }));
    }
    click(shown, kLowFreqStep2X, kLowFreqStep2Y);
    click(shown, kInputVolX, kInputVolY);
    click(shown, kPresetNameX, kPresetNameY);
    const auto menu = waitForMenu();
    ASSERT_NE(menu, 0u) << "the preset menu did not open";
    pickFromMenu(menu);
    click(shown, kInputVolX, kInputVolY);
    ASSERT_TRUE(letEditorsHandle());
    EXPECT_TRUE(vsthost::X11Session::errors().empty());
}

TEST_F(EditorKeyboard, UnloadingTheLibraryWithAnInstanceAndItsEditorLeftOpen)
{
    auto& shown = showEditor();
    const float bypass = shown.plugin->getParameter(kBypass);
    click(shown, kBypassX, kBypassY);
    ASSERT_TRUE(eventually([&] { return shown.plugin->getParameter(kBypass) != bypass; }));
    // The host forgets the instance and unloads the library.
    gui->stopIdling(shown.plugin->record());
#if defined(__SANITIZE_ADDRESS__)
    // Left open on purpose: what the instance holds is never freed.
    __lsan_ignore_object(shown.plugin->record()->object);
#endif
    shown.plugin->release();
    library.reset();
    // A thread left running in the unmapped code would end the process: TearDown waits until every
    // thread the library started has gone.
}

} // namespace
