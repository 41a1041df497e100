#include "dsp/SZBase2x.h"
#include "dsp/SZBase5x.h"

#include "DspTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
using dsptest::noise;
// Textbook direct form I over generic loops, in the documented order of sums, to hold the
// unrolled filters to bit-exact agreement.
template <int N>
struct ReferenceDirectForm
{
    std::vector<double> x = std::vector<double>(N, 0.0);
    std::vector<double> y = std::vector<double>(N, 0.0);

    double run(const double* coeffs, double input)
    {
        const double* a = coeffs;         // a[1..N]; a[0] is the normaliser, not read
        const double* b = coeffs + N + 1; // b[0..N]
        double feedForward = b[N] * x[N - 1];
        for (int k = N - 1; k >= 1; --k)
            feedForward = b[k] * x[k - 1] + feedForward;
        double out = b[0] * input + feedForward;
        for (int k = N; k >= 1; --k)
            out = out - a[k] * y[k - 1];
        out += -1e-20;
        out += 1e-20;
        x.insert(x.begin(), input);
        x.pop_back();
        y.insert(y.begin(), out);
        y.pop_back();
        return out;
    }
};

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof(double)) == 0;
}

// A stable second-order low-pass (w0 = 2 pi 1 kHz, Q 0.7) and a gain-only pair of prototypes.
double lowPassDen[3] = {1.0, 1.0 / (0.7 * 6283.185307179586), 1.0 / (6283.185307179586 * 6283.185307179586)};
double lowPassNum[3] = {1.0, 0.0, 0.0};
double highShelfDen[3] = {1.0, 2.0e-4, 1.0e-8};
double highShelfNum[3] = {1.0, 5.0e-4, 4.0e-8};

// Fifth order: (1 + s/w)^5 over itself with a zero term changed; poles all at -w, stable.
void fifthOrder(double w, double* den, double* num)
{
    static const double binomial[6] = {1, 5, 10, 10, 5, 1};
    for (int i = 0; i <= 5; ++i)
    {
        den[i] = binomial[i] / std::pow(w, i);
        num[i] = (i == 2 ? 3.0 : 1.0) * den[i];
    }
}
} // namespace

TEST(SZBaseTransform, OrderTwoMatchesTheClosedForms)
{
    SZBase2x section;
    const double d[3] = {3.5, 2.0e-3, 7.0e-8};
    const double fs = 88200.0;
    const double K = 2.0 * fs;
    EXPECT_DOUBLE_EQ(section.s_to_z(d, 2, 0, fs), d[0] + d[1] * K + d[2] * K * K);
    EXPECT_DOUBLE_EQ(section.s_to_z(d, 2, 1, fs), 2.0 * d[0] - 2.0 * d[2] * K * K);
    EXPECT_DOUBLE_EQ(section.s_to_z(d, 2, 2, fs), d[0] - d[1] * K + d[2] * K * K);
    EXPECT_EQ(section.s_to_z(d, 2, 3, fs), 0.0);
    EXPECT_EQ(section.s_to_z(d, 2, -1, fs), 0.0);
    EXPECT_EQ(section.s_to_z(d, -1, 0, fs), 0.0);
}

TEST(SZBaseTransform, OrderFiveKeepsDcAndNyquistTerms)
{
    // z = 1 is s = 0 and z = -1 is s = infinity: the transformed coefficients must sum to
    // 2^5 c0 and alternate-sum to 2^5 c5 (2fs)^5.
    SZBase5x section;
    const double c[6] = {1.5, -2.0e-4, 3.0e-8, 4.0e-13, -5.0e-17, 6.0e-22};
    const double fs = 48000.0;
    double sum = 0.0;
    double alternating = 0.0;
    for (int k = 0; k <= 5; ++k)
    {
        const double term = section.s_to_z(c, 5, k, fs);
        sum += term;
        alternating += (k % 2 == 0 ? term : -term);
    }
    EXPECT_NEAR(sum, 32.0 * c[0], 1e-9);
    EXPECT_NEAR(alternating / (32.0 * c[5] * std::pow(2.0 * fs, 5)), 1.0, 1e-9);
    EXPECT_EQ(section.f(0), 1.0);
    EXPECT_EQ(section.f(5), 120.0);
}

TEST(SZBaseSection, ConstructedOrResetSectionIsSilent)
{
    SZBase2x second;
    SZBase5x fifth;
    EXPECT_EQ(second.rampLength, 2048);
    EXPECT_EQ(fifth.rampLengthDouble, 2048.0);
    EXPECT_TRUE(second.firstCalc);
    for (double x : noise(64, 1))
    {
        double a = x;
        double l = x, r = -x;
        second.process(a);
        fifth.process(l, r);
        EXPECT_EQ(a, 0.0);
        EXPECT_EQ(l, 0.0);
        EXPECT_EQ(r, 0.0);
    }

    double den[6], num[6];
    fifthOrder(3000.0, den, num);
    fifth.setCoeffs(den, num);
    second.setCoeffs(lowPassDen, lowPassNum);
    for (double x : noise(32, 2))
    {
        double a = x, b = x;
        second.process(a);
        fifth.process(b);
    }
    second.reset();
    fifth.reset();
    EXPECT_TRUE(fifth.firstCalc);
    EXPECT_EQ(fifth.currentCoeffs[0], 1.0);
    EXPECT_EQ(fifth.targetCoeffs[0], 1.0);
    EXPECT_EQ(fifth.stepCoeffs[0], 1.0);
    for (double x : noise(16, 3))
    {
        double a = x, b = x;
        second.process(a);
        fifth.process(b);
        EXPECT_EQ(a, 0.0);
        EXPECT_EQ(b, 0.0);
    }
}

TEST(SZBaseSection, FiltersInDirectFormOneExactly)
{
    SZBase2x second;
    SZBase5x fifth;
    double den[6], num[6];
    fifthOrder(4000.0, den, num);
    second.setCoeffs(highShelfDen, highShelfNum);
    fifth.setCoeffs(den, num);
    // Also glide towards a second design so that the coefficients change under the filter.
    second.setCoeffs(lowPassDen, lowPassNum);
    fifthOrder(9000.0, den, num);
    fifth.setCoeffs(den, num);

    ReferenceDirectForm<2> ref2;
    ReferenceDirectForm<5> ref5;
    for (double x : noise(3000, 4))
    {
        double a = x, b = x;
        second.process(a);
        fifth.process(b);
        // process() steps the glide before filtering, so the reference uses the same coefficients.
        ASSERT_TRUE(sameBits(a, ref2.run(second.currentCoeffs, x)));
        ASSERT_TRUE(sameBits(b, ref5.run(fifth.currentCoeffs, x)));
    }
}

TEST(SZBaseSection, FirstDesignIsImmediateAndLaterOnesGlide)
{
    SZBase2x section;
    section.setCoeffs(highShelfDen, highShelfNum);
    EXPECT_FALSE(section.firstCalc);
    for (int i = 1; i < SZBase2x::numCoeffs; ++i)
        EXPECT_EQ(section.currentCoeffs[i], section.targetCoeffs[i]);
    double x = 0.5;
    section.process(x);
    EXPECT_EQ(x, section.targetCoeffs[3] * 0.5);

    const std::vector<double> first(section.targetCoeffs, section.targetCoeffs + SZBase2x::numCoeffs);
    section.setCoeffs(lowPassDen, lowPassNum);
    EXPECT_EQ(section.rampCounter, 0);
    // Glide from the first design, a full rampLength long.
    double expected[SZBase2x::numCoeffs];
    for (int i = 1; i < SZBase2x::numCoeffs; ++i)
    {
        EXPECT_EQ(section.stepCoeffs[i], (section.targetCoeffs[i] - first[i]) * (1.0 / 2048.0));
        expected[i] = first[i];
    }
    for (int n = 1; n < section.rampLength; ++n)
    {
        double s = 0.0;
        section.process(s);
        for (int i = 1; i < SZBase2x::numCoeffs; ++i)
            expected[i] += section.stepCoeffs[i];
    }
    for (int i = 1; i < SZBase2x::numCoeffs; ++i)
        EXPECT_EQ(section.currentCoeffs[i], expected[i]);
    EXPECT_NE(section.currentCoeffs[1], section.targetCoeffs[1]);

    double s = 0.0;
    section.process(s);
    EXPECT_EQ(section.rampCounter, section.rampLength);
    for (int i = 1; i < SZBase2x::numCoeffs; ++i)
        EXPECT_TRUE(sameBits(section.currentCoeffs[i], section.targetCoeffs[i]));

    // Settled: further samples leave the coefficients alone.
    section.process(s);
    EXPECT_EQ(section.rampCounter, section.rampLength);
    EXPECT_TRUE(sameBits(section.currentCoeffs[2], section.targetCoeffs[2]));
}

TEST(SZBaseSection, NewDesignMidGlideRestartsFromCoefficientsInUse)
{
    SZBase5x section;
    section.setSampleRate(30000.0f); // 1024-sample glides
    double den[6], num[6];
    fifthOrder(2000.0, den, num);
    section.setCoeffs(den, num);
    fifthOrder(6000.0, den, num);
    section.setCoeffs(den, num);
    for (int n = 0; n < 300; ++n)
    {
        double s = 0.0;
        section.process(s);
    }
    EXPECT_EQ(section.rampCounter, 300);
    const std::vector<double> inUse(section.currentCoeffs, section.currentCoeffs + SZBase5x::numCoeffs);

    fifthOrder(12000.0, den, num);
    section.setCoeffs(den, num);
    EXPECT_EQ(section.rampCounter, 0);
    for (int i = 1; i < SZBase5x::numCoeffs; ++i)
    {
        EXPECT_EQ(section.currentCoeffs[i], inUse[i]);
        EXPECT_EQ(section.stepCoeffs[i], (section.targetCoeffs[i] - inUse[i]) * (1.0 / 1024.0));
    }
    for (int n = 0; n < 1023; ++n)
    {
        double s = 0.0;
        section.process(s);
    }
    EXPECT_NE(section.currentCoeffs[1], section.targetCoeffs[1]);
    double s = 0.0;
    section.process(s);
    for (int i = 1; i < SZBase5x::numCoeffs; ++i)
        EXPECT_TRUE(sameBits(section.currentCoeffs[i], section.targetCoeffs[i]));
}

TEST(SZBaseSection, StereoCallStepsOnceAndKeepsChannelsApart)
{
    SZBase2x stereo, monoLeft, monoRight;
    for (SZBase2x* s : {&stereo, &monoLeft, &monoRight})
    {
        s->setCoeffs(highShelfDen, highShelfNum);
        s->setCoeffs(lowPassDen, lowPassNum);
    }
    const std::vector<double> left = noise(500, 5);
    const std::vector<double> right = noise(500, 6);
    for (size_t n = 0; n < left.size(); ++n)
    {
        double l = left[n], r = right[n];
        double ml = left[n], mr = right[n];
        stereo.process(l, r);
        monoLeft.process(ml);
        monoRight.process(mr);
        ASSERT_TRUE(sameBits(l, ml));
        ASSERT_TRUE(sameBits(r, mr));
    }
    EXPECT_EQ(stereo.rampCounter, 500);
    EXPECT_EQ(stereo.historyL[0], left.back());
    EXPECT_EQ(stereo.historyR[0], right.back());
}

TEST(SZBaseSection, DenormalGuardKeepsDecayOutOfSubnormals)
{
    // One pole at 0.5: without the guard an impulse decays through the subnormal range; with it
    // the decay settles on the guard's grain (about 1.5e-36) instead.
    SZBase2x section;
    double den[3] = {1.0, 3.0 / (2.0 * 44100.0), 0.0};
    double num[3] = {1.0, 0.0, 0.0};
    section.setCoeffs(den, num);
    double x = 1e-30;
    section.process(x);
    EXPECT_NE(x, 0.0);
    for (int n = 0; n < 2000; ++n)
    {
        double s = 0.0;
        section.process(s);
        ASSERT_NE(std::fpclassify(s), FP_SUBNORMAL) << n;
    }
    EXPECT_LE(std::fabs(section.historyL[2]), 2e-36);
}

TEST(SZBaseSection, ResetBufferKeepsTheDesign)
{
    SZBase2x section;
    section.setCoeffs(highShelfDen, highShelfNum);
    double s = 1.0;
    section.process(s);
    section.resetBuffer();
    for (int i = 0; i < SZBase2x::historySize; ++i)
    {
        EXPECT_EQ(section.historyL[i], 0.0);
        EXPECT_EQ(section.historyR[i], 0.0);
    }
    s = 1.0;
    section.process(s);
    EXPECT_EQ(s, section.targetCoeffs[3]);
}

TEST(SZBaseSection, RampLengthFollowsRateBands)
{
    const struct
    {
        float rate;
        int32_t length;
    } rows[] = {{33999.0f, 1024}, {34050.0f, 2048}, {67999.0f, 2048}, {68000.0f, 4096},
                {135999.0f, 4096}, {136000.0f, 8192}, {384000.0f, 8192}};
    for (const auto& row : rows)
    {
        SZBase2x second;
        SZBase5x fifth;
        second.setSampleRate(row.rate);
        fifth.setSampleRate(row.rate);
        EXPECT_EQ(second.sampleRate, row.rate);
        EXPECT_EQ(second.rampLength, row.length) << row.rate;
        EXPECT_EQ(fifth.rampLength, row.length) << row.rate;
        EXPECT_EQ(second.rampLengthDouble, static_cast<double>(row.length));
        EXPECT_EQ(fifth.rampLengthDouble, static_cast<double>(row.length));
    }
}
