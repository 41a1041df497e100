#include "Faceplate.h"

#include "ControlArt.h"
#include "Style.h"

namespace artwork
{
namespace
{
const ControlArt& control (const char* file)
{
    for (auto& c : controls())
        if (juce::String (c.file) == file)
            return c;
    jassertfalse;
    return controls().front();
}

juce::Point<float> centreInEditor (const char* file)
{
    const auto& c = control (file);
    return c.bounds.getPosition().toFloat() + knobCentre (c.frameSize);
}

void caption (juce::Graphics& g, const juce::String& text, float x, float y, float height = 9.0f)
{
    drawCentredSpaced (g, text, Fonts::bold (height), { x, y }, colours::legend, 0.8f);
}

// A selector's caption carries the unit of its printed numbers, in the accent colour.
void unitCaption (juce::Graphics& g, const juce::String& text, const juce::String& unit, float x, float y)
{
    const auto font = Fonts::bold (9.0f).withExtraKerningFactor (0.8f / 9.0f);
    const float gap = 5.0f;
    const float textWidth = font.getStringWidthFloat (text), unitWidth = font.getStringWidthFloat (unit);
    const float left = x - (textWidth + gap + unitWidth) / 2.0f;
    caption (g, text, left + textWidth / 2.0f, y);
    drawCentredSpaced (g, unit, Fonts::bold (9.0f), { left + textWidth + gap + unitWidth / 2.0f, y }, colours::accent, 0.8f);
}

void drawRails (juce::Graphics& g)
{
    // Top rail with the preset controls, a thin bottom rail with the maker's line.
    g.setColour (colours::plateDark);
    g.fillRect (0, 0, 800, 36);
    g.setColour (colours::plateEdge);
    g.fillRect (0, 36, 800, 1);
    g.setColour (colours::grooveLight);
    g.fillRect (0, 37, 800, 1);

    g.setColour (colours::plateDark);
    g.fillRect (0, 432, 800, 18);
    g.setColour (colours::plateEdge);
    g.fillRect (0, 431, 800, 1);
    drawCentredSpaced (g, "TARVEL", Fonts::bold (9.0f), { 740.0f, 441.5f }, colours::legendDim, 2.0f);
    drawCentredSpaced (g, "WYD-KX7  MID-RANGE & PROGRAM EQUALIZER", Fonts::sans (8.5f), { 400.0f, 441.5f },
                       colours::legendDim, 1.2f);
}

void drawPresetField (juce::Graphics& g)
{
    const auto r = presetNameField.toFloat();
    g.setColour (colours::plateEdge);
    g.fillRoundedRectangle (r.expanded (2.0f), 3.0f);
    g.setGradientFill (juce::ColourGradient (colours::paperShade, r.getX(), r.getY(), colours::paper,
                                             r.getX(), r.getY() + 5.0f, false));
    g.fillRoundedRectangle (r.expanded (0.5f), 2.0f);
    drawCentredSpaced (g, "PRESET", Fonts::bold (8.0f), { 157.0f, 17.0f }, colours::legendDim, 1.5f);
    drawCentredSpaced (g, "WYD-KX7", Fonts::bold (14.0f), { 562.0f, 17.5f }, colours::legend, 1.0f);
}

void drawAmountScale (juce::Graphics& g, const char* file, float numberRadius)
{
    const auto c = centreInEditor (file);
    const float R = knobRadius (control (file).frameSize);
    for (int i = 0; i <= 10; ++i)
    {
        const float a = knobStartDegrees + i * (knobEndDegrees - knobStartDegrees) / 10.0f;
        g.setColour (colours::legend);
        g.drawLine ({ polar (c, R + 3.0f, a), polar (c, R + (i % 5 == 0 ? 8.0f : 6.5f), a) }, i % 5 == 0 ? 1.6f : 1.1f);
        drawCentred (g, juce::String (i), Fonts::bold (8.0f), polar (c, numberRadius, a), colours::legend);
    }
}

void drawVolumeScale (juce::Graphics& g, const char* file)
{
    const auto c = centreInEditor (file);
    const float R = knobRadius (control (file).frameSize);
    for (int db = -20; db <= 20; db += 5)
    {
        const float a = knobStartDegrees + (db + 20) * (knobEndDegrees - knobStartDegrees) / 40.0f;
        const bool major = db % 10 == 0;
        g.setColour (colours::legend);
        g.drawLine ({ polar (c, R + 3.0f, a), polar (c, R + (major ? 7.5f : 6.0f), a) }, major ? 1.5f : 1.0f);
        if (major)
            drawCentred (g, db > 0 ? "+" + juce::String (db) : juce::String (db), Fonts::bold (7.5f),
                         polar (c, R + 15.0f, a), colours::legend);
    }
}

void drawSelectorScale (juce::Graphics& g, const SelectorArt& s)
{
    const auto origin = s.bounds.getPosition().toFloat();
    const auto centre = origin + s.dialCentre;
    for (auto& step : s.steps)
    {
        const auto label = origin + step.rect.toFloat().getCentre();
        g.setColour (colours::legendDim);
        const auto dot = polar (centre, pointerKnobRadius + 11.5f, angleTo (centre, label));
        g.fillEllipse (dot.x - 1.1f, dot.y - 1.1f, 2.2f, 2.2f);
        drawCentred (g, step.text, Fonts::bold (9.5f), label, colours::legend);
    }
    unitCaption (g, s.caption, s.unit, s.captionCentre.x, s.captionCentre.y);
}

void drawSectionTitle (juce::Graphics& g, const juce::String& text, float x, float y, float lineFrom, float lineTo)
{
    const auto font = Fonts::bold (10.5f);
    drawCentredSpaced (g, text, font, { x, y }, colours::accent, 2.0f);
    juce::GlyphArrangement ga;
    ga.addLineOfText (font.withExtraKerningFactor (2.0f / 10.5f), text, 0, 0);
    const float half = ga.getBoundingBox (0, -1, true).getWidth() / 2.0f + 8.0f;
    if (lineFrom < x - half)
        drawGroove (g, { lineFrom, y }, { x - half, y });
    if (x + half < lineTo)
        drawGroove (g, { x + half, y }, { lineTo, y });
}

void drawMidRange (juce::Graphics& g)
{
    drawSectionTitle (g, "MID-RANGE EQUALIZER", 400.0f, 46.0f, 8.0f, 792.0f);
    drawAmountScale (g, "tolmlowpeak", 34.0f);
    drawAmountScale (g, "tolmmiddip", 34.0f);
    drawAmountScale (g, "tolmhighpeak", 34.0f);
    caption (g, "LOW PEAK", 190.0f, 163.0f);
    caption (g, "MID DIP", 463.0f, 143.0f);
    caption (g, "HIGH PEAK", 723.0f, 163.0f);
    caption (g, "EQ", 400.0f, 161.0f, 8.0f);
}

void drawProgram (juce::Graphics& g)
{
    drawGroove (g, { 8.0f, 200.0f }, { 792.0f, 200.0f });
    drawSectionTitle (g, "PROGRAM EQUALIZER", 400.0f, 214.0f, 330.0f, 470.0f);
    for (auto* knob : { "brasklowboost", "brasklowatten", "braskhighboost", "braskhighboostbandwidth", "braskhighatten" })
        drawAmountScale (g, knob, 34.0f);
    caption (g, "LOW BOOST", 202.0f, 409.0f);
    caption (g, "LOW ATTEN", 312.0f, 409.0f);
    caption (g, "HIGH BOOST", 488.0f, 409.0f);
    caption (g, "BANDWIDTH", 598.0f, 409.0f);
    caption (g, "HIGH ATTEN", 734.0f, 420.0f);
    caption (g, "EQ", 400.0f, 356.0f, 8.0f);
}

void drawLevels (juce::Graphics& g)
{
    drawVolumeScale (g, "inputvol");
    drawVolumeScale (g, "outputvol");
    unitCaption (g, "INPUT", "dB", 59.5f, 212.0f);
    caption (g, "SATURATION", 57.0f, 323.0f, 8.0f);
    caption (g, "PHASE", 146.5f, 285.0f, 8.0f);
    unitCaption (g, "OUTPUT", "dB", 59.5f, 420.0f);
}
} // namespace

void drawEmblem (juce::Graphics& g, juce::Rectangle<float> area, bool onLight)
{
    // A ring with a stylised T: the maker's mark.
    const auto c = area.getCentre();
    const float r = area.getWidth() / 2.0f;
    g.setColour (onLight ? colours::plate : colours::accent);
    g.drawEllipse (area.reduced (1.0f), 1.6f);
    g.fillRect (juce::Rectangle<float> (c.x - r * 0.5f, c.y - r * 0.48f, r, r * 0.22f));
    g.fillRect (juce::Rectangle<float> (c.x - r * 0.11f, c.y - r * 0.48f, r * 0.22f, r * 1.05f));
}

juce::Image drawFaceplate()
{
    juce::Image image (juce::Image::ARGB, 800, 450, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.fillAll (colours::plate);
    drawRails (g);
    drawPresetField (g);
    drawEmblem (g, aboutHotSpot.toFloat().reduced (1.0f), false);
    for (auto p : { juce::Point<float> (8, 190), juce::Point<float> (792, 190), juce::Point<float> (8, 421), juce::Point<float> (792, 421) })
        drawScrew (g, p, 4.0f, 30.0f);
    drawMidRange (g);
    drawProgram (g);
    drawLevels (g);
    for (auto& s : selectors())
        drawSelectorScale (g, s);
    return image;
}
} // namespace artwork
