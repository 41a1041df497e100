// What the plug-in tells the host through its callback. The first group loads the built .so; the
// second links the wrapper into this program, to play the editor's part on the processor.

#include "PluginTestSupport.h"

#include "processor/WYD_KX7AudioProcessor.h"
#include "wrapper/JuceVSTWrapper.h"

#include <algorithm>
#include <chrono>
#include <thread>

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

using namespace std::chrono_literals;
using plugintest::loadPlugin;

namespace
{

TEST(PluginEntry, HostsWithoutCallbackOrVersionGetNoInstance)
{
    auto library = loadPlugin();
    ASSERT_TRUE(library);
    const int threadsBefore = plugintest::threadCount();
    EXPECT_EQ(library->entry()(nullptr), nullptr);

    vsthost::Host host;
    host.versionAnswer = 0;
    EXPECT_EQ(library->createEffect(host), nullptr);
    ASSERT_EQ(host.count(audioMasterVersion), 1u);
    EXPECT_EQ(host.calls().size(), 1u) << "nothing but the version question";
    EXPECT_EQ(plugintest::threadCount(), threadsBefore) << "no message thread was left running";

    host.versionAnswer = 2400;
    vsthost::PluginInstance plugin(*library, host);
    EXPECT_TRUE(plugin.valid());
    const auto mainMacho = reinterpret_cast<vsthost::PluginEntry>(library->symbol("main_macho"));
    ASSERT_NE(mainMacho, nullptr);
    vsthost::Host otherHost;
    vsthost::PluginInstance viaMainMacho(mainMacho, otherHost);
    EXPECT_TRUE(viaMainMacho.valid());
}

class PluginCallbacks : public plugintest::LoadedPlugin
{
protected:
    void SetUp() override
    {
        LoadedPlugin::SetUp();
        host.clearCalls();
    }
};

TEST_F(PluginCallbacks, ProgramChangeAutomatesEveryParameterButHostWritesDoNot)
{
    plugin->dispatch(effSetProgram, 0, 6);
    plugin->setParameter(1, 0.8f);
    plugin->dispatch(effSetProgram, 0, 3);
    host.clearCalls();

    plugin->setParameter(2, 1.0f);
    EXPECT_EQ(host.count(audioMasterAutomate), 0u);

    plugin->dispatch(effSetProgram, 0, 6);
    const auto automated = host.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 22u);
    for (VstInt32 i = 0; i < 22; ++i)
    {
        EXPECT_EQ(automated[i].index, i);
        EXPECT_EQ(automated[i].opt, plugin->getParameter(i));
    }
    EXPECT_EQ(automated[1].opt, 0.8f);
}

TEST_F(PluginCallbacks, ProcessLevelIsAskedAtSwitchOnAndAtTheFirstBlockOnly)
{
    plugin->start(44100.0f, 64);
    EXPECT_EQ(host.count(audioMasterGetCurrentProcessLevel), 1u);

    std::vector<float> left(64), right(64);
    float* channels[] = {left.data(), right.data()};
    plugin->processInPlace(channels, 64);
    EXPECT_EQ(host.count(audioMasterGetCurrentProcessLevel), 2u);
    plugin->processInPlace(channels, 64);
    plugin->processInPlace(channels, 64);
    EXPECT_EQ(host.count(audioMasterGetCurrentProcessLevel), 2u);

    plugin->stop();
    plugin->dispatch(effMainsChanged, 0, 1);
    plugin->processInPlace(channels, 64);
    EXPECT_EQ(host.count(audioMasterGetCurrentProcessLevel), 4u);
}

// ---- the wrapper linked into this program ------------------------------------------------------

class WrapperInProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plugin = std::make_unique<vsthost::PluginInstance>(VSTPluginMain, host);
        ASSERT_TRUE(plugin->valid());
        host.clearCalls();
    }

    wydvst::JuceVSTWrapper& wrapper() const
    {
        return *static_cast<wydvst::JuceVSTWrapper*>(static_cast<AudioEffect*>(plugin->record()->object));
    }
    WYD_KX7AudioProcessor& processor() const
    {
        return dynamic_cast<WYD_KX7AudioProcessor&>(wrapper().getProcessor());
    }

    vsthost::Host host;
    std::unique_ptr<vsthost::PluginInstance> plugin;
};

TEST_F(WrapperInProcess, OfflineHostPutsTheProcessorInNonRealtimeMode)
{
    host.processLevelAnswer = kVstProcessLevelOffline;
    plugin->start(44100.0f, 64);
    EXPECT_TRUE(processor().isNonRealtime());

    host.processLevelAnswer = 2;
    plugin->stop();
    plugin->dispatch(effMainsChanged, 0, 1);
    EXPECT_FALSE(processor().isNonRealtime());

    // The answer at the first block counts as well.
    host.processLevelAnswer = kVstProcessLevelOffline;
    std::vector<float> left(64), right(64);
    float* channels[] = {left.data(), right.data()};
    plugin->processInPlace(channels, 64);
    EXPECT_TRUE(processor().isNonRealtime());
}

TEST_F(WrapperInProcess, SwitchingOnPreparesAtTheHostsRateOr44100)
{
    plugin->start(96000.0f, 256);
    EXPECT_EQ(processor().getSampleRate(), 96000.0);
    plugin->stop();
    plugin->start(0.0f, 256);
    EXPECT_EQ(processor().getSampleRate(), 44100.0);
    plugin->stop();
    plugin->start(-48000.0f, 0);
    EXPECT_EQ(processor().getSampleRate(), 44100.0);
    EXPECT_GT(processor().getBlockSize(), 0);
}

TEST_F(WrapperInProcess, AnnouncedChangeGivesUpdateDisplayAndLaterIoChangedOnTheMessageThread)
{
    processor().updateHostDisplay();
    EXPECT_EQ(host.count(audioMasterUpdateDisplay), 1u) << "at once, on the announcing thread";

    ASSERT_TRUE(host.waitFor(audioMasterIOChanged, 1, 5s));
    const auto calls = host.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].opcode, audioMasterUpdateDisplay);
    EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
    const auto ioChanged = host.callsOf(audioMasterIOChanged);
    EXPECT_NE(ioChanged[0].thread, std::this_thread::get_id());
}

TEST_F(WrapperInProcess, NoIoChangedReachesTheHostAfterClose)
{
    // Keeps JUCE and its message thread running, so that pending messages are dispatched.
    vsthost::Host keeperHost;
    vsthost::PluginInstance keeper(VSTPluginMain, keeperHost);
    for (int round = 0; round < 20; ++round)
    {
        SetUp();
        processor().updateHostDisplay();
        plugin->close();
        const size_t closedAt = host.calls().size();
        std::this_thread::sleep_for(5ms);
        const auto calls = host.calls();
        for (size_t i = closedAt; i < calls.size(); ++i)
            EXPECT_NE(calls[i].opcode, audioMasterIOChanged) << "round " << round;
    }
}

TEST_F(WrapperInProcess, ParameterGesturesBecomeBeginAndEndEdit)
{
    processor().beginParameterChangeGesture(3);
    processor().setParameterNotifyingHost(3, 1.0f);
    processor().endParameterChangeGesture(3);
    // The first gesture also asks which host this is.
    auto calls = host.calls();
    calls.erase(std::remove_if(calls.begin(), calls.end(),
                               [](const auto& call) { return call.opcode == audioMasterGetProductString; }),
                calls.end());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[1].opt, 1.0f);
    EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
    for (const auto& call : calls)
        EXPECT_EQ(call.index, 3);
}

wydvst::JuceVSTWrapper& wrapperOf(const vsthost::PluginInstance& plugin)
{
    return *static_cast<wydvst::JuceVSTWrapper*>(static_cast<AudioEffect*>(plugin.record()->object));
}

// Ardour and Mixbus load their tempo map on a thread only when asked for the time there; without
// it, a value from their editor thread crashes them. Gestures reach every host.
TEST(WrapperNotifications, ArdourAndMixbusAloneHearATimeRequestBeforeEachValueAndGesture)
{
    const std::pair<const char*, bool> hosts[] = {
        {"WYD test host", false}, {"REAPER", false}, {"Ardour", true}, {"Mixbus32C", true}};
    for (const auto& [product, timeFirst] : hosts)
    {
        SCOPED_TRACE(product);
        vsthost::Host host;
        host.productAnswer = product;
        vsthost::PluginInstance plugin(VSTPluginMain, host);
        ASSERT_TRUE(plugin.valid());
        plugin.start(44100.0f, 64);
        auto& processor = wrapperOf(plugin).getProcessor();
        processor.beginParameterChangeGesture(1);
        processor.setParameterNotifyingHost(1, 0.25f);
        processor.endParameterChangeGesture(1);
        plugin.dispatch(effSetProgram, 0, 2);

        // One gesture, then the program's 22 values.
        std::string expected = timeFirst ? "TBTVTE" : "BVE";
        for (int i = 0; i < 22; ++i)
            expected += timeFirst ? "TV" : "V";
        EXPECT_EQ(plugintest::notificationsOnThread(host.calls(), std::this_thread::get_id()), expected);
        if (!timeFirst)
        {
            EXPECT_EQ(host.count(audioMasterGetTime), 0u);
        }
    }
}
// Reports a gesture from inside its audio callback, as a processor that follows a detector might.
class NotifyingWhileProcessing : public WYD_KX7AudioProcessor
{
public:
    void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override
    {
        beginParameterChangeGesture(1);
        setParameterNotifyingHost(1, 0.75f);
        endParameterChangeGesture(1);
        WYD_KX7AudioProcessor::processBlock(buffer, midi);
    }
};

AEffect* notifyingWhileProcessingEntry(audioMasterCallback audioMaster)
{
    wydvst::JuceRuntime::Use juce;
    auto* wrapper = new wydvst::JuceVSTWrapper(audioMaster, std::make_unique<NotifyingWhileProcessing>(),
                                               std::move(juce));
    return wrapper->getAeffect();
}

TEST(WrapperNotifications, FromTheAudioThreadComeWithoutATimeRequestEvenInArdour)
{
    vsthost::Host host;
    host.productAnswer = "Ardour";
    vsthost::PluginInstance plugin(notifyingWhileProcessingEntry, host);
    ASSERT_TRUE(plugin.valid());
    plugin.start(44100.0f, 64);

    std::thread::id audioThread;
    std::thread audio([&] {
        audioThread = std::this_thread::get_id();
        plugintest::StereoSignal signal(64);
        float* channels[] = {signal.left.data(), signal.right.data()};
        plugin.processInPlace(channels, 64);
        plugin.processInPlace(channels, 64);
    });
    audio.join();
    EXPECT_EQ(plugintest::notificationsOnThread(host.calls(), audioThread), "BVEBVE");

    // The same instance's notifications from another thread still get theirs.
    host.clearCalls();
    wrapperOf(plugin).getProcessor().setParameterNotifyingHost(2, 1.0f);
    EXPECT_EQ(plugintest::notificationsOnThread(host.calls(), std::this_thread::get_id()), "TV");
}

TEST_F(WrapperInProcess, ProgramNamesReachTheHostCutTo23Characters)
{
    processor().programs[0].presetPath[0] = "Vocals/A rather long preset name indeed.tz7p";
    processor().programs[4].presetPath[0] = "Short.tz7p";
    EXPECT_EQ(plugintest::fieldText(*plugin, effGetProgramName, 0, 24), "A rather long preset na");
    EXPECT_EQ(plugintest::fieldText(*plugin, effGetProgramNameIndexed, 0, 24), "A rather long preset na");
    EXPECT_EQ(plugintest::fieldText(*plugin, effGetProgramNameIndexed, 4, 24), "Short");
}

TEST_F(WrapperInProcess, CloseDeletesTheInstanceAndTheLastOneShutsJuceDown)
{
    vsthost::Host secondHost;
    vsthost::PluginInstance second(VSTPluginMain, secondHost);
    ASSERT_TRUE(second.valid());
    EXPECT_EQ(wydvst::LiveInstances::count(), 2u);

    EXPECT_EQ(plugin->close(), 1);
    EXPECT_EQ(wydvst::LiveInstances::count(), 1u);
    EXPECT_TRUE(wydvst::JuceRuntime::isUp());
    EXPECT_NE(juce::MessageManager::getInstanceWithoutCreating(), nullptr);

    EXPECT_EQ(second.close(), 1);
    EXPECT_EQ(wydvst::LiveInstances::count(), 0u);
    EXPECT_FALSE(wydvst::JuceRuntime::isUp());
    EXPECT_EQ(juce::MessageManager::getInstanceWithoutCreating(), nullptr);
}

} // namespace
