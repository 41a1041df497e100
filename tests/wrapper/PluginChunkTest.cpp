// Host state through effGetChunk / effSetChunk, between instances of the built .so.

#include "PluginTestSupport.h"

#include "processor/WYD_KX7AudioProcessor.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>

using plugintest::loadPlugin;

namespace
{

class PluginChunks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library = loadPlugin();
        ASSERT_TRUE(library);
        source = std::make_unique<vsthost::PluginInstance>(*library, sourceHost);
        target = std::make_unique<vsthost::PluginInstance>(*library, targetHost);
        ASSERT_TRUE(source->valid() && target->valid());
    }
    void TearDown() override
    {
        source.reset();
        target.reset();
        library.reset();
    }

    // A setting unlike the defaults in every parameter, each value on one of its steps.
    static void changeEverything(const vsthost::PluginInstance& plugin)
    {
        const float values[22] = {1.0f, 0.25f, 1.0f, 1.0f, 0.0f, 0.5f, 0.3f, 0.2f, 0.7f, 1.0f, 0.1f,
                                  0.0f, 1.0f, 0.6f, 0.4f, 0.5f, 0.9f, 0.2f, 1.0f, 0.8f, 0.75f, 1.0f};
        for (VstInt32 i = 0; i < 22; ++i)
            plugin.setParameter(i, values[i]);
    }

    static std::vector<std::string> programNames(const vsthost::PluginInstance& plugin)
    {
        std::vector<std::string> names;
        for (VstInt32 p = 0; p < 12; ++p)
            names.push_back(plugin.text(effGetProgramNameIndexed, p, 24));
        return names;
    }

    static std::vector<float> parameters(const vsthost::PluginInstance& plugin)
    {
        std::vector<float> values;
        for (VstInt32 i = 0; i < 22; ++i)
            values.push_back(plugin.getParameter(i));
        return values;
    }

    vsthost::Host sourceHost, targetHost;
    std::unique_ptr<vsthost::PluginLibrary> library;
    std::unique_ptr<vsthost::PluginInstance> source, target;
};

TEST_F(PluginChunks, BankMovesEveryProgramToAnotherInstance)
{
    for (VstIntPtr program : {2, 7})
    {
        source->dispatch(effSetProgram, 0, program);
        changeEverything(*source);
    }
    const std::vector<char> bank = source->getChunk(false);
    ASSERT_GT(bank.size(), 9u);
    EXPECT_EQ(std::string(bank.data(), 4), "VC2!");

    EXPECT_EQ(target->setChunk(bank, false), 0);
    EXPECT_EQ(target->dispatch(effGetProgram), 7);
    EXPECT_EQ(parameters(*target), parameters(*source));
    target->dispatch(effSetProgram, 0, 2);
    source->dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(parameters(*target), parameters(*source));
    EXPECT_EQ(target->getChunk(false), source->getChunk(false));
}

TEST_F(PluginChunks, ProgramChunkReplacesOnlyTheCurrentProgram)
{
    changeEverything(*source);
    const std::vector<char> program = source->getChunk(true);
    ASSERT_FALSE(program.empty());
    ASSERT_NE(program, source->getChunk(false));

    target->dispatch(effSetProgram, 0, 4);
    const std::vector<float> untouched = [&] {
        target->dispatch(effSetProgram, 0, 5);
        auto values = parameters(*target);
        target->dispatch(effSetProgram, 0, 4);
        return values;
    }();
    EXPECT_EQ(target->setChunk(program, true), 0);
    EXPECT_EQ(target->dispatch(effGetProgram), 4);
    EXPECT_EQ(parameters(*target), parameters(*source));
    target->dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(parameters(*target), untouched);
}

TEST_F(PluginChunks, ABlockOfTheOtherKindChangesNothing)
{
    // Twelve programs with names of their own, program 3 current.
    WYD_KX7AudioProcessor named;
    for (int p = 0; p < 12; ++p)
        named.programs[p].presetPath[0] = "Named " + juce::String(p) + ".tz7p";
    named.setCurrentProgram(3);
    juce::MemoryBlock namedBank;
    named.getStateInformation(namedBank);
    const auto* bytes = static_cast<const char*>(namedBank.getData());
    ASSERT_EQ(target->setChunk(std::vector<char>(bytes, bytes + namedBank.getSize()), false), 0);
    const std::vector<std::string> names = programNames(*target);
    ASSERT_EQ(names[3], "Named 3");
    const std::vector<char> before = target->getChunk(false);

    source->dispatch(effSetProgram, 0, 5);
    changeEverything(*source);
    EXPECT_EQ(target->setChunk(source->getChunk(true), false), 0);
    EXPECT_EQ(target->dispatch(effGetProgram), 3);
    EXPECT_EQ(programNames(*target), names);
    EXPECT_EQ(target->setChunk(source->getChunk(false), true), 0);
    EXPECT_EQ(target->dispatch(effGetProgram), 3);
    EXPECT_EQ(programNames(*target), names);
    EXPECT_EQ(target->getChunk(false), before);
}

// A project file whose preset paths are long runs of "/" once held the host for seconds per name.
// The bound only guards against such a hang.
TEST_F(PluginChunks, NamesFromAStoredRunOfSlashesComeAtOnce)
{
    WYD_KX7AudioProcessor corrupt;
    for (ProgramSlot& slot : corrupt.programs)
        slot.presetPath[0] = slot.presetPath[1] = juce::String::repeatedString("/", 200000);
    juce::MemoryBlock bank;
    corrupt.getStateInformation(bank);
    const auto* bytes = static_cast<const char*>(bank.getData());
    ASSERT_EQ(target->setChunk(std::vector<char>(bytes, bytes + bank.getSize()), false), 0);

    auto timed = [](const std::function<void()>& call) {
        const auto start = std::chrono::steady_clock::now();
        call();
        return std::chrono::steady_clock::now() - start;
    };
    EXPECT_LT(timed([&] { target->programName(); }), std::chrono::milliseconds(50));
    for (VstInt32 p = 0; p < 12; ++p)
        EXPECT_LT(timed([&] { target->text(effGetProgramNameIndexed, p, 24); }), std::chrono::milliseconds(50)) << p;
}

TEST_F(PluginChunks, HandedOutMemoryStaysValidAndMayComeBack)
{
    changeEverything(*source);
    void* data = nullptr;
    const VstIntPtr size = source->dispatch(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    ASSERT_NE(data, nullptr);
    const std::vector<char> copy(static_cast<char*>(data), static_cast<char*>(data) + size);

    // Other calls in between leave the block alone.
    source->setParameter(1, 0.9f);
    source->dispatch(effGetParamDisplay, 1, 0, std::vector<char>(24).data());
    EXPECT_EQ(std::vector<char>(static_cast<char*>(data), static_cast<char*>(data) + size), copy);

    // A host restoring the very block it fetched: it is read before it is released.
    EXPECT_EQ(source->dispatch(effSetChunk, 0, size, data), 0);
    EXPECT_FLOAT_EQ(source->getParameter(1), 0.25f);
    EXPECT_EQ(source->getChunk(false), copy);
}

TEST_F(PluginChunks, GetChunkWithoutAPlaceForTheAddressAnswersNothing)
{
    EXPECT_EQ(source->dispatch(effGetChunk, 0, 0, nullptr), 0);
    EXPECT_EQ(source->dispatch(effGetChunk, 1, 0, nullptr), 0);
}

TEST_F(PluginChunks, BrokenOrHostileBlocksChangeNothing)
{
    changeEverything(*target);
    const std::vector<char> before = target->getChunk(false);
    const std::vector<char> valid = source->getChunk(false);

    std::vector<std::vector<char>> blocks;
    blocks.push_back(std::vector<char>(valid.begin(), valid.begin() + 8));
    blocks.push_back(std::vector<char>(valid.begin(), valid.begin() + valid.size() / 2));
    std::vector<char> wrongMagic = valid;
    wrongMagic[0] = 'X';
    blocks.push_back(wrongMagic);
    std::vector<char> zeroLength = valid;
    std::fill(zeroLength.begin() + 4, zeroLength.begin() + 8, 0);
    blocks.push_back(zeroLength);
    std::vector<char> garbage(4000);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919u) >> 3);
    blocks.push_back(garbage);

    for (bool program : {false, true})
        for (const auto& block : blocks)
        {
            EXPECT_EQ(target->setChunk(block, program), 0);
            EXPECT_EQ(target->getChunk(false), before);
        }

    // No data, no size, a negative size, a size beyond 32 bits: never handed on.
    char byte = 0;
    EXPECT_EQ(target->dispatch(effSetChunk, 0, 100, nullptr), 0);
    EXPECT_EQ(target->dispatch(effSetChunk, 0, 0, &byte), 0);
    EXPECT_EQ(target->dispatch(effSetChunk, 0, -5, &byte), 0);
    EXPECT_EQ(target->dispatch(effSetChunk, 1, std::numeric_limits<VstIntPtr>::min(), &byte), 0);
    EXPECT_EQ(target->getChunk(false), before);
}

} // namespace
