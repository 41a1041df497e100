#include "PresetTestSupport.h"

#include "processor/StateBlock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ParameterTable;
using presettest::blockAround;
using presettest::Snapshot;

namespace
{
std::string textOf(const juce::MemoryBlock& block)
{
    return std::string(static_cast<const char*>(block.getData()) + 8, block.getSize() - 9);
}

std::string nested(const std::string& open, const std::string& close, int depth, const std::string& inner = "")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += close;
    return text;
}

// A small bank-free program document that moves inputVol of the current program to 0.25.
const std::string programDocument =
    "<tarvelPatch><Properties deviceProductID=\"com.tarvel.WYD-KX7\" deviceVersion=\"1.0.5\" presetVersion=\"1.0\" "
    "activeChannel=\"0\"><Channel channel=\"0\" presetPath=\"X.tz7p\"><Value property=\"inputVol\" type=\"number\">"
    "0.25000</Value></Channel></Properties></tarvelPatch>";

void restoreProgram(WYD_KX7AudioProcessor& p, const juce::MemoryBlock& block)
{
    p.setCurrentProgramStateInformation(block.getData(), static_cast<int>(block.getSize()));
}
} // namespace

TEST(StateBlock, LayoutIsMagicLengthOneLineOfTextAndZero)
{
    WYD_KX7AudioProcessor p;
    p.programs[0].presetPath[0] = juce::String(juce::CharPointer_UTF8("Sub/\xc3\xa9t\xc3\xa9\nline\"&<>.tz7p"));
    juce::MemoryBlock block(1 << 20, true); // a larger destination is cut to the block
    p.getStateInformation(block);

    ASSERT_GT(block.getSize(), 9u);
    const auto* bytes = static_cast<const unsigned char*>(block.getData());
    EXPECT_EQ(bytes[0], 0x56);
    EXPECT_EQ(bytes[1], 0x43);
    EXPECT_EQ(bytes[2], 0x32);
    EXPECT_EQ(bytes[3], 0x21);
    const uint32_t length = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
    EXPECT_EQ(length, block.getSize() - 9);
    EXPECT_EQ(bytes[block.getSize() - 1], 0);

    const std::string text = textOf(block);
    EXPECT_EQ(text.rfind("<tarvelPatch version=\"1.0\"><DeviceName>WYD-KX7</DeviceName><Properties", 0), 0u);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    const juce::String expected = p.writePreset(false).toString(juce::XmlElement::TextFormat().singleLine().withoutHeader());
    EXPECT_EQ(text, expected.toStdString());

    juce::MemoryBlock programBlock;
    p.getCurrentProgramStateInformation(programBlock);
    EXPECT_EQ(textOf(programBlock), p.writeCurrentProgram().toString(juce::XmlElement::TextFormat().singleLine().withoutHeader()).toStdString());

    WYD_KX7AudioProcessor q;
    q.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
    EXPECT_EQ(q.programs[0].presetPath[0], p.programs[0].presetPath[0]);
}

TEST(StateBlock, BlocksWithOrWithoutDeclarationAreRead)
{
    WYD_KX7AudioProcessor source;
    source.programs[0].values[0][kInputVol] = 0.75f;
    juce::MemoryBlock withDeclaration;
    juce::AudioProcessor::copyXmlToBinary(source.writePreset(false), withDeclaration);
    ASSERT_EQ(std::string(static_cast<const char*>(withDeclaration.getData()) + 8, 5), "<?xml");

    WYD_KX7AudioProcessor target;
    target.setStateInformation(withDeclaration.getData(), static_cast<int>(withDeclaration.getSize()));
    EXPECT_EQ(target.getParameter(kInputVol), 0.75f);

    WYD_KX7AudioProcessor program;
    restoreProgram(program, blockAround("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n" + programDocument));
    EXPECT_EQ(program.getParameter(kInputVol), 0.25f);
    EXPECT_EQ(program.programs[0].presetPath[0], "X.tz7p");
}

TEST(StateBlock, BlocksThatDoNotUnpackChangeNothing)
{
    const juce::MemoryBlock good = blockAround(programDocument);
    struct Case
    {
        const char* what;
        juce::MemoryBlock block;
    };
    const Case cases[] = {
        { "8 bytes", juce::MemoryBlock(good.getData(), 8) },
        { "another magic number", blockAround(programDocument, 0x21324357u, static_cast<uint32_t>(programDocument.size())) },
        { "magic in the other byte order", blockAround(programDocument, 0x56433221u, static_cast<uint32_t>(programDocument.size())) },
        { "length 0", blockAround(programDocument, 0x21324356u, 0) },
        { "length below 0", blockAround(programDocument, 0x21324356u, 0x80000000u) },
        { "length short of the text", blockAround(programDocument, 0x21324356u, 40) },
        { "text cut off", juce::MemoryBlock(good.getData(), 8 + 60) },
        { "not XML", blockAround("tarvelPatch") },
        { "empty text", blockAround(" ", 0x21324356u, 1) },
    };
    for (const Case& c : cases)
    {
        WYD_KX7AudioProcessor p;
        const Snapshot before(p);
        restoreProgram(p, c.block);
        p.setStateInformation(c.block.getData(), static_cast<int>(c.block.getSize()));
        EXPECT_TRUE(Snapshot(p) == before) << c.what;
        EXPECT_EQ(p.stateXml, nullptr);
    }

    WYD_KX7AudioProcessor p;
    const Snapshot before(p);
    p.setStateInformation(nullptr, 100);
    p.setCurrentProgramStateInformation(good.getData(), -5);
    EXPECT_TRUE(Snapshot(p) == before);

    // The same block with a sound header is taken, so each case above failed on its fault alone.
    restoreProgram(p, good);
    EXPECT_EQ(p.getParameter(kInputVol), 0.25f);
}

TEST(StateBlock, LengthBeyondTheDataReadsTheBytesPresent)
{
    juce::MemoryBlock block = blockAround(programDocument, 0x21324356u, 0x7fffffffu);
    block.setSize(block.getSize() - 1); // no terminating zero either
    WYD_KX7AudioProcessor p;
    restoreProgram(p, block);
    EXPECT_EQ(p.getParameter(kInputVol), 0.25f);

}

TEST(StateBlock, TextMustBeUtf8)
{
    // The framework's reader would step over the zero after a lead byte and read on beyond the text.
    for (const std::string& bad : std::vector<std::string> { "\xf0", "\xc3", "\xe2\x82", "\xff", "\xc0\x80", "\xed\xa0\x80" })
    {
        const std::string text = programDocument + bad;
        juce::MemoryBlock block = blockAround(text, 0x21324356u, 0x7fffffffu);
        block.setSize(8 + text.size());
        EXPECT_EQ(StateBlock::read(block.getData(), static_cast<int>(block.getSize())), nullptr);
    }
    // Raw UTF-8 (as other writers may leave it) is read.
    const std::string raw = "<tarvelPatch><Properties a=\"\" b=\"\" c=\"\" activeChannel=\"0\"><Channel c=\"0\" presetPath=\""
                            "\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb5.tz7p\"/></Properties></tarvelPatch>";
    WYD_KX7AudioProcessor p;
    restoreProgram(p, blockAround(raw));
    EXPECT_EQ(p.programs[0].presetPath[0], juce::String(juce::CharPointer_UTF8("\xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb5.tz7p")));
}

TEST(StateBlock, UnsafeTextYieldsNoDocument)
{
    using StateBlock::maxElementDepth;
    using StateBlock::parseText;
    auto parses = [](const std::string& text) { return parseText(juce::String::fromUTF8(text.c_str())) != nullptr; };

    EXPECT_TRUE(parses(nested("<a>", "</a>", maxElementDepth)));
    EXPECT_FALSE(parses(nested("<a>", "</a>", maxElementDepth + 1)));
    EXPECT_FALSE(parses(nested("<a>", "</a>", 200000)));
    EXPECT_FALSE(parses(nested("<a>", "", 200000))); // never closed: the framework builds, then drops it
    EXPECT_FALSE(parses(nested("<a b=\"/>\">", "</a>", 100)));
    EXPECT_FALSE(parses(nested("<a><!-- </a> -->", "</a>", 100)));
    // Text that is not well-formed XML, though the framework's reader would take something from it:
    // it ends <a x=1> at the unquoted value, reads an entity name that looks like markup as
    // elements and keeps a character reference beyond Unicode.
    EXPECT_FALSE(parses(nested("<a x=1>", "</a>", 2)));
    EXPECT_FALSE(parses("<r>&<a/>;</r>"));
    EXPECT_FALSE(parses("<r>&#12345678901234;</r>"));
    EXPECT_FALSE(parses("<a><b></a></b>"));
    EXPECT_FALSE(parses("<r>&" + nested("<a>", "</a>", 100) + ";</r>"));
    EXPECT_FALSE(parses("<!DOCTYPE r [<!ENTITY e \"&e;\">]><r>&e;</r>"));
    EXPECT_FALSE(parses("<!DOCTYPE r [<!ELEMENT r EMPTY>]><r/>")); // any internal subset
    EXPECT_FALSE(parses("<!DOCTYPE r SYSTEM \"r.dtd\"><r>&undeclared;</r>"));
    EXPECT_FALSE(parses("<r>&#x"));
    EXPECT_FALSE(parses("<r a=\"&#x1F"));
    EXPECT_FALSE(parses("<r>" + std::string(300000, '&') + "</r>"));
    EXPECT_FALSE(parses("<r><?pi?>text</r>")); // the framework's reader would never return
    EXPECT_FALSE(parses("<r><e/><?pi?></r>"));

    // Well-formed documents in any of the forms the framework reads come out as it reads them.
    for (const std::string& text : std::vector<std::string> {
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- saved --><?pi here?><r a='1' b=\"&lt;&#x41;&#66;\">\r\n"
             "  <c><![CDATA[<not/><an/><element/>]]></c><e/>text &amp; more<d/></r><?pi after?>",
             nested("<a k=\"v\">", "</a>", maxElementDepth, "&gt;"),
             "<!DOCTYPE tarvelPatch><tarvelPatch version=\"1.0\"/>",
             "<!DOCTYPE r PUBLIC \"-//Tarvel//Patch//EN\" \"r.dtd\"><r>&amp;</r>",
         })
    {
        const auto safe = parseText(juce::String::fromUTF8(text.c_str()));
        ASSERT_NE(safe, nullptr) << text;
        const auto plain = juce::parseXML(juce::String::fromUTF8(text.c_str()));
        ASSERT_NE(plain, nullptr) << text;
        EXPECT_TRUE(safe->isEquivalentTo(plain.get(), false)) << text;
    }
}

TEST(StateBlock, DeeplyNestedBlockChangesNothing)
{
    const std::string deep = "<tarvelPatch>" + nested("<Properties>", "</Properties>", 100000) + "</tarvelPatch>";
    WYD_KX7AudioProcessor p;
    const Snapshot before(p);
    const juce::MemoryBlock block = blockAround(deep);
    p.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
    restoreProgram(p, block);
    EXPECT_TRUE(Snapshot(p) == before);
}
