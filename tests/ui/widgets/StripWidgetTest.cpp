#include "ui/UiTestSupport.h"
#include "ui/widgets/Tarvel2StateButton.h"
#include "ui/widgets/Tarvel2StateKickButton.h"
#include "ui/widgets/TarvelWydKnob.h"
#include "WidgetTestSupport.h"

using wydtest::frameAt;
using wydtest::makeStrip;
using wydtest::mouseEvent;

// Without a display no button is showing and its mouse handlers would keep it normal, so the
// states are set as Button sets them: down while held over it, normal once the pointer has left.
TEST(StripButtons, KickButtonShowsThePressedFrameOnlyWhileHeld)
{
    Tarvel2StateKickButton button("kick");
    button.setImage(makeStrip(30, 10, 2));
    button.setBounds(0, 0, 30, 10);
    for (auto [state, frame] : {std::pair{juce::Button::buttonOver, 0}, {juce::Button::buttonDown, 1},
                                {juce::Button::buttonNormal, 0}})
    {
        button.setState(state);
        EXPECT_EQ(frameAt(button, 15, 5), frame) << state;
    }
    button.triggerClick();
    wydtest::runMessageLoopFor(20);
    EXPECT_FALSE(button.getToggleState());
}

TEST(StripButtons, SwitchShowsItsStateNotThePress)
{
    Tarvel2StateButton button("switch");
    button.setImage(makeStrip(30, 10, 2));
    button.setBounds(0, 0, 30, 10);
    button.setState(juce::Button::buttonDown);
    EXPECT_EQ(frameAt(button, 15, 5), 0);
    button.triggerClick();
    ASSERT_TRUE(wydtest::runMessageLoopUntil([&] { return button.getToggleState(); }));
    for (auto state : {juce::Button::buttonNormal, juce::Button::buttonOver, juce::Button::buttonDown})
    {
        button.setState(state);
        EXPECT_EQ(frameAt(button, 15, 5), 1) << state;
    }
    EXPECT_FALSE(button.getWantsKeyboardFocus());
}

TEST(StripButtons, FrameIsScaledIntoEveryColumnOfWiderBounds)
{
    Tarvel2StateButton button("saturationOnButton_");
    button.setImage(makeStrip(28, 21, 2));
    button.setBounds(0, 0, 29, 21);
    for (int x : {0, 27, 28})
        for (int y : {0, 20})
            EXPECT_EQ(frameAt(button, x, y), 0) << x << ", " << y;
}

TEST(StripWidgets, WithoutAUsableStripNothingIsDrawn)
{
    Tarvel2StateKickButton button("hotSpot");
    TarvelKnob knob("knob");
    TarvelWydKnob selector("selector");
    knob.setImage(makeStrip(10, 10, 3), 0);
    selector.setImage(juce::Image(), 3, 0, 0, 10, 10);
    for (juce::Component* c : std::initializer_list<juce::Component*>{&button, &knob, &selector})
    {
        c->setBounds(0, 0, 10, 10);
        EXPECT_TRUE(wydtest::render(*c).getPixelAt(5, 5).isTransparent()) << c->getName();
    }
}

TEST(StripKnob, FrameIsTheCeilingOfTheValue)
{
    TarvelKnob knob("knob");
    knob.setImage(makeStrip(10, 4, 101), 101);
    knob.setBounds(0, 0, 10, 4);
    for (auto [value, frame] : {std::pair{0.0, 0}, {0.004, 1}, {0.01, 1}, {0.5, 50}, {0.999, 100}})
    {
        knob.setValue(value, juce::dontSendNotification);
        EXPECT_EQ(frameAt(knob, 5, 2), frame) << value;
    }
}

// Every selector of the editor: each step value shows its own frame (the floor, so a snapped
// value a hair above the step still does), drawn inside the knob area only.
TEST(StripSelector, StepValuesShowTheirOwnFrameInsideTheKnobArea)
{
    for (int steps : {5, 11, 5, 4, 7, 3})
    {
        const double interval = 1.0 / (steps - 1);
        TarvelWydKnob knob("selector");
        knob.setRange(0.0, 1.0, interval);
        knob.setBounds(0, 0, 40, 30);
        knob.setImage(makeStrip(8, 6, steps), steps, 20, 10, 16, 12);
        for (int k = 0; k < steps; ++k)
        {
            knob.setValue(k * interval, juce::dontSendNotification);
            EXPECT_EQ(frameAt(knob, 28, 16), k) << steps << " steps, value " << k * interval;
        }
        EXPECT_TRUE(wydtest::render(knob).getPixelAt(19, 16).isTransparent());
    }
}

namespace
{

// 5 steps in 100 x 100: knob area (50, 0, 50, 50); step k's rectangle (0, 12 k, 10, 10), but step
// 4's has height -12 and so covers step 3's.
// Drag notifications nest (a step click inside the knob area starts a drag within its own), so
// they are counted as gestures, as the editor tells them to the host.
struct Selector : ::testing::Test, juce::Slider::Listener
{
    TarvelWydKnob knob{"knob"};
    int changes = 0, gestures = 0, openDrags = 0;

    void sliderValueChanged(juce::Slider*) override { ++changes; }
    void sliderDragStarted(juce::Slider*) override { gestures += openDrags++ == 0 ? 1 : 0; }
    void sliderDragEnded(juce::Slider*) override { --openDrags; }

    void SetUp() override
    {
        knob.setRange(0.0, 1.0, 0.25);
        knob.setBounds(0, 0, 100, 100);
        knob.setImage(makeStrip(50, 50, 5), 5, 50, 0, 50, 50);
        for (int k = 0; k < 5; ++k)
            knob.addFreqSelection(0, k * 12, 10, k == 4 ? -12 : 10, k);
        knob.addListener(this);
    }

    double valueAfterClickAt(int x, int y)
    {
        knob.mouseDown(mouseEvent(knob, {x, y}));
        knob.mouseUp(mouseEvent(knob, {x, y}));
        return knob.getValue();
    }
};

} // namespace

TEST_F(Selector, PressOnAStepOutsideTheKnobAreaSelectsItNotifiesAtOnceAndDragsNothing)
{
    knob.mouseDown(mouseEvent(knob, {5, 29}));
    EXPECT_EQ(knob.getValue(), 0.5);
    EXPECT_EQ(changes, 1) << "not notified during the press";
    // A refresh from elsewhere before any queued message runs must not undo the click.
    knob.setValue(0.0, juce::dontSendNotification);
    knob.mouseDrag(mouseEvent(knob, {5, -95}, juce::Point<int>{5, 29}));
    EXPECT_EQ(knob.getValue(), 0.0) << "the press dragged";
    wydtest::runMessageLoopFor(20);
    EXPECT_EQ(changes, 1);
    // The click is a gesture from the press to the release.
    EXPECT_EQ(gestures, 1);
    EXPECT_EQ(openDrags, 1);
    knob.mouseUp(mouseEvent(knob, {5, -95}, juce::Point<int>{5, 29}));
    EXPECT_EQ(openDrags, 0);
}

TEST_F(Selector, RectanglesIncludeTheirFarEdgesAndTheHigherStepWins)
{
    EXPECT_EQ(valueAfterClickAt(10, 10), 0.0);  // x + w, y + h of step 0
    EXPECT_EQ(valueAfterClickAt(10, 22), 0.25); // bottom edge of step 1
    EXPECT_EQ(valueAfterClickAt(5, 40), 1.0);   // steps 3 and 4
    EXPECT_EQ(valueAfterClickAt(11, 60), 1.0);  // neither a step nor the knob area
    EXPECT_EQ(gestures, 2) << "one for each click that changed the value";
    EXPECT_EQ(openDrags, 0);
}

TEST_F(Selector, APressInBothAStepAndTheKnobAreaSelectsAndDragsFromThere)
{
    knob.addFreqSelection(60, 20, 10, 10, 1);
    knob.mouseDown(mouseEvent(knob, {65, 25}));
    EXPECT_EQ(knob.getValue(), 0.25);
    knob.mouseDrag(mouseEvent(knob, {65, -75}, juce::Point<int>{65, 25}));
    EXPECT_EQ(knob.getValue(), 0.75); // 100 pixels up from step 1
    knob.mouseUp(mouseEvent(knob, {65, -75}, juce::Point<int>{65, 25}));
    EXPECT_EQ(gestures, 1) << "the step and the drag are one gesture";
    EXPECT_EQ(openDrags, 0);
}

TEST(StripSelectorRectangles, IndexAboveTheStepCountIsIgnoredOthersFillTheNextSlot)
{
    TarvelWydKnob knob("selector");
    knob.setBounds(0, 0, 100, 100);
    knob.setImage(makeStrip(10, 10, 5), 5, 80, 80, 10, 10);
    knob.addFreqSelection(0, 0, 10, 10, 0);
    knob.addFreqSelection(20, 0, 10, 10, 6);
    knob.addFreqSelection(40, 0, 10, 10, 5); // stored as the next element: step 1
    knob.setValue(1.0, juce::dontSendNotification);
    knob.mouseDown(mouseEvent(knob, {25, 5}));
    EXPECT_EQ(knob.getValue(), 1.0);
    knob.mouseDown(mouseEvent(knob, {45, 5}));
    EXPECT_EQ(knob.getValue(), 0.25);
}
