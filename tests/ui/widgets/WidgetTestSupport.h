#pragma once

// Strips whose frames are told apart by colour, rendering without a display, and mouse events.

#include <juce_gui_basics/juce_gui_basics.h>

namespace wydtest
{

inline juce::Colour frameColour(int frame)
{
    return juce::Colour::fromRGB((juce::uint8) (10 + 2 * frame), 90, (juce::uint8) (240 - 2 * frame));
}

// An opaque strip whose frame k is filled with frameColour(k).
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

// The frame whose colour the component shows at (x, y), or -1.
inline int frameAt(juce::Component& c, int x, int y)
{
    const auto pixel = render(c).getPixelAt(x, y);
    for (int k = 0; k < 101; ++k)
        if (pixel == frameColour(k))
            return k;
    return -1;
}

// A left-button event at position (component coordinates) of a press that began at downAt.
inline juce::MouseEvent mouseEvent(juce::Component& c, juce::Point<int> position,
                                   std::optional<juce::Point<int>> downAt = {})
{
    const auto now = juce::Time::getCurrentTime();
    const auto down = downAt.value_or(position);
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), position.toFloat(),
                            juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                            &c, &c, now, down.toFloat(), now, 1, position != down);
}

} // namespace wydtest
