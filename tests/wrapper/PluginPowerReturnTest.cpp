// Power (parameter 0) and the host's bypass: what plays when either gives the sound back.

#include "PluginTestSupport.h"

#include <cmath>
#include <functional>

namespace
{
constexpr float kRate = 44100.0f;
constexpr int kBlock = 256;
constexpr int kOffAt = 172;    // blocks; the sine runs for 1 s, about 172 blocks
constexpr int kBackAt = 258;
constexpr int kCompared = 100; // blocks after power returns

using Settings = std::vector<std::pair<VstInt32, float>>;

// tolmLowPeak, tolmLowFreq, braskLowBoost, braskLowFreq and saturationOn, as a listener set them.
const Settings kBoosted = {{6, 1.0f}, {5, 0.0f}, {13, 1.0f}, {12, 0.6667f}, {2, 1.0f}};
const Settings kDefaults = {};

// A 100 Hz sine at 0.5 on both channels, as long as `sineBlocks`, then silence.
struct Input
{
    explicit Input(int sineBlocks) : sineSamples(sineBlocks * kBlock) {}
    float at(int sample) const
    {
        if (sample >= sineSamples)
            return 0.0f;
        return 0.5f * std::sin(2.0f * 3.14159265f * 100.0f * static_cast<float>(sample) / kRate);
    }
    int sineSamples;
};

// Switches power off and on the way a host may: through the parameter or through effSetBypass.
struct PowerSwitch
{
    const char* name;
    std::function<void(vsthost::PluginInstance&, bool on)> set;
};

const PowerSwitch kSwitches[] = {
    {"parameter", [](vsthost::PluginInstance& p, bool on) { p.setParameter(0, on ? 1.0f : 0.0f); }},
    {"effSetBypass", [](vsthost::PluginInstance& p, bool on) { p.dispatch(effSetBypass, 0, on ? 0 : 1); }},
};

class PluginPowerReturn : public plugintest::LoadedPlugin
{
protected:
    std::unique_ptr<vsthost::PluginInstance> startedInstance(vsthost::Host& owner,
                                                             const Settings& settings)
    {
        auto instance = std::make_unique<vsthost::PluginInstance>(*library, owner);
        for (const auto& [index, value] : settings)
            instance->setParameter(index, value);
        instance->start(kRate, kBlock);
        return instance;
    }

    // Plays blocks first .. end - 1 of the input through the instance; returns the output of the
    // blocks from `keptFrom` on, left channel then right channel per block.
    static std::vector<float> play(vsthost::PluginInstance& instance, const Input& input, int first, int end,
                                   int keptFrom, const std::function<void(int block)>& beforeBlock = {})
    {
        std::vector<float> kept;
        std::vector<float> left(kBlock), right(kBlock);
        for (int block = first; block < end; ++block)
        {
            if (beforeBlock)
                beforeBlock(block);
            for (int i = 0; i < kBlock; ++i)
                left[static_cast<size_t>(i)] = right[static_cast<size_t>(i)] = input.at(block * kBlock + i);
            float* channels[] = {left.data(), right.data()};
            instance.processInPlace(channels, kBlock);
            if (block >= keptFrom)
            {
                kept.insert(kept.end(), left.begin(), left.end());
                kept.insert(kept.end(), right.begin(), right.end());
            }
        }
        return kept;
    }

    // The output after power returns, with power off from kOffAt to kBackAt.
    std::vector<float> playWithPowerGap(const PowerSwitch& power, const Settings& settings,
                                        const Input& input)
    {
        auto instance = startedInstance(host, settings);
        return play(*instance, input, 0, kBackAt + kCompared, kBackAt, [&](int block) {
            if (block == kOffAt)
                power.set(*instance, false);
            if (block == kBackAt)
                power.set(*instance, true);
        });
    }
};

float peakOf(const std::vector<float>& samples)
{
    float peak = 0.0f;
    for (const float s : samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}
} // namespace

TEST_F(PluginPowerReturn, SilenceInGivesExactSilenceOutWhenPowerReturns)
{
    const Input sineThenSilence(kOffAt);
    for (const PowerSwitch& power : kSwitches)
        for (const Settings* settings : {&kBoosted, &kDefaults})
        {
            SCOPED_TRACE(power.name);
            SCOPED_TRACE(settings == &kDefaults ? "defaults" : "boosted");
            EXPECT_EQ(peakOf(playWithPowerGap(power, *settings, sineThenSilence)), 0.0f);
        }
}

TEST_F(PluginPowerReturn, ARunningSignalPlaysAsThroughAFreshInstance)
{
    const Input endlessSine(1 << 20);
    for (const PowerSwitch& power : kSwitches)
        for (const Settings* settings : {&kBoosted, &kDefaults})
        {
            SCOPED_TRACE(power.name);
            SCOPED_TRACE(settings == &kDefaults ? "defaults" : "boosted");
            const std::vector<float> afterGap = playWithPowerGap(power, *settings, endlessSine);

            vsthost::Host freshHost;
            auto fresh = startedInstance(freshHost, *settings);
            const std::vector<float> fromFresh = play(*fresh, endlessSine, kBackAt, kBackAt + kCompared, kBackAt);
            EXPECT_GT(peakOf(fromFresh), 0.1f);
            EXPECT_TRUE(afterGap == fromFresh);
        }
}
