#include "ui/widgets/FittedMessage.h"

#include <vector>

namespace FittedMessage
{
namespace
{
const juce::String ellipsis = juce::String::charToString((juce::juce_wchar) 0x2026);

float wrappedHeight(const juce::StringArray& lines, const juce::Font& font, float width)
{
    juce::GlyphArrangement glyphs;
    glyphs.addJustifiedText(font, lines.joinIntoString("\n"), 0.0f, 0.0f, width,
                            juce::Justification::centred);
    return glyphs.getBoundingBox(0, -1, false).getHeight();
}

// The line with kept characters of it left: its start and its end, the start one longer.
juce::String keptOf(const juce::String& line, int kept)
{
    const int atEnd = kept / 2;
    return line.substring(0, kept - atEnd) + ellipsis + line.substring(line.length() - atEnd);
}

// The longest line after the headline that can still be shortened, or -1.
int longestShortenable(const juce::StringArray& lines, const std::vector<bool>& shortened)
{
    int longest = -1;
    for (int i = lines.size() > 1 ? 1 : 0; i < lines.size(); ++i)
        if (!shortened[(size_t) i] && lines[i].length() > 1
            && (longest < 0 || lines[i].length() > lines[longest].length()))
            longest = i;
    return longest;
}
} // namespace

juce::String fit(const juce::String& text, const juce::Font& font, float width, float height)
{
    auto lines = juce::StringArray::fromLines(text);
    std::vector<bool> shortened((size_t) lines.size()); // cut as far as needed or possible
    while (wrappedHeight(lines, font, width) > height)
    {
        const int index = longestShortenable(lines, shortened);
        if (index < 0)
            break;
        shortened[(size_t) index] = true;
        // The most characters of this line that still let the whole text fit.
        const auto line = lines[index];
        int low = 0, high = line.length() - 1;
        while (low < high)
        {
            const int middle = (low + high + 1) / 2;
            auto candidate = lines;
            candidate.set(index, keptOf(line, middle));
            if (wrappedHeight(candidate, font, width) <= height)
                low = middle;
            else
                high = middle - 1;
        }
        lines.set(index, keptOf(line, low));
    }
    return lines.joinIntoString("\n");
}

juce::String fitInto(const juce::String& text, const juce::Label& label)
{
    const auto area = label.getBorderSize().subtractedFrom(label.getLocalBounds());
    if (area.isEmpty())
        return text;
    return fit(text, label.getFont(), (float) area.getWidth(), (float) area.getHeight());
}
} // namespace FittedMessage
