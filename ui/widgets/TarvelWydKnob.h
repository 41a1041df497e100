#pragma once

#include "ui/widgets/TarvelKnob.h"

#include <optional>

// A stepped selector: a knob with one position per frame of its strip, drawn only inside its
// knob area, plus one click rectangle per step (usually over the step's printed label). A press
// on a step's rectangle selects that step; only a press inside the knob area starts a drag. A step
// click that changes the value tells the listeners of a drag from the press to the release.
class TarvelWydKnob : public TarvelKnob
{
public:
    explicit TarvelWydKnob(const juce::String& componentName);
    ~TarvelWydKnob() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;

    // Takes the strip, its step count and the area (widget coordinates) the frame is drawn into.
    // An invalid image, or a step count below 1, leaves the selector without frames (it draws
    // nothing) and keeps the previous knob area.
    void setImage(juce::Image image, int frameCount, int x, int y, int w, int h);

    // Registers the click rectangle of step index: replaces an existing one or appends. Call it
    // after setImage, for the steps in ascending order. An index above the step count (or
    // negative) is ignored.
    void addFreqSelection(int x, int y, int w, int h, int index);

    // The strip frame that shows the current value (0 without frames).
    int shownFrame() const;

private:
    int lastStepAt(juce::Point<int> position) const;
    double stepValue(int step) const;

    juce::Image stripImage;
    int numFrames = 0;
    int frameHeight = 0;
    int frameWidth = 0;
    juce::Array<juce::Rectangle<int>> positionRects;
    juce::Rectangle<int> knobArea;
    std::optional<juce::Slider::ScopedDragNotification> stepGesture;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelWydKnob)
};
