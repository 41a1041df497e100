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

int numModal()
{
    return juce::ModalComponentManager::getInstance()->getNumModalComponents();
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

    alert.show(1, 4);
    EXPECT_TRUE(alert.isVisible() && isModal(alert));
    EXPECT_EQ(alert.getIconType(), 4);
    EXPECT_EQ(alert.getChildComponent(0)->getBounds(), juce::Rectangle<int>(49, 60, 389, 80));
    EXPECT_EQ(alert.getOkButton().getBounds(), juce::Rectangle<int>(189, 154, 108, 30));
    EXPECT_FALSE(alert.getCancelButton().isVisible());
    alert.show(0, 1);
    alert.show(3, 1);
    EXPECT_EQ(alert.getIconType(), 4);
    alert.buttonClicked(&alert.getOkButton());
    EXPECT_FALSE(alert.isVisible() || isModal(alert));

    alert.show(2, 2); // icon 2 is the whole OK button strip
    EXPECT_EQ(alert.getIconImage().getBounds(), juce::Rectangle<int>(0, 0, 108, 60));
    EXPECT_EQ(alert.getOkButton().getBounds(), juce::Rectangle<int>(129, 154, 108, 30));
    EXPECT_EQ(alert.getCancelButton().getBounds(), juce::Rectangle<int>(248, 154, 108, 30));
    EXPECT_TRUE(alert.getCancelButton().isVisible());
    alert.buttonClicked(&alert.getCancelButton());
    EXPECT_FALSE(alert.isVisible());
    EXPECT_EQ(numModal(), 0);

    editor.setVisible(false); // never shown over an owner that is not on screen
    alert.show(1, 1);
    EXPECT_FALSE(alert.isVisible() || isModal(alert));
}

TEST_F(DialogTest, ModalStateIsHandedOverBetweenNestedBoxesAndStaysInItsEditor)
{
    WYD_REQUIRE_DISPLAY();
    OnScreenWindow editorA, editorB;
    juce::TextButton buttonA("a"), buttonB("b");
    editorA.addAndMakeVisible(buttonA);
    editorB.addAndMakeVisible(buttonB);
    TarvelAlertComponent outer("outer", 1, 1, 3), inner("inner", 1, 1, 3), alertB("alertB", 1, 1, 3);
    editorA.addChildComponent(outer);
    outer.addChildComponent(inner);
    inner.needChangeParentModal(true);
    editorB.addChildComponent(alertB);

    outer.show(2, 1);
    EXPECT_TRUE(buttonA.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_FALSE(buttonB.isCurrentlyBlockedByAnotherModalComponent());
    inner.show(1, 1);
    EXPECT_TRUE(isModal(inner));
    EXPECT_FALSE(isModal(outer));

    alertB.show(1, 1); // now on top of JUCE's single modal stack
    EXPECT_TRUE(buttonA.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_TRUE(buttonB.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_FALSE(inner.getOkButton().isCurrentlyBlockedByAnotherModalComponent());
    alertB.hide();

    inner.buttonClicked(&inner.getOkButton());
    EXPECT_TRUE(isModal(outer));
    outer.hide();
    EXPECT_FALSE(buttonA.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_EQ(numModal(), 0);
}

TEST_F(DialogTest, EditorOverwriteQuestionReportsAFailedWriteAndRecordsNothing)
{
    WYD_REQUIRE_DISPLAY();
    OnScreenWindow editor;
    WYD_KX7AudioProcessor processor;
    TarvelWydKX7PresetMenu menu("presetMenu_");
    menu.setDirectoryPath(presetFolder().getFullPathName());
    TarvelWydKX7OverwriteComponent question("overwritePresetComponent_", &processor, &menu);
    editor.addChildComponent(question);
    processor.programs[0].presetPath[0] = "Before.tz7p";

    // A folder in the file's place: the message names the file and the question stays beneath.
    question.presetFile = presetFolder().getChildFile("Folder.tz7p");
    ASSERT_TRUE(question.presetFile.createDirectory());
    question.show(2, 1);
    question.buttonClicked(&question.getOkButton());
    auto& message = question.getFailureAlert();
    EXPECT_TRUE(isModal(message));
    EXPECT_FALSE(isModal(question));
    EXPECT_EQ(message.getTitleText(), "Couldn't save the preset!\nIs a directory.\n\n\"Folder.tz7p\"");
    EXPECT_EQ(processor.programs[0].presetPath[0], "Before.tz7p");
    message.buttonClicked(&message.getOkButton());
    EXPECT_TRUE(isModal(question));
    question.buttonClicked(&question.getCancelButton());
    EXPECT_EQ(numModal(), 0);
}

// A long file name under a failure's headline and reason is shortened in its middle, so that the
// wrapped message fits the label and its first lines stay in view.
TEST_F(DialogTest, ALongNameLeavesTheHeadlineAndTheReasonInView)
{
    WYD_REQUIRE_DISPLAY();
    OnScreenWindow editor;
    TarvelAlertComponent box("alert_", 1, 1, 3);
    editor.addChildComponent(box);
    const auto name = juce::String::repeatedString("Long name ", 24) + "end.tz7p";
    const auto full = TarvelWydKX7OverwriteComponent::failedSaveMessage(presetFolder().getChildFile(name),
                                                                        presetFolder().getFullPathName(),
                                                                        "Permission denied.");
    box.showMessage(full, 1);

    const auto shown = box.getTitleText();
    EXPECT_TRUE(shown.startsWith("Couldn't save the preset!\nPermission denied.\n\n\"Long name Long")) << shown;
    EXPECT_TRUE(shown.endsWith("name end.tz7p\"")) << shown;
    EXPECT_TRUE(shown.contains(juce::String::charToString(0x2026)));
    EXPECT_EQ(box.getTitle(), full); // screen readers get it whole

    const juce::Label* label = nullptr;
    for (auto* child : box.getChildren())
        if (auto* text = dynamic_cast<juce::Label*>(child))
            label = text;
    ASSERT_NE(label, nullptr);
    juce::GlyphArrangement wrapped;
    const auto area = label->getBorderSize().subtractedFrom(label->getLocalBounds());
    wrapped.addJustifiedText(label->getFont(), shown, 0, 0, (float) area.getWidth(), juce::Justification::centred);
    EXPECT_LE(wrapped.getBoundingBox(0, -1, false).getHeight(), (float) area.getHeight());

    // A message that fits is shown as it is.
    box.showMessage("Couldn't save the preset!\nPermission denied.\n\n\"Short.tz7p\"", 1);
    EXPECT_EQ(box.getTitleText(), "Couldn't save the preset!\nPermission denied.\n\n\"Short.tz7p\"");
    box.hide();
}
