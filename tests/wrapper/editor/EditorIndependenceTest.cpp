// Several editors in their host windows, dialogs and menus among them, with real X input: each
// editor takes its own clicks whatever another one shows, a menu goes when the host hides its
// window, and the keyboard stays with the editor after a menu and in a freshly shown dialog.

#include "EditorPoints.h"
#include "EditorTestSupport.h"

namespace
{

using namespace editorpoints;

using namespace std::chrono_literals;
using plugintest::eventually;

// Editor coordinates used here alone.
constexpr int kAboutButtonX = 23, kAboutButtonY = 16;
constexpr int kAboutPictureX = 400, kAboutPictureY = 300;
constexpr int kAboutVersionX = 450, kAboutVersionY = 132; // the about box's light version field

class EditorIndependence : public plugintest::EditorTest
{
protected:
    std::uint32_t probe(const Shown& shown, int x = kDialogProbeX, int y = kDialogProbeY) const
    {
        return x11->pixel(shown.window, x, y);
    }

    // The editor's face is dark; the dialogs' fields and lists are light, and so is a window not
    // painted yet.
    bool isLightAt(const Shown& shown, int x = kDialogProbeX, int y = kDialogProbeY) const
    {
        return ((probe(shown, x, y) >> 16) & 0xff) > 0xc0;
    }

    bool focusIsInEditor(const Shown& shown) const
    {
        const auto inside = x11->children(shown.window);
        return std::find(inside.begin(), inside.end(), x11->focusedWindow()) != inside.end();
    }

    // A click and a knob drag in `shown` reach its own controls.
    void expectControlsAnswer(const Shown& shown)
    {
        const float bypass = shown.plugin->getParameter(kBypass);
        click(shown, kBypassX, kBypassY);
        EXPECT_TRUE(eventually([&] { return shown.plugin->getParameter(kBypass) != bypass; })) << "click lost";
        const float input = shown.plugin->getParameter(kInputVol);
        const auto box = x11->box(shown.window);
        x11->drag(box.x + kInputVolX, box.y + kInputVolY, box.x + kInputVolX, box.y + kInputVolY - 60, 20);
        EXPECT_TRUE(eventually([&] { return shown.plugin->getParameter(kInputVol) > input; })) << "drag lost";
    }

    // File > Save Preset of a preset never saved, picked with the keyboard: the save dialog.
    void openSaveDialogByKeys(const Shown& shown)
    {
        ASSERT_TRUE(eventually([&] { return !isLightAt(shown); })) << "the editor was not painted";
        click(shown, kFileButtonX, kFileButtonY);
        ASSERT_NE(waitForMenu(), 0u) << "the file menu did not open";
        x11->typeKey("Down");
        x11->typeKey("Return");
        ASSERT_TRUE(eventually([&] { return isLightAt(shown); })) << "no save dialog";
    }
};

TEST_F(EditorIndependence, ADialogInOneEditorLeavesTheOtherOnesControlsToItsOwnClicks)
{
    auto& first = showEditor();
    auto& second = showEditor();
    struct Case
    {
        const char* name;
        Shown* withDialog;
        Shown* other;
    };
    for (const auto& c : {Case{"about box in the second", &second, &first}, Case{"about box in the first", &first, &second}})
    {
        SCOPED_TRACE(c.name);
        auto aboutBox = [&] { return isLightAt(*c.withDialog, kAboutVersionX, kAboutVersionY); };
        ASSERT_TRUE(eventually([&] { return !aboutBox(); })) << "the editor was not painted";
        const float dialogsBypass = c.withDialog->plugin->getParameter(kBypass);
        click(*c.withDialog, kAboutButtonX, kAboutButtonY);
        ASSERT_TRUE(eventually(aboutBox)) << "no about box";

        expectControlsAnswer(*c.other);
        EXPECT_EQ(c.withDialog->plugin->getParameter(kBypass), dialogsBypass) << "a click went to the wrong editor";
        EXPECT_TRUE(aboutBox()) << "the about box closed";

        click(*c.withDialog, kAboutPictureX, kAboutPictureY);
        ASSERT_TRUE(eventually([&] { return !aboutBox(); })) << "the about box stayed";
    }

    SCOPED_TRACE("save dialog in the second");
    openSaveDialogByKeys(second);
    expectControlsAnswer(first);
    EXPECT_TRUE(isLightAt(second)) << "the save dialog closed";
    click(second, kCancelX, kCancelY);
    EXPECT_TRUE(eventually([&] { return !isLightAt(second); })) << "the save dialog stayed";
}

TEST_F(EditorIndependence, AnOpenMenuClosesWithoutAPickWhenTheHostHidesTheEditorsWindow)
{
    auto& shown = showEditor(HostWindow::insideFrame);
    struct Case
    {
        const char* name;
        int x, y;
    };
    for (const auto& c : {Case{"preset menu", kPresetNameX, kPresetNameY}, Case{"file menu", kFileButtonX, kFileButtonY}})
    {
        SCOPED_TRACE(c.name);
        click(shown, c.x, c.y);
        ASSERT_NE(waitForMenu(), 0u) << "the menu did not open";
        x11->hideWindow(shown.frame);
        EXPECT_TRUE(eventually([&] { return newTopLevelWindows().empty(); })) << "the menu stayed over the host";

        x11->showWindow(shown.frame);
        ASSERT_TRUE(eventually([&] { return x11->box(shown.window).width > 0 && probe(shown) != 0; }));
        x11->focusAsWindowManager(shown.frame);
        expectControlsAnswer(shown);
    }
}

TEST_F(EditorIndependence, KeysTypedAtOnceIntoAFreshDialogReachItsFieldAndAReturnRightAfterActsOnThem)
{
    auto& shown = showEditor(HostWindow::insideFrame);
    x11->listenForKeys(shown.frame);
    x11->takeKeyPresses(shown.frame);
    const auto presets = WYD_KX7AudioProcessor::getPresetFolder();

    // The New Folder prompt first: it shows over the dialog, and the folder is gone again after.
    openSaveDialogByKeys(shown);
    const auto dialog = probe(shown, 320, 260);
    click(shown, kNewFolderX, kNewFolderY);
    ASSERT_TRUE(eventually([&] { return probe(shown, 320, 260) != dialog; })) << "no new-folder prompt";
    const auto prompt = probe(shown, 320, 260);
    // One key and Return at once: well within the tick that enables OK once there is a name.
    x11->moveMouse(1200, 1000);
    x11->typeText("f");
    x11->typeKey("Return");
    EXPECT_TRUE(eventually([&] { return presets.getChildFile("f").isDirectory(); })) << "Return created no folder";
    presets.getChildFile("f").deleteRecursively();

    // The save dialog is modal again: its name field takes the name and Return saves it.
    ASSERT_TRUE(eventually([&] { return probe(shown, 320, 260) != prompt; })) << "the prompt stayed";
    x11->typeText("q");
    x11->typeKey("Return");
    EXPECT_TRUE(eventually([&] { return presets.getChildFile("q.tz7p").existsAsFile(); }))
        << "the preset was not saved under the typed name";
    presets.getChildFile("q.tz7p").deleteFile();
    EXPECT_EQ(x11->takeKeyPresses(shown.frame), 0) << "typing reached the host";
}

TEST_F(EditorIndependence, AfterAMenuClosesTheKeyboardFocusIsTheEditorsWindow)
{
    auto& shown = showEditor(HostWindow::insideFrame);
    struct Case
    {
        const char* name;
        int x, y;
        const char* closingKey;
    };
    for (const auto& c : {Case{"file menu, Escape", kFileButtonX, kFileButtonY, "Escape"},
                          Case{"preset menu, pick", kPresetNameX, kPresetNameY, "Return"}})
    {
        SCOPED_TRACE(c.name);
        click(shown, c.x, c.y);
        const auto menu = waitForMenu();
        ASSERT_NE(menu, 0u) << "the menu did not open";
        // A press on the menu's border gives its window the focus, as on a user's pick.
        const auto box = x11->box(menu);
        x11->pressButton(box.x + box.width / 2, box.y + 1);
        x11->releaseButton(box.x + box.width / 2, box.y + 1);
        if (std::string(c.closingKey) == "Return")
            x11->typeKey("Down");
        x11->typeKey(c.closingKey);
        ASSERT_TRUE(eventually([&] { return newTopLevelWindows().empty(); })) << "the menu stayed";
        EXPECT_TRUE(eventually([&] { return focusIsInEditor(shown); })) << "the focus went elsewhere";
    }
}

TEST_F(EditorIndependence, ClosingOneEditorLeavesAnotherEditorsMenuOpen)
{
    auto& first = showEditor();
    auto& second = showEditor();
    click(second, kPresetNameX, kPresetNameY);
    ASSERT_NE(waitForMenu(), 0u) << "the menu did not open";

    gui->stopIdling(first.plugin->record());
    auto* plugin = first.plugin.get();
    ASSERT_TRUE(gui->run([plugin] { plugin->closeEditor(); }));
    EXPECT_FALSE(newTopLevelWindows().empty()) << "the other editor's menu closed";
    EXPECT_TRUE(gui->run([&] { second.plugin->dispatch(effEditIdle); }));
    EXPECT_FALSE(newTopLevelWindows().empty()) << "the other editor's menu closed";

    x11->typeKey("Escape");
    EXPECT_TRUE(eventually([&] { return newTopLevelWindows().empty(); })) << "the menu stayed";
}

} // namespace
