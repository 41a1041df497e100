#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <xmmintrin.h>

using namespace ParameterTable;

namespace
{
bool isSubnormal(double v)
{
    return std::fpclassify(v) == FP_SUBNORMAL;
}

bool interpolatorHoldsSubnormals(const HalfBand_12p_104dB_001& filter)
{
    for (const auto* chain : {filter.chainA, filter.chainB})
        for (int i = 0; i < HalfBand_12p_104dB_001::sectionsPerChain; ++i)
            if (isSubnormal(chain[i].x1) || isSubnormal(chain[i].x2) || isSubnormal(chain[i].y1)
                || isSubnormal(chain[i].y2))
                return true;
    return isSubnormal(filter.previousB);
}
} // namespace

// The equaliser interpolator has no denormal guard: left alone, a decaying tail settles into a
// loop of subnormal numbers that costs many times the normal processing time per sample.
TEST(Denormals, ADecayingTailNeverLeavesSubnormalStateBehind)
{
    WYD_KX7AudioProcessor processor;
    for (int index : {kTolmOn, kBraskOn, kSaturationOn})
        processor.setParameter(index, 1.0f);
    processor.prepareToPlay(44100.0, 512);

    juce::MidiBuffer midi;
    juce::AudioBuffer<float> buffer(2, 512);
    juce::Random random(7);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 512; ++i)
            buffer.setSample(c, i, random.nextFloat() - 0.5f);
    processor.processBlock(buffer, midi);

    bool subnormalSeen = false;
    for (int block = 0; block < 3 * 44100 / 512; ++block)
    {
        buffer.clear();
        processor.processBlock(buffer, midi);
        subnormalSeen = subnormalSeen || interpolatorHoldsSubnormals(processor.dsp.eqUp2xL)
                        || interpolatorHoldsSubnormals(processor.dsp.eqUp2xR);
    }
    EXPECT_FALSE(subnormalSeen);
}

TEST(Denormals, TheCallersFloatingPointModeIsLeftAsItWas)
{
    WYD_KX7AudioProcessor processor;
    processor.prepareToPlay(48000.0, 64);
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> buffer(2, 64);
    buffer.clear();

    const unsigned int before = _mm_getcsr();
    processor.processBlock(buffer, midi);
    EXPECT_EQ(_mm_getcsr(), before);
}
