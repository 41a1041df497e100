// Preset paths in the host's state: whatever name the plug-in can hold comes back byte for byte
// through effGetChunk, a fresh instance and effSetChunk, and no name ever makes the state
// unreadable. The wrapper is linked into this program to reach the programs' paths.

#include "PluginTestSupport.h"

#include "processor/StorableText.h"
#include "processor/WYD_KX7AudioProcessor.h"
#include "wrapper/JuceVSTWrapper.h"

#include <random>
#include <string>
#include <vector>

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

namespace
{

WYD_KX7AudioProcessor& processorOf(const vsthost::PluginInstance& plugin)
{
    auto& wrapper = *static_cast<wydvst::JuceVSTWrapper*>(static_cast<AudioEffect*>(plugin.record()->object));
    return dynamic_cast<WYD_KX7AudioProcessor&>(wrapper.getProcessor());
}

// File names as a file system hands them over: printable text, every kind of control character,
// characters XML refuses, surrogates, four-byte characters, and bytes that are no UTF-8 at all.
std::string randomName(std::mt19937& random)
{
    static const std::vector<std::string> pieces = {
        "Warm", " ", "/", "\\", "&", "<", ">", "\"", "'", ";", "#", "~", ".tz7p", "\t", "\n", "\r", "\x01", "\x1f",
        "\x7f", "\xc2\x85", "\xc3\xa9", "\xe2\x82\xac", "\xe6\xbc\xa2", "\xef\xbf\xbd", "\xef\xbf\xbe", "\xef\xbf\xbf",
        "\xed\xa0\x80", "\xed\xbf\xbf", "\xf0\x9f\x8e\xb5", "\xf4\x8f\xbf\xbf", "\x80", "\xff", "\xc1\x81", "\xe2\x82",
        "\xc0\x80",
    };
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1), count(1, 12);
    std::string name;
    for (size_t n = count(random); n > 0; --n)
        name += pieces[piece(random)];
    return name;
}

class ChunkPaths : public ::testing::Test
{
protected:
    // The state after the host stored it and gave it to a new instance, and that instance's state.
    std::vector<char> roundTrip(bool program, std::vector<char>& againFromTheNewInstance)
    {
        const auto chunk = source->getChunk(program);
        vsthost::Host freshHost;
        fresh = std::make_unique<vsthost::PluginInstance>(VSTPluginMain, freshHost);
        EXPECT_TRUE(fresh->valid());
        fresh->setChunk(chunk, program);
        againFromTheNewInstance = fresh->getChunk(program);
        return chunk;
    }

    vsthost::Host host;
    std::unique_ptr<vsthost::PluginInstance> source = std::make_unique<vsthost::PluginInstance>(VSTPluginMain, host);
    std::unique_ptr<vsthost::PluginInstance> fresh;
};

TEST_F(ChunkPaths, EveryNameThePluginCanHoldComesBackByteForByte)
{
    std::mt19937 random(19);
    int held = 0;
    for (int round = 0; round < 60; ++round)
    {
        auto& programs = processorOf(*source).programs;
        std::vector<std::string> names;
        for (int slot = 0; slot < 2 * WYD_KX7AudioProcessor::kNumPrograms; ++slot)
        {
            std::string name;
            do
                name = randomName(random);
            while (!StorableText::isStorableFileName(name.c_str())); // what the preset list shows
            programs[slot / 2].presetPath[slot % 2] = juce::String::fromUTF8(name.c_str(), (int) name.size());
            names.push_back(name);
        }
        held += (int) names.size();
        const bool program = round % 2 == 1;
        std::vector<char> again;
        const auto chunk = roundTrip(program, again);
        ASSERT_EQ(again, chunk) << "round " << round;
        const auto& restored = processorOf(*fresh).programs;
        const int current = processorOf(*source).getCurrentProgram();
        for (int slot = 0; slot < 2 * WYD_KX7AudioProcessor::kNumPrograms; ++slot)
        {
            if (program && slot / 2 != 0) // the program chunk lands in the new instance's program 0
                continue;
            const auto& path = restored[slot / 2].presetPath[slot % 2];
            const auto& sent = names[(size_t) (program ? current * 2 + slot % 2 : slot)];
            ASSERT_EQ(std::string(path.toRawUTF8(), path.getNumBytesAsUTF8()), sent) << "round " << round;
        }
        processorOf(*source).setCurrentProgram(round % WYD_KX7AudioProcessor::kNumPrograms);
    }
    EXPECT_EQ(held, 60 * 24);
}

// A path the document cannot carry, however it got in, never costs the rest of the state: it
// comes back with U+FFFD in place of each such character, and every program with it.
TEST_F(ChunkPaths, ANameTheDocumentCannotCarryNeverMakesTheStateUnreadable)
{
    std::mt19937 random(23);
    auto& programs = processorOf(*source).programs;
    for (int round = 0; round < 40; ++round)
    {
        juce::String sent;
        do
        {
            const auto name = randomName(random);
            sent = juce::String::fromUTF8(name.c_str(), (int) name.size());
        } while (StorableText::isStorable(sent));
        programs[round % 12].presetPath[round % 2] = sent;
        programs[round % 12].values[round % 2][1] = 0.125f;
        for (const bool program : { false, true })
        {
            processorOf(*source).setCurrentProgram(round % 12);
            std::vector<char> again;
            roundTrip(program, again);
            const auto& restored = processorOf(*fresh).programs[program ? 0 : round % 12];
            EXPECT_EQ(restored.presetPath[round % 2], StorableText::storable(sent));
            EXPECT_EQ(restored.values[round % 2][1], 0.125f);
        }
    }
    // The report's own case: a control character in a listed name.
    programs[0].presetPath[0] = "6 ctl" + juce::String::charToString(1) + "char.tz7p";
    processorOf(*source).setCurrentProgram(0);
    std::vector<char> again;
    roundTrip(false, again);
    EXPECT_EQ(processorOf(*fresh).programs[0].presetPath[0],
              "6 ctl" + juce::String::charToString(0xfffd) + "char.tz7p");
}

} // namespace
