#include "ui/UiTestSupport.h"
#include "ui/widgets/Tarvel2StateButton.h"
#include "ui/widgets/Tarvel2StateKickButton.h"
#include "ui/widgets/TarvelKnob.h"
#include "ui/widgets/TarvelWydKnob.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

using wydtest::frameAt;
using wydtest::makeStrip;
using wydtest::mouseEvent;
using wydtest::render;

namespace
{

struct SliderEvents : juce::Slider::Listener
{
    int changes = 0;
    int dragsStarted = 0;
    void sliderValueChanged(juce::Slider*) override { ++changes; }
    void sliderDragStarted(juce::Slider*) override { ++dragsStarted; }
};

// A 5-step selector 100 x 100 with its knob area at (50, 0, 50, 50) and step rectangles at
// (0, 0, 10, 10) + k x (0, 12) for k = 0 .. 4, and step 4's rectangle overlapping step 3's.
struct Selector : ::testing::Test
{
    TarvelWydKnob knob{"knob"};
    SliderEvents events;

    void SetUp() override
    {
        knob.setRange(0.0, 1.0, 0.25);
        knob.setBounds(0, 0, 100, 100);
        knob.setImage(makeStrip(50, 50, 5), 5, 50, 0, 50, 50);
        for (int k = 0; k < 5; ++k)
            knob.addFreqSelection(0, k * 12, 10, k == 4 ? -12 : 10, k);
        knob.addListener(&events);
    }

    void press(int x, int y)
    {
        knob.mouseDown(mouseEvent(knob, {x, y}));
        knob.mouseUp(mouseEvent(knob, {x, y}));
    }
};

} // namespace

// Without a display no button is showing, so mouse handlers would leave it normal; the states are
// set the way Button sets them from the pointer: down while held over it, normal once the
// pointer has left while still held.
TEST(StripButtons, KickButtonShowsThePressedFrameOnlyWhileHeld)
{
    Tarvel2StateKickButton button("kick");
    button.setImage(makeStrip(30, 10, 2));
    button.setBounds(0, 0, 30, 10);
    for (auto [state, frame] : {std::pair{juce::Button::buttonOver, 0}, {juce::Button::buttonDown, 1},
                                {juce::Button::buttonNormal, 0}})
    {
        button.setState(state);
        EXPECT_EQ(frameAt(render(button), 15, 5), frame) << state;
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
    EXPECT_EQ(frameAt(render(button), 15, 5), 0);
    button.triggerClick();
    ASSERT_TRUE(wydtest::runMessageLoopUntil([&] { return button.getToggleState(); }));
    for (auto state : {juce::Button::buttonNormal, juce::Button::buttonOver, juce::Button::buttonDown})
    {
        button.setState(state);
        EXPECT_EQ(frameAt(render(button), 15, 5), 1) << state;
    }
    EXPECT_FALSE(button.getWantsKeyboardFocus());
}

TEST(StripButtons, FrameIsScaledIntoOtherBounds)
{
    Tarvel2StateButton button("saturationOnButton_");
    button.setImage(makeStrip(28, 21, 2));
    button.setBounds(0, 0, 29, 21);
    const auto image = render(button);
    for (int x = 0; x < 29; ++x)
        for (int y : {0, 10, 20})
            EXPECT_EQ(frameAt(image, x, y), 0) << x << ", " << y;
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
        EXPECT_TRUE(render(*c).getPixelAt(5, 5).isTransparent()) << c->getName();
    }
}

TEST(StripKnob, FrameIsTheCeilingOfTheValue)
{
    TarvelKnob knob("knob");
    knob.setImage(makeStrip(10, 4, 101), 101);
    knob.setBounds(0, 0, 10, 4);
    for (auto [value, frame] : {std::pair{0.0, 0}, {0.004, 1}, {0.01, 1}, {0.5, 50}, {0.999, 100}, {1.0, 100}})
    {
        knob.setValue(value, juce::dontSendNotification);
        EXPECT_EQ(frameAt(render(knob), 5, 2), frame) << value;
    }
}

TEST(StripSelector, StepValuesShowTheirOwnFrameInsideTheKnobAreaOnly)
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
            const auto image = render(knob);
            EXPECT_EQ(frameAt(image, 28, 16), k) << steps << " steps, value " << k * interval;
            EXPECT_TRUE(image.getPixelAt(19, 16).isTransparent());
        }
    }
}

TEST(StripSelector, SnappedValueJustAboveAStepShowsThatStep)
{
    TarvelWydKnob knob("tolmMidFreqKnob_");
    knob.setRange(0.0, 1.0, 0.1);
    knob.setBounds(0, 0, 10, 10);
    knob.setImage(makeStrip(10, 10, 11), 11, 0, 0, 10, 10);
    knob.setValue(0.30000000000000004, juce::dontSendNotification);
    EXPECT_EQ(frameAt(render(knob), 5, 5), 3);
}

TEST_F(Selector, PressOnAStepLabelSelectsItLaterAndStartsNoDrag)
{
    knob.mouseDown(mouseEvent(knob, {5, 29}));
    EXPECT_EQ(knob.getValue(), 0.5);
    EXPECT_EQ(events.changes, 0) << "notified during the press";
    EXPECT_EQ(events.dragsStarted, 0);
    knob.mouseDrag(mouseEvent(knob, {5, 0}, {5, 29}));
    knob.mouseUp(mouseEvent(knob, {5, 0}, {5, 29}));
    EXPECT_EQ(knob.getValue(), 0.5);
    EXPECT_TRUE(wydtest::runMessageLoopUntil([this] { return events.changes == 1; }));
}

TEST_F(Selector, RectanglesIncludeTheirFarEdgesAndTheHigherStepWins)
{
    press(10, 10); // x + w, y + h of step 0
    EXPECT_EQ(knob.getValue(), 0.0);
    press(10, 22); // bottom edge of step 1
    EXPECT_EQ(knob.getValue(), 0.25);
    press(5, 40); // inside step 3 and step 4 (negative height 48 .. 36)
    EXPECT_EQ(knob.getValue(), 1.0);
    knob.setValue(0.5, juce::dontSendNotification);
    press(11, 60); // neither a rectangle nor the knob area
    EXPECT_EQ(knob.getValue(), 0.5);
    EXPECT_EQ(events.dragsStarted, 0);
}

TEST_F(Selector, OnlyAPressInTheKnobAreaDrags)
{
    knob.addFreqSelection(60, 20, 10, 10, 1); // step 1 inside the knob area
    knob.mouseDown(mouseEvent(knob, {65, 25}));
    EXPECT_EQ(knob.getValue(), 0.25);
    EXPECT_EQ(events.dragsStarted, 1);
    knob.mouseDrag(mouseEvent(knob, {65, -75}, {65, 25}));
    knob.mouseUp(mouseEvent(knob, {65, -75}, {65, 25}));
    EXPECT_GT(knob.getValue(), 0.25);
    // A later press outside the knob area must not drag on from that earlier drag.
    knob.mouseDown(mouseEvent(knob, {5, 5}));
    knob.mouseDrag(mouseEvent(knob, {5, -95}, {5, 5}));
    EXPECT_EQ(knob.getValue(), 0.0);
    EXPECT_EQ(events.dragsStarted, 1);
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
