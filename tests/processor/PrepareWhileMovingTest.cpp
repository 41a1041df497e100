#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using namespace ParameterTable;

namespace
{
using Settings = std::vector<std::pair<int, float>>;

void apply(WYD_KX7AudioProcessor& p, const Settings& settings)
{
    for (const auto& [index, value] : settings)
        p.setParameter(index, value);
}

// Blocks of noise, the same for every caller; both channels of every block, in order.
std::vector<float> play(WYD_KX7AudioProcessor& p, int blocks, int seed)
{
    juce::MidiBuffer midi;
    juce::Random random(seed);
    std::vector<float> out;
    for (int block = 0; block < blocks; ++block)
    {
        juce::AudioBuffer<float> buffer(2, 300);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 300; ++i)
                buffer.setSample(c, i, random.nextFloat() - 0.5f);
        p.processBlock(buffer, midi);
        for (int c = 0; c < 2; ++c)
            out.insert(out.end(), buffer.getReadPointer(c), buffer.getReadPointer(c) + 300);
    }
    return out;
}
} // namespace

// A host that switches an instance off and on, or changes the rate, in the middle of a glide or a
// fade gets the instance it would get fresh: everything at its new value at once.
TEST(Prepare, RebuildsAtOnceWhileGlidesAndFadesRun)
{
    using P = const WYD_KX7AudioProcessor&;
    const struct
    {
        const char* what;
        Settings before;
        Settings change;
        bool (*underWay)(P);
    } cases[] = {
        {"amount glides", {}, {{kTolmLowPeak, 0.8f}, {kBraskHighBoost, 0.6f}, {kBraskHighBoostBandwidth, 0.1f}},
         [](P p) { return p.tolmLowPeakRamp.counter < p.blockRampLength && p.braskHighBoostRamp.counter < p.blockRampLength; }},
        {"frequencies handed over, filters full of history", {{kTolmMidDip, 0.7f}},
         {{kTolmMidFreq, 0.6f}, {kBraskHighAttenFreq, 1.0f}},
         [](P p) { return p.lastTolmMidFreq == 0.6f && p.lastBraskHighAttenFreq == 1.0f; }},
        {"gain glides with auto level", {{kSaturationOn, 1.0f}, {kSaturationAutoLevelOn, 1.0f}},
         {{kInputVol, 0.9f}, {kOutputVol, 0.2f}},
         [](P p) { return p.inputGainRamp.counter < p.inputGainRamp.length && p.outputGainRamp.counter < p.outputGainRamp.length; }},
        {"phase glide", {}, {{kPhaseOn, 1.0f}}, [](P p) { return p.phaseRamp.counter < p.phaseRamp.length; }},
        {"sections fading in", {{kTolmOn, 0.0f}, {kBraskOn, 0.0f}}, {{kTolmOn, 1.0f}, {kBraskOn, 1.0f}, {kSaturationOn, 1.0f}},
         [](P p) { return p.dsp.tolmFade.value < 1.0 && p.dsp.braskFade.value < 1.0 && p.dsp.saturationFade.value < 1.0; }},
        {"sections fading out", {{kSaturationOn, 1.0f}, {kTolmLowPeak, 0.5f}},
         {{kTolmOn, 0.0f}, {kBraskOn, 0.0f}, {kSaturationOn, 0.0f}},
         [](P p) { return p.dsp.tolmFade.value > 0.0 && p.dsp.braskFade.value > 0.0 && p.dsp.saturationFade.value > 0.0; }},
    };
    for (const auto& c : cases)
        for (double rate : {44100.0, 96000.0})
        {
            WYD_KX7AudioProcessor moving;
            apply(moving, c.before);
            moving.prepareToPlay(48000.0, 300);
            play(moving, 3, 1);
            apply(moving, c.change);
            play(moving, 1, 2); // every glide and fade is under way now
            ASSERT_TRUE(c.underWay(moving)) << c.what;
            moving.prepareToPlay(rate, 300);

            WYD_KX7AudioProcessor fresh;
            apply(fresh, c.before);
            apply(fresh, c.change);
            fresh.prepareToPlay(rate, 300);

            EXPECT_TRUE(play(moving, 12, 3) == play(fresh, 12, 3)) << c.what << " at " << rate;
        }
}

// Rates no design can work with play at 44100 Hz; the rest as reported.
TEST(Prepare, UnusableSampleRatesFallBackTo44100)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double reported;
        float used;
    } rows[] = {
        {0.0, 44100.0f},      {-48000.0, 44100.0f}, {1e-320, 44100.0f}, {1e-30, 44100.0f},   {1e-6, 44100.0f},
        {0.001, 44100.0f},    {0.1, 44100.0f},      {4000.0, 44100.0f}, {7999.0, 44100.0f},  {1e300, 44100.0f},
        {inf, 44100.0f},      {std::nan(""), 44100.0f}, {8000.0, 8000.0f}, {22050.0, 22050.0f}, {384000.0, 384000.0f},
    };
    for (const auto& row : rows)
    {
        WYD_KX7AudioProcessor p;
        apply(p, {{kSaturationOn, 1.0f}, {kTolmHighPeak, 1.0f}, {kBraskHighBoost, 1.0f}, {kBraskLowBoost, 1.0f}});
        p.prepareToPlay(row.reported, 300);
        EXPECT_EQ(p.dsp.sampleRate, row.used) << row.reported;
        bool finite = true;
        for (float s : play(p, 40, 4))
            finite = finite && std::isfinite(s);
        EXPECT_TRUE(finite) << row.reported;
    }
}
