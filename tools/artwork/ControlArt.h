// The moving parts: knobs, selector pointers, lamp switches and push buttons, and the strips
// built from them over pieces of the faceplate.
#pragma once

#include "Layout.h"

namespace artwork
{
// Amount and volume knobs: a fluted black knob with a skirt and a pointer line.
void drawAmountKnob (juce::Graphics& g, juce::Point<float> centre, float radius, float degrees);
// Stepped selector: a bar-shaped pointer knob.
void drawPointerKnob (juce::Graphics& g, juce::Point<float> centre, float radius, float degrees);

// Frame k of a control's strip, over `plate` (the faceplate's pixels under the frame).
juce::Image drawControlFrame (const ControlArt& control, const juce::Image& plate, int frame);
// The whole strip of a control, frames stacked top to bottom, without alpha.
juce::Image buildStrip (const ControlArt& control, const juce::Image& background);
// Where a control's frame lies in the editor (for a selector, its knob area).
juce::Rectangle<int> frameRectInEditor (const ControlArt& control);
// Frame the editor shows for a value: knobs round up, selectors round down.
int frameForValue (const ControlArt& control, double value);

// Centre and radius of a knob's body, in frame coordinates.
juce::Point<float> knobCentre (juce::Rectangle<int> frameSize);
float knobRadius (juce::Rectangle<int> frameSize);
constexpr float pointerKnobRadius = 17.0f;
} // namespace artwork
