#include "processor/StorableText.h"

#include <cstring>

namespace StorableText
{
bool isXmlCharacter(juce::juce_wchar c)
{
    const auto code = (juce::uint32) c;
    if (code < 0x20)
        return code == 0x09 || code == 0x0a || code == 0x0d;
    if (code >= 0xd800 && code <= 0xdfff)
        return false;
    return code != 0xfffe && code != 0xffff && code <= 0x10ffff;
}

bool isStorable(const juce::String& text)
{
    for (auto c = text.getCharPointer(); !c.isEmpty();)
        if (!isXmlCharacter(c.getAndAdvance()))
            return false;
    return true;
}

juce::Array<juce::juce_wchar> distinctCharacters(const juce::String& text,
                                                 const std::function<bool(juce::juce_wchar)>& chosen)
{
    juce::Array<juce::juce_wchar> found;
    for (auto c = text.getCharPointer(); !c.isEmpty();)
        if (const auto character = c.getAndAdvance(); chosen(character))
            found.addIfNotAlreadyThere(character);
    return found;
}

juce::Array<juce::juce_wchar> unstorableCharacters(const juce::String& text)
{
    return distinctCharacters(text, [](juce::juce_wchar c) { return !isXmlCharacter(c); });
}

juce::String storable(const juce::String& text)
{
    if (isStorable(text))
        return text;
    juce::String result;
    for (auto c = text.getCharPointer(); !c.isEmpty();)
    {
        const auto character = c.getAndAdvance();
        result += isXmlCharacter(character) ? character : (juce::juce_wchar) 0xfffd;
    }
    return result;
}

bool isStorableFileName(const char* utf8Name)
{
    const auto length = std::strlen(utf8Name);
    if (!juce::CharPointer_UTF8::isValidString(utf8Name, (int) length))
        return false;
    const auto name = juce::String::fromUTF8(utf8Name, (int) length);
    return name.getNumBytesAsUTF8() == length && std::memcmp(name.toRawUTF8(), utf8Name, length) == 0
        && isStorable(name);
}
} // namespace StorableText
