#pragma once

#include <juce_graphics/juce_graphics.h>

// Decodes one of the PNGs compiled into the plug-in, with the length generated beside its bytes.
// An image that does not decode comes back invalid, and the widgets then draw nothing.
inline juce::Image decodeEmbeddedImage(const char* data, int size)
{
    return juce::ImageFileFormat::loadFrom(data, (size_t) size);
}
