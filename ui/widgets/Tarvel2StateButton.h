#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A switch drawn from a two-frame strip (frames stacked vertically): frame 0 off, frame 1 on.
// A click flips its toggle state; the frame is scaled into whatever bounds the owner gives it.
class Tarvel2StateButton : public juce::Button
{
public:
    explicit Tarvel2StateButton(const juce::String& componentName);
    ~Tarvel2StateButton() override;

    // Takes a new strip (may be called again later to swap it). An invalid image is kept but
    // draws nothing and leaves the frame size as it was.
    void setImage(juce::Image image);

protected:
    void paintButton(juce::Graphics& g, bool shouldDrawButtonAsHighlighted,
                     bool shouldDrawButtonAsDown) override;

private:
    juce::Image stripImage;
    int frameWidth = 0;
    int frameHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(Tarvel2StateButton)
};
