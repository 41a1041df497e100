#include "dsp/TarvelXeth.h"

#include "TarvelXethTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace
{
using tarveltest::kSettings;
using tarveltest::prepared;

// A loud programme with some noise, so every filter state is busy.
std::vector<float> programme(int count, uint32_t seed, float amplitude = 0.7f)
{
    std::vector<float> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        samples[static_cast<size_t>(i)] =
            amplitude * (0.6f * std::sin(0.021f * static_cast<float>(i)) + 0.4f * noise);
    }
    return samples;
}

bool sameBits(float a, float b)
{
    uint32_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

::testing::AssertionResult identical(const std::vector<float>& actual, const std::vector<float>& expected)
{
    for (size_t i = 0; i < expected.size(); ++i)
        if (!sameBits(actual[i], expected[i]))
            return ::testing::AssertionFailure()
                   << "sample " << i << ": " << actual[i] << " instead of " << expected[i];
    return ::testing::AssertionSuccess();
}

// The chain written out module call by module call, each filter taking all of its values before
// the next filter starts; it drives the modules of a second, identically prepared object.
class ReferenceChain
{
public:
    explicit ReferenceChain(TarvelXeth& modules) : m(modules) {}

    void process(std::vector<float>& block)
    {
        for (size_t i = 0; i < block.size(); ++i)
        {
            last = i + 1 == block.size();
            block[i] = m.lowRatePath ? lowRate(block[i]) : highRate(block[i]);
        }
    }

private:
    double fadeValue(SectionFade& fade, bool& active)
    {
        if (fade.advance(last))
            active = false;
        return fade.value;
    }

    void equalisePair(double& u0, double& u1, double gain, SectionFade& fade, bool& active,
                      std::initializer_list<SZBase*> bands)
    {
        const double d0 = u0, d1 = u1;
        double w0 = u0 * gain, w1 = u1 * gain;
        for (SZBase* band : bands)
        {
            band->process(w0);
            band->process(w1);
        }
        if (fade.running)
        {
            double v = fadeValue(fade, active);
            u0 = d0 * (1.0 - v) + w0 * v;
            v = fadeValue(fade, active);
            u1 = d1 * (1.0 - v) + w1 * v;
        }
        else
        {
            u0 = w0;
            u1 = w1;
        }
    }

    void equalise(double& u, double gain, SectionFade& fade, bool& active, std::initializer_list<SZBase*> bands)
    {
        const double d = u;
        double w = u * gain;
        for (SZBase* band : bands)
            band->process(w);
        if (fade.running)
        {
            const double v = fadeValue(fade, active);
            u = d * (1.0 - v) + w * v;
        }
        else
            u = w;
    }

    template <typename Up, typename Down, size_t N>
    double saturate(double u, double gain, Up& up, Down& down)
    {
        const double d = u;
        double s[N] = {gain * u};
        for (double& v : s)
            up.process(v);
        for (double& v : s)
            m.emphasisLow.process(v);
        for (double& v : s)
            m.emphasisHigh.process(v);
        for (double& v : s)
            v = TarvelXeth::waveshape(v);
        for (double& v : s)
            m.emphasisLow.deprocess(v);
        for (double& v : s)
            m.emphasisHigh.deprocess(v);
        for (double& v : s)
            m.highPass.process(v);
        for (double& v : s)
            down.process(v);
        if (!m.saturationFade.running)
            return s[0];
        const double v = fadeValue(m.saturationFade, m.saturationActive);
        return d * (1.0 - v) + s[0] * v;
    }

    float lowRate(float x)
    {
        double u0 = m.eqUp2xL.process(static_cast<double>(2.0f * x));
        double u1 = m.eqUp2xL.process(0.0);
        if (m.tolmActive)
            equalisePair(u0, u1, 12.475, m.tolmFade, m.tolmActive, {&m.tolmLow, &m.tolmMid, &m.tolmHigh});
        if (m.braskActive)
            equalisePair(u0, u1, 13.1, m.braskFade, m.braskActive, {&m.braskEq});
        if (m.saturationActive)
            u0 = saturate<QuarterBandElliptic, QuarterBandElliptic, 4>(u0, 4.0, m.satUp4x, m.satDown4x);
        return static_cast<float>(u0);
    }

    float highRate(float x)
    {
        double v = x;
        if (m.tolmActive)
            equalise(v, 12.475, m.tolmFade, m.tolmActive, {&m.tolmLow, &m.tolmMid, &m.tolmHigh});
        if (m.braskActive)
            equalise(v, 13.1, m.braskFade, m.braskActive, {&m.braskEq});
        if (m.saturationActive)
            v = saturate<HalfBandElliptic, HalfBandElliptic, 2>(v, 2.0, m.satUp2x, m.satDown2x);
        return static_cast<float>(v);
    }

    TarvelXeth& m;
    bool last = false;
};

template <typename Filter>
std::vector<double> lastOutputs(const Filter& filter)
{
    const auto& h = filter.left;
    return std::vector<double>(h.y + h.newest, h.y + h.newest + Filter::order);
}

void expectSameLeftState(const TarvelXeth& actual, const TarvelXeth& expected)
{
    auto history = [](const double* h, int n) { return std::vector<double>(h, h + n); };
    EXPECT_EQ(history(actual.tolmLow.historyL, 4), history(expected.tolmLow.historyL, 4));
    EXPECT_EQ(history(actual.tolmHigh.currentCoeffs, 6), history(expected.tolmHigh.currentCoeffs, 6));
    EXPECT_EQ(history(actual.braskEq.historyL, 10), history(expected.braskEq.historyL, 10));
    EXPECT_EQ(actual.eqUp2xL.chainB[5].y1, expected.eqUp2xL.chainB[5].y1);
    EXPECT_EQ(lastOutputs(actual.satDown4x), lastOutputs(expected.satDown4x));
    EXPECT_EQ(lastOutputs(actual.satUp2x), lastOutputs(expected.satUp2x));
    EXPECT_EQ(actual.emphasisHigh.inverse.left.y1, expected.emphasisHigh.inverse.left.y1);
    EXPECT_EQ(actual.highPass.stateL, expected.highPass.stateL);
}

// Section switches applied to both objects between blocks.
void toggle(TarvelXeth& dsp, int block)
{
    switch (block)
    {
        case 2: dsp.setSaturationOn(0.0f); dsp.calcSaturationOn(); break;
        case 1: dsp.setBraskHighBoost(0.1f); dsp.calcBrask(); break; // glides from here
        case 3: dsp.setTolmOn(0.0f); dsp.calcTolmOn(); break;
        case 5: dsp.setSaturationOn(1.0f); dsp.calcSaturationOn(); break;
        case 6: dsp.setBraskOn(0.0f); dsp.calcBraskOn(); dsp.setTolmOn(1.0f); dsp.calcTolmOn(); break;
        case 7: dsp.setTolmMidDip(0.0f); dsp.calcTolmMid(); break; // ends its glide as a pure gain
        case 8: dsp.setTolmLowPeak(0.9f); dsp.calcTolmLow(); dsp.setBraskOn(1.0f); dsp.calcBraskOn(); break;
        default: break;
    }
}

const int kBlockSizes[] = {1, 700, 1, 333, 2500, 64, 1500, 17, 900, 1200};

class ChainAtRate : public ::testing::TestWithParam<float>
{
};
} // namespace

TEST_P(ChainAtRate, MonoFollowsTheModuleSequenceThroughFadesAndSwitches)
{
    auto dsp = prepared(GetParam(), {true, true, true});
    auto modules = prepared(GetParam(), {true, true, true});
    ReferenceChain reference(*modules);
    uint32_t seed = 1;
    int block = 0;
    for (int size : kBlockSizes)
    {
        SCOPED_TRACE(block);
        toggle(*dsp, block);
        toggle(*modules, block);
        std::vector<float> actual = programme(size, seed++);
        std::vector<float> expected = actual;
        dsp->process(actual.data(), size);
        reference.process(expected);
        ASSERT_TRUE(identical(actual, expected));
        ASSERT_EQ(dsp->tolmActive, modules->tolmActive);
        ASSERT_EQ(dsp->saturationActive, modules->saturationActive);
        ++block;
    }
    // The double-precision state behind the float outputs matches as well.
    expectSameLeftState(*dsp, *modules);
}

TEST_P(ChainAtRate, StereoEqualsEachChannelProcessedAloneWithTheSameFades)
{
    auto stereo = prepared(GetParam(), {true, true, true});
    auto leftAlone = prepared(GetParam(), {true, true, true});
    auto rightAlone = prepared(GetParam(), {true, true, true});
    uint32_t seed = 100;
    int block = 0;
    for (int size : kBlockSizes)
    {
        SCOPED_TRACE(block);
        for (TarvelXeth* dsp : {stereo.get(), leftAlone.get(), rightAlone.get()})
            toggle(*dsp, block);
        std::vector<float> left = programme(size, seed++);
        std::vector<float> right = programme(size, seed++, 0.9f);
        std::vector<float> expectedLeft = left;
        std::vector<float> expectedRight = right;
        stereo->process(left.data(), right.data(), size);
        leftAlone->process(expectedLeft.data(), size);
        rightAlone->process(expectedRight.data(), size);
        ASSERT_TRUE(identical(left, expectedLeft));
        ASSERT_TRUE(identical(right, expectedRight));
        ASSERT_EQ(stereo->saturationFade.counter, leftAlone->saturationFade.counter);
        ASSERT_EQ(stereo->tolmFade.value, leftAlone->tolmFade.value);
        ++block;
    }
}

TEST_P(ChainAtRate, MonoAndStereoBlocksShareTheLeftChannelState)
{
    auto mixed = prepared(GetParam(), {true, true, true});
    auto monoOnly = prepared(GetParam(), {true, true, true});
    uint32_t seed = 5;
    for (int round = 0; round < 3; ++round)
    {
        SCOPED_TRACE(round);
        for (bool stereo : {false, true})
        {
            std::vector<float> left = programme(333, seed++);
            std::vector<float> right = programme(333, seed++);
            std::vector<float> expected = left;
            if (stereo)
                mixed->process(left.data(), right.data(), 333);
            else
                mixed->process(left.data(), 333);
            monoOnly->process(expected.data(), 333);
            ASSERT_TRUE(identical(left, expected));
        }
    }
}

TEST_P(ChainAtRate, AMonoBlockLeavesTheRightChannelStateAlone)
{
    auto dsp = prepared(GetParam(), {true, true, true});
    std::vector<float> left = programme(300, 21), right = programme(300, 22);
    dsp->process(left.data(), right.data(), 300);

    const TarvelXeth& state = *dsp;
    const std::vector<double> lowRight(state.tolmLow.historyR, state.tolmLow.historyR + 4);
    const std::vector<double> networkRight(state.braskEq.historyR, state.braskEq.historyR + 10);
    const double upRight = state.satUp4x.right.y[state.satUp4x.right.newest];
    const double up2Right = state.satUp2x.right.y[state.satUp2x.right.newest];
    const double interpolatorRight = state.eqUp2xR.previousB;
    const double shelfRight = state.emphasisHigh.inverse.right.y1;
    const double highPassRight = state.highPass.stateR;

    std::vector<float> mono = programme(300, 23);
    dsp->process(mono.data(), 300);
    EXPECT_EQ(std::vector<double>(dsp->tolmLow.historyR, dsp->tolmLow.historyR + 4), lowRight);
    EXPECT_EQ(std::vector<double>(dsp->braskEq.historyR, dsp->braskEq.historyR + 10), networkRight);
    EXPECT_EQ(dsp->satUp4x.right.y[dsp->satUp4x.right.newest], upRight);
    EXPECT_EQ(dsp->satUp2x.right.y[dsp->satUp2x.right.newest], up2Right);
    EXPECT_EQ(dsp->eqUp2xR.previousB, interpolatorRight);
    EXPECT_EQ(dsp->emphasisHigh.inverse.right.y1, shelfRight);
    EXPECT_EQ(dsp->highPass.stateR, highPassRight);
    EXPECT_NE(dsp->highPass.stateL, highPassRight);
}

INSTANTIATE_TEST_SUITE_P(TarvelXeth, ChainAtRate, ::testing::Values(44100.0f, 48000.0f, 68100.0f, 96000.0f));

TEST(TarvelXethChain, HighRatePathWithAllSectionsOffReturnsTheInputExactly)
{
    auto dsp = prepared(96000.0f, {false, false, false});
    std::vector<float> left = programme(600, 9);
    left[3] = std::numeric_limits<float>::denorm_min();
    left[4] = -std::numeric_limits<float>::max();
    left[5] = -0.0f;
    std::vector<float> right = programme(600, 10);
    const std::vector<float> inputLeft = left;
    const std::vector<float> inputRight = right;
    dsp->process(left.data(), right.data(), 600);
    EXPECT_TRUE(identical(left, inputLeft));
    EXPECT_TRUE(identical(right, inputRight));
    dsp->process(left.data(), 600);
    EXPECT_TRUE(identical(left, inputLeft));
}

TEST(TarvelXethChain, LowRatePathWithAllSectionsOffReturnsTheHalfBandFilteredInput)
{
    auto dsp = prepared(44100.0f, {false, false, false});
    HalfBand_12p_104dB_001 upLeft;
    HalfBand_12p_104dB_001 upRight;
    std::vector<float> left = programme(600, 11);
    std::vector<float> right = programme(600, 12);
    std::vector<float> expectedLeft(600), expectedRight(600);
    for (size_t i = 0; i < left.size(); ++i)
    {
        expectedLeft[i] = static_cast<float>(upLeft.process(2.0f * left[i]));
        upLeft.process(0.0);
        expectedRight[i] = static_cast<float>(upRight.process(2.0f * right[i]));
        upRight.process(0.0);
    }
    dsp->process(left.data(), right.data(), 600);
    EXPECT_TRUE(identical(left, expectedLeft));
    EXPECT_TRUE(identical(right, expectedRight));
    // Filtered and delayed, not passed through.
    EXPECT_NE(left[10], programme(600, 11)[10]);
}

TEST(TarvelXethChain, SilenceStaysExactSilenceAfterReset)
{
    for (float rate : {44100.0f, 96000.0f})
    {
        SCOPED_TRACE(rate);
        auto dsp = prepared(rate, {true, true, true});
        std::vector<float> left(2048, 0.0f), right(2048, 0.0f), mono(2048, 0.0f);
        dsp->process(left.data(), right.data(), 2048);
        dsp->process(mono.data(), 2048);
        for (size_t i = 0; i < left.size(); ++i)
        {
            ASSERT_EQ(left[i], 0.0f) << i;
            ASSERT_EQ(right[i], 0.0f) << i;
            ASSERT_EQ(mono[i], 0.0f) << i;
        }
    }
}

TEST(TarvelXethChain, NonFiniteSamplesDoNotStopTheChainAndResetClearsThem)
{
    for (float rate : {44100.0f, 96000.0f})
    {
        SCOPED_TRACE(rate);
        auto dsp = prepared(rate, {true, true, true});
        std::vector<float> left = programme(256, 13), right = programme(256, 14);
        left[7] = std::numeric_limits<float>::quiet_NaN();
        right[9] = std::numeric_limits<float>::infinity();
        left[11] = -std::numeric_limits<float>::infinity();
        dsp->process(left.data(), right.data(), 256);
        dsp->process(left.data(), 256);

        dsp->reset();
        for (int i = 0; i < TarvelXeth::kNumParameters; ++i)
            dsp->setParameter(i, kSettings[i]);
        dsp->calc();
        std::vector<float> silence(512, 0.0f), silenceRight(512, 0.0f);
        dsp->process(silence.data(), silenceRight.data(), 512);
        for (size_t i = 0; i < silence.size(); ++i)
        {
            ASSERT_EQ(silence[i], 0.0f) << i;
            ASSERT_EQ(silenceRight[i], 0.0f) << i;
        }
    }
}

TEST(TarvelXethChain, EmptyAndNegativeCountsTouchNothing)
{
    auto dsp = prepared(44100.0f, {true, true, true});
    float sample = 0.5f;
    dsp->process(&sample, 0);
    dsp->process(&sample, &sample, -3);
    dsp->process(static_cast<float*>(nullptr), 0);
    EXPECT_EQ(sample, 0.5f);
    EXPECT_TRUE(dsp->saturationFade.running);
    EXPECT_EQ(dsp->saturationFade.counter, 0);
}

TEST(TarvelXethWaveshaper, MapsZeroToZeroAndClampsAsymmetrically)
{
    EXPECT_EQ(TarvelXeth::waveshape(0.0), 0.0);
    const double top = 2.7 * (1.0 - 0.1 - 0.05623413251903491 - 0.1);
    const double bottom = 2.7 * (-1.0 - 0.1 + 0.05623413251903491 - 0.1);
    EXPECT_NEAR(top, 2.0081678, 1e-7);
    EXPECT_NEAR(bottom, -3.0881678, 1e-7);
    for (double s : {20.0, 100.0, 1e6, 1e30})
    {
        EXPECT_NEAR(TarvelXeth::waveshape(s), top, 1e-12) << s;
        EXPECT_NEAR(TarvelXeth::waveshape(-s), bottom, 1e-12) << s;
    }
}

// The reference chain above uses TarvelXeth::waveshape itself, so its arithmetic is pinned here,
// operation by operation.
TEST(TarvelXethWaveshaper, EvaluatesItsFormulaInTheGivenOrderBitForBit)
{
    auto formula = [](double s) {
        const double t = 0.3 * s;
        const double q = t * t;
        double y = t * (((q + 378.0) * q + 17325.0) * q + 135135.0)
                   / (((28.0 * q + 3150.0) * q + 62370.0) * q + 135135.0);
        if (y > 1.0)
            y = 1.0;
        else if (y < -1.0)
            y = -1.0;
        const double a = (2.0 * (y * y) - 1.0) * -0.1 + y;
        const double c = ((4.0 * (y * y)) * y - 3.0 * y) * -0.05623413251903491 + a;
        return 2.7 * (c + -0.1);
    };
    uint32_t seed = 3;
    for (int i = 0; i < 20000; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const double s = (static_cast<double>(seed) / 4294967296.0 - 0.5) * 24.0;
        ASSERT_EQ(TarvelXeth::waveshape(s), formula(s)) << s;
    }
}

TEST(TarvelXethWaveshaper, FollowsTanhWithSecondAndThirdHarmonicsInRange)
{
    // The rational tanh is close to tanh while 0.3 s stays within about 3.
    for (double s = -10.0; s <= 10.0; s += 0.37)
    {
        const double y = std::tanh(0.3 * s);
        const double expected =
            2.7 * (y - 0.1 * (2.0 * y * y - 1.0) - 0.05623413251903491 * (4.0 * y * y * y - 3.0 * y) - 0.1);
        EXPECT_NEAR(TarvelXeth::waveshape(s), expected, 1e-5) << s;
    }
    // Rising through zero with unit slope times 0.3 x 2.7 x (1 + 3 x 0.0562...).
    const double slope = (TarvelXeth::waveshape(1e-6) - TarvelXeth::waveshape(-1e-6)) / 2e-6;
    EXPECT_NEAR(slope, 0.81 * (1.0 + 3.0 * 0.05623413251903491), 1e-6);
}
