#include "ui/widgets/TarvelKnob.h"

#include "ui/widgets/TarvelStripFrame.h"

TarvelKnob::TarvelKnob(const juce::String& componentName)
    : juce::Slider(componentName)
{
    setTextBoxStyle(juce::Slider::NoTextBox, true, 0, 0);
    setRange(0.0, 1.0, 0.0);
    setSliderStyle(juce::Slider::RotaryVerticalDrag);
    // Knobs take no keys: the arrow keys belong to whatever the owner decides.
    setWantsKeyboardFocus(false);
}

TarvelKnob::~TarvelKnob() = default;

void TarvelKnob::setImage(juce::Image image, int frameCount)
{
    stripImage = image;
    if (stripImage.isValid() && frameCount >= 1)
    {
        numFrames = frameCount;
        frameHeight = stripImage.getHeight() / frameCount;
        frameWidth = stripImage.getWidth();
    }
    else
    {
        numFrames = 0;
    }
    repaint();
}

void TarvelKnob::paint(juce::Graphics& g)
{
    if (numFrames < 1)
        return;
    const int frame = TarvelStripFrame::frameForValue(getValue(), getMinimum(), getMaximum(),
                                                      numFrames, TarvelStripFrame::Rounding::up);
    TarvelStripFrame::draw(g, stripImage, frame * frameHeight, frameWidth, frameHeight,
                           getLocalBounds());
}
