#include "Style.h"

namespace artwork
{
namespace
{
juce::Typeface::Ptr sansFace, boldFace, serifBoldFace;

juce::Typeface::Ptr loadFace (const juce::File& file, juce::String& error)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData (data) || data.getSize() == 0)
    {
        error << "cannot read font " << file.getFullPathName() << "\n";
        return nullptr;
    }
    return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
}
} // namespace

bool Fonts::load (const juce::File& folder, juce::String& error)
{
    sansFace = loadFace (folder.getChildFile ("DejaVuSans.ttf"), error);
    boldFace = loadFace (folder.getChildFile ("DejaVuSans-Bold.ttf"), error);
    serifBoldFace = loadFace (folder.getChildFile ("DejaVuSerif-Bold.ttf"), error);
    return sansFace != nullptr && boldFace != nullptr && serifBoldFace != nullptr;
}

juce::Font Fonts::sans (float height) { return juce::Font (sansFace).withHeight (height); }
juce::Font Fonts::bold (float height) { return juce::Font (boldFace).withHeight (height); }
juce::Font Fonts::serifBold (float height) { return juce::Font (serifBoldFace).withHeight (height); }

juce::Point<float> polar (juce::Point<float> c, float r, float degrees)
{
    const auto a = juce::degreesToRadians (degrees);
    return { c.x + r * std::sin (a), c.y - r * std::cos (a) };
}

float angleTo (juce::Point<float> from, juce::Point<float> to)
{
    return juce::radiansToDegrees (std::atan2 (to.x - from.x, from.y - to.y));
}

void drawCentredSpaced (juce::Graphics& g, const juce::String& text, const juce::Font& font,
                        juce::Point<float> centre, juce::Colour colour, float tracking)
{
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font.withExtraKerningFactor (tracking / juce::jmax (1.0f, font.getHeight())),
                          text, 0.0f, 0.0f);
    // Centre the ink horizontally and the capital height vertically, so digits, capitals and
    // symbols of one row share a baseline.
    const auto ink = glyphs.getBoundingBox (0, -1, true);
    const float capHeight = font.getAscent() * 0.78f;
    const float x = std::round ((centre.x - ink.getCentreX()) * 2.0f) / 2.0f;
    const float baseline = std::round (centre.y + capHeight / 2.0f);
    g.setColour (colour);
    glyphs.moveRangeOfGlyphs (0, -1, x, baseline);
    glyphs.draw (g);
}

void drawCentred (juce::Graphics& g, const juce::String& text, const juce::Font& font,
                  juce::Point<float> centre, juce::Colour colour)
{
    drawCentredSpaced (g, text, font, centre, colour, 0.0f);
}

void drawGroove (juce::Graphics& g, juce::Point<float> a, juce::Point<float> b)
{
    const bool horizontal = std::abs (b.y - a.y) < std::abs (b.x - a.x);
    const juce::Point<float> offset = horizontal ? juce::Point<float> (0.0f, 1.0f) : juce::Point<float> (1.0f, 0.0f);
    g.setColour (colours::groove);
    g.drawLine ({ a, b }, 1.0f);
    g.setColour (colours::grooveLight);
    g.drawLine ({ a + offset, b + offset }, 1.0f);
}

void drawScrew (juce::Graphics& g, juce::Point<float> c, float r, float slotDegrees)
{
    g.setColour (colours::plateEdge.withAlpha (0.6f));
    g.fillEllipse (c.x - r - 0.5f, c.y - r, 2 * r + 1.5f, 2 * r + 1.5f);
    juce::ColourGradient metal (juce::Colour (0xffc9ccd1), c.x - r, c.y - r,
                                juce::Colour (0xff5d636b), c.x + r, c.y + r, false);
    g.setGradientFill (metal);
    g.fillEllipse (c.x - r, c.y - r, 2 * r, 2 * r);
    g.setColour (juce::Colour (0xff30353b));
    g.drawLine ({ polar (c, r * 0.8f, slotDegrees), polar (c, r * 0.8f, slotDegrees + 180.0f) }, 1.2f);
}
} // namespace artwork
