#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// Text that goes into a preset document has to come back out of it. XML 1.0 can carry no C0
// control character but tab, line feed and carriage return, no UTF-16 surrogate and neither
// U+FFFE nor U+FFFF, not even as a character reference: a document holding one is refused whole
// by every reader, ours included.
namespace StorableText
{
bool isXmlCharacter(juce::juce_wchar c);

// True when every character of text can be carried.
bool isStorable(const juce::String& text);

// The characters of text for which `chosen` holds, each once, in the order they first appear.
juce::Array<juce::juce_wchar> distinctCharacters(const juce::String& text,
                                                 const std::function<bool(juce::juce_wchar)>& chosen);
// The characters of text that cannot be carried, each once, in the order they first appear.
juce::Array<juce::juce_wchar> unstorableCharacters(const juce::String& text);

// text with every character that cannot be carried replaced by U+FFFD, so that a document always
// reads back whole.
juce::String storable(const juce::String& text);

// True for a name from the file system that a preset path can hold and hand back unchanged: UTF-8
// exactly as a String writes it again (no overlong or broken sequence) and storable.
bool isStorableFileName(const char* utf8Name);
} // namespace StorableText
