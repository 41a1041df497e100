#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A rotary knob drawn from a film strip of frames stacked vertically (frame 0 the minimum, the
// last frame the maximum), dragged vertically. Any value above the minimum already turns the
// knob off its minimum frame.
class TarvelKnob : public juce::Slider
{
public:
    explicit TarvelKnob(const juce::String& componentName);
    ~TarvelKnob() override;

    void paint(juce::Graphics& g) override;

    // Takes the strip and how many frames it holds. An invalid image, or a frame count below 1,
    // leaves the knob without frames: it draws nothing.
    void setImage(juce::Image image, int frameCount);

private:
    juce::Image stripImage;
    int numFrames = 0;
    int frameWidth = 0;
    int frameHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelKnob)
};
