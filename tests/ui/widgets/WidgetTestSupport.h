#pragma once

// Helpers for the strip widget and about box tests: strips whose frames are told apart by
// colour, rendering a component into an image, and presses made without a display.

#include <juce_gui_basics/juce_gui_basics.h>

namespace wydtest
{

inline juce::Colour frameColour(int frame)
{
    return juce::Colour::fromRGB((juce::uint8) (10 + 2 * frame), 90, (juce::uint8) (240 - 2 * frame));
}

// An opaque strip of frameCount frames stacked vertically, frame k filled with frameColour(k).
inline juce::Image makeStrip(int width, int frameHeight, int frameCount)
{
    juce::Image strip(juce::Image::RGB, width, frameHeight * frameCount, false);
    juce::Graphics g(strip);
    for (int k = 0; k < frameCount; ++k)
    {
        g.setColour(frameColour(k));
        g.fillRect(0, k * frameHeight, width, frameHeight);
    }
    return strip;
}

inline juce::Image render(juce::Component& c)
{
    juce::Image image(juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
    juce::Graphics g(image);
    c.paintEntireComponent(g, true);
    return image;
}

// The frame whose colour the pixel shows, or -1 (also for transparent pixels).
inline int frameAt(const juce::Image& image, int x, int y, int frameCount = 101)
{
    const auto pixel = image.getPixelAt(x, y);
    for (int k = 0; k < frameCount; ++k)
        if (pixel == frameColour(k))
            return k;
    return -1;
}

// A mouse event at position (component coordinates); the press started at downAt.
inline juce::MouseEvent mouseEvent(juce::Component& c, juce::Point<int> position,
                                   juce::Point<int> downAt)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(),
                            position.toFloat(), juce::ModifierKeys::leftButtonModifier,
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c,
                            now, downAt.toFloat(), now, 1, position != downAt);
}

inline juce::MouseEvent mouseEvent(juce::Component& c, juce::Point<int> position)
{
    return mouseEvent(c, position, position);
}

} // namespace wydtest
