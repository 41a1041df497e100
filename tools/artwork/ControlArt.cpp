#include "ControlArt.h"

#include "Style.h"

namespace artwork
{
namespace
{
void fillShadow (juce::Graphics& g, juce::Point<float> c, float r, float drop)
{
    // A soft contact shadow: a few widening rings of falling opacity.
    for (int i = 3; i >= 0; --i)
    {
        const float rr = r + 0.8f * (float) i;
        g.setColour (juce::Colours::black.withAlpha (0.16f));
        g.fillEllipse (c.x - rr, c.y - rr + drop, 2 * rr, 2 * rr);
    }
}

void fillDisc (juce::Graphics& g, juce::Point<float> c, float r, juce::Colour top, juce::Colour bottom)
{
    juce::ColourGradient grad (top, c.x - r * 0.6f, c.y - r, bottom, c.x + r * 0.6f, c.y + r, false);
    g.setGradientFill (grad);
    g.fillEllipse (c.x - r, c.y - r, 2 * r, 2 * r);
}

// A round skirt with a nose that points at the step's label, drawn pointing up and turned.
juce::Path noseShape (juce::Point<float> c, float r, float reach, float degrees)
{
    const float theta = std::acos (r / reach);
    juce::Path p;
    p.startNewSubPath (0.0f, -reach);
    p.lineTo (r * std::sin (theta), -r * std::cos (theta));
    p.addCentredArc (0.0f, 0.0f, r, r, 0.0f, theta, juce::MathConstants<float>::twoPi - theta, false);
    p.closeSubPath();
    p.applyTransform (juce::AffineTransform::rotation (juce::degreesToRadians (degrees)).translated (c));
    return p;
}

struct Cap
{
    juce::Rectangle<float> area;
    float corner;
};

void drawCapBody (juce::Graphics& g, Cap cap, bool lit, bool pressed)
{
    auto r = cap.area;
    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.fillRoundedRectangle (r.expanded (1.0f).translated (0.0f, 0.5f), cap.corner + 1.0f);
    if (pressed)
        r = r.translated (0.0f, 1.0f);
    const auto top = lit ? juce::Colour (0xffffd27a) : (pressed ? colours::capBottom : colours::capTop);
    const auto bottom = lit ? juce::Colour (0xffe48a1e) : (pressed ? colours::capTop.darker (0.3f) : colours::capBottom);
    g.setGradientFill (juce::ColourGradient (top, r.getX(), r.getY(), bottom, r.getX(), r.getBottom(), false));
    g.fillRoundedRectangle (r, cap.corner);
    if (lit)
    {
        // Glow in the middle of the lens.
        g.setGradientFill (juce::ColourGradient (juce::Colour (0x90fff4d0), r.getCentreX(), r.getCentreY(),
                                                 juce::Colour (0x00fff4d0), r.getX(), r.getY(), true));
        g.fillRoundedRectangle (r, cap.corner);
    }
    else if (! pressed)
    {
        g.setColour (juce::Colours::white.withAlpha (0.14f));
        g.drawHorizontalLine ((int) r.getY() + 1, r.getX() + cap.corner, r.getRight() - cap.corner);
    }
}

// Push-button legends light up amber while pressed.
juce::Colour pushLegend (bool pressed)
{
    return pressed ? colours::accent : colours::legend;
}

// Lamp legends: dark on the lit lens, grey on the dark one.
juce::Colour lampLegend (bool lit)
{
    return lit ? juce::Colour (0xff3b2408) : juce::Colour (0xff8f8b80);
}

void drawPowerSymbol (juce::Graphics& g, juce::Point<float> c, float r, juce::Colour colour)
{
    juce::Path arc;
    arc.addCentredArc (c.x, c.y, r, r, 0.0f, juce::degreesToRadians (35.0f), juce::degreesToRadians (325.0f), true);
    g.setColour (colour);
    g.strokePath (arc, juce::PathStrokeType (1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.drawLine (c.x, c.y - r - 1.5f, c.x, c.y - 0.5f, 1.6f);
}

void drawArrow (juce::Graphics& g, juce::Point<float> c, float size, bool left, juce::Colour colour)
{
    juce::Path p;
    const float dir = left ? -1.0f : 1.0f;
    p.addTriangle (c.x + dir * size * 0.6f, c.y, c.x - dir * size * 0.45f, c.y - size * 0.7f,
                   c.x - dir * size * 0.45f, c.y + size * 0.7f);
    g.setColour (colour);
    g.fillPath (p);
}

Cap topRailCap (juce::Rectangle<int> frame)
{
    return { frame.toFloat().reduced (4.0f, 5.0f).withTrimmedBottom (1.0f), 4.0f };
}

Cap lampCap (juce::Rectangle<int> frame)
{
    return { frame.toFloat().reduced (1.5f), 3.0f };
}

void drawLampSwitch (juce::Graphics& g, const ControlArt& c, juce::Rectangle<int> frame, bool on)
{
    const juce::String name (c.file);
    if (name == "ab")
    {
        // Two lenses, A and B; the active one is lit.
        auto area = frame.toFloat().reduced (1.5f);
        auto left = area.removeFromLeft (area.getWidth() / 2.0f).withTrimmedRight (1.0f);
        auto right = area.withTrimmedLeft (1.0f);
        drawCapBody (g, { left, 3.0f }, ! on, false);
        drawCapBody (g, { right, 3.0f }, on, false);
        drawCentred (g, "A", Fonts::bold (15.0f), left.getCentre(), lampLegend (! on));
        drawCentred (g, "B", Fonts::bold (15.0f), right.getCentre(), lampLegend (on));
        return;
    }
    if (name == "bypass")
    {
        const auto cap = topRailCap (frame);
        drawCapBody (g, cap, on, false);
        drawPowerSymbol (g, cap.area.getCentre().translated (0.0f, -3.5f), 5.0f, lampLegend (on));
        drawCentred (g, "POWER", Fonts::bold (7.5f), cap.area.getCentre().translated (0.0f, 7.5f), lampLegend (on));
        return;
    }
    const auto cap = lampCap (frame);
    drawCapBody (g, cap, on, false);
    juce::String legend = "IN";
    float height = 10.0f;
    if (name == "saturationon")
        legend = "SAT", height = 9.0f;
    else if (name == "saturationautolevelon")
        legend = "AUTO", height = 8.0f;
    else if (name == "phase")
        legend = juce::String::fromUTF8 ("\xc3\x98"), height = 19.0f;
    else if (name == "braskon")
        height = 12.0f;
    drawCentred (g, legend, Fonts::bold (height), cap.area.getCentre(), lampLegend (on));
}

void drawPushButton (juce::Graphics& g, const ControlArt& c, juce::Rectangle<int> frame, bool pressed)
{
    const juce::String name (c.file);
    const auto cap = topRailCap (frame);
    drawCapBody (g, cap, false, pressed);
    const auto centre = cap.area.getCentre().translated (0.0f, pressed ? 1.0f : 0.0f);
    const auto colour = pushLegend (pressed);
    if (name == "presetleft" || name == "presetright")
        drawArrow (g, centre, 9.0f, name == "presetleft", colour);
    else if (name == "file")
        drawCentredSpaced (g, "FILE", Fonts::bold (13.0f), centre, colour, 1.5f);
    else
        drawCentred (g, name == "atob" ? "A>B" : "B>A", Fonts::bold (13.0f), centre, colour);
}
} // namespace

juce::Point<float> knobCentre (juce::Rectangle<int> frameSize)
{
    return { frameSize.getWidth() / 2.0f, frameSize.getHeight() / 2.0f };
}

float knobRadius (juce::Rectangle<int> frameSize)
{
    return frameSize.getWidth() < 55 ? 15.5f : 18.5f;
}

void drawAmountKnob (juce::Graphics& g, juce::Point<float> c, float R, float degrees)
{
    fillShadow (g, c, R, 1.5f);
    // Skirt with knurls that turn with the knob, then the cap, then the pointer line.
    fillDisc (g, c, R, juce::Colour (0xff4a4f56), juce::Colour (0xff0e0f11));
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    for (int i = 0; i < 30; ++i)
        g.drawLine ({ polar (c, R * 0.84f, degrees + i * 12.0f), polar (c, R - 0.3f, degrees + i * 12.0f) }, 0.9f);
    const float capR = R * 0.74f;
    fillDisc (g, c, capR + 0.8f, juce::Colour (0xff08090a), juce::Colour (0xff3a3e44));
    fillDisc (g, c, capR, juce::Colour (0xff50555d), juce::Colour (0xff121315));
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.28f), c.x, c.y - capR,
                                             juce::Colours::white.withAlpha (0.0f), c.x, c.y, false));
    g.fillEllipse (c.x - capR * 0.7f, c.y - capR * 0.92f, capR * 1.4f, capR * 0.9f);
    g.setColour (colours::legend);
    g.drawLine ({ polar (c, R * 0.3f, degrees), polar (c, R - 0.8f, degrees) }, 2.2f);
}

void drawPointerKnob (juce::Graphics& g, juce::Point<float> c, float R, float degrees)
{
    // Spun aluminium with a nose: the light metal stands out on the dark plate, and the nose
    // and its engraved line point at the selected step's label.
    const auto skirt = noseShape (c, R, R + 9.0f, degrees);
    for (int i = 3; i >= 0; --i)
    {
        g.setColour (juce::Colours::black.withAlpha (0.14f));
        g.strokePath (skirt, juce::PathStrokeType (1.0f + 1.6f * (float) i), juce::AffineTransform::translation (0.0f, 1.6f));
    }
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe4e6e8), c.x - R * 0.7f, c.y - R,
                                             juce::Colour (0xff6d737a), c.x + R * 0.7f, c.y + R, false));
    g.fillPath (skirt);
    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.strokePath (skirt, juce::PathStrokeType (0.9f));
    g.setColour (juce::Colours::white.withAlpha (0.10f));
    for (float rr = R * 0.55f; rr < R - 1.0f; rr += 2.0f)
        g.drawEllipse (c.x - rr, c.y - rr, 2 * rr, 2 * rr, 0.6f);
    const float capR = R * 0.5f;
    fillDisc (g, c, capR + 0.8f, juce::Colour (0xff5d636a), juce::Colour (0xfff0f2f4));
    fillDisc (g, c, capR, juce::Colour (0xff4a4f56), juce::Colour (0xff0f1012));
    g.setColour (juce::Colour (0xff15171a));
    g.drawLine ({ polar (c, capR + 0.5f, degrees), polar (c, R + 7.5f, degrees) }, 1.8f);
}

juce::Rectangle<int> frameRectInEditor (const ControlArt& control)
{
    if (auto* s = findSelector (control.file))
        return s->knobArea + s->bounds.getPosition();
    return control.bounds.withSize (control.frameSize.getWidth(), control.frameSize.getHeight());
}

int frameForValue (const ControlArt& control, double value)
{
    const double scaled = (control.frames - 1) * value;
    return (int) (control.kind == ControlKind::selector ? std::floor (scaled) : std::ceil (scaled));
}

juce::Image drawControlFrame (const ControlArt& control, const juce::Image& plate, int frame)
{
    juce::Image image (juce::Image::RGB, plate.getWidth(), plate.getHeight(), false, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.drawImageAt (plate, 0, 0);
    const auto area = image.getBounds();
    switch (control.kind)
    {
        case ControlKind::knob:
        {
            const float t = (float) frame / (float) (control.frames - 1);
            drawAmountKnob (g, knobCentre (area), knobRadius (area),
                            knobStartDegrees + t * (knobEndDegrees - knobStartDegrees));
            break;
        }
        case ControlKind::selector:
        {
            const auto* s = findSelector (control.file);
            const auto centre = s->dialCentre - s->knobArea.getPosition().toFloat();
            const auto label = s->steps[(size_t) frame].rect.toFloat().getCentre() - s->knobArea.getPosition().toFloat();
            drawPointerKnob (g, centre, pointerKnobRadius, angleTo (centre, label));
            break;
        }
        case ControlKind::switchLamp: drawLampSwitch (g, control, area, frame == 1); break;
        case ControlKind::pushButton: drawPushButton (g, control, area, frame == 1); break;
    }
    return image;
}

juce::Image buildStrip (const ControlArt& control, const juce::Image& background)
{
    const auto where = frameRectInEditor (control);
    const auto plate = background.getClippedImage (where).convertedToFormat (juce::Image::RGB);
    const int w = control.frameSize.getWidth(), h = control.frameSize.getHeight();
    juce::Image strip (juce::Image::RGB, w, h * control.frames, true, juce::SoftwareImageType());
    juce::Graphics g (strip);
    for (int k = 0; k < control.frames; ++k)
        g.drawImageAt (drawControlFrame (control, plate, k), 0, k * h);
    return strip;
}
} // namespace artwork
