#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <memory>

// The host state block: a preset document packed as magic number, text length, one line of
// UTF-8 XML without declaration and a terminating zero byte. Hosts hand these bytes back from
// project files, so reading treats them as untrusted.
namespace StateBlock
{
constexpr uint32_t magicNumber = 0x21324356; // the bytes "VC2!" in little-endian order
constexpr int headerSize = 8;
// Deeper than any preset document (five levels with the values' text) by a wide margin, and
// shallow enough for the framework's recursive reader on any host thread's stack.
constexpr int maxElementDepth = 32;

// Replaces the destination's content with the block of the document.
void write(const juce::XmlElement& document, juce::MemoryBlock& destination);

// The document of a block; none when the block is shorter than 9 bytes, carries another magic
// number, a length below 1, or text that does not parse. A length beyond the data reads the
// bytes present.
std::unique_ptr<juce::XmlElement> read(const void* data, int sizeInBytes);

// Parses XML text from outside (state blocks, preset files). libexpat checks the text first; only
// well-formed UTF-8 XML that nests at most maxElementDepth levels and holds nothing the framework's
// reader mishandles (an internal DTD subset, entity declarations or references to undeclared
// entities, a processing instruction inside an element) reaches that reader, which builds the
// document. Anything else yields no document.
std::unique_ptr<juce::XmlElement> parseText(const juce::String& text);
} // namespace StateBlock
