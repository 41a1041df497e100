// Typing into the editor's dialogs, a display without a window manager, and unloading with an
// editor shown: the built .so in the test host, with real X input through XTest.

#include "EditorPoints.h"
#include "EditorTestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace
{

using namespace editorpoints;

using namespace std::chrono_literals;
using plugintest::eventually;

// Editor coordinates used here alone.
constexpr int kLowFreqStep2X = 112, kLowFreqStep2Y = 124;
constexpr int kNewFolderFieldX = 320, kNewFolderFieldY = 180;
constexpr int kSaveX = 693, kSaveY = 381;
constexpr int kFirstListRowX = 100, kFirstListRowY = 55;
constexpr int kNextPresetX = 504, kNextPresetY = 16;
constexpr int kMessageOkX = 401, kMessageOkY = 295;
// OK of the overwrite question: the editor's question and the save dialog's lie one pixel apart.
constexpr int kQuestionOkX = 341, kQuestionOkY = 295;
// On the new-folder prompt's OK button, left of its label.
constexpr int kPromptOkX = 222, kPromptOkY = 249;

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

    // The editor's own pixel where the dialogs appear, once it has been drawn (the window is
    // white before).
    juce::uint32 pixelWithoutDialog(const Shown& shown)
    {
        constexpr juce::uint32 white = 0xffffff;
        EXPECT_TRUE(eventually([&] { return x11->pixel(shown.window, kDialogProbeX, kDialogProbeY) != white; }))
            << "the editor was not drawn";
        return x11->pixel(shown.window, kDialogProbeX, kDialogProbeY);
    }

    bool dialogShown(const Shown& shown, juce::uint32 withoutDialog)
    {
        return x11->pixel(shown.window, kDialogProbeX, kDialogProbeY) != withoutDialog;
    }

    // Types a preset name into the open save dialog and waits until SAVE takes it.
    void typeName(const Shown& shown, const char* name)
    {
        const auto disabledSave = x11->pixel(shown.window, kSaveX, kSaveY);
        x11->moveMouse(1200, 1000);
        x11->typeText(name);
        ASSERT_TRUE(eventually([&] { return x11->pixel(shown.window, kSaveX, kSaveY) != disabledSave; }))
            << "SAVE stayed disabled";
    }

    void hostSelectsProgram(const Shown& shown, int program)
    {
        auto* plugin = shown.plugin.get();
        ASSERT_TRUE(gui->run([plugin, program] { plugin->dispatch(effSetProgram, 0, program); }));
    }

    // keep.tz7p is program 0's preset (unless program0Path names another), other.tz7p program
    // 1's, and both programs are edited: the bank the host restores. Program 0 is current.
    void restoreTwoEditedPrograms(const Shown& shown, const juce::String& program0Path)
    {
        writePreset("keep.tz7p", kInputVol, 0.25f);
        writePreset("other.tz7p", kInputVol, 0.35f);
        WYD_KX7AudioProcessor bank;
        bank.programs[0].presetPath[0] = program0Path;
        bank.programs[1].presetPath[0] = "other.tz7p";
        bank.programs[0].values[0][kInputVol] = 0.3f;
        bank.programs[1].values[0][kInputVol] = 0.4f;
        juce::MemoryBlock block;
        bank.getStateInformation(block);
        const std::vector<char> data(static_cast<const char*>(block.getData()),
                                     static_cast<const char*>(block.getData()) + block.getSize());
        auto* plugin = shown.plugin.get();
        ASSERT_TRUE(gui->run([plugin, &data] { plugin->setChunk(data, false); }));
        keepText = presetFolder().getChildFile("keep.tz7p").loadFileAsString();
    }

    void expectNothingSaved()
    {
        EXPECT_EQ(presetFolder().getChildFile("keep.tz7p").loadFileAsString(), keepText) << "keep.tz7p was written";
        EXPECT_FALSE(presetFolder().getChildFile("fresh.tz7p").exists());
    }

    // The other tests' preset menu stays as it was, also when a test fails.
    struct RemovesPresets
    {
        ~RemovesPresets()
        {
            for (const char* name : {"keep.tz7p", "other.tz7p", "fresh.tz7p"})
                presetFolder().getChildFile(name).deleteFile();
        }
    };

    juce::String keepText;
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

// The host switches program while the user answers: the answer writes nothing, and the preset
// of the program now current keeps its name.
TEST_F(EditorKeyboard, AHostProgramChangeWhileTheQuestionOrTheSaveDialogIsOpenSavesNothing)
{
    const RemovesPresets removes;
    auto& shown = showEditor(HostWindow::insideFrame);
    restoreTwoEditedPrograms(shown, "keep.tz7p");
    const auto withoutDialog = pixelWithoutDialog(shown);
    click(shown, kFileButtonX, kFileButtonY); // File > Save Preset: the question about keep.tz7p
    const auto menu = waitForMenu();
    ASSERT_NE(menu, 0u) << "the file menu did not open";
    pickFromMenu(menu);
    ASSERT_TRUE(eventually([&] { return dialogShown(shown, withoutDialog); })) << "no question";
    hostSelectsProgram(shown, 1);
    click(shown, kQuestionOkX, kQuestionOkY);
    EXPECT_TRUE(eventually([&] { return !dialogShown(shown, withoutDialog); })) << "the question stayed";
    expectNothingSaved();

    // Program 0 without a file: Save Preset opens the save dialog. SAVE after the switch.
    restoreTwoEditedPrograms(shown, "Init.tz7p");
    openSaveDialog(shown);
    typeName(shown, "fresh");
    hostSelectsProgram(shown, 1);
    x11->typeKey("Return");
    EXPECT_TRUE(eventually([&] { return !dialogShown(shown, withoutDialog); })) << "the dialog stayed";
    expectNothingSaved();

    // OK of the question the dialog asks about an existing name, after the switch.
    hostSelectsProgram(shown, 0);
    openSaveDialog(shown);
    typeName(shown, "keep");
    const auto dialogOnly = x11->pixel(shown.window, kDialogProbeX, kDialogProbeY);
    x11->typeKey("Return");
    ASSERT_TRUE(eventually([&] { return x11->pixel(shown.window, kDialogProbeX, kDialogProbeY) != dialogOnly; }))
        << "no question";
    hostSelectsProgram(shown, 1);
    click(shown, kQuestionOkX - 1, kQuestionOkY - 1);
    EXPECT_TRUE(eventually([&] { return !dialogShown(shown, withoutDialog); })) << "the dialog stayed";
    expectNothingSaved();
}

// JUCE's own list read "~mail" as the home folder of user "mail" and opened /var/mail.
TEST_F(EditorKeyboard, AFolderNamedWithATildeOpensAsItselfInTheSaveDialog)
{
    const juce::File mail(presetFolder().getFullPathName() + "/~mail");
    struct Removes
    {
        juce::File folder;
        ~Removes() { folder.deleteRecursively(); }
    } const removes{mail};
    ASSERT_TRUE(mail.createDirectory());
    auto& shown = showEditor(HostWindow::insideFrame);
    pixelWithoutDialog(shown);
    openSaveDialog(shown);

    // "~mail" comes first, before "Loud.tz7p". X delivers the double-click before the typing.
    click(shown, kFirstListRowX, kFirstListRowY);
    click(shown, kFirstListRowX, kFirstListRowY);
    typeName(shown, "inside");
    x11->typeKey("Return");
    EXPECT_TRUE(eventually([&] { return mail.getChildFile("inside.tz7p").existsAsFile(); }))
        << "the preset was not saved inside ~mail";
}

float parameterIn(const juce::File& preset, int index)
{
    WYD_KX7AudioProcessor reader;
    reader.readPreset(juce::XmlDocument::parse(preset).release(), true);
    return reader.getParameter(index);
}

// HOME is a folder named back\slash, so the preset folder's own path holds a backslash: the menu
// lists and loads, the arrows step, and both saves write there.
TEST_F(EditorKeyboard, PresetsWorkWhenTheHomeFolderHoldsABackslash)
{
    const juce::File home(juce::String(plugintest::temporaryHome()) + "/back\\slash");
    struct Restores
    {
        juce::File home;
        ~Restores()
        {
            setenv("HOME", plugintest::temporaryHome().c_str(), 1);
            home.deleteRecursively();
        }
    } const restores{home};
    ASSERT_TRUE(home.createDirectory());
    setenv("HOME", home.getFullPathName().toRawUTF8(), 1);
    const auto folder = presetFolder();
    ASSERT_TRUE(folder.getFullPathName().contains("back\\slash/"));
    writePreset("a.tz7p", kInputVol, 0.2f);
    writePreset("b.tz7p", kInputVol, 0.4f);
    auto& shown = showEditor(HostWindow::insideFrame);
    const auto withoutDialog = pixelWithoutDialog(shown);

    openSaveDialog(shown); // the fresh program's Init.tz7p is missing
    typeName(shown, "c");
    x11->typeKey("Return");
    EXPECT_TRUE(eventually([&] { return folder.getChildFile("c.tz7p").existsAsFile(); })) << "not saved";
    ASSERT_TRUE(eventually([&] { return !dialogShown(shown, withoutDialog); }));

    click(shown, kPresetNameX, kPresetNameY);
    const auto menu = waitForMenu();
    ASSERT_NE(menu, 0u) << "the preset menu did not open";
    pickFromMenu(menu);
    EXPECT_TRUE(eventually([&] { return shown.plugin->getParameter(kInputVol) == 0.2f; })) << "a was not loaded";
    click(shown, kNextPresetX, kNextPresetY);
    EXPECT_TRUE(eventually([&] { return shown.plugin->getParameter(kInputVol) == 0.4f; })) << "b was not loaded";

    click(shown, kBypassX, kBypassY);
    ASSERT_TRUE(eventually([&] { return shown.plugin->getParameter(kBypass) == 0.0f; }));
    click(shown, kFileButtonX, kFileButtonY); // File > Save Preset: the question about b.tz7p
    const auto fileMenu = waitForMenu();
    ASSERT_NE(fileMenu, 0u) << "the file menu did not open";
    pickFromMenu(fileMenu);
    ASSERT_TRUE(eventually([&] { return dialogShown(shown, withoutDialog); })) << "no question";
    click(shown, kQuestionOkX, kQuestionOkY);
    EXPECT_TRUE(eventually([&] { return parameterIn(folder.getChildFile("b.tz7p"), kBypass) == 0.0f; }))
        << "b.tz7p was not overwritten";
}

// A preset deleted while the menu is open is picked: the message says it could not be read.
TEST_F(EditorKeyboard, PickingAPresetDeletedAfterTheMenuOpenedSaysSo)
{
    writePreset("gone.tz7p", kInputVol, 0.2f); // listed before Loud.tz7p
    const auto gone = presetFolder().getChildFile("gone.tz7p");
    auto& shown = showEditor();
    const auto withoutDialog = pixelWithoutDialog(shown);
    const float inputVol = shown.plugin->getParameter(kInputVol);
    click(shown, kPresetNameX, kPresetNameY);
    const auto menu = waitForMenu();
    ASSERT_NE(menu, 0u) << "the preset menu did not open";
    ASSERT_TRUE(gone.deleteFile());
    pickFromMenu(menu);
    EXPECT_TRUE(eventually([&] { return dialogShown(shown, withoutDialog); })) << "no message";
    EXPECT_EQ(shown.plugin->getParameter(kInputVol), inputVol);
    click(shown, kMessageOkX, kMessageOkY);
    EXPECT_TRUE(eventually([&] { return !dialogShown(shown, withoutDialog); })) << "the message stayed";
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
    // The host forgets the instance and unloads the library, once its last call into it returned.
    gui->stopIdling(shown.plugin->record());
    ASSERT_TRUE(gui->waitUntilOutOfIdle(shown.plugin->record(), 30s)) << "the last idle call never returned";
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
