#include "EditorTestSupport.h"
#include "ui/PresetLocations.h"
#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"
#include "ui/widgets/TarvelWydKX7PresetBrowser.h"

using namespace wydtest;
using namespace ParameterTable;

using Editor = WYD_KX7AudioProcessorEditor;

namespace
{
auto midDip(float value)
{
    return [value](WYD_KX7AudioProcessor& p) { p.setParameter(kTolmMidDip, value); };
}
} // namespace

TEST_F(EditorTest, SteppingLoadsTheNextPresetWrapsAroundAndStoresItsPath)
{
    writePresetFile("a.tz7p", midDip(0.2f));
    writePresetFile("b.tz7p", midDip(0.4f));
    openEditor();
    tick(3);

    juce::StringArray seen;
    for (int step = 0; step < 3; ++step)
    {
        forgetChanges();
        click("presetIncButton_");
        const auto path = slot().presetPath[0];
        seen.add(path);
        EXPECT_EQ(processor->getParameter(kTolmMidDip), path == "a.tz7p" ? 0.2f : 0.4f);
        EXPECT_TRUE(processor->programChanged && processor->parametersChanged);
        EXPECT_GE(host.displayUpdates, 1);
        EXPECT_FALSE(host.parameterChanges.empty()); // the values reached the host
    }
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_EQ(seen[2], seen[0]); // wrapped around
    click("presetDecButton_");
    EXPECT_EQ(slot().presetPath[0], seen[1]);
    EXPECT_EQ(alertText(), "");
}

TEST_F(EditorTest, APresetFromANewerVersionLoadsAndSaysWhereToGetTheNewVersion)
{
    writePresetFile("Sub/New.tz7p", midDip(0.7f), "", "1.1");
    openEditor();
    presetMenu().setSelectedFilePath("Sub/New.tz7p");
    editor->labelTextChanged(&presetMenu()); // what a pick from the popup reports

    EXPECT_EQ(processor->getParameter(kTolmMidDip), 0.7f);
    EXPECT_EQ(slot().presetPath[0], "Sub/New.tz7p");
    EXPECT_EQ(alertText(), juce::String("\"Sub/New.tz7p\"\nwas made using a newer version of WYD-KX7.\n"
                                        "To use this preset correctly, please install the newest version from: ")
                               + WYD_KX7AudioProcessorEditor::downloadAddress);
}

// A pick or step that loads nothing is reported and leaves the setting's preset, its shown name
// and the host's program name with the values still loaded; stepping goes on past the file.
TEST_F(EditorTest, AFileThatLoadsNothingLeavesTheLoadedPresetAndSteppingMovesPastIt)
{
    writePresetFile("a.tz7p", midDip(0.3f));
    writePresetFile("b.tz7p", midDip(0.9f), "com.example.other");
    presetFolder().getChildFile("c.tz7p").replaceWithText("not a preset");
    openEditor();
    auto& menu = presetMenu();
    menu.setSelectedFilePath("a.tz7p");
    editor->labelTextChanged(&menu);
    tick(3);
    const int start = menu.getSelectedFileIndex();
    auto expectStillA = [&](const juce::String& message) {
        EXPECT_EQ(alertText(), message);
        child<TarvelAlertComponent>("alert_").setTitle("");
        EXPECT_EQ(processor->getParameter(kTolmMidDip), 0.3f);
        EXPECT_EQ(slot().presetPath[0], "a.tz7p");
        EXPECT_EQ(menu.getSelectedFilePath(), "a.tz7p");
        EXPECT_EQ(menu.getText(), "a");
        EXPECT_EQ(processor->getProgramName(processor->currentProgram), "a");
    };

    const std::pair<const char*, const char*> picks[] = {
        {"Gone.tz7p", ""},
        {"b.tz7p", "\"b.tz7p\"\nis a preset of another product.\nNothing was loaded."},
        {"c.tz7p", "\"c.tz7p\"\nis not a WYD-KX7 preset or could not be read.\nNothing was loaded."},
    };
    for (const auto& [path, message] : picks)
    {
        SCOPED_TRACE(path);
        forgetChanges();
        menu.setSelectedFilePath(path);
        editor->labelTextChanged(&menu);
        tick(3);
        expectStillA(message);
        EXPECT_FALSE(processor->programChanged);
        EXPECT_EQ(host.displayUpdates, 0);
    }

    menu.setSelectedFilePath("a.tz7p");
    for (int step = 1; step <= 3; ++step) // round the three files, whatever order they are listed in
    {
        click("presetIncButton_");
        const int index = (start - 1 + step) % 3 + 1;
        EXPECT_EQ(menu.getSelectedFileIndex(), index);
        const auto name = juce::File(menu.getFilePath(index - 1)).getFileName();
        EXPECT_EQ(alertText().endsWith("Nothing was loaded."), name != "a.tz7p") << name;
        expectStillA(alertText());
    }
}

TEST_F(EditorTest, SavePresetAsksBeforeOverwritingAnExistingFileAndOpensTheSaveDialogOtherwise)
{
    openEditor();
    const auto folder = presetFolder();

    editor->fileMenuResult(0); // dismissed: nothing
    EXPECT_FALSE(folder.exists());

    // The fresh program's "Init.tz7p" does not exist: the save dialog, on a created folder.
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
    EXPECT_TRUE(folder.isDirectory());
    auto& question = child<TarvelWydKX7OverwriteComponent>("overwritePresetComponent_");
    EXPECT_EQ(question.getTitleText(), "");

    const auto mine = writePresetFile("Sub/Mine.tz7p", midDip(0.3f));
    slot().presetPath[0] = "Sub/Mine.tz7p";
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
    EXPECT_EQ(question.presetFile, mine);
    EXPECT_EQ(question.getTitleText(), "Are you sure you want to overwrite \"Mine.tz7p\"?");

    // A path from a host state block that leads out of the folder is never offered for overwriting.
    question.presetFile = juce::File();
    slot().presetPath[0] = "../../../../.profile";
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetItem);
    EXPECT_EQ(question.presetFile, juce::File());
}

TEST_F(EditorTest, AMissingUserManualIsReportedWithItsFullPath)
{
    openEditor();
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::userManualItem);
    EXPECT_EQ(alertText(), "User manual on: \"" + JuceGuiEnvironment::temporaryHome().path().getFullPathName()
                               + "/Music/Audio Music Apps/Tarvel/User Manuals/WYD-KX7 Manual.pdf\" is not available.");
}

// xdg-open runs but finds no viewer or browser: the message names what was to be opened.
TEST_F(EditorTest, AnOpenerThatFailsIsReportedWithTheFileOrAddress)
{
    const auto bin = JuceGuiEnvironment::temporaryHome().path().getChildFile("failing-bin");
    const auto opener = bin.getChildFile("xdg-open");
    ASSERT_TRUE(bin.createDirectory() && opener.replaceWithText("#!/bin/sh\nexit 3\n", false, false, "\n"));
    opener.setExecutePermission(true);
    const juce::String oldPath = std::getenv("PATH");
    setenv("PATH", (bin.getFullPathName() + ":" + oldPath).toRawUTF8(), 1);
    const auto manual = makeFile(PresetLocations::userManual());
    openEditor();
    for (const auto& [item, shown] : {std::pair<int, juce::String>{Editor::websiteItem, Editor::websiteAddress},
                                      {Editor::userManualItem, "\"" + manual.getFullPathName() + "\""}})
    {
        editor->fileMenuResult(item);
        EXPECT_TRUE(runMessageLoopUntil([this] { return alertText().isNotEmpty(); }, 5000));
        EXPECT_EQ(alertText(), "Could not open " + shown + ":\nno program to open it was found (xdg-open exit status 3).");
        child<TarvelAlertComponent>("alert_").setTitle("");
    }
    setenv("PATH", oldPath.toRawUTF8(), 1);
}

TEST_F(EditorTest, ABSwitchSendsTheOtherSettingAndCopyWritesOnlyTheInactiveOne)
{
    auto& program = slot();
    program.presetPath[1] = "B.tz7p";
    program.values[1][kTolmMidDip] = 0.8f;
    openEditor();
    tick(3);
    forgetChanges();

    click("abButton_");
    EXPECT_EQ(program.activeChannel, 1);
    EXPECT_EQ(host.parameterChanges.size(), (size_t) kNumParameters);
    EXPECT_EQ(processor->liveValues[kTolmMidDip], 0.8f);
    EXPECT_EQ(presetMenu().getText(), "B*");
    tick();
    EXPECT_EQ(child<juce::Slider>("tolmMidDipKnob_").getValue(), (double) 0.8f);

    click("abButton_");
    EXPECT_EQ(program.activeChannel, 0);
    EXPECT_EQ(processor->liveValues[kTolmMidDip], program.values[0][kTolmMidDip]);
    tick();

    processor->setParameter(kTolmLowPeak, 0.35f);
    tick();
    forgetChanges();
    click("abCopyButton_");
    for (int i = 0; i < kNumParameters; ++i)
        EXPECT_EQ(program.values[1][i], program.values[0][i]) << i;
    EXPECT_TRUE(host.parameterChanges.empty());
    EXPECT_FALSE(processor->parametersChanged || processor->programChanged || processor->channelChanged);
}

TEST_F(EditorTest, TheAboutBoxShowsTheVersionWithTheBuildsWordSize)
{
    openEditor();
    click("aboutShowButton_");
    EXPECT_TRUE(child("aboutContainer_").isVisible());
    auto* version = dynamic_cast<juce::Label*>(child("aboutContainer_").getChildComponent(0));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->getText(), sizeof(void*) == 8 ? "1.0.5 (64bit)" : "1.0.5 (32bit)");
}

// Dialogs only open over an editor on screen; the headless tests above see their texts only.
TEST_F(EditorTest, OnScreenTheFileMenuAndAFailedLoadOpenTheirDialogs)
{
    WYD_REQUIRE_DISPLAY();
    makeFile(presetFolder().getChildFile("Junk.tz7p"), "not a preset");
    openEditor();
    editor->addToDesktop(0);
    editor->setVisible(true);
    ASSERT_TRUE(runMessageLoopUntil([this] { return editor->isShowing(); }, 2000));

    auto& saveDialog = child<TarvelWydKX7PresetBrowser>("savePresetBrowser_");
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::savePresetAsItem);
    EXPECT_TRUE(saveDialog.isVisible() && saveDialog.isCurrentlyModal());
    saveDialog.hide();

    auto& alert = child<TarvelAlertComponent>("alert_");
    editor->fileMenuResult(WYD_KX7AudioProcessorEditor::userManualItem); // the manual is missing
    EXPECT_TRUE(alert.isVisible() && alert.isCurrentlyModal());
    alert.hide();
    presetMenu().setSelectedFilePath("Junk.tz7p");
    editor->labelTextChanged(&presetMenu());
    EXPECT_TRUE(alert.isVisible() && alert.isCurrentlyModal());
    alert.hide();
    editor->removeFromDesktop();
}
