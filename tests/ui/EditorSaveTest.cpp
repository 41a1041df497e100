// Saving through an editor on screen: what the questions write when the host switches program
// meanwhile, which preset folder an open editor keeps, and a preset folder whose path holds a
// backslash.

#include "EditorTestSupport.h"
#include "ui/PresetLocations.h"
#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"
#include "ui/widgets/TarvelWydKX7PresetBrowser.h"

using namespace wydtest;
using namespace ParameterTable;

namespace
{
// HOME set to another folder while the object lives.
class HomeOverride
{
public:
    explicit HomeOverride(const juce::File& home) : previous(std::getenv("HOME"))
    {
        setenv("HOME", home.getFullPathName().toRawUTF8(), 1);
    }
    ~HomeOverride() { setenv("HOME", previous.toRawUTF8(), 1); }

private:
    juce::String previous;
};

// Removes a file or folder of the test's when the test ends, also when it fails.
struct RemovedAtEnd
{
    juce::File file;
    ~RemovedAtEnd() { file.deleteRecursively(false); }
};

float midDipIn(const juce::File& preset)
{
    WYD_KX7AudioProcessor reader;
    auto content = PresetLocations::readPresetFile(preset);
    if (!content.readable || content.document == nullptr)
        return -1.0f;
    reader.readPreset(content.document.release(), true);
    return reader.getParameter(kTolmMidDip);
}

// A preset file holding the defaults with the mid dip at value.
juce::File writePresetInto(const juce::File& folder, const juce::String& name, float value)
{
    WYD_KX7AudioProcessor source;
    source.setParameter(kTolmMidDip, value);
    const auto file = folder.getChildFile(name);
    file.getParentDirectory().createDirectory();
    EXPECT_TRUE(source.writePreset(true).writeTo(file));
    return file;
}

struct OnScreenEditorTest : EditorTest
{
    void SetUp() override
    {
        EditorTest::SetUp();
        if (!haveDisplay() || xDisplayWithWindowAtoms() == nullptr)
            GTEST_SKIP() << "needs an X display";
    }

    void TearDown() override
    {
        if (editor != nullptr)
            editor->removeFromDesktop();
        EditorTest::TearDown();
    }

    void openOnScreen()
    {
        openEditor();
        editor->addToDesktop(0);
        editor->setVisible(true);
        ASSERT_TRUE(runMessageLoopUntil([this] { return editor->isShowing(); }, 5000));
        tick(3);
    }

    // A click delivered through the message loop, as a mouse click would be.
    static void press(juce::Button& button)
    {
        struct Seen : juce::Button::Listener
        {
            void buttonClicked(juce::Button*) override { clicked = true; }
            bool clicked = false;
        } seen;
        button.addListener(&seen);
        button.triggerClick();
        EXPECT_TRUE(runMessageLoopUntil([&] { return seen.clicked; }, 5000));
        button.removeListener(&seen);
    }

    TarvelWydKX7PresetBrowser& saveDialog() { return child<TarvelWydKX7PresetBrowser>("savePresetBrowser_"); }
    TarvelWydKX7OverwriteComponent& question()
    {
        return child<TarvelWydKX7OverwriteComponent>("overwritePresetComponent_");
    }

    // File > Save Preset As, a typed name and SAVE.
    void saveAs(const juce::String& name)
    {
        editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetAsItem);
        ASSERT_TRUE(saveDialog().isVisible());
        saveDialog().getFileBrowser()->setFileName(name);
        saveDialog().timerCallback();
        press(*saveDialog().getOkButton());
    }

    XFocusLock focusLock;
};

auto midDip(float value)
{
    return [value](WYD_KX7AudioProcessor& p) { p.setParameter(kTolmMidDip, value); };
}

// Keep.tz7p is program 0's preset and Other.tz7p program 1's; both programs are edited and
// program 0 is current.
struct SaveWhileTheHostSwitchesTest : OnScreenEditorTest
{
    void SetUp() override
    {
        OnScreenEditorTest::SetUp();
        if (IsSkipped())
            return;
        keep = writePresetFile("Keep.tz7p", midDip(0.1f));
        other = writePresetFile("Other.tz7p", midDip(0.2f));
        keep.loadFileAsData(keepBytes);
        for (int program : {1, 0})
        {
            processor->programs[program].presetPath[0] = program == 0 ? "Keep.tz7p" : "Other.tz7p";
            processor->setCurrentProgram(program);
            processor->setParameter(kTolmMidDip, program == 0 ? 0.5f : 0.6f);
        }
        openOnScreen();
    }

    void expectNothingWritten()
    {
        juce::MemoryBlock now;
        keep.loadFileAsData(now);
        EXPECT_EQ(now, keepBytes) << "Keep.tz7p was written";
        EXPECT_FALSE(presetFolder().getChildFile("Fresh.tz7p").exists());
        EXPECT_EQ(processor->programs[0].presetPath[0], "Keep.tz7p");
        EXPECT_EQ(processor->programs[1].presetPath[0], "Other.tz7p");
        EXPECT_EQ(processor->programs[0].values[0][kTolmMidDip], 0.5f);
        EXPECT_EQ(processor->programs[1].values[0][kTolmMidDip], 0.6f);
    }

    bool noDialogOpen()
    {
        return !question().isVisible() && !saveDialog().isVisible()
            && !saveDialog().getOverwriteComponent().isVisible()
            && juce::Component::getCurrentlyModalComponent() == nullptr;
    }

    juce::File keep, other;
    juce::MemoryBlock keepBytes;
};
} // namespace

TEST_F(SaveWhileTheHostSwitchesTest, TheOverwriteQuestionWritesTheProgramItAskedAboutOrNothing)
{
    // The host switches program while the question is open, and the user answers at once.
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
    ASSERT_TRUE(question().isVisible());
    processor->setCurrentProgram(1);
    press(question().getOkButton());
    expectNothingWritten();
    EXPECT_TRUE(noDialogOpen());

    // An unanswered question closes by itself, also when the setting changes (a restored state).
    processor->setCurrentProgram(0);
    for (auto change : {std::function<void()>([this] { processor->setCurrentProgram(1); }),
                        std::function<void()>([this] { processor->programs[0].activeChannel = 1; })})
    {
        editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
        ASSERT_TRUE(question().isVisible());
        change();
        EXPECT_TRUE(runMessageLoopUntil([this] { return noDialogOpen(); }, 5000));
        expectNothingWritten();
        processor->programs[0].activeChannel = 0;
        processor->setCurrentProgram(0);
    }

    // Answered while the program stays: program 0's values go into its file.
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
    press(question().getOkButton());
    EXPECT_EQ(midDipIn(keep), 0.5f);
    EXPECT_EQ(midDipIn(other), 0.2f);
    EXPECT_TRUE(noDialogOpen());
}

TEST_F(SaveWhileTheHostSwitchesTest, TheSaveDialogAndItsQuestionSaveNothingAfterAProgramChange)
{
    // SAVE after the switch: the dialog closes and nothing is written.
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetAsItem);
    saveDialog().getFileBrowser()->setFileName("Fresh");
    saveDialog().timerCallback(); // SAVE is enabled
    processor->setCurrentProgram(1);
    press(*saveDialog().getOkButton());
    expectNothingWritten();
    EXPECT_TRUE(noDialogOpen());

    // The question inside the dialog, answered after the switch.
    processor->setCurrentProgram(0);
    saveAs("Keep");
    auto& inner = saveDialog().getOverwriteComponent();
    ASSERT_TRUE(inner.isVisible());
    processor->setCurrentProgram(1);
    press(inner.getOkButton());
    expectNothingWritten();
    EXPECT_TRUE(noDialogOpen());

    // Left open: the dialog closes by itself when the setting changes.
    processor->setCurrentProgram(0);
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetAsItem);
    processor->programs[0].activeChannel = 1;
    EXPECT_TRUE(runMessageLoopUntil([this] { return noDialogOpen(); }, 5000));
    processor->programs[0].activeChannel = 0;

    // Without a switch the dialog saves program 0.
    saveAs("Fresh");
    EXPECT_EQ(midDipIn(presetFolder().getChildFile("Fresh.tz7p")), 0.5f);
    EXPECT_EQ(processor->programs[0].presetPath[0], "Fresh.tz7p");
}

// The desktop's music folder appears while an editor is open: that editor keeps the folder it
// opened with for the menu, both saves and the comparison; the next editor takes the new one.
TEST_F(OnScreenEditorTest, AnOpenEditorKeepsThePresetFolderItOpenedWith)
{
    const auto home = JuceGuiEnvironment::temporaryHome().path();
    const RemovedAtEnd settings{home.getChildFile(".config")};
    const RemovedAtEnd musik{home.getChildFile("Musik")};
    ASSERT_TRUE(settings.file.createDirectory());
    ASSERT_TRUE(settings.file.getChildFile("user-dirs.dirs").replaceWithText("XDG_MUSIC_DIR=\"$HOME/Musik\"\n"));
    const auto opened = presetFolder(); // ~/Music's, as ~/Musik is missing
    const auto again = writePresetFile("Again.tz7p", midDip(0.1f));
    slot().presetPath[0] = "Again.tz7p";
    openOnScreen();

    ASSERT_TRUE(musik.file.createDirectory());
    ASSERT_NE(PresetLocations::presetFolderText(), opened.getFullPathName());
    processor->setParameter(kTolmMidDip, 0.3f);

    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
    ASSERT_TRUE(question().isVisible());
    EXPECT_EQ(question().presetFile, again);
    press(question().getOkButton());
    EXPECT_EQ(midDipIn(again), 0.3f);

    saveAs("New");
    EXPECT_EQ(saveDialog().getFileBrowser()->getRoot(), opened);
    EXPECT_EQ(midDipIn(opened.getChildFile("New.tz7p")), 0.3f);
    EXPECT_EQ(slot().presetPath[0], "New.tz7p");
    EXPECT_TRUE(presetMenu().isListed("Again.tz7p") && presetMenu().isListed("New.tz7p"));
    processor->setParameter(kTolmMidDip, 0.4f);
    presetMenu().setSelectedFilePath("New.tz7p");
    presetMenu().compareAndMarkPreset(processor.get());
    EXPECT_EQ(presetMenu().getText(), "New*");
    EXPECT_EQ(musik.file.findChildFiles(juce::File::findFilesAndDirectories, true).size(), 0);

    editor->removeFromDesktop();
    closeEditor();
    openEditor();
    EXPECT_EQ(presetMenu().getDirectoryPath(), musik.file.getFullPathName() + "/Audio Music Apps/Tarvel/Presets/WYD-KX7");
}

// HOME is a folder named back\slash: the preset folder's own path holds a backslash.
TEST_F(OnScreenEditorTest, PresetsWorkInAFolderWhosePathHoldsABackslash)
{
    const RemovedAtEnd home{JuceGuiEnvironment::temporaryHome().path().getChildFile("back\\slash")};
    ASSERT_TRUE(home.file.createDirectory());
    const HomeOverride override(home.file);
    const juce::File folder(PresetLocations::presetFolderText());
    ASSERT_TRUE(folder.getFullPathName().contains("back\\slash/Music"));
    writePresetInto(folder, "a.tz7p", 0.2f);
    writePresetInto(folder, "b.tz7p", 0.4f);
    openOnScreen();

    auto& menu = presetMenu();
    menu.createMenuTree();
    EXPECT_EQ(describeMenu(*menu.getRootMenu()), "1 a 2 b");

    click("presetIncButton_"); // steps from nothing selected to the first preset
    EXPECT_EQ(slot().presetPath[0], "a.tz7p");
    EXPECT_EQ(processor->getParameter(kTolmMidDip), 0.2f);
    menu.setSelectedFileIndex(2); // a pick from the menu
    editor->labelTextChanged(&menu);
    EXPECT_EQ(processor->getParameter(kTolmMidDip), 0.4f);
    EXPECT_EQ(alertText(), "");

    processor->setParameter(kTolmMidDip, 0.6f);
    saveAs("c");
    EXPECT_EQ(midDipIn(folder.getChildFile("c.tz7p")), 0.6f);
    EXPECT_EQ(slot().presetPath[0], "c.tz7p");

    processor->setParameter(kTolmMidDip, 0.7f);
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
    ASSERT_TRUE(question().isVisible());
    press(question().getOkButton());
    EXPECT_EQ(midDipIn(folder.getChildFile("c.tz7p")), 0.7f);
    EXPECT_EQ(menu.getText(), "c");
}
