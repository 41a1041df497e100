#include "ui/UiTestSupport.h"
#include "ui/widgets/TarvelSplashScreen.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

namespace
{

// Delivers a press where JUCE would: to the innermost component under the point.
void pressAt(juce::Component& box, juce::Point<int> where)
{
    auto* target = box.getComponentAt(where);
    ASSERT_NE(target, nullptr);
    const auto local = target->getLocalPoint(&box, where);
    static_cast<juce::MouseListener*>(target)->mouseDown(wydtest::mouseEvent(*target, local));
}

struct AboutBox : ::testing::Test
{
    juce::Component editor;
    juce::Component control;
    TarvelSplashScreen box{"aboutContainer_"};

    void SetUp() override
    {
        editor.setSize(800, 450);
        control.setBounds(0, 0, 40, 40);
        editor.addAndMakeVisible(control);
        EXPECT_FALSE(box.isVisible());
        editor.addChildComponent(box);
        box.setTopLeftPosition(186, 106);
    }
};

} // namespace

TEST_F(AboutBox, IsModalWhileShownAndClosesOnAClickOutsideTheVersionLabel)
{
    EXPECT_EQ(box.getBounds(), juce::Rectangle<int>(186, 106, 430, 240));

    box.show();
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(box.isCurrentlyModal());
    EXPECT_TRUE(control.isCurrentlyBlockedByAnotherModalComponent());

    for (auto onLabel : {juce::Point<int>(75, 18), juce::Point<int>(429, 33)})
    {
        pressAt(box, onLabel);
        EXPECT_TRUE(box.isVisible() && box.isCurrentlyModal()) << onLabel.toString();
    }

    pressAt(box, {74, 25});
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.isCurrentlyModal());
    EXPECT_FALSE(control.isCurrentlyBlockedByAnotherModalComponent());

    box.show();
    pressAt(box, {200, 34});
    EXPECT_FALSE(box.isCurrentlyModal());
}

TEST_F(AboutBox, VersionTextSitsAtTheBottomLeftOfItsLabel)
{
    const auto without = wydtest::render(box);
    box.setVersion("1.0.5 (64bit)");
    const auto with = wydtest::render(box);

    juce::Rectangle<int> changed;
    int closestToTextColour = 255;
    for (int y = 0; y < with.getHeight(); ++y)
        for (int x = 0; x < with.getWidth(); ++x)
            if (with.getPixelAt(x, y) != without.getPixelAt(x, y))
            {
                changed = changed.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1)
                                            : changed.getUnion({x, y, 1, 1});
                const auto c = with.getPixelAt(x, y);
                closestToTextColour = std::min(closestToTextColour,
                                               std::max({std::abs(c.getRed() - 50), std::abs(c.getGreen() - 50),
                                                         std::abs(c.getBlue() - 50)}));
            }

    ASSERT_FALSE(changed.isEmpty()) << "no text drawn";
    EXPECT_TRUE(juce::Rectangle<int>(75, 18, 360, 16).contains(changed)) << changed.toString();
    EXPECT_LE(changed.getX(), 85);
    EXPECT_GE(changed.getBottom(), 30);
    EXPECT_LT(changed.getRight(), 75 + 180) << "text not at the left";
    EXPECT_LE(closestToTextColour, 12);
}
