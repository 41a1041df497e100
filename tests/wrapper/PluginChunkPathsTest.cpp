// Preset paths in the host's state, through effGetChunk, a fresh instance and effSetChunk: every
// name the plug-in can hold comes back byte for byte, and no name ever makes the state unreadable.
// The wrapper is linked into this program to reach the programs' paths.

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

// File names as a file system hands them over: text, every kind of control character, characters
// XML refuses, surrogates, four-byte characters, and bytes that are no UTF-8 at all.
std::string randomName(std::mt19937& random)
{
    static const std::vector<std::string> pieces = {
        "Warm", " ", "/", "\\", "&", "<", "\"", "'", "#", ".tz7p", "\t", "\n", "\r", "\x01", "\x1f", "\x7f",
        "\xc2\x85", "\xc3\xa9", "\xe6\xbc\xa2", "\xef\xbf\xbd", "\xef\xbf\xbe", "\xef\xbf\xbf", "\xed\xa0\x80",
        "\xf0\x9f\x8e\xb5", "\xf4\x8f\xbf\xbf", "\x80", "\xff", "\xc1\x81", "\xe2\x82", "\xc0\x80",
    };
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1), count(1, 12);
    std::string name;
    for (size_t n = count(random); n > 0; --n)
        name += pieces[piece(random)];
    return name;
}

// Bytes that are no UTF-8 are read only as far as they go.
juce::String asText(const std::string& bytes)
{
    return juce::String::fromUTF8(bytes.data(), (int) bytes.size());
}

// Names the preset list shows are held as they are; any other text that reached a path (as the
// report's "6 ctl<U+0001>char.tz7p" did) comes back with U+FFFD for what XML cannot carry, and
// the rest of the state with it.
TEST(ChunkPaths, EveryNameThePluginCanHoldComesBackByteForByteAndNoneCostsTheState)
{
    std::mt19937 random(19);
    vsthost::Host host;
    vsthost::PluginInstance source(VSTPluginMain, host);
    auto& programs = processorOf(source).programs;
    for (int round = 0; round < 80; ++round)
    {
        const bool program = round % 2 == 1, listed = round % 4 < 2;
        const int current = round % WYD_KX7AudioProcessor::kNumPrograms;
        processorOf(source).setCurrentProgram(current);
        std::vector<std::string> sent;
        for (int slot = 0; slot < 2 * WYD_KX7AudioProcessor::kNumPrograms; ++slot)
        {
            auto name = randomName(random);
            while (listed != StorableText::isStorableFileName(name.c_str()))
                name = randomName(random);
            programs[slot / 2].presetPath[slot % 2] = asText(name);
            programs[slot / 2].values[slot % 2][1] = (float) slot / 32.0f;
            sent.push_back(name);
        }
        const auto chunk = source.getChunk(program);
        vsthost::Host freshHost;
        vsthost::PluginInstance fresh(VSTPluginMain, freshHost);
        fresh.setChunk(chunk, program);
        if (listed)
        {
            ASSERT_EQ(fresh.getChunk(program), chunk) << "round " << round;
        }
        for (int slot = 0; slot < 2 * WYD_KX7AudioProcessor::kNumPrograms; ++slot)
        {
            if (program && slot / 2 != current)
                continue;
            // A program chunk lands in the fresh instance's current program, 0.
            const auto& restored = processorOf(fresh).programs[program ? 0 : slot / 2];
            const auto path = restored.presetPath[slot % 2];
            ASSERT_EQ(path, StorableText::storable(asText(sent[(size_t) slot]))) << "round " << round;
            if (listed)
            {
                ASSERT_EQ(std::string(path.toRawUTF8(), path.getNumBytesAsUTF8()), sent[(size_t) slot]);
            }
            ASSERT_EQ(restored.values[slot % 2][1], (float) slot / 32.0f);
        }
    }
}

} // namespace
