#include "ui/widgets/TarvelWydKnob.h"

#include "ui/widgets/TarvelStripFrame.h"

namespace
{

// Closed interval between two ends given in either order (a negative size still works).
bool liesBetween(int v, int end1, int end2)
{
    return v == end1 || v == end2 || (end1 < v && v < end2) || (end2 < v && v < end1);
}

// Containment including the right and bottom edges x + w and y + h.
bool containsWithEdges(const juce::Rectangle<int>& r, juce::Point<int> p)
{
    return liesBetween(p.x, r.getX(), r.getX() + r.getWidth())
           && liesBetween(p.y, r.getY(), r.getY() + r.getHeight());
}

} // namespace

TarvelWydKnob::TarvelWydKnob(const juce::String& componentName)
    : TarvelKnob(componentName)
{
    setSliderStyle(juce::Slider::RotaryVerticalDrag);
    setTextBoxStyle(juce::Slider::NoTextBox, false, 0, 0);
}

TarvelWydKnob::~TarvelWydKnob() = default;

void TarvelWydKnob::setImage(juce::Image image, int frameCount, int x, int y, int w, int h)
{
    stripImage = image;
    if (stripImage.isValid() && frameCount >= 1)
    {
        numFrames = frameCount;
        frameHeight = stripImage.getHeight() / frameCount;
        frameWidth = stripImage.getWidth();
        knobArea = juce::Rectangle<int>(x, y, w, h);
    }
    else
    {
        numFrames = 0;
    }
    repaint();
}

void TarvelWydKnob::addFreqSelection(int x, int y, int w, int h, int index)
{
    if (index < 0 || index > numFrames)
        return;
    positionRects.set(index, juce::Rectangle<int>(x, y, w, h));
}

int TarvelWydKnob::lastStepAt(juce::Point<int> position) const
{
    // Step 0 is always tried, even before any strip is set; where rectangles overlap the higher
    // step wins.
    int match = -1;
    for (int i = 0; i < juce::jmax(1, numFrames); ++i)
        if (containsWithEdges(positionRects[i], position))
            match = i;
    return match;
}

double TarvelWydKnob::stepValue(int step) const
{
    if (numFrames < 2)
        return 0.0; // a single step (or none) sits at the start of the range
    return (getMaximum() - getMinimum()) * step / (numFrames - 1.0);
}

void TarvelWydKnob::mouseDown(const juce::MouseEvent& e)
{
    stepGesture.reset(); // a release this knob never heard of
    const int step = lastStepAt(e.getMouseDownPosition());
    if (step >= 0)
    {
        const double value = stepValue(step);
        // A step that changes the value is a gesture held until the release, so that a drag
        // starting at the same press belongs to it.
        if (value != getValue())
            stepGesture.emplace(*this);
        // Notified at once: a later notification would read the value after the editor's timer
        // may already have reset the control to the processor's old value, losing the click.
        setValue(value, juce::sendNotificationSync);
        repaint();
    }

    // Elsewhere the press is swallowed: the slider starts no drag, so the drags and release that
    // follow change nothing.
    if (containsWithEdges(knobArea, e.getPosition()))
        juce::Slider::mouseDown(e);
}

void TarvelWydKnob::mouseUp(const juce::MouseEvent& e)
{
    juce::Slider::mouseUp(e);
    // Only now: ending it resets the slider's drag, so it must not end while a drag goes on.
    stepGesture.reset();
}

void TarvelWydKnob::paint(juce::Graphics& g)
{
    if (numFrames < 1)
        return;
    TarvelStripFrame::draw(g, stripImage, shownFrame() * frameHeight, frameWidth, frameHeight, knobArea);
}

int TarvelWydKnob::shownFrame() const
{
    return TarvelStripFrame::frameForValue(getValue(), getMinimum(), getMaximum(), numFrames,
                                           TarvelStripFrame::Rounding::down);
}
