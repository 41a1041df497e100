// Audio through the built .so's processReplacing, compared with the processor driven directly.

#include "PluginTestSupport.h"

#include "processor/WYD_KX7AudioProcessor.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

using plugintest::StereoSignal;

namespace
{

// The processor as the framework would drive it, without the plug-in interface in between.
class DirectProcessor
{
public:
    DirectProcessor(int ins, int outs, double rate, int block) : processor(createPluginFilter())
    {
        processor->setPlayConfigDetails(ins, outs, rate, block);
        processor->prepareToPlay(rate, block);
    }
    // Parameters are set before preparing in the plug-in, so here too.
    DirectProcessor(int ins, int outs, double rate, int block,
                    const std::vector<std::pair<VstInt32, float>>& settings)
        : processor(createPluginFilter())
    {
        for (const auto& [index, value] : settings)
            processor->setParameter(index, value);
        processor->setPlayConfigDetails(ins, outs, rate, block);
        processor->prepareToPlay(rate, block);
    }

    void process(float* const* channels, int numChannels, int numSamples)
    {
        juce::AudioBuffer<float> buffer(const_cast<float**>(channels), numChannels, numSamples);
        juce::MidiBuffer midi;
        processor->processBlock(buffer, midi);
    }

    std::unique_ptr<juce::AudioProcessor> processor;
};

const std::vector<std::pair<VstInt32, float>> kSettings = {
    {2, 1.0f},  {3, 1.0f},  {5, 0.25f}, {6, 0.6f},  {8, 0.4f},  {10, 0.3f},
    {13, 0.5f}, {16, 0.7f}, {19, 0.2f}, {20, 0.6f}, {1, 0.55f},
};

class PluginAudio : public plugintest::LoadedPlugin
{
protected:
    void applySettings()
    {
        for (const auto& [index, value] : kSettings)
            plugin->setParameter(index, value);
    }

    bool setChannels(VstInt32 ins, VstInt32 outs)
    {
        VstSpeakerArrangement in{}, out{};
        in.numChannels = ins;
        out.numChannels = outs;
        return plugin->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out) == 1;
    }
};

TEST_F(PluginAudio, StereoInPlaceEqualsTheProcessorDrivenDirectly)
{
    for (const float rate : {44100.0f, 96000.0f})
    {
        SCOPED_TRACE(rate);
        SetUp();
        applySettings();
        plugin->start(rate, 512);
        DirectProcessor direct(2, 2, rate, 512, kSettings);

        // Block sizes as hosts send them, a zero-length block among them.
        const int blocks[] = {512, 512, 0, 1, 300, 512, 17, 512, 512, 512};
        StereoSignal viaPlugin(5000), viaDirect(5000);
        size_t pos = 0;
        for (int n : blocks)
        {
            float* a[] = {viaPlugin.left.data() + pos, viaPlugin.right.data() + pos};
            float* b[] = {viaDirect.left.data() + pos, viaDirect.right.data() + pos};
            plugin->processInPlace(a, n);
            direct.process(b, 2, n);
            pos += static_cast<size_t>(n);
        }
        EXPECT_EQ(viaPlugin.left, viaDirect.left);
        EXPECT_EQ(viaPlugin.right, viaDirect.right);
        EXPECT_NE(viaPlugin.left, StereoSignal(5000).left) << "the settings change the sound";
        TearDown();
    }
}

TEST_F(PluginAudio, SeparateAndCrossedBuffersGiveTheSameResult)
{
    applySettings();
    plugin->start(48000.0f, 256);
    DirectProcessor direct(2, 2, 48000.0, 256, kSettings);
    const StereoSignal input(256 * 3);

    for (int round = 0; round < 3; ++round)
    {
        const size_t at = static_cast<size_t>(round) * 256;
        std::vector<float> left(input.left.begin() + at, input.left.begin() + at + 256);
        std::vector<float> right(input.right.begin() + at, input.right.begin() + at + 256);
        std::vector<float> expectedLeft = left, expectedRight = right;
        float* expected[] = {expectedLeft.data(), expectedRight.data()};
        direct.process(expected, 2, 256);

        std::vector<float> a = left, b = right, c(256, 9.0f);
        if (round == 0)
        {
            // Separate outputs; the inputs stay as they were.
            std::vector<float> outLeft(256), outRight(256);
            float* ins[] = {a.data(), b.data()};
            float* outs[] = {outLeft.data(), outRight.data()};
            plugin->process(ins, outs, 256);
            EXPECT_EQ(outLeft, expectedLeft);
            EXPECT_EQ(outRight, expectedRight);
            EXPECT_EQ(a, left);
        }
        else if (round == 1)
        {
            // Crossed: each output buffer holds the other channel's input.
            float* ins[] = {a.data(), b.data()};
            float* outs[] = {b.data(), a.data()};
            plugin->process(ins, outs, 256);
            EXPECT_EQ(b, expectedLeft);
            EXPECT_EQ(a, expectedRight);
        }
        else
        {
            // Output 0 is input 1's buffer.
            float* ins[] = {a.data(), b.data()};
            float* outs[] = {b.data(), c.data()};
            plugin->process(ins, outs, 256);
            EXPECT_EQ(b, expectedLeft);
            EXPECT_EQ(c, expectedRight);
        }
    }
}

TEST_F(PluginAudio, MonoConfigurationsMatchTheProcessorInThem)
{
    struct Case
    {
        int ins, outs;
    };
    for (const Case c : {Case{1, 2}, Case{1, 1}})
    {
        SCOPED_TRACE(std::to_string(c.ins) + " in, " + std::to_string(c.outs) + " out");
        SetUp();
        ASSERT_TRUE(setChannels(c.ins, c.outs));
        applySettings();
        plugin->start(44100.0f, 128);
        DirectProcessor direct(c.ins, c.outs, 44100.0, 128, kSettings);
        const StereoSignal input(128 * 4);

        for (int block = 0; block < 4; ++block)
        {
            std::vector<float> in(input.left.begin() + block * 128, input.left.begin() + (block + 1) * 128);
            std::vector<float> out0(128, 5.0f), out1(128, 5.0f);
            float* ins[] = {in.data()};
            float* outs[] = {out0.data(), out1.data()};
            plugin->process(ins, outs, 128);

            std::vector<float> d0 = in, d1(128, 0.0f);
            float* d[] = {d0.data(), d1.data()};
            direct.process(d, c.outs, 128);
            EXPECT_EQ(out0, d0);
            if (c.outs == 2)
                EXPECT_EQ(out1, d0) << "the second output carries the processed mono channel";
            else
                EXPECT_EQ(out1, std::vector<float>(128, 5.0f)) << "no second output was given";
        }
        TearDown();
    }
}

TEST_F(PluginAudio, BypassedOrSwitchedOffPassesTheInputUnchanged)
{
    applySettings();
    const StereoSignal input(400);

    StereoSignal signal(400);
    float* channels[] = {signal.left.data(), signal.right.data()};
    plugin->processInPlace(channels, 400); // never switched on
    EXPECT_EQ(signal.left, input.left);

    plugin->start(44100.0f, 512);
    ASSERT_EQ(plugin->dispatch(effSetBypass, 0, 1), 1);
    plugin->processInPlace(channels, 400);
    EXPECT_EQ(signal.left, input.left);
    EXPECT_EQ(signal.right, input.right);

    plugin->dispatch(effSetBypass, 0, 0);
    plugin->processInPlace(channels, 400);
    EXPECT_NE(signal.left, input.left);
}

TEST_F(PluginAudio, HostileBuffersNeverCrashAndMissingInputIsSilence)
{
    plugin->start(44100.0f, 64);
    std::vector<float> left(64, 0.5f), right(64, 0.5f);
    float* outs[] = {left.data(), right.data()};
    float* oneMissing[] = {left.data(), nullptr};

    plugin->process(nullptr, nullptr, 64);
    plugin->process(outs, nullptr, 64);
    plugin->process(outs, oneMissing, 64);
    plugin->process(outs, outs, -1);
    plugin->process(outs, outs, std::numeric_limits<VstInt32>::min());
    EXPECT_EQ(left, std::vector<float>(64, 0.5f));
    EXPECT_EQ(right, std::vector<float>(64, 0.5f));
    plugin->process(nullptr, outs, 64);

    // A missing input channel is silence; power off lets both channels through untouched.
    plugin->setParameter(0, 0.0f);
    float* oneInputMissing[] = {nullptr, right.data()};
    std::fill(left.begin(), left.end(), 0.5f);
    std::fill(right.begin(), right.end(), 0.25f);
    plugin->process(oneInputMissing, outs, 64);
    EXPECT_EQ(left, std::vector<float>(64, 0.0f));
    EXPECT_EQ(right, std::vector<float>(64, 0.25f));
}

TEST_F(PluginAudio, NonFiniteSamplesAndValuesLeaveTheOutputFinite)
{
    plugin->setParameter(2, 1.0f); // saturation: the oversampling filters too
    plugin->start(44100.0f, 256);
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 1.0e38f};
    std::vector<float> left(256), right(256);
    for (int block = 0; block < 8; ++block)
    {
        for (size_t i = 0; i < 256; ++i)
        {
            left[i] = block < 2 ? bad[i % 4] : 0.1f;
            right[i] = block < 2 ? bad[(i + 1) % 4] : -0.1f;
        }
        plugin->setParameter(1, block == 1 ? std::numeric_limits<float>::quiet_NaN() : 0.5f);
        float* channels[] = {left.data(), right.data()};
        plugin->processInPlace(channels, 256);
    }
    for (size_t i = 0; i < 256; ++i)
        ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << i;
    EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.5f);
}

TEST_F(PluginAudio, HostThreadsMayChangeStateWhileAudioRuns)
{
    plugin->start(44100.0f, 256);
    std::atomic<bool> running{true};
    std::atomic<bool> allFinite{true};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        while (running)
        {
            std::fill(left.begin(), left.end(), 0.3f);
            std::fill(right.begin(), right.end(), -0.3f);
            float* channels[] = {left.data(), right.data()};
            plugin->processInPlace(channels, 256);
            for (size_t i = 0; i < 256; ++i)
                if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
                    allFinite = false;
        }
    });

    const std::vector<char> bank = plugin->getChunk(false);
    for (int round = 0; round < 300; ++round)
    {
        plugin->setParameter(round % 22, static_cast<float>(round % 7) / 6.0f);
        plugin->getParameter(round % 22);
        plugin->dispatch(effGetParamDisplay, round % 22, 0, std::vector<char>(24).data());
        if (round % 10 == 0)
            plugin->dispatch(effSetProgram, 0, round % 12);
        if (round % 25 == 0)
            plugin->setChunk(round % 50 == 0 ? bank : plugin->getChunk(true), round % 50 != 0);
        if (round % 60 == 0)
            setChannels(round % 120 == 0 ? 1 : 2, 2);
    }
    running = false;
    audio.join();
    EXPECT_TRUE(allFinite);
}

} // namespace
