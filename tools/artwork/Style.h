// Colours, fonts and small drawing helpers shared by every piece of artwork.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace artwork
{
namespace colours
{
const juce::Colour plate { 0xff3a4654 };        // faceplate, slate blue-grey
const juce::Colour plateDark { 0xff262e37 };    // top rail and recesses
const juce::Colour plateEdge { 0xff1b2128 };
const juce::Colour groove { 0xff2b343e };
const juce::Colour grooveLight { 0xff4d5b6b };
const juce::Colour legend { 0xffe8e2d0 };       // printed lettering, warm white
const juce::Colour legendDim { 0xffb9b4a6 };
const juce::Colour accent { 0xffe0a24a };       // section titles, lit lamps
const juce::Colour lampOn { 0xffffb436 };
const juce::Colour lampOff { 0xff5a4a3a };
const juce::Colour paper { 0xffe9e4d6 };        // light fields that carry black text
const juce::Colour paperShade { 0xffd6d0c0 };
const juce::Colour ink { 0xff1c1f23 };
const juce::Colour capTop { 0xff3b4047 };       // button caps
const juce::Colour capBottom { 0xff1d2024 };
} // namespace colours

struct Fonts
{
    // Loads the DejaVu faces from their files, so the output does not depend on the font setup.
    static bool load (const juce::File& folder, juce::String& error);
    static juce::Font sans (float height);
    static juce::Font bold (float height);
    static juce::Font serifBold (float height);
};

// Point at distance r from c in the direction of `degrees`, clockwise from straight up.
juce::Point<float> polar (juce::Point<float> c, float r, float degrees);
float angleTo (juce::Point<float> from, juce::Point<float> to);

// Draws text with its ink centred on a point; baseline snapped to whole pixels for crispness.
void drawCentred (juce::Graphics& g, const juce::String& text, const juce::Font& font,
                  juce::Point<float> centre, juce::Colour colour);
void drawCentredSpaced (juce::Graphics& g, const juce::String& text, const juce::Font& font,
                        juce::Point<float> centre, juce::Colour colour, float tracking);

// An engraved horizontal or vertical groove: dark line with a light line below/right.
void drawGroove (juce::Graphics& g, juce::Point<float> a, juce::Point<float> b);
// A countersunk screw head.
void drawScrew (juce::Graphics& g, juce::Point<float> c, float r, float slotDegrees);
} // namespace artwork
