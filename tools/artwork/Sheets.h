// Review images that stay out of the plug-in: the editor as it opens, and every strip laid out.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <map>

namespace artwork
{
using ImageSet = std::map<juce::String, juce::Image>;   // "Namespace/name" -> image

// Background plus each control's default frame, drawn into its bounds as the editor does.
juce::Image drawEditorPreview (const ImageSet& images);
juce::Image drawContactSheet (const ImageSet& images);
// The file dialog, a message box and the about box with their parts in place.
juce::Image drawDialogPreview (const ImageSet& images);
} // namespace artwork
