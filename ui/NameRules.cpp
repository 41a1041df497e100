#include "ui/NameRules.h"

#include "processor/StorableText.h"

namespace NameRules
{
namespace
{
// Separators of either kind, and what Windows and macOS file systems refuse or misread.
const char* const folderNameSeparatorsAndReserved = "/\\\"*:<>?|;^";

bool isVisible(juce::juce_wchar c)
{
    return c > 0x20 && !(c >= 0x7f && c <= 0x9f) && StorableText::isXmlCharacter(c);
}
} // namespace

juce::Array<juce::juce_wchar> charactersPresetPathsCannotHold(const juce::String& path)
{
    return StorableText::unstorableCharacters(path);
}

juce::Array<juce::juce_wchar> charactersFolderNamesCannotHold(const juce::String& name)
{
    const juce::String reserved(folderNameSeparatorsAndReserved);
    return StorableText::distinctCharacters(name, [&reserved](juce::juce_wchar c) {
        return !StorableText::isXmlCharacter(c) || reserved.containsChar(c);
    });
}

juce::String listed(const juce::Array<juce::juce_wchar>& characters)
{
    juce::StringArray names;
    for (const auto c : characters)
        names.add(isVisible(c) ? juce::String::charToString(c)
                               : "U+" + juce::String::toHexString((int) c).toUpperCase().paddedLeft('0', 4));
    return names.joinIntoString(" ");
}

juce::String refusalMessage(const juce::String& what, const juce::Array<juce::juce_wchar>& characters)
{
    return "The " + what + " can't hold these characters: " + listed(characters) + "\nTry different name.";
}
} // namespace NameRules
