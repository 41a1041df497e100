// The editor's background: the faceplate with everything on it that does not move.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace artwork
{
juce::Image drawFaceplate();
// The maker's emblem, also used on the about picture.
void drawEmblem (juce::Graphics& g, juce::Rectangle<float> area, bool onLight);
} // namespace artwork
