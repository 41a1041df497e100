#include "ui/widgets/Tarvel2StateKickButton.h"

#include "ui/widgets/TarvelStripFrame.h"

Tarvel2StateKickButton::Tarvel2StateKickButton(const juce::String& componentName)
    : juce::Button(componentName)
{
    setClickingTogglesState(false);
    // Keyboard focus on a click would let Return repeat the click. The click still asks the
    // parents for focus, so an owner that wants keys (and the X focus popup menus need) gets it.
    setWantsKeyboardFocus(false);
}

Tarvel2StateKickButton::~Tarvel2StateKickButton() = default;

void Tarvel2StateKickButton::setImage(juce::Image image)
{
    stripImage = image;
    if (stripImage.isValid())
    {
        frameHeight = stripImage.getHeight() / 2;
        frameWidth = stripImage.getWidth();
    }
    repaint();
}

void Tarvel2StateKickButton::paintButton(juce::Graphics& g, bool /*shouldDrawButtonAsHighlighted*/,
                                         bool shouldDrawButtonAsDown)
{
    TarvelStripFrame::draw(g, stripImage, shouldDrawButtonAsDown ? frameHeight : 0, frameWidth,
                           frameHeight, getLocalBounds());
}
