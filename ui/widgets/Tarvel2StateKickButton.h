#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A momentary push button drawn from a two-frame strip: frame 1 exactly while it is held down,
// frame 0 otherwise. It never keeps a toggle state. Without a strip it paints nothing and is an
// invisible click area.
class Tarvel2StateKickButton : public juce::Button
{
public:
    explicit Tarvel2StateKickButton(const juce::String& componentName);
    ~Tarvel2StateKickButton() override;

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

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(Tarvel2StateKickButton)
};
