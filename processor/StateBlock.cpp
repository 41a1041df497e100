#include "processor/StateBlock.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace StateBlock
{
namespace
{
uint32_t readLittleEndian32(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8)
        | (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void writeLittleEndian32(unsigned char* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

// expat reads the text first, and only what it accepts goes on to the framework's reader, which
// builds the document. That reader recurses per element level, expands declared entities without
// limit and never returns from a processing instruction followed by text inside an element, so
// the gate refuses, besides everything that is not well-formed UTF-8 XML: nesting deeper than
// maxElementDepth, an internal DTD subset or any entity declaration, an entity reference only an
// external DTD could resolve (the framework would read its name as text), and a processing
// instruction inside an element. A document type declaration without internal subset passes.
class XmlGate
{
public:
    XmlGate() : parser(XML_ParserCreate("UTF-8")) // whatever encoding the text declares
    {
        if (parser == nullptr)
            return;
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, &XmlGate::elementStarts, &XmlGate::elementEnds);
        XML_SetStartDoctypeDeclHandler(parser, &XmlGate::doctypeStarts);
        XML_SetEntityDeclHandler(parser, &XmlGate::entityDeclared);
        XML_SetSkippedEntityHandler(parser, &XmlGate::entitySkipped);
        XML_SetProcessingInstructionHandler(parser, &XmlGate::instructionFound);
    }

    ~XmlGate()
    {
        if (parser != nullptr)
            XML_ParserFree(parser);
    }

    XmlGate(const XmlGate&) = delete;
    XmlGate& operator=(const XmlGate&) = delete;

    bool accepts(const char* text, size_t length)
    {
        if (parser == nullptr || length > static_cast<size_t>(std::numeric_limits<int>::max()))
            return false;
        const XML_Status status = XML_Parse(parser, text, static_cast<int>(length), XML_TRUE);
        return status == XML_STATUS_OK && !refused;
    }

private:
    XML_Parser parser;
    int depth = 0;
    bool refused = false;

    static XmlGate& of(void* userData) { return *static_cast<XmlGate*>(userData); }

    void refuse()
    {
        refused = true;
        XML_StopParser(parser, XML_FALSE);
    }

    static void XMLCALL elementStarts(void* userData, const XML_Char*, const XML_Char**)
    {
        XmlGate& gate = of(userData);
        if (++gate.depth > maxElementDepth)
            gate.refuse();
    }

    static void XMLCALL elementEnds(void* userData, const XML_Char*) { --of(userData).depth; }

    static void XMLCALL doctypeStarts(void* userData, const XML_Char*, const XML_Char*, const XML_Char*,
                                      int hasInternalSubset)
    {
        if (hasInternalSubset != 0)
            of(userData).refuse();
    }

    static void XMLCALL entityDeclared(void* userData, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                       const XML_Char*, const XML_Char*, const XML_Char*)
    {
        of(userData).refuse();
    }

    static void XMLCALL entitySkipped(void* userData, const XML_Char*, int) { of(userData).refuse(); }

    static void XMLCALL instructionFound(void* userData, const XML_Char*, const XML_Char*)
    {
        XmlGate& gate = of(userData);
        if (gate.depth > 0)
            gate.refuse();
    }
};

std::unique_ptr<juce::XmlElement> parseAccepted(const char* text, size_t length)
{
    if (!XmlGate().accepts(text, length))
        return {};
    return juce::parseXML(juce::String::fromUTF8(text, static_cast<int>(length)));
}
} // namespace

void write(const juce::XmlElement& document, juce::MemoryBlock& destination)
{
    const juce::String text =
        document.toString(juce::XmlElement::TextFormat().singleLine().withoutHeader());
    const size_t textBytes = text.getNumBytesAsUTF8();

    destination.setSize(headerSize + textBytes + 1, false);
    auto* bytes = static_cast<unsigned char*>(destination.getData());
    writeLittleEndian32(bytes, magicNumber);
    writeLittleEndian32(bytes + 4, static_cast<uint32_t>(destination.getSize() - headerSize - 1));
    std::copy_n(text.toRawUTF8(), textBytes, bytes + headerSize);
    bytes[headerSize + textBytes] = 0;
}

std::unique_ptr<juce::XmlElement> read(const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= headerSize)
        return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (readLittleEndian32(bytes) != magicNumber)
        return {};
    const auto length = static_cast<int32_t>(readLittleEndian32(bytes + 4));
    if (length < 1)
        return {};

    // The text ends at the first zero byte, as the framework's strings do; the gate checks the
    // bytes themselves before anything decodes them.
    const auto* text = reinterpret_cast<const char*>(bytes + headerSize);
    const auto available = static_cast<size_t>(std::min(sizeInBytes - headerSize, length));
    const void* zero = std::memchr(text, 0, available);
    const size_t textBytes = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : available;
    return parseAccepted(text, textBytes);
}

std::unique_ptr<juce::XmlElement> parseText(const juce::String& text)
{
    return parseAccepted(text.toRawUTF8(), text.getNumBytesAsUTF8());
}
} // namespace StateBlock
