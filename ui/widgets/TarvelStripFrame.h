#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>

// What the strip widgets share: drawing one frame of a vertical strip and choosing the frame
// that shows a slider's value.
namespace TarvelStripFrame
{

// Draws the frame starting at row sourceY, scaled into dest, with the strip's own pixels and alpha
// (nothing from the current colour). Draws nothing without a strip or with an empty frame or
// destination.
// The strip is laid on as the fill of dest with nearest-pixel sampling rather than through
// Graphics::drawImage: drawImage anti-aliases the transformed image's outline, so a frame
// stretched by a pixel up to the clip's edge leaves its last column slightly transparent and the
// panel shows through. Nearest-pixel sampling also keeps neighbouring frames out of the edges.
inline void draw(juce::Graphics& g, const juce::Image& strip, int sourceY, int frameWidth,
                 int frameHeight, juce::Rectangle<int> dest)
{
    if (!strip.isValid() || frameWidth < 1 || frameHeight < 1 || dest.isEmpty())
        return;
    const auto frameToDest = juce::AffineTransform::translation(0.0f, (float) -sourceY)
                                 .scaled((float) dest.getWidth() / (float) frameWidth,
                                         (float) dest.getHeight() / (float) frameHeight)
                                 .translated((float) dest.getX(), (float) dest.getY());
    juce::Graphics::ScopedSaveState saved(g);
    g.setImageResamplingQuality(juce::Graphics::lowResamplingQuality);
    g.setFillType(juce::FillType(strip, frameToDest));
    g.fillRect(dest);
}

enum class Rounding
{
    up,  // a knob leaves frame 0 as soon as its value leaves the minimum
    down // a selector's snapped step value may sit a hair above its step (3 x 0.1)
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
