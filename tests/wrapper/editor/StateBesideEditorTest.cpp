// The host's state and program calls from threads of its own while the editor runs on the host's
// editor thread, and the life of the state block handed out while an editor is open.

#include "EditorTestSupport.h"

#include <atomic>
#include <string>
#include <vector>

namespace
{

using namespace std::chrono_literals;

constexpr VstInt32 kInputVol = 1;

// A bank block whose every program and setting points at a preset file of its own, so that the
// editor has a name to read (and the host one to fetch) after every program change.
std::vector<char> bankWithPaths(const juce::String& prefix, float inputVol)
{
    WYD_KX7AudioProcessor source;
    for (int program = 0; program < WYD_KX7AudioProcessor::kNumPrograms; ++program)
        for (int setting = 0; setting < 2; ++setting)
        {
            source.programs[program].presetPath[setting] =
                "Folder " + prefix + "/" + prefix + juce::String(program) + (setting == 0 ? "A" : "B") + ".tz7p";
            source.programs[program].values[setting][kInputVol] = inputVol;
        }
    juce::MemoryBlock block;
    source.getStateInformation(block);
    const auto* bytes = static_cast<const char*>(block.getData());
    return std::vector<char>(bytes, bytes + block.getSize());
}

bool isNameOfEither(const std::string& name, int program)
{
    return name == "Warm" + std::to_string(program) + "A" || name == "Cold" + std::to_string(program) + "A";
}

class StateBesideEditor : public plugintest::EditorTest
{
};

TEST_F(StateBesideEditor, StateAndProgramCallsFromOtherThreadsWhileTheEditorTicks)
{
    auto& shown = showEditor();
    auto* plugin = shown.plugin.get();
    const std::vector<char> banks[] = {bankWithPaths("Warm", 0.25f), bankWithPaths("Cold", 0.75f)};
    plugin->setChunk(banks[0], false);

    std::atomic<bool> stop{false};
    std::atomic<int> stateRounds{0}, nameRounds{0}, wrongNames{0};
    // Bank loads, program changes and fetches: what a host does when it restores a session or
    // the user steps through programs, while its editor thread idles the editor.
    std::thread state([&] {
        for (int round = 0; !stop; ++round)
        {
            plugin->setChunk(banks[round % 2], false);
            const int program = round % WYD_KX7AudioProcessor::kNumPrograms;
            plugin->dispatch(effSetProgram, 0, program);
            if (!isNameOfEither(plugin->programName(), program))
                ++wrongNames;
            if (plugin->getChunk(round % 3 == 0).empty())
                ++wrongNames;
            ++stateRounds;
        }
    });
    // A host's program list, refreshed from another of its threads.
    std::thread names([&] {
        while (!stop)
        {
            for (int program = 0; program < WYD_KX7AudioProcessor::kNumPrograms; ++program)
                if (!isNameOfEither(plugin->text(effGetProgramNameIndexed, program, 24), program))
                    ++wrongNames;
            ++nameRounds;
        }
    });
    // The audio thread with automation: never waits for any of the above.
    std::thread audio([&] {
        std::vector<float> left(256, 0.1f), right(256, -0.1f);
        float* channels[] = {left.data(), right.data()};
        for (int block = 0; !stop; ++block)
        {
            plugin->setParameter(kInputVol, (block % 100) * 0.01f);
            plugin->processInPlace(channels, 256);
            std::this_thread::sleep_for(1ms);
        }
    });

    // Until every thread has met the others many times, with the editor idled throughout.
    const auto idledBefore = gui->idleRounds();
    const bool metOften = plugintest::eventually(
        [&] { return stateRounds >= 100 && nameRounds >= 100 && gui->idleRounds() >= idledBefore + 100; }, 60s);
    stop = true;
    state.join();
    names.join();
    audio.join();

    EXPECT_TRUE(metOften) << stateRounds << " state rounds, " << nameRounds << " name rounds";
    EXPECT_EQ(wrongNames.load(), 0);

    // Everything settled: the last load is what the host and the editor's thread see.
    plugin->setChunk(banks[1], false);
    plugin->dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(plugin->programName(), "Cold7A");
    EXPECT_FLOAT_EQ(plugin->getParameter(kInputVol), 0.75f);
    bool idled = false;
    EXPECT_TRUE(gui->run([&idled, plugin] { idled = plugin->dispatch(effEditIdle) == 0; }, 2s));
    EXPECT_TRUE(idled);
}

TEST_F(StateBesideEditor, HandedOutBlockStaysIntactUntilTheNextFetchWhileTheEditorIdles)
{
    auto& shown = showEditor();
    auto* plugin = shown.plugin.get();
    plugin->setChunk(bankWithPaths("Warm", 0.25f), false);

    for (VstInt32 program : {0, 1})
    {
        SCOPED_TRACE(program);
        void* data = nullptr;
        const VstIntPtr size = plugin->dispatch(effGetChunk, program, 0, &data);
        ASSERT_GT(size, 9);
        ASSERT_NE(data, nullptr);
        const std::vector<char> copy(static_cast<char*>(data), static_cast<char*>(data) + size);

        // Longer than any grace period; the editor's timer ticks and the host idles meanwhile.
        ASSERT_TRUE(idleEditorsFor(2600ms));
        EXPECT_TRUE(std::equal(copy.begin(), copy.end(), static_cast<char*>(data)));
        // The host hands the very block back; it is read before it goes.
        EXPECT_EQ(plugin->dispatch(effSetChunk, program, size, data), 0);
        EXPECT_EQ(plugin->getChunk(program == 1), copy);
    }
}

} // namespace
