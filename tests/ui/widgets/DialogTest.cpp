#include "ui/widgets/TarvelAlertComponent.h"
#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"
#include "ui/widgets/TarvelWydKX7PresetMenu.h"
#include "DialogTestSupport.h"

using namespace wydtest;

namespace
{
bool isModal(const juce::Component& c)
{
    return c.isCurrentlyModal(false);
}

struct DialogTest : ::testing::Test
{
    void SetUp() override { clearMusicFolder(); }
    void TearDown() override { clearMusicFolder(); }
};
} // namespace

TEST_F(DialogTest, MessageBoxLayoutsIconsAndClosing)
{
    WYD_REQUIRE_DISPLAY();
    OnScreenWindow editor;
    TarvelAlertComponent alert("alert_", 1, 1, 3);
    editor.addChildComponent(alert);
    alert.setBounds(158, 126, 486, 200);
    EXPECT_EQ(alert.getIconImage().getWidth(), 50);

    alert.setTitle("Line one\nLine two");
    alert.show(1, 4);
    EXPECT_TRUE(alert.isVisible());
    EXPECT_TRUE(isModal(alert));
    EXPECT_EQ(alert.getIconType(), 4);
    EXPECT_EQ(alert.getChildComponent(0)->getBounds(), juce::Rectangle<int>(49, 60, 389, 80));
    EXPECT_EQ(alert.getOkButton().getBounds(), juce::Rectangle<int>(189, 154, 108, 30));
    EXPECT_FALSE(alert.getCancelButton().isVisible());

    for (int ignoredCount : { 0, 3 })
    {
        alert.show(ignoredCount, 1);
        EXPECT_EQ(alert.getIconType(), 4);
        EXPECT_FALSE(alert.getCancelButton().isVisible());
    }
    alert.buttonClicked(&alert.getOkButton());
    EXPECT_FALSE(alert.isVisible());
    EXPECT_FALSE(isModal(alert));

    alert.show(2, 2);
    EXPECT_EQ(alert.getIconImage().getBounds(), juce::Rectangle<int>(0, 0, 108, 60));
    EXPECT_EQ(alert.getOkButton().getBounds(), juce::Rectangle<int>(129, 154, 108, 30));
    EXPECT_EQ(alert.getCancelButton().getBounds(), juce::Rectangle<int>(248, 154, 108, 30));
    EXPECT_TRUE(alert.getCancelButton().isVisible());
    alert.buttonClicked(&alert.getCancelButton());
    EXPECT_FALSE(alert.isVisible());
    EXPECT_FALSE(isModal(editor));
}

TEST_F(DialogTest, NestedBoxTakesModalStateFromItsParentAndHandsItBack)
{
    WYD_REQUIRE_DISPLAY();
    OnScreenWindow editor;
    TarvelAlertComponent outer("outer", 1, 1, 3);
    TarvelAlertComponent inner("inner", 1, 1, 3);
    editor.addChildComponent(outer);
    outer.addChildComponent(inner);
    inner.setBounds(0, 0, 486, 200);
    inner.needChangeParentModal(true);

    outer.show(2, 1);
    inner.show(1, 1);
    EXPECT_TRUE(isModal(inner));
    EXPECT_FALSE(isModal(outer));
    inner.buttonClicked(&inner.getOkButton());
    EXPECT_TRUE(isModal(outer));
    EXPECT_FALSE(inner.isVisible());
    outer.hide();
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);

    // Not shown over an owner that is not on screen.
    editor.setVisible(false);
    outer.show(1, 1);
    EXPECT_FALSE(outer.isVisible());
    EXPECT_FALSE(isModal(outer));
}

TEST_F(DialogTest, ModalStateStaysWithinItsOwnEditor)
{
    WYD_REQUIRE_DISPLAY();
    OnScreenWindow editorA, editorB;
    juce::TextButton buttonA("a"), buttonB("b");
    editorA.addAndMakeVisible(buttonA);
    editorB.addAndMakeVisible(buttonB);
    TarvelAlertComponent alertA("alertA", 1, 1, 3), alertB("alertB", 1, 1, 3);
    editorA.addChildComponent(alertA);
    editorB.addChildComponent(alertB);

    alertA.show(1, 1);
    EXPECT_TRUE(buttonA.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_FALSE(buttonB.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_FALSE(alertA.getOkButton().isCurrentlyBlockedByAnotherModalComponent());

    alertB.show(1, 1); // now on top of JUCE's single modal stack
    EXPECT_TRUE(buttonA.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_TRUE(buttonB.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_FALSE(alertA.getOkButton().isCurrentlyBlockedByAnotherModalComponent());
    alertA.hide();
    EXPECT_FALSE(buttonA.isCurrentlyBlockedByAnotherModalComponent());
    alertB.hide();
}

TEST_F(DialogTest, OverwriteQuestionWritesOnOkOnlyAndReportsAFailedWrite)
{
    WYD_REQUIRE_DISPLAY();
    OnScreenWindow editor;
    WYD_KX7AudioProcessor processor;
    TarvelWydKX7PresetMenu menu("presetMenu_");
    menu.setDirectoryPath(presetFolder().getFullPathName());
    menu.setFileExtension("*.tz7p");
    TarvelWydKX7OverwriteComponent question("overwritePresetComponent_", &processor, &menu);
    editor.addChildComponent(question);
    question.setBounds(158, 126, 486, 200);

    const auto file = makeFile(presetFolder().getChildFile("Sub/Old.tz7p"), "old");
    question.presetFile = file;
    question.show(2, 1);
    question.buttonClicked(&question.getCancelButton());
    EXPECT_EQ(file.loadFileAsString(), "old");
    EXPECT_FALSE(question.isVisible());

    processor.currentProgram = 3;
    processor.programs[3].activeChannel = 1;
    question.show(2, 1);
    question.buttonClicked(&question.getOkButton());
    EXPECT_TRUE(file.loadFileAsString().startsWith("<?xml"));
    EXPECT_EQ(processor.programs[3].presetPath[1], "Sub/Old.tz7p");
    EXPECT_EQ(menu.getText(), "Old");
    EXPECT_FALSE(question.isVisible());

    // A folder in the file's place: the message names the file, nothing is recorded, and the
    // question stays beneath the message.
    const auto folderInPlace = presetFolder().getChildFile("Folder.tz7p");
    ASSERT_TRUE(folderInPlace.createDirectory());
    question.presetFile = folderInPlace;
    question.show(2, 1);
    question.buttonClicked(&question.getOkButton());
    auto& message = question.getFailureAlert();
    EXPECT_TRUE(message.isVisible());
    EXPECT_TRUE(isModal(message));
    EXPECT_FALSE(isModal(question));
    EXPECT_EQ(message.getTitleText(), "Couldn't save the preset!\n\n\"Folder.tz7p\"");
    EXPECT_EQ(processor.programs[3].presetPath[1], "Sub/Old.tz7p");
    EXPECT_EQ(menu.getSelectedFilePath(), "Sub/Old.tz7p");
    message.buttonClicked(&message.getOkButton());
    EXPECT_TRUE(isModal(question));
    question.buttonClicked(&question.getCancelButton());
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}
