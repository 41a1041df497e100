#include "dsp/EmphasisFilter.h"

#include "DspTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using dsptest::noise;
// The shelves are designed in single precision. At 44100 Hz their figures hold to about 0.01 dB,
// and so do the high shelf's and every Nyquist figure at any rate. At the saturator's highest rate
// the 100 Hz shelf sits so close to z = 1 that the rounding of its coefficients shows: the +3 dB
// low shelf in use there measures +4.44 dB at 0 Hz, and the shelf followed by its inverse +0.355 dB.
constexpr float hostRate = 44100.0f;
constexpr float highestSaturatorRate = 384000.0f;
constexpr double tightToleranceDb = 0.01;
constexpr double highRateInverseToleranceDb = 0.4;
constexpr double highRateShelfToleranceDb = 1.5;

void configure(EmphasisFilter& f, float rate, bool highShelf, float freq, float gainDb)
{
    f.setSampleRate(rate);
    f.setShelfType(highShelf);
    f.setFreq(freq);
    f.setQ(0.4f);
    f.setGain(gainDb);
    f.calc();
}

double toDb(double ratio)
{
    return 20.0 * std::log10(std::fabs(ratio));
}

// Settled gain for a constant input (0 Hz) or an alternating one (half the sample rate).
double settledGainDb(EmphasisFilter& f, bool atNyquist, int samples)
{
    double y = 0.0;
    double x = 1.0;
    for (int n = 0; n < samples; ++n)
    {
        x = atNyquist && (n % 2) ? -1.0 : 1.0;
        y = x;
        f.process(y);
    }
    return toDb(y / x);
}

bool isSinglePrecision(double v)
{
    return static_cast<double>(static_cast<float>(v)) == v;
}
} // namespace

TEST(EmphasisFilter, StartsAsNamedIdentityWithDefaultSettings)
{
    EmphasisFilter f;
    EXPECT_STREQ(f.getName(), "Emphasis Filter");
    EXPECT_FALSE(f.shelfType);
    EXPECT_EQ(f.freq, 100.0f);
    EXPECT_EQ(f.q, 0.4f);
    EXPECT_EQ(f.gain, 12.0f);
    for (double x : {0.75, -0.3, 1.0, 0.0})
    {
        double a = x, l = x, r = -x;
        f.process(a);
        EXPECT_EQ(a, x);
        f.deprocess(l, r);
        EXPECT_EQ(l, x);
        EXPECT_EQ(r, -x);
    }
}

TEST(EmphasisFilter, LowShelfGainsAtZeroAndHalfTheRate)
{
    struct Case
    {
        float rate;
        float gainDb;
        double toleranceDb;
        int samples;
    };
    for (const Case& c : {Case{hostRate, 12.0f, tightToleranceDb, 20000},
                          Case{highestSaturatorRate, 3.0f, highRateShelfToleranceDb, 200000}})
    {
        SCOPED_TRACE(c.rate);
        EmphasisFilter f;
        configure(f, c.rate, false, 100.0f, c.gainDb);
        const double A = std::pow(10.0, c.gainDb / 40.0);
        EXPECT_NEAR(settledGainDb(f, false, c.samples), toDb(A * A), c.toleranceDb);
        f.resetBuffer();
        EXPECT_NEAR(settledGainDb(f, true, c.samples), 0.0, tightToleranceDb);
    }
}

TEST(EmphasisFilter, HighShelfGainsAtZeroAndHalfTheRate)
{
    for (const auto& [rate, tolerance] :
         {std::pair{hostRate, tightToleranceDb}, std::pair{highestSaturatorRate, tightToleranceDb}})
    {
        SCOPED_TRACE(rate);
        EmphasisFilter f;
        configure(f, rate, true, 10000.0f, 6.0f);
        EXPECT_NEAR(settledGainDb(f, false, 20000), 0.0, tolerance);
        f.resetBuffer();
        EXPECT_NEAR(settledGainDb(f, true, 20000), 6.0, tolerance);
    }
}

TEST(EmphasisFilter, ZeroGainShelfIsFlatAndCoefficientsAreSinglePrecision)
{
    for (bool highShelf : {false, true})
    {
        EmphasisFilter f;
        configure(f, 176400.0f, highShelf, 3000.0f, 0.0f);
        for (const EmphasisFilter::Stage* s : {&f.forward, &f.inverse})
        {
            EXPECT_EQ(s->b0, 1.0);
            EXPECT_EQ(s->b1, s->a1);
            EXPECT_EQ(s->b2, s->a2);
        }
        configure(f, 176400.0f, highShelf, 3000.0f, 9.5f);
        for (const EmphasisFilter::Stage* s : {&f.forward, &f.inverse})
            for (double c : {s->b0, s->b1, s->b2, s->a1, s->a2})
                EXPECT_TRUE(isSinglePrecision(c)) << c;
    }
}

// The saturator interleaves the two: each sample goes through the shelf and then the inverse,
// each with its own history.
TEST(EmphasisFilter, DeprocessUndoesProcessForBothShelvesAndAnyGain)
{
    const std::vector<double> input = noise(20000, 7);
    const double relativeTolerance = std::pow(10.0, tightToleranceDb / 20.0) - 1.0;
    for (bool highShelf : {false, true})
        for (float gainDb : {-18.0f, -6.0f, 3.0f, 6.0f, 12.0f, 24.0f})
        {
            SCOPED_TRACE(testing::Message() << "high " << highShelf << " gain " << gainDb);
            EmphasisFilter f;
            configure(f, hostRate, highShelf, highShelf ? 10000.0f : 100.0f, gainDb);
            double worst = 0.0;
            for (double x : input)
            {
                double y = x;
                f.process(y);
                f.deprocess(y);
                worst = std::max(worst, std::fabs(y - x));
            }
            EXPECT_LT(worst, relativeTolerance);
        }
}

TEST(EmphasisFilter, InverseHoldsAtTheHighestSaturatorRateWithinTheDesignTolerance)
{
    EmphasisFilter f;
    configure(f, highestSaturatorRate, false, 100.0f, 3.0f);
    double y = 0.0;
    for (int n = 0; n < 200000; ++n)
    {
        y = 1.0;
        f.process(y);
        f.deprocess(y);
    }
    EXPECT_NEAR(toDb(y), 0.0, highRateInverseToleranceDb);
}

// A redesign switches coefficients without a glide and filters on from the history it finds, so
// it must match a filter designed for the new settings that had the same past.
TEST(EmphasisFilter, RedesignTakesEffectAtOnceAndKeepsTheHistories)
{
    const std::vector<double> input = noise(400, 14);
    EmphasisFilter redesigned, reference;
    configure(redesigned, hostRate, false, 100.0f, 12.0f);
    configure(reference, hostRate, false, 300.0f, -6.0f);
    for (size_t n = 0; n < 200; ++n)
    {
        double l = input[n], r = -input[n];
        redesigned.process(l, r);
        redesigned.deprocess(l, r);
    }
    reference.forward.left = redesigned.forward.left;
    reference.forward.right = redesigned.forward.right;
    reference.inverse.left = redesigned.inverse.left;
    reference.inverse.right = redesigned.inverse.right;

    configure(redesigned, hostRate, false, 300.0f, -6.0f);
    for (size_t n = 200; n < input.size(); ++n)
    {
        double l = input[n], r = 0.5 * input[n];
        double refL = l, refR = r;
        redesigned.process(l, r);
        reference.process(refL, refR);
        ASSERT_EQ(l, refL) << "sample " << n;
        ASSERT_EQ(r, refR) << "sample " << n;
        redesigned.deprocess(l, r);
        reference.deprocess(refL, refR);
        ASSERT_EQ(l, refL) << "sample " << n;
        ASSERT_EQ(r, refR) << "sample " << n;
    }
}

TEST(EmphasisFilter, StereoEqualsTwoMonoInstancesForBothDirections)
{
    const std::vector<double> left = noise(2000, 8);
    const std::vector<double> right = noise(2000, 9);
    EmphasisFilter stereo, monoLeft, monoRight;
    for (EmphasisFilter* f : {&stereo, &monoLeft, &monoRight})
        configure(*f, 88200.0f, true, 10000.0f, 6.0f);
    for (size_t n = 0; n < left.size(); ++n)
    {
        double l = left[n], r = right[n], ml = left[n], mr = right[n];
        stereo.process(l, r);
        monoLeft.process(ml);
        monoRight.process(mr);
        ASSERT_EQ(l, ml);
        ASSERT_EQ(r, mr);
        l *= 0.5, r *= 0.5, ml *= 0.5, mr *= 0.5;
        stereo.deprocess(l, r);
        monoLeft.deprocess(ml);
        monoRight.deprocess(mr);
        ASSERT_EQ(l, ml);
        ASSERT_EQ(r, mr);
    }
}

TEST(EmphasisFilter, ResetBufferKeepsTheShelfAndResetReturnsToSilentIdentity)
{
    EmphasisFilter f;
    configure(f, hostRate, false, 100.0f, 12.0f);
    for (double x : noise(1000, 10))
    {
        double l = x, r = -x;
        f.process(l, r);
        f.deprocess(l, r);
    }
    f.resetBuffer();
    for (int n = 0; n < 50; ++n)
    {
        double l = 0.0, r = 0.0, m = 0.0;
        f.process(l, r);
        f.deprocess(m);
        ASSERT_EQ(l, 0.0);
        ASSERT_EQ(r, 0.0);
        ASSERT_EQ(m, 0.0);
    }
    EXPECT_NEAR(settledGainDb(f, false, 20000), 12.0, tightToleranceDb);

    f.reset();
    double x = 0.625;
    f.process(x);
    EXPECT_EQ(x, 0.625);
    f.deprocess(x);
    EXPECT_EQ(x, 0.625);
}
