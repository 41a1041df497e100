#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A message box's label wraps its lines and centres the whole block: a message longer than the
// label can show loses its first line, the headline, above the top edge. Fitting shortens the
// longest lines after the headline (a long file name, as a rule) in their middle, "…" standing
// for what was left out, until the wrapped text fits.
namespace FittedMessage
{
// text as it fits into width x height pixels in font, wrapped as a label wraps it.
juce::String fit(const juce::String& text, const juce::Font& font, float width, float height);

// text as it fits into the label's text area.
juce::String fitInto(const juce::String& text, const juce::Label& label);
} // namespace FittedMessage
