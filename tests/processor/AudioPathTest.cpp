#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace ParameterTable;

namespace
{
juce::MidiBuffer noMidi;

void runEmptyBlock(WYD_KX7AudioProcessor& p)
{
    juce::AudioBuffer<float> empty(2, 0);
    p.processBlock(empty, noMidi);
}

// A block holding `value` in every sample of every channel.
juce::AudioBuffer<float> constantBlock(int channels, int samples, float value)
{
    juce::AudioBuffer<float> buffer(channels, samples);
    for (int c = 0; c < channels; ++c)
        juce::FloatVectorOperations::fill(buffer.getWritePointer(c), value, samples);
    return buffer;
}

juce::AudioBuffer<float> noiseBlock(int channels, int samples, int seed)
{
    juce::Random random(seed);
    juce::AudioBuffer<float> buffer(channels, samples);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < samples; ++i)
            buffer.setSample(c, i, random.nextFloat() - 0.5f);
    return buffer;
}

bool sameSamples(const juce::AudioBuffer<float>& a, int channelA, const juce::AudioBuffer<float>& b, int channelB)
{
    for (int i = 0; i < a.getNumSamples(); ++i)
        if (a.getSample(channelA, i) != b.getSample(channelB, i))
            return false;
    return true;
}

// A value no coefficient design leaves behind: setCoeffs restarts the glide counter at 0.
constexpr int16_t kUntouched = 12345;

struct RecalcProbe
{
    explicit RecalcProbe(TarvelXeth& d) : dsp(d)
    {
        dsp.tolmLow.rampCounter = dsp.tolmMid.rampCounter = dsp.tolmHigh.rampCounter = kUntouched;
        dsp.braskEq.rampCounter = kUntouched;
    }
    bool low() const { return dsp.tolmLow.rampCounter != kUntouched; }
    bool mid() const { return dsp.tolmMid.rampCounter != kUntouched; }
    bool high() const { return dsp.tolmHigh.rampCounter != kUntouched; }
    bool brask() const { return dsp.braskEq.rampCounter != kUntouched; }
    TarvelXeth& dsp;
};

// Prepared at 96 kHz with every section off the signal path passes samples unchanged, so the
// processor's own gain stages can be read straight off the output.
struct TransparentPath : ::testing::Test
{
    void SetUp() override
    {
        p.setParameter(kTolmOn, 0.0f);
        p.setParameter(kBraskOn, 0.0f);
        p.prepareToPlay(96000.0, 512);
    }
    WYD_KX7AudioProcessor p;
};

struct PreparedAt44100 : ::testing::Test
{
    void SetUp() override { p.prepareToPlay(44100.0, 512); }
    WYD_KX7AudioProcessor p;
};
} // namespace

TEST(AudioPath, GlideLengthsFollowTheSampleRate)
{
    struct Case
    {
        double rate;
        int length;
    };
    for (const Case c : {Case{22050.0, 1024}, Case{34049.0, 1024}, Case{34050.0, 2048}, Case{44100.0, 2048},
                         Case{48000.0, 2048}, Case{67999.0, 2048}, Case{68000.0, 4096}, Case{96000.0, 4096},
                         Case{135999.0, 4096}, Case{136000.0, 8192}, Case{192000.0, 8192}})
    {
        WYD_KX7AudioProcessor p;
        p.prepareToPlay(c.rate, 256);
        EXPECT_EQ(p.inputGainRamp.length, c.length) << c.rate;
        EXPECT_EQ(p.autoLevelRamp.length, c.length) << c.rate;
        EXPECT_EQ(p.outputGainRamp.length, c.length) << c.rate;
        EXPECT_EQ(p.phaseRamp.length, c.length / 2) << c.rate;
        EXPECT_EQ(p.inputGainRamp.counter, c.length) << "idle after prepare";
        EXPECT_EQ(p.blockRampLength, 8);
    }
}

TEST(AudioPath, NoReportedRateMeans44100)
{
    WYD_KX7AudioProcessor p;
    p.prepareToPlay(0.0, 256);
    EXPECT_EQ(p.dsp.sampleRate, 44100.0f);
    EXPECT_EQ(p.phaseRamp.length, 1024);
}

TEST(AudioPath, PrepareSettlesGainsAndPushesEveryValue)
{
    WYD_KX7AudioProcessor q;
    q.setParameter(kInputVol, 1.0f);
    q.setParameter(kSaturationAutoLevelOn, 1.0f);
    q.setParameter(kOutputVol, 0.0f);
    q.setParameter(kPhaseOn, 1.0f);
    q.setParameter(kTolmMidFreq, 0.3f);
    q.setParameter(kBraskHighAtten, 0.6f);
    q.setParameter(kSaturationOn, 1.0f);
    q.prepareToPlay(48000.0, 128);

    EXPECT_EQ(q.inputGainRamp.current, expf(20.0f * 0.115129255f));
    EXPECT_EQ(q.autoLevelRamp.current, q.inputGainRamp.current);
    EXPECT_EQ(q.outputGainRamp.current, expf(-20.0f * 0.115129255f));
    EXPECT_EQ(q.phaseRamp.current, -1.0f);
    EXPECT_EQ(q.dsp.getParameter(TarvelXeth::kTolmMidFreq), 0.3f);
    EXPECT_EQ(q.dsp.getParameter(TarvelXeth::kBraskHighAtten), 0.6f);
    EXPECT_TRUE(q.dsp.saturationActive);
    EXPECT_TRUE(q.lastSaturationOn);
    // Sections start at their target, no fade.
    EXPECT_EQ(q.dsp.saturationFade.value, 1.0);
    EXPECT_EQ(q.dsp.tolmFade.value, 1.0);
}

TEST_F(PreparedAt44100, PowerOffPassesAudioAndFreezesEverything)
{
    p.setParameter(kBypass, 0.0f);
    p.setParameter(kInputVol, 1.0f);
    p.setParameter(kTolmLowPeak, 0.8f);
    p.setParameter(kTolmMidFreq, 1.0f);
    p.setParameter(kPhaseOn, 1.0f);

    const juce::AudioBuffer<float> input = noiseBlock(2, 256, 1);
    juce::AudioBuffer<float> buffer(input);
    p.processBlock(buffer, noMidi);
    EXPECT_TRUE(sameSamples(buffer, 0, input, 0));
    EXPECT_TRUE(sameSamples(buffer, 1, input, 1));

    EXPECT_EQ(p.inputGainRamp.target, 1.0f);
    EXPECT_EQ(p.inputGainRamp.counter, p.inputGainRamp.length);
    EXPECT_EQ(p.phaseRamp.current, 1.0f);
    EXPECT_EQ(p.tolmLowPeakRamp.counter, 0) << "still the first of the 8 blocks after prepare";
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmLowPeak), 0.0f);
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmMidFreq), 0.0f);

    // Power back: the changes are handed over and glided from this block on.
    p.setParameter(kBypass, 1.0f);
    runEmptyBlock(p);
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmMidFreq), 1.0f);
    EXPECT_FLOAT_EQ(p.dsp.getParameter(TarvelXeth::kTolmLowPeak), 0.1f);
    EXPECT_EQ(p.inputGainRamp.target, expf(20.0f * 0.115129255f));
}

TEST_F(PreparedAt44100, PowerOffCopiesMonoInputToEveryOutput)
{
    p.setPlayConfigDetails(1, 2, 44100.0, 512);
    p.setParameter(kBypass, 0.0f);
    const juce::AudioBuffer<float> input = noiseBlock(2, 128, 2);
    juce::AudioBuffer<float> buffer(input);
    p.processBlock(buffer, noMidi);
    EXPECT_TRUE(sameSamples(buffer, 0, input, 0));
    EXPECT_TRUE(sameSamples(buffer, 1, input, 0));
}

TEST_F(PreparedAt44100, AfterPrepareEveryBandIsRecalculatedForEightBlocks)
{
    for (int block = 0; block < 8; ++block)
    {
        RecalcProbe probe(p.dsp);
        runEmptyBlock(p);
        EXPECT_TRUE(probe.low() && probe.mid() && probe.high() && probe.brask()) << block;
        EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kBraskHighBoostBandwidth), 0.5f);
    }
    RecalcProbe probe(p.dsp);
    runEmptyBlock(p);
    EXPECT_FALSE(probe.low() || probe.mid() || probe.high() || probe.brask());
}

TEST_F(PreparedAt44100, AmountGlidesInEightEqualStepsAndEndsAtTheSum)
{
    for (int block = 0; block < 8; ++block)
        runEmptyBlock(p);

    p.setParameter(kTolmLowPeak, 0.8f);
    const float step = 0.8f / 8.0f;
    float expected = 0.0f;
    for (int block = 0; block < 8; ++block)
    {
        RecalcProbe probe(p.dsp);
        runEmptyBlock(p);
        expected += step;
        EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmLowPeak), expected) << block;
        EXPECT_EQ(p.dsp.tolmLow.amount, expected) << block;
        EXPECT_TRUE(probe.low()) << block;
        EXPECT_FALSE(probe.mid() || probe.high() || probe.brask()) << block;
    }
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmLowPeak), 0.80000007f);

    RecalcProbe probe(p.dsp);
    runEmptyBlock(p);
    EXPECT_FALSE(probe.low());
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmLowPeak), 0.80000007f);
}

TEST_F(PreparedAt44100, ChangeDuringAGlideRestartsFromTheCurrentValue)
{
    for (int block = 0; block < 8; ++block)
        runEmptyBlock(p);
    p.setParameter(kBraskLowBoost, 0.8f);
    for (int block = 0; block < 3; ++block)
        runEmptyBlock(p);
    const float reached = p.braskLowBoostRamp.current;
    EXPECT_FLOAT_EQ(reached, 0.3f);

    p.setParameter(kBraskLowBoost, 0.2f);
    const float step = (0.2f - reached) / 8.0f;
    float expected = reached;
    for (int block = 0; block < 8; ++block)
    {
        runEmptyBlock(p);
        expected += step;
        EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kBraskLowBoost), expected) << block;
    }
    EXPECT_EQ(p.braskLowBoostRamp.counter, 8);
}

TEST_F(PreparedAt44100, FrequencyIsHandedOverOnceInTheNextBlock)
{
    for (int block = 0; block < 8; ++block)
        runEmptyBlock(p);

    p.setParameter(kTolmHighFreq, 0.75f);
    {
        RecalcProbe probe(p.dsp);
        runEmptyBlock(p);
        EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmHighFreq), 0.75f);
        EXPECT_TRUE(probe.high());
        EXPECT_FALSE(probe.low() || probe.mid() || probe.brask());
    }
    RecalcProbe probe(p.dsp);
    runEmptyBlock(p);
    EXPECT_FALSE(probe.high());
}

TEST_F(PreparedAt44100, AmountAndFrequencyOfOneBandMeetInOneDesign)
{
    for (int block = 0; block < 8; ++block)
        runEmptyBlock(p);
    p.setParameter(kTolmLowFreq, 0.5f);
    p.setParameter(kTolmLowPeak, 0.8f);
    runEmptyBlock(p);

    // The band designed once from both new settings: as if prepared with them.
    WYD_KX7AudioProcessor reference;
    reference.setParameter(kTolmLowFreq, 0.5f);
    reference.setParameter(kTolmLowPeak, 0.1f);
    reference.prepareToPlay(44100.0, 512);
    for (int k = 0; k < SZBase2x::numCoeffs; ++k)
        EXPECT_EQ(p.dsp.tolmLow.targetCoeffs[k], reference.dsp.tolmLow.targetCoeffs[k]) << k;
}

TEST_F(PreparedAt44100, ProgramEqualiserFrequenciesTravelTogether)
{
    for (int block = 0; block < 8; ++block)
        runEmptyBlock(p);

    // Only the high-attenuation frequency moves, yet all three are handed over.
    p.dsp.setBraskLowFreq(0.9f);
    p.setParameter(kBraskHighAttenFreq, 0.5f);
    RecalcProbe probe(p.dsp);
    runEmptyBlock(p);
    EXPECT_TRUE(probe.brask());
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kBraskHighAttenFreq), 0.5f);
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kBraskLowFreq), 0.0f);
    EXPECT_EQ(p.lastBraskHighAttenFreq, 0.5f);
}

TEST_F(PreparedAt44100, SwitchesAreHandedOverAsFadeStarts)
{
    runEmptyBlock(p);
    p.setParameter(kTolmOn, 0.0f);
    p.setParameter(kSaturationOn, 0.4f);
    runEmptyBlock(p);
    EXPECT_EQ(p.dsp.tolmFade.target, 0.0);
    EXPECT_TRUE(p.dsp.tolmFade.running);
    EXPECT_TRUE(p.dsp.tolmActive) << "active until the fade-out ends";
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kSaturationOn), 1.0f);
    EXPECT_TRUE(p.dsp.saturationActive);
    EXPECT_TRUE(p.dsp.saturationFade.running);
    EXPECT_FALSE(p.lastTolmOn);

    // An unchanged switch does not restart its fade.
    p.dsp.saturationFade.counter = 7;
    p.setParameter(kSaturationOn, 1.0f);
    runEmptyBlock(p);
    EXPECT_EQ(p.dsp.saturationFade.counter, 7);
}

TEST_F(TransparentPath, InputAndOutputGainGlideOverTheRampLength)
{
    const int length = p.inputGainRamp.length;
    ASSERT_EQ(length, 4096);
    p.setParameter(kInputVol, 1.0f);
    juce::AudioBuffer<float> buffer = constantBlock(2, length + 16, 0.25f);
    p.processBlock(buffer, noMidi);

    const float g = expf(20.0f * 0.115129255f);
    const float step = (g - 1.0f) * (1.0f / static_cast<float>(length));
    float current = 1.0f;
    for (int i = 0; i < length + 16; ++i)
    {
        if (i < length)
            current += step;
        ASSERT_EQ(buffer.getSample(0, i), 0.25f * current) << i;
        ASSERT_EQ(buffer.getSample(1, i), 0.25f * current) << i;
    }
    EXPECT_NEAR(current, 10.0f, 1e-3f);
    EXPECT_EQ(p.inputGainRamp.counter, length);

    p.setParameter(kOutputVol, 0.0f);
    buffer = constantBlock(2, 10, 1.0f);
    p.processBlock(buffer, noMidi);
    const float o = expf(-20.0f * 0.115129255f);
    const float outStep = (o - 1.0f) * (1.0f / static_cast<float>(length));
    float out = 1.0f;
    for (int i = 0; i < 10; ++i)
    {
        out += outStep;
        EXPECT_EQ(buffer.getSample(0, i), current * (out * 1.0f)) << i;
    }
}

TEST_F(TransparentPath, AutoLevelUndoesTheInputGainStepForStep)
{
    p.setParameter(kSaturationAutoLevelOn, 1.0f);
    p.setParameter(kInputVol, 0.9f);
    const juce::AudioBuffer<float> input = noiseBlock(2, 3000, 3);
    juce::AudioBuffer<float> buffer(input);
    p.processBlock(buffer, noMidi);

    EXPECT_EQ(p.autoLevelRamp.step, p.inputGainRamp.step);
    EXPECT_EQ(p.autoLevelRamp.counter, p.inputGainRamp.counter);
    EXPECT_EQ(p.autoLevelRamp.current, p.inputGainRamp.current);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < input.getNumSamples(); ++i)
            ASSERT_NEAR(buffer.getSample(c, i), input.getSample(c, i), 1e-6f) << c << "/" << i;
}

TEST_F(TransparentPath, WithoutAutoLevelTheOutputFollowsTheInputGain)
{
    p.setParameter(kInputVol, 0.9f);
    juce::AudioBuffer<float> buffer = constantBlock(2, 4096, 0.1f);
    p.processBlock(buffer, noMidi);
    EXPECT_EQ(p.autoLevelRamp.current, 1.0f);
    EXPECT_NEAR(buffer.getSample(0, 4095), 0.1f * expf((0.9f * 40.0f - 20.0f) * 0.115129255f), 1e-4f) << "16 dB, less the glide's rounding";
}

TEST_F(TransparentPath, PhaseGlidesThroughZeroWithinPlusMinusOne)
{
    const int half = p.phaseRamp.length;
    ASSERT_EQ(half, 2048);
    p.setParameter(kPhaseOn, 1.0f);
    juce::AudioBuffer<float> buffer = constantBlock(2, half + 100, 1.0f);
    p.processBlock(buffer, noMidi);

    float previous = 1.0f;
    for (int i = 0; i < half + 100; ++i)
    {
        const float v = buffer.getSample(0, i);
        ASSERT_GE(v, -1.0f) << i;
        ASSERT_LE(v, 1.0f) << i;
        ASSERT_LE(v, previous) << i;
        previous = v;
    }
    EXPECT_NEAR(buffer.getSample(0, half / 2 - 1), 0.0f, 1e-3f);
    EXPECT_EQ(buffer.getSample(0, half - 1), -1.0f);
    EXPECT_EQ(buffer.getSample(1, half + 99), -1.0f);

    // And back to +1.
    p.setParameter(kPhaseOn, 0.0f);
    buffer = constantBlock(2, half + 10, 1.0f);
    p.processBlock(buffer, noMidi);
    EXPECT_EQ(buffer.getSample(0, half + 9), 1.0f);
    EXPECT_LE(p.phaseRamp.current, 1.0f);
}

TEST_F(PreparedAt44100, MonoInputIsProcessedOnceAndCopiedToTheSecondOutput)
{
    p.setParameter(kSaturationOn, 1.0f);
    p.setParameter(kTolmMidDip, 0.7f);
    p.setPlayConfigDetails(1, 2, 44100.0, 512);
    p.prepareToPlay(44100.0, 512);

    WYD_KX7AudioProcessor reference;
    reference.setParameter(kSaturationOn, 1.0f);
    reference.setParameter(kTolmMidDip, 0.7f);
    reference.setPlayConfigDetails(1, 1, 44100.0, 512);
    reference.prepareToPlay(44100.0, 512);

    juce::AudioBuffer<float> buffer = noiseBlock(2, 512, 4);
    juce::AudioBuffer<float> mono(1, 512);
    mono.copyFrom(0, 0, buffer, 0, 0, 512);
    p.processBlock(buffer, noMidi);
    reference.processBlock(mono, noMidi);

    EXPECT_TRUE(sameSamples(buffer, 0, mono, 0));
    EXPECT_TRUE(sameSamples(buffer, 1, buffer, 0));
}

TEST_F(PreparedAt44100, StereoInputIsProcessedAsAPair)
{
    p.setParameter(kTolmLowPeak, 1.0f);
    p.prepareToPlay(44100.0, 512);
    juce::AudioBuffer<float> input = noiseBlock(2, 512, 5);
    input.copyFrom(1, 0, input, 0, 0, 512);
    juce::AudioBuffer<float> buffer(input);
    p.processBlock(buffer, noMidi);
    EXPECT_TRUE(sameSamples(buffer, 0, buffer, 1)) << "same input, same processing on both channels";
    EXPECT_FALSE(sameSamples(buffer, 0, input, 0)) << "the equaliser acted";
}

TEST_F(PreparedAt44100, ZeroSampleBlocksAndOddBuffersAreSafe)
{
    juce::AudioBuffer<float> none(0, 0);
    p.processBlock(none, noMidi);
    juce::AudioBuffer<float> noChannels(0, 64);
    p.processBlock(noChannels, noMidi);
    EXPECT_EQ(p.tolmLowPeakRamp.counter, 2) << "block glides still step";

    // Fewer channels in the buffer than the buses announce.
    juce::AudioBuffer<float> single = constantBlock(1, 64, 0.1f);
    p.processBlock(single, noMidi);
    EXPECT_TRUE(std::isfinite(single.getSample(0, 63)));
}

TEST(AudioPath, ChannelsBeyondTheStereoPairAreLeftAlone)
{
    WYD_KX7AudioProcessor p;
    p.setPlayConfigDetails(4, 4, 44100.0, 256);
    p.prepareToPlay(44100.0, 256);
    p.setParameter(kOutputVol, 1.0f);
    const juce::AudioBuffer<float> input = noiseBlock(4, 256, 6);
    juce::AudioBuffer<float> buffer(input);
    p.processBlock(buffer, noMidi);
    EXPECT_FALSE(sameSamples(buffer, 0, input, 0));
    EXPECT_FALSE(sameSamples(buffer, 1, input, 1));
    EXPECT_TRUE(sameSamples(buffer, 2, input, 2));
    EXPECT_TRUE(sameSamples(buffer, 3, input, 3));
}

TEST_F(PreparedAt44100, NonFiniteSamplesDoNotPoisonTheFilters)
{
    p.setParameter(kSaturationOn, 1.0f);
    p.setParameter(kTolmHighPeak, 0.6f);
    p.setParameter(kBraskLowBoost, 0.6f);
    p.prepareToPlay(44100.0, 256);

    juce::AudioBuffer<float> buffer = noiseBlock(2, 256, 7);
    buffer.setSample(0, 10, std::numeric_limits<float>::quiet_NaN());
    buffer.setSample(1, 20, std::numeric_limits<float>::infinity());
    buffer.setSample(1, 30, -std::numeric_limits<float>::infinity());
    p.processBlock(buffer, noMidi);
    for (int block = 0; block < 4; ++block)
    {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 256; ++i)
                ASSERT_TRUE(std::isfinite(buffer.getSample(c, i))) << block << "/" << c << "/" << i;
        buffer = noiseBlock(2, 256, 8 + block);
        p.processBlock(buffer, noMidi);
    }
    EXPECT_GT(buffer.getMagnitude(0, 0, 256), 0.01f) << "still passing sound";
}
