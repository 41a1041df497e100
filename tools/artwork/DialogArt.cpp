#include "DialogArt.h"

#include "ControlArt.h"
#include "Faceplate.h"
#include "Style.h"

namespace artwork
{
namespace
{
juce::Image blank (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

void drawButtonFrame (juce::Graphics& g, juce::Rectangle<float> r, const juce::String& word, bool pressed)
{
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.fillRoundedRectangle (r, 5.0f);
    auto cap = r.reduced (1.0f);
    if (pressed)
        cap = cap.withTrimmedTop (1.0f);
    const auto top = pressed ? colours::capBottom : colours::capTop.brighter (0.15f);
    const auto bottom = pressed ? colours::capTop : colours::capBottom;
    g.setGradientFill (juce::ColourGradient (top, 0.0f, cap.getY(), bottom, 0.0f, cap.getBottom(), false));
    g.fillRoundedRectangle (cap, 4.0f);
    if (! pressed)
    {
        g.setColour (juce::Colours::white.withAlpha (0.16f));
        g.drawHorizontalLine ((int) cap.getY() + 1, cap.getX() + 4.0f, cap.getRight() - 4.0f);
    }
    const float height = word.length() > 8 ? 11.0f : 12.0f;
    drawCentredSpaced (g, word, Fonts::bold (height), cap.getCentre().translated (0.0f, pressed ? 0.5f : 0.0f),
                       pressed ? colours::accent : colours::legend, 1.2f);
}

void drawPanelFrame (juce::Graphics& g, juce::Rectangle<float> r, float corner)
{
    g.setColour (colours::plateEdge);
    g.fillRoundedRectangle (r, corner);
    g.setColour (colours::plate);
    g.fillRoundedRectangle (r.reduced (2.0f), corner - 1.0f);
}

void drawPaper (juce::Graphics& g, juce::Rectangle<float> r, float corner)
{
    g.setColour (colours::plateEdge);
    g.fillRoundedRectangle (r.expanded (1.5f), corner + 1.0f);
    g.setGradientFill (juce::ColourGradient (colours::paperShade, 0.0f, r.getY(), colours::paper, 0.0f,
                                             r.getY() + 8.0f, false));
    g.fillRoundedRectangle (r, corner);
}
} // namespace

juce::Image drawDialogButton (const juce::String& word)
{
    auto image = blank (108, 60);
    juce::Graphics g (image);
    drawButtonFrame (g, { 0.5f, 0.5f, 107.0f, 29.0f }, word, false);
    drawButtonFrame (g, { 0.5f, 30.5f, 107.0f, 29.0f }, word, true);
    return image;
}

juce::Image drawIcon (IconKind kind)
{
    auto image = blank (50, 50);
    juce::Graphics g (image);
    const juce::Point<float> c (25.0f, 25.0f);
    if (kind == IconKind::warning)
    {
        juce::Path t;
        t.addTriangle (25.0f, 4.0f, 47.0f, 44.0f, 3.0f, 44.0f);
        t = t.createPathWithRoundedCorners (4.0f);
        g.setColour (colours::ink);
        g.strokePath (t, juce::PathStrokeType (3.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xffffd27a), 25.0f, 6.0f, juce::Colour (0xffe08a1e), 25.0f, 44.0f, false));
        g.fillPath (t);
        g.setColour (colours::ink);
        g.fillRoundedRectangle (22.6f, 16.0f, 4.8f, 16.0f, 2.0f);
        g.fillEllipse (22.4f, 35.0f, 5.2f, 5.2f);
        return image;
    }
    const bool smile = kind == IconKind::smile;
    const auto face = smile ? juce::Colour (0xff7fbf5a) : juce::Colour (0xffd9604a);
    g.setColour (colours::ink);
    g.fillEllipse (2.0f, 2.0f, 46.0f, 46.0f);
    g.setGradientFill (juce::ColourGradient (face.brighter (0.35f), 25.0f, 4.0f, face.darker (0.25f), 25.0f, 46.0f, false));
    g.fillEllipse (4.0f, 4.0f, 42.0f, 42.0f);
    g.setColour (colours::ink);
    g.fillEllipse (16.0f, 15.0f, 5.0f, 7.5f);
    g.fillEllipse (29.0f, 15.0f, 5.0f, 7.5f);
    juce::Path mouth;
    if (smile)
        mouth.addCentredArc (c.x, c.y + 2.0f, 12.0f, 11.0f, 0.0f, juce::degreesToRadians (120.0f), juce::degreesToRadians (240.0f), true);
    else
        mouth.addCentredArc (c.x, c.y + 19.0f, 11.0f, 9.0f, 0.0f, juce::degreesToRadians (-55.0f), juce::degreesToRadians (55.0f), true);
    g.strokePath (mouth, juce::PathStrokeType (3.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    return image;
}

juce::Image drawDialogTitle (const juce::String& text)
{
    auto image = blank (100, 20);
    juce::Graphics g (image);
    drawCentredSpaced (g, text, Fonts::bold (14.0f), { 50.0f, 10.0f }, colours::accent, 2.0f);
    return image;
}

juce::Image drawMessagePanel()
{
    auto image = blank (486, 200);
    juce::Graphics g (image);
    drawPanelFrame (g, { 0.0f, 0.0f, 486.0f, 200.0f }, 8.0f);
    // Light field for the black message text; the icon sits on its top edge, the buttons below.
    drawPaper (g, { 14.0f, 34.0f, 458.0f, 110.0f }, 4.0f);
    drawScrew (g, { 10.0f, 10.0f }, 3.0f, 30.0f);
    drawScrew (g, { 476.0f, 10.0f }, 3.0f, 120.0f);
    drawScrew (g, { 10.0f, 190.0f }, 3.0f, 75.0f);
    drawScrew (g, { 476.0f, 190.0f }, 3.0f, 10.0f);
    return image;
}

juce::Image drawFileDialogPanel()
{
    // Drawn in the editor's 800 x 450 space and scaled down; the dialog stretches it back.
    auto image = blank (518, 226);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (518.0f / 800.0f, 226.0f / 450.0f));
    g.setColour (colours::plateEdge);
    g.fillRect (0, 0, 800, 450);
    g.setColour (colours::plate);
    g.fillRect (3, 3, 794, 444);
    drawPaper (g, { 8.0f, 3.0f, 570.0f, 443.0f }, 3.0f);
    g.setColour (colours::plateDark);
    g.fillRoundedRectangle (622.0f, 8.0f, 128.0f, 40.0f, 6.0f);
    drawGroove (g, { 628.0f, 310.0f }, { 758.0f, 310.0f });
    drawEmblem (g, { 666.0f, 150.0f, 40.0f, 40.0f }, false);
    return image;
}

juce::Image drawAboutPicture()
{
    auto image = blank (430, 240);
    juce::Graphics g (image);
    drawPanelFrame (g, { 0.0f, 0.0f, 430.0f, 240.0f }, 10.0f);
    // Light strip where the version text is drawn in dark grey.
    drawPaper (g, { 70.0f, 14.0f, 350.0f, 24.0f }, 3.0f);
    drawEmblem (g, { 16.0f, 8.0f, 36.0f, 36.0f }, false);
    // One knob of each kind from the faceplate, either side of the name.
    drawAmountKnob (g, { 48.0f, 102.0f }, 20.0f, -60.0f);
    drawPointerKnob (g, { 382.0f, 102.0f }, 17.0f, 60.0f);
    drawCentredSpaced (g, "WYD-KX7", Fonts::bold (48.0f), { 215.0f, 100.0f }, colours::legend, 3.0f);
    drawCentredSpaced (g, "MID-RANGE & PROGRAM EQUALIZER", Fonts::bold (11.0f), { 215.0f, 140.0f }, colours::accent, 2.0f);
    drawGroove (g, { 40.0f, 164.0f }, { 390.0f, 164.0f });
    drawCentredSpaced (g, "Tarvel", Fonts::serifBold (26.0f), { 215.0f, 194.0f }, colours::legend, 1.0f);
    drawCentredSpaced (g, "CLICK TO CLOSE", Fonts::sans (7.5f), { 215.0f, 226.0f }, colours::legendDim, 1.5f);
    return image;
}
} // namespace artwork
