#include "processor/StateBlock.h"

#include <algorithm>
#include <string>

namespace StateBlock
{
namespace
{
using juce::CharacterFunctions;
using juce::CharPointer_ASCII;
using juce::juce_wchar;
using TextPointer = juce::String::CharPointerType;

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

// Strict UTF-8. The framework steps over a multi-byte character by its first byte alone, so a
// sequence cut short would carry its XML reader past the end of the text.
bool isValidUtf8(const char* text)
{
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0;)
    {
        const uint32_t lead = *p;
        if (lead < 0x80)
        {
            ++p;
            continue;
        }
        int following = 0;
        uint32_t codePoint = 0;
        uint32_t smallest = 0;
        if ((lead & 0xe0) == 0xc0)
        {
            following = 1;
            codePoint = lead & 0x1f;
            smallest = 0x80;
        }
        else if ((lead & 0xf0) == 0xe0)
        {
            following = 2;
            codePoint = lead & 0x0f;
            smallest = 0x800;
        }
        else if ((lead & 0xf8) == 0xf0)
        {
            following = 3;
            codePoint = lead & 0x07;
            smallest = 0x10000;
        }
        else
        {
            return false;
        }
        for (int i = 1; i <= following; ++i)
        {
            if ((p[i] & 0xc0) != 0x80) // also stops at the terminating zero
                return false;
            codePoint = (codePoint << 6) | (p[i] & 0x3f);
        }
        if (codePoint < smallest || codePoint > 0x10ffff || (codePoint >= 0xd800 && codePoint <= 0xdfff))
            return false;
        p += following + 1;
    }
    return true;
}

// Walks a text exactly the way the framework's XML reader (juce::XmlDocument) does, building
// nothing, to learn beforehand whether reading it is safe. The reader keeps going after most
// errors and builds (then deletes, again recursively) whatever it met, so the walk follows its
// every step, error paths included, rather than judging whether the text is well-formed XML.
class ReaderWalk
{
public:
    explicit ReaderWalk(const juce::String& text)
        : input(text.getCharPointer()),
          scanBudget(8 * static_cast<juce::int64>(text.getNumBytesAsUTF8()) + (1 << 20))
    {
    }

    bool isSafe()
    {
        if (input.isEmpty() || !readHeader())
            return true; // the reader gives up before the first element
        // Declared entities expand recursively and without limit: no preset document has one.
        if (CharacterFunctions::compareUpTo(input, CharPointer_ASCII("<!DOCTYPE"), 9) == 0)
            return false;
        readNextElement(1);
        return !unsafe;
    }

private:
    TextPointer input;
    bool outOfData = false;
    bool unsafe = false;
    juce::int64 scanBudget;

    void giveUp()
    {
        unsafe = true;
        outOfData = true;
    }

    // Scans cost the reader as much as they cost here; a text that makes it rescan without end
    // (entities that never close, say) is refused once the scans pass a multiple of its length.
    void spend(int characters)
    {
        scanBudget -= characters + 1;
        if (scanBudget < 0)
            giveUp();
    }

    static bool isIdentifierChar(juce_wchar c)
    {
        if (c < 160)
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
                || c == '-' || c == ':' || c == '.';
        return CharacterFunctions::isLetterOrDigit(c);
    }

    static TextPointer endOfToken(TextPointer p)
    {
        while (isIdentifierChar(*p))
            ++p;
        return p;
    }

    int indexOf(TextPointer p, juce_wchar wanted)
    {
        for (int i = 0;; ++i)
        {
            const juce_wchar c = p.getAndAdvance();
            if (c == 0 || c == wanted)
            {
                spend(i);
                return c == 0 ? -1 : i;
            }
        }
    }

    int indexOf(TextPointer p, const char* wanted)
    {
        const CharPointer_ASCII sought(wanted);
        const int length = static_cast<int>(std::char_traits<char>::length(wanted));
        for (int i = 0;; ++i)
        {
            if (p.compareUpTo(sought, length) == 0)
            {
                spend(i);
                return i;
            }
            if (p.getAndAdvance() == 0)
            {
                spend(i);
                return -1;
            }
        }
    }

    juce_wchar readNextChar()
    {
        const juce_wchar c = input.getAndAdvance();
        if (c == 0)
        {
            outOfData = true;
            --input;
        }
        return c;
    }

    bool readHeader()
    {
        skipNextWhiteSpace();
        if (CharacterFunctions::compareUpTo(input, CharPointer_ASCII("<?xml"), 5) == 0)
        {
            const int end = indexOf(input, "?>");
            if (end < 0)
                return false;
            input += end + 2;
            skipNextWhiteSpace();
        }
        return true;
    }

    bool skipComment()
    {
        input += 4;
        const int close = indexOf(input, "-->");
        if (close < 0)
            return false;
        input += close + 3;
        return true;
    }

    void skipNextWhiteSpace()
    {
        for (;;)
        {
            input.incrementToEndOfWhitespace();
            if (input.isEmpty())
            {
                outOfData = true;
                return;
            }
            if (*input != '<')
                return;
            if (input[1] == '!' && input[2] == '-' && input[3] == '-')
            {
                if (!skipComment())
                {
                    outOfData = true;
                    return;
                }
                continue;
            }
            if (input[1] != '?')
                return;
            input += 2;
            const int close = indexOf(input, "?>");
            if (close < 0)
            {
                outOfData = true;
                return;
            }
            input += close + 2;
        }
    }

    // True when the reader makes an element here, as it then goes on reading siblings.
    bool readNextElement(int depth)
    {
        skipNextWhiteSpace();
        if (outOfData || *input != '<')
            return false;
        ++input;
        TextPointer tagEnd = endOfToken(input);
        if (tagEnd == input)
        {
            skipNextWhiteSpace();
            tagEnd = endOfToken(input);
            if (tagEnd == input)
                return false;
        }
        if (depth > maxElementDepth)
        {
            giveUp();
            return false;
        }
        input = tagEnd;
        readAttributesAndChildren(depth);
        return true;
    }

    void readAttributesAndChildren(int depth)
    {
        while (!unsafe)
        {
            skipNextWhiteSpace();
            const juce_wchar c = *input;
            if (c == '/' && input[1] == '>')
            {
                input += 2;
                return;
            }
            if (c == '>')
            {
                ++input;
                readChildElements(depth);
                return;
            }
            if (!isIdentifierChar(c))
                return;
            input = endOfToken(input);
            skipNextWhiteSpace();
            if (readNextChar() != '=')
                return;
            skipNextWhiteSpace();
            const juce_wchar quote = *input;
            if (quote != '"' && quote != '\'')
                return;
            readQuotedString();
        }
    }

    void readQuotedString()
    {
        const juce_wchar quote = readNextChar();
        while (!outOfData)
        {
            const juce_wchar c = readNextChar();
            if (c == quote)
                return;
            --input;
            if (c == '&')
            {
                readEntity();
                continue;
            }
            for (;;)
            {
                const juce_wchar character = *input;
                if (character == quote)
                {
                    ++input;
                    return;
                }
                if (character == '&')
                    break;
                if (character == 0)
                {
                    outOfData = true;
                    break;
                }
                ++input;
            }
        }
    }

    // The text an entity stands for, where the reader could take it for markup; otherwise empty.
    juce::String readEntity()
    {
        ++input;
        for (const char* name : { "amp;", "quot;", "apos;", "lt;", "gt;" })
        {
            const int length = static_cast<int>(std::char_traits<char>::length(name));
            if (input.compareIgnoreCaseUpTo(CharPointer_ASCII(name), length) == 0)
            {
                input += length;
                return {};
            }
        }
        if (*input == '#')
        {
            readCharacterReference();
            return {};
        }
        const TextPointer nameStart = input;
        const int close = indexOf(input, static_cast<juce_wchar>(';'));
        if (close < 0)
        {
            outOfData = true;
            return {};
        }
        input += close + 1;
        // Without declared entities the reader keeps the name itself as the entity's text.
        return juce::String(nameStart, static_cast<size_t>(close));
    }

    void readCharacterReference()
    {
        ++input;
        if (*input == 'x' || *input == 'X')
        {
            ++input;
            for (int digits = 0; input[0] != ';'; ++input)
            {
                if (CharacterFunctions::getHexDigitValue(input[0]) < 0 || ++digits > 8)
                {
                    // The reader steps over the character that stopped it, even the text's end.
                    if (input[0] == 0)
                        giveUp();
                    break;
                }
            }
            if (!unsafe)
                ++input;
            return;
        }
        if (input[0] < '0' || input[0] > '9')
            return;
        for (int digits = 0;; ++input)
        {
            const juce_wchar c = input[0];
            if (c == 0)
                return;
            if (c == ';' || ++digits > 12)
                break;
        }
        ++input;
    }

    void readChildElements(int depth)
    {
        while (!unsafe)
        {
            const TextPointer beforeWhiteSpace = input;
            skipNextWhiteSpace();
            if (outOfData)
                return;
            if (*input != '<')
            {
                input = beforeWhiteSpace;
                if (!readText(depth))
                    return;
                // Back where this round began (a processing instruction before text): the
                // reader would go round here for ever.
                if (input == beforeWhiteSpace)
                    giveUp();
                continue;
            }
            const juce_wchar next = input[1];
            if (next == '/')
            {
                const int close = indexOf(input, static_cast<juce_wchar>('>'));
                if (close >= 0)
                    input += close + 1;
                return;
            }
            if (next == '!' && CharacterFunctions::compareUpTo(input + 2, CharPointer_ASCII("[CDATA["), 7) == 0)
            {
                input += 9;
                const int close = indexOf(input, "]]>");
                if (close < 0)
                {
                    // The reader stops at the end of the text.
                    outOfData = true;
                    while (!input.isEmpty())
                        ++input;
                }
                else
                {
                    input += close + 3;
                }
                continue;
            }
            if (!readNextElement(depth + 1))
                return;
        }
    }

    // A run of text between elements; false when the reader stops reading this element's children.
    bool readText(int depth)
    {
        while (!unsafe)
        {
            const juce_wchar c = *input;
            if (c == '<')
            {
                if (!(input[1] == '!' && input[2] == '-' && input[3] == '-'))
                    return true;
                if (!skipComment())
                {
                    outOfData = true;
                    return false;
                }
                continue;
            }
            if (c == 0)
            {
                outOfData = true;
                return false;
            }
            if (c == '&')
            {
                const juce::String entity = readEntity();
                if (entity.startsWithChar('<') && entity[1] != 0)
                    readElementsOfEntity(entity, depth);
                continue;
            }
            for (;; ++input)
            {
                const juce_wchar next = *input;
                if (next == '<' || next == '&')
                    break;
                if (next == 0)
                {
                    outOfData = true;
                    return false;
                }
            }
        }
        return false;
    }

    // The reader parses an entity's text that looks like markup as further children.
    void readElementsOfEntity(const juce::String& entity, int depth)
    {
        const TextPointer savedInput = input;
        const bool savedOutOfData = outOfData;
        input = entity.getCharPointer();
        outOfData = false;
        while (readNextElement(depth + 1))
        {
        }
        input = savedInput;
        outOfData = savedOutOfData || unsafe;
    }
};
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

    // The bytes as they are; parseText refuses them unless they are UTF-8 up to the first zero.
    const size_t textBytes = static_cast<size_t>(std::min(sizeInBytes - headerSize, length));
    const auto* text = reinterpret_cast<const char*>(bytes + headerSize);
    return parseText(juce::String(juce::CharPointer_UTF8(text), juce::CharPointer_UTF8(text + textBytes)));
}

std::unique_ptr<juce::XmlElement> parseText(const juce::String& text)
{
    if (!isValidUtf8(text.toRawUTF8()) || !ReaderWalk(text).isSafe())
        return {};
    return juce::parseXML(text);
}
} // namespace StateBlock
