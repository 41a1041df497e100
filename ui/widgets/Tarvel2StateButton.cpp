#include "ui/widgets/Tarvel2StateButton.h"

#include "ui/widgets/TarvelStripFrame.h"

Tarvel2StateButton::Tarvel2StateButton(const juce::String& componentName)
    : juce::Button(componentName)
{
    setClickingTogglesState(true);
    // Keyboard focus on a click would let Return repeat the click. The click still asks the
    // parents for focus, so an owner that wants keys (and the X focus popup menus need) gets it.
    setWantsKeyboardFocus(false);
}

Tarvel2StateButton::~Tarvel2StateButton() = default;

void Tarvel2StateButton::setImage(juce::Image image)
{
    stripImage = image;
    if (stripImage.isValid())
    {
        frameHeight = stripImage.getHeight() / 2;
        frameWidth = stripImage.getWidth();
    }
    repaint();
}

void Tarvel2StateButton::paintButton(juce::Graphics& g, bool /*shouldDrawButtonAsHighlighted*/,
                                     bool shouldDrawButtonAsDown)
{
    // An owner may switch toggling off; the switch then behaves like a push button.
    const bool showOn = getClickingTogglesState() ? getToggleState() : shouldDrawButtonAsDown;
    TarvelStripFrame::draw(g, stripImage, showOn ? frameHeight : 0, frameWidth, frameHeight,
                           getLocalBounds());
}
