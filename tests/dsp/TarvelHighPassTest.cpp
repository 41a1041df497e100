#include "dsp/TarvelHighPass.h"

#include "DspTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using dsptest::noise;
using dsptest::pi;

// Settled sine response, measured by projecting one second of output on sine and cosine.
double sineGainDb(float rate, float corner, double frequency)
{
    TarvelHighPass hp;
    hp.setSampleRate(rate);
    hp.setFrequency(corner);
    const int settle = static_cast<int>(rate) * 4;
    const int measure = static_cast<int>(rate);
    double sinSum = 0.0, cosSum = 0.0;
    for (int n = 0; n < settle + measure; ++n)
    {
        const double phase = 2.0 * pi * frequency * n / rate;
        double y = std::sin(phase);
        hp.process(y);
        if (n >= settle)
        {
            sinSum += y * std::sin(phase);
            cosSum += y * std::cos(phase);
        }
    }
    return 20.0 * std::log10(2.0 * std::hypot(sinSum, cosSum) / measure);
}

// First-order high-pass through the bilinear transform with a prewarped corner.
double expectedGainDb(float rate, float corner, double frequency)
{
    const double t = std::tan(pi * frequency / rate);
    const double g = std::tan(pi * corner / rate);
    return 20.0 * std::log10(t / std::hypot(t, g));
}
} // namespace

TEST(TarvelHighPass, PassesTheInputUnchangedUntilAFrequencyIsSet)
{
    TarvelHighPass hp;
    EXPECT_EQ(hp.getName(), nullptr);
    hp.setSampleRate(176400.0f);
    const std::vector<double> input = noise(200, 11);
    for (double x : input)
    {
        double l = x, r = -x;
        hp.process(l, r);
        ASSERT_EQ(l, x);
        ASSERT_EQ(r, -x);
    }

    // Reset coefficients pass the signal even while the integrator still holds a state.
    hp.setFrequency(10.0f);
    for (double x : input)
    {
        double y = x + 1.0;
        hp.process(y);
    }
    hp.resetCoeffs();
    EXPECT_EQ(hp.frequency, 0.0f);
    for (double x : input)
    {
        double y = x;
        hp.process(y);
        ASSERT_EQ(y, x);
    }
}

TEST(TarvelHighPass, TenHertzAtTheSaturatorRateRemovesDirectCurrent)
{
    TarvelHighPass hp;
    hp.setSampleRate(176400.0f);
    hp.setFrequency(10.0f);
    EXPECT_DOUBLE_EQ(hp.tanCoeff, std::tan(pi * 10.0 / 176400.0));
    EXPECT_DOUBLE_EQ(hp.normCoeff, 1.0 / (1.0 + hp.tanCoeff));

    double y = 0.0;
    for (int n = 0; n < 100000; ++n)
    {
        y = 0.8;
        hp.process(y);
    }
    EXPECT_LT(std::fabs(y), 1e-12);
}

TEST(TarvelHighPass, SineResponseFollowsTheFirstOrderHighPass)
{
    constexpr float rate = 8000.0f;
    constexpr float corner = 40.0f;
    EXPECT_NEAR(sineGainDb(rate, corner, corner), -3.0103, 0.01);
    for (double f : {4.0, 10.0, 160.0, 1000.0})
        EXPECT_NEAR(sineGainDb(rate, corner, f), expectedGainDb(rate, corner, f), 0.01) << f << " Hz";
}

TEST(TarvelHighPass, StereoEqualsTwoMonoInstancesAndResetBufferSilences)
{
    TarvelHighPass stereo, monoLeft, monoRight;
    for (TarvelHighPass* hp : {&stereo, &monoLeft, &monoRight})
    {
        hp->setSampleRate(96000.0f);
        hp->setFrequency(10.0f);
    }
    const std::vector<double> left = noise(2000, 12);
    const std::vector<double> right = noise(2000, 13);
    for (size_t n = 0; n < left.size(); ++n)
    {
        double l = left[n] + 0.5, r = right[n] - 0.5, ml = l, mr = r;
        stereo.process(l, r);
        monoLeft.process(ml);
        monoRight.process(mr);
        ASSERT_EQ(l, ml);
        ASSERT_EQ(r, mr);
    }
    stereo.resetBuffer();
    for (int n = 0; n < 50; ++n)
    {
        double l = 0.0, r = 0.0;
        stereo.process(l, r);
        ASSERT_EQ(l, 0.0);
        ASSERT_EQ(r, 0.0);
    }
}
