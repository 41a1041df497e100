// Writes images as PNG files: 8 bits per channel through JUCE, 16 bits through libpng.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace artwork
{
// RGB images are written without alpha, ARGB images with it.
bool writePng8 (const juce::Image& image, const juce::File& file);
// RGBA with 16 bits per channel; each 8-bit value v becomes v * 257.
bool writePng16 (const juce::Image& image, const juce::File& file);
} // namespace artwork
