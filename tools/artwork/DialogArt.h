// Artwork of the in-editor dialogs and the about box; all of it with alpha.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace artwork
{
enum class IconKind { warning, smile, frown };

juce::Image drawDialogButton (const juce::String& word);      // 108 x 60, released and pressed
juce::Image drawIcon (IconKind kind);                          // 50 x 50
juce::Image drawDialogTitle (const juce::String& text);        // 100 x 20
juce::Image drawMessagePanel();                                // 486 x 200
juce::Image drawFileDialogPanel();                             // 518 x 226, shown stretched to 800 x 450
juce::Image drawAboutPicture();                                // 430 x 240
} // namespace artwork
