// The preset folder an open editor works in, when the desktop's music folder appears meanwhile.

#include "EditorTestSupport.h"
#include "ui/PresetLocations.h"
#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"
#include "ui/widgets/TarvelWydKX7PresetBrowser.h"

using namespace wydtest;
using namespace ParameterTable;
using Editor = WYD_KX7AudioProcessorEditor;

namespace
{
// Removes a file or folder of the test's when the test ends, also when it fails.
struct RemovedAtEnd
{
    juce::File file;
    ~RemovedAtEnd() { file.deleteRecursively(false); }
};

float midDipIn(const juce::File& preset)
{
    WYD_KX7AudioProcessor reader;
    reader.readPreset(juce::XmlDocument::parse(preset).release(), true);
    return reader.getParameter(kTolmMidDip);
}
} // namespace

// The editor keeps the folder it opened with for the menu, both saves and the comparison; the
// next editor takes the new one.
TEST_F(EditorTest, AnOpenEditorKeepsThePresetFolderItOpenedWith)
{
    WYD_REQUIRE_DISPLAY();
    const auto home = JuceGuiEnvironment::temporaryHome().path();
    const RemovedAtEnd settings{home.getChildFile(".config")};
    const RemovedAtEnd musik{home.getChildFile("Musik")};
    ASSERT_TRUE(settings.file.createDirectory());
    ASSERT_TRUE(settings.file.getChildFile("user-dirs.dirs").replaceWithText("XDG_MUSIC_DIR=\"$HOME/Musik\"\n"));
    const auto opened = presetFolder(); // under ~/Music, as ~/Musik is missing
    const auto again = writePresetFile("Again.tz7p", [](WYD_KX7AudioProcessor&) {});
    slot().presetPath[0] = "Again.tz7p";
    openEditor();
    editor->addToDesktop(0);
    editor->setVisible(true);
    ASSERT_TRUE(runMessageLoopUntil([this] { return editor->isShowing(); }));
    ASSERT_TRUE(musik.file.createDirectory());
    processor->setParameter(kTolmMidDip, 0.3f);

    editor->fileMenuResult(Editor::savePresetItem);
    auto& question = child<TarvelWydKX7OverwriteComponent>("overwritePresetComponent_");
    EXPECT_EQ(question.presetFile, again);
    question.okButtonClicked();
    EXPECT_EQ(midDipIn(again), 0.3f);

    auto& dialog = child<TarvelWydKX7PresetBrowser>("savePresetBrowser_");
    editor->fileMenuResult(Editor::savePresetAsItem);
    EXPECT_EQ(dialog.getFileBrowser()->getRoot(), opened);
    dialog.getFileBrowser()->setFileName("New");
    dialog.savePreset();
    EXPECT_EQ(midDipIn(opened.getChildFile("New.tz7p")), 0.3f);
    processor->setParameter(kTolmMidDip, 0.4f);
    tick(); // the menu shows New, the saved file, and compares it with the values
    presetMenu().compareAndMarkPreset(processor.get());
    EXPECT_EQ(presetMenu().getText(), "New*");
    EXPECT_TRUE(presetMenu().isListed("Again.tz7p"));
    EXPECT_EQ(musik.file.getNumberOfChildFiles(juce::File::findFilesAndDirectories), 0);

    editor->removeFromDesktop();
    closeEditor();
    openEditor();
    EXPECT_EQ(presetMenu().getDirectoryPath(), PresetLocations::presetFolderText());
    EXPECT_TRUE(presetMenu().getDirectoryPath().startsWith(musik.file.getFullPathName()));
}
