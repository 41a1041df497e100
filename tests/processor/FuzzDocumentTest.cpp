#include "PresetTestSupport.h"

#include "processor/PresetDocument.h"
#include "processor/StateBlock.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using presettest::Snapshot;
using presettest::stateIsSound;

namespace
{
// Pieces that steer mutations towards the readers' and the XML reader's edge cases.
const std::vector<std::string> tokens = {
    "<", ">", "/>", "</", "\"", "'", "=", "&", ";", "&#x", "&#", "&amp;", "&lt;", "<!--", "-->", "<![CDATA[", "]]>",
    "<?", "?>", "<!DOCTYPE x [<!ENTITY e \"&e;&e;\">]>", "&e;", "nan", "inf", "-inf", "1e39", "-1", "1", "2", "12",
    "99999999999", " ", "\xf0", "\xc3", "\xff", std::string(1, '\0'), "true", "TRUE",
    "<Value property=\"inputVol\" type=\"number\">", "<Value property=\"tolmMidFreq\">", "</Value>",
    "<Preset preset=\"0\" activeChannel=\"", "<Channel channel=\"0\" presetPath=\"", "</Channel>", "</Preset>",
    "<Properties deviceProductID=\"com.tarvel.WYD-KX7\" a=\"\" presetVersion=\"2\" activeChannel=\"",
    "<tarvelPatch>", "</tarvelPatch>", "<TARVELPATCH>", "<properties>", "activeChannel=\"7\"", "activePreset=\"-3\"",
};

class Mutator
{
public:
    explicit Mutator(unsigned seed) : random(seed) {}

    std::string mutate(std::string text)
    {
        const int edits = 1 + below(4);
        for (int e = 0; e < edits; ++e)
        {
            switch (below(7))
            {
            case 0: // overwrite a byte
                if (!text.empty())
                    text[below(text.size())] = static_cast<char>(below(256));
                break;
            case 1: // insert a token
                text.insert(below(text.size() + 1), tokens[below(tokens.size())]);
                break;
            case 2: // delete a range
                if (!text.empty())
                {
                    const size_t at = below(text.size());
                    text.erase(at, 1 + below(std::min<size_t>(64, text.size() - at)));
                }
                break;
            case 3: // repeat a range
                if (!text.empty())
                {
                    const size_t at = below(text.size());
                    const std::string piece = text.substr(at, 1 + below(200));
                    text.insert(below(text.size() + 1), piece);
                }
                break;
            case 4: // cut off the end
                text.resize(below(text.size() + 1));
                break;
            case 5: // nest deeply
            {
                const int depth = 1 + below(60);
                std::string open;
                for (int d = 0; d < depth; ++d)
                    open += "<a>";
                text.insert(below(text.size() + 1), open);
                break;
            }
            default: // replace the text of a Value
            {
                const size_t at = text.find("\">", below(text.size() + 1));
                if (at != std::string::npos)
                    text.insert(at + 2, tokens[below(tokens.size())]);
                break;
            }
            }
        }
        return text;
    }

    juce::MemoryBlock block(const std::string& text)
    {
        uint32_t magic = StateBlock::magicNumber;
        auto length = static_cast<uint32_t>(text.size());
        switch (below(12))
        {
        case 0: magic ^= 1u << below(32); break;
        case 1: length = static_cast<uint32_t>(random()); break;
        case 2: length = 0; break;
        case 3: length = static_cast<uint32_t>(below(text.size() + 1)); break;
        default: break;
        }
        juce::MemoryBlock bytes = presettest::blockAround(text, magic, length);
        if (below(8) == 0)
            bytes.setSize(below(bytes.getSize() + 1));
        return bytes;
    }

    template <typename Count>
    size_t below(Count n)
    {
        return n == 0 ? 0 : static_cast<size_t>(random() % static_cast<uint64_t>(n));
    }

private:
    std::mt19937_64 random;
};

std::string textOf(const juce::MemoryBlock& block)
{
    return std::string(static_cast<const char*>(block.getData()) + 8, block.getSize() - 9);
}

void fill(WYD_KX7AudioProcessor& p, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (ProgramSlot& slot : p.programs)
    {
        slot.activeChannel = static_cast<int>(random() % 2);
        for (int setting = 0; setting < 2; ++setting)
            for (SharedValue& v : slot.values[setting])
                v = unit(random);
    }
    p.currentProgram = static_cast<int>(random() % 12);
}

// Only a document the reader takes may change anything: one with the right root and an element child.
bool isTaken(const juce::XmlElement* document)
{
    return document != nullptr && PresetDocument::hasTag(*document, PresetDocument::rootTag)
        && PresetDocument::firstChildElement(*document) != nullptr;
}
} // namespace

TEST(FuzzDocuments, MutatedStateBlocksNeverBreakTheProcessor)
{
    WYD_KX7AudioProcessor source;
    fill(source, 1);
    juce::MemoryBlock bank;
    juce::MemoryBlock program;
    source.getStateInformation(bank);
    source.getCurrentProgramStateInformation(program);
    const std::string texts[] = { textOf(bank), textOf(program) };

    Mutator mutator(20240601);
    WYD_KX7AudioProcessor p;
    int changed = 0;
    const int rounds = 3000;
    for (int round = 0; round < rounds; ++round)
    {
        fill(p, static_cast<unsigned>(round));
        p.programChanged = p.parametersChanged = p.channelChanged = false;
        const bool asBank = mutator.below(2) == 0;
        // Each reader refuses the other kind whole, so it gets its own kind to mutate.
        const juce::MemoryBlock block = mutator.block(mutator.mutate(texts[asBank ? 0 : 1]));
        const auto document = StateBlock::read(block.getData(), static_cast<int>(block.getSize()));

        const Snapshot before(p);
        if (asBank)
            p.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
        else
            p.setCurrentProgramStateInformation(block.getData(), static_cast<int>(block.getSize()));

        ASSERT_TRUE(stateIsSound(p)) << "round " << round;
        ASSERT_EQ(p.stateXml, nullptr);
        const bool unchanged = Snapshot(p) == before;
        if (!isTaken(document.get()))
        {
            ASSERT_TRUE(unchanged) << "round " << round;
        }
        changed += unchanged ? 0 : 1;
    }
    // Enough mutations leave a document the readers still take, and it must have had its effect.
    // Only well-formed XML gets through, so most mutations end at the XML gate.
    EXPECT_GT(changed, rounds / 40);
}

TEST(FuzzDocuments, MutatedPresetFilesNeverBreakTheProcessor)
{
    WYD_KX7AudioProcessor source;
    fill(source, 2);
    const std::string file =
        source.writePreset(true).toString(juce::XmlElement::TextFormat().singleLine().withoutHeader()).toStdString();

    Mutator mutator(77);
    WYD_KX7AudioProcessor p;
    int loaded = 0;
    const int rounds = 10000;
    for (int round = 0; round < rounds; ++round)
    {
        if (round % 200 == 0)
            fill(p, static_cast<unsigned>(round));
        const std::string text = mutator.mutate(file);
        auto document = StateBlock::parseText(juce::String::fromUTF8(text.data(), static_cast<int>(text.size())));
        if (document == nullptr)
            continue;

        const Snapshot before(p);
        p.comparePreset(new juce::XmlElement(*document));
        ASSERT_TRUE(Snapshot(p) == before) << "round " << round;

        const int code = p.readPreset(document.release(), true);
        ASSERT_TRUE(code == 0 || code == 1 || code == 2 || code == 4) << code;
        ASSERT_TRUE(stateIsSound(p)) << "round " << round;
        ASSERT_EQ(p.getCurrentProgram(), before.currentProgram);
        if (code == 0 || code == 2)
        {
            ASSERT_TRUE(Snapshot(p) == before) << "round " << round;
        }
        else
        {
            ++loaded;
        }
    }
    EXPECT_GT(loaded, rounds / 25); // only well-formed XML gets through the gate
}
