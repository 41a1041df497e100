#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>

// What the strip widgets share: drawing one frame of a vertical strip and choosing the frame
// that shows a slider's value.
namespace TarvelStripFrame
{

// Draws the frame starting at row sourceY, scaled into dest, with the strip's own alpha (no fill
// from the current brush). Draws nothing without a strip or with an empty frame or destination.
inline void draw(juce::Graphics& g, const juce::Image& strip, int sourceY, int frameWidth,
                 int frameHeight, juce::Rectangle<int> dest)
{
    if (!strip.isValid() || frameWidth < 1 || frameHeight < 1 || dest.isEmpty())
        return;
    g.drawImage(strip, dest.getX(), dest.getY(), dest.getWidth(), dest.getHeight(), 0, sourceY,
                frameWidth, frameHeight, false);
}

enum class Rounding
{
    up,  // a knob leaves frame 0 as soon as its value leaves the minimum
    down // a selector's snapped step value may sit a hair below the step
};

// Index of the frame that shows value within [minimum, maximum], computed in double precision
// and kept within 0 .. numFrames - 1 (an empty range or a NaN shows frame 0).
inline int frameForValue(double value, double minimum, double maximum, int numFrames,
                         Rounding rounding)
{
    if (numFrames < 2)
        return 0;
    const double proportion = (value - minimum) / (maximum - minimum);
    const double position = (numFrames - 1) * proportion;
    const double frame = rounding == Rounding::up ? std::ceil(position) : std::floor(position);
    if (!(frame > 0.0)) // also catches NaN
        return 0;
    return frame >= numFrames - 1 ? numFrames - 1 : (int) frame;
}

} // namespace TarvelStripFrame
