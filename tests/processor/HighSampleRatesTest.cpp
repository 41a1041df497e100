#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ParameterTable;

namespace
{
constexpr int kBlock = 512;
constexpr int kBlocks = 200;

// Peak output of a 0.5 sine (period 100 samples) through every section, the program equaliser's
// low controls at full: the settings whose design gives way first as the rate rises.
float peakAt(double rate)
{
    WYD_KX7AudioProcessor p;
    for (const int index : {kSaturationOn, kTolmLowPeak, kTolmMidDip, kTolmHighPeak, kBraskLowBoost, kBraskLowAtten,
                            kBraskHighBoost, kBraskHighAtten})
        p.setParameter(index, 1.0f);
    p.prepareToPlay(rate, kBlock);

    juce::MidiBuffer midi;
    juce::AudioBuffer<float> buffer(2, kBlock);
    float peak = 0.0f;
    for (int block = 0; block < kBlocks; ++block)
    {
        for (int i = 0; i < kBlock; ++i)
        {
            const float phase = float((block * kBlock + i) % 100) / 100.0f;
            const float s = 0.5f * std::sin(2.0f * juce::MathConstants<float>::pi * phase);
            buffer.setSample(0, i, s);
            buffer.setSample(1, i, s);
        }
        p.processBlock(buffer, midi);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kBlock; ++i)
            {
                const float out = buffer.getSample(c, i);
                if (!std::isfinite(out))
                    return out;
                peak = std::max(peak, std::fabs(out));
            }
    }
    return peak;
}
} // namespace

TEST(HighSampleRates, RatesBeyondTheStableDesignsPlayNoLouderThanAt384kHz)
{
    const float reference = peakAt(384000.0);
    ASSERT_GT(reference, 0.1f);
    for (const double rate : {1.0e6, 1.536e6, 4.0e6, 1.0e8, 1.0e9, 1.0e12})
    {
        const float peak = peakAt(rate);
        EXPECT_TRUE(std::isfinite(peak)) << rate;
        EXPECT_LE(peak, reference) << rate;
    }
}

TEST(HighSampleRates, RatesUpTo800kHzAreTakenAndHigherOnesFallBackTo44100)
{
    for (const double rate : {384000.0, 705600.0, 768000.0, 800000.0, 800000.0625, 1.0e6, 1.0e40})
    {
        WYD_KX7AudioProcessor p;
        p.prepareToPlay(rate, kBlock);
        EXPECT_EQ(p.dsp.sampleRate, rate <= 800000.0 ? static_cast<float>(rate) : 44100.0f) << rate;
        EXPECT_EQ(p.phaseRamp.length, rate <= 800000.0 ? 4096 : 1024) << rate;
    }
}
