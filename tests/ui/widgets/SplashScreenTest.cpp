#include "ui/UiTestSupport.h"
#include "ui/widgets/TarvelSplashScreen.h"
#include "WidgetTestSupport.h"

namespace
{

struct AboutBox : ::testing::Test
{
    juce::Component editor, control;
    TarvelSplashScreen box{"aboutContainer_"};

    void SetUp() override
    {
        EXPECT_FALSE(box.isVisible());
        editor.setSize(800, 450);
        control.setBounds(0, 0, 40, 40);
        editor.addAndMakeVisible(control);
        editor.addChildComponent(box);
        box.setTopLeftPosition(186, 106);
    }

    // Delivers the press where JUCE would: to the innermost component under the point.
    void pressAt(int x, int y)
    {
        auto* target = box.getComponentAt(x, y);
        ASSERT_NE(target, nullptr);
        const auto local = target->getLocalPoint(&box, juce::Point<int>(x, y));
        static_cast<juce::MouseListener*>(target)->mouseDown(wydtest::mouseEvent(*target, local));
    }
};

} // namespace

TEST_F(AboutBox, IsModalWhileShownAndClosesOnAClickOutsideTheVersionLabel)
{
    EXPECT_EQ(box.getBounds(), juce::Rectangle<int>(186, 106, 430, 240));
    box.show();
    EXPECT_TRUE(box.isVisible() && box.isCurrentlyModal());
    EXPECT_TRUE(control.isCurrentlyBlockedByAnotherModalComponent());
    pressAt(75, 18); // the label's corners
    pressAt(429, 33);
    EXPECT_TRUE(box.isVisible() && box.isCurrentlyModal());
    pressAt(74, 25);
    EXPECT_FALSE(box.isVisible() || box.isCurrentlyModal());
    EXPECT_FALSE(control.isCurrentlyBlockedByAnotherModalComponent());
}

TEST_F(AboutBox, BlocksOnlyItsOwnEditor)
{
    juce::Component otherEditor, otherControl;
    otherEditor.setSize(800, 450);
    otherControl.setBounds(0, 0, 40, 40);
    otherEditor.addAndMakeVisible(otherControl);

    box.show();
    EXPECT_TRUE(control.isCurrentlyBlockedByAnotherModalComponent());
    EXPECT_FALSE(otherControl.isCurrentlyBlockedByAnotherModalComponent());
    box.hide();
}

TEST_F(AboutBox, VersionTextSitsAtTheBottomLeftOfItsLabel)
{
    const auto without = wydtest::render(box);
    box.setVersion("1.0.5 (64bit)");
    const auto with = wydtest::render(box);
    juce::RectangleList<int> changed;
    for (int y = 0; y < with.getHeight(); ++y)
        for (int x = 0; x < with.getWidth(); ++x)
            if (with.getPixelAt(x, y) != without.getPixelAt(x, y))
                changed.addWithoutMerging({x, y, 1, 1});
    const auto text = changed.getBounds();
    ASSERT_FALSE(text.isEmpty()) << "no text drawn";
    EXPECT_TRUE(juce::Rectangle<int>(75, 18, 360, 16).contains(text)) << text.toString();
    EXPECT_LE(text.getX(), 85);
    EXPECT_GE(text.getBottom(), 30);
    EXPECT_LT(text.getRight(), 75 + 180) << "not at the left";
}
