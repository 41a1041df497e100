#include "dsp/HolvanDrelk.h"

#include "DspTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <utility>
#include <vector>

namespace
{
using dsptest::Complex;
using dsptest::digitalResponse;
using dsptest::pi;

struct Settings
{
    float lowFreq = 0.0f;
    float lowBoost = 0.0f;
    float lowAtten = 0.0f;
    float highBoostFreq = 0.0f;
    float highBoost = 0.0f;
    float highBoostBandwidth = 0.0f;
    float highAttenFreq = 0.0f;
    float highAtten = 0.0f;
};

Settings allAmounts(float amount, float lowFreq = 0.0f, float highBoostFreq = 0.0f, float highAttenFreq = 0.0f)
{
    return {lowFreq, amount, amount, highBoostFreq, amount, amount, highAttenFreq, amount};
}

void apply(HolvanDrelk& eq, float rate, const Settings& s)
{
    eq.setSampleRate(rate);
    eq.setLowFreq(s.lowFreq);
    eq.setLowBoost(s.lowBoost);
    eq.setLowAtten(s.lowAtten);
    eq.setHighBoostFreq(s.highBoostFreq);
    eq.setHighBoost(s.highBoost);
    eq.setHighBoostBandwidth(s.highBoostBandwidth);
    eq.setHighAttenFreq(s.highAttenFreq);
    eq.setHighAtten(s.highAtten);
}

struct Polynomials
{
    double den[6];
    double num[6];
};

Polynomials polynomialsFor(const HolvanDrelk::ComponentValues& c)
{
    Polynomials p;
    HolvanDrelk::transferPolynomials(c, p.den, p.num);
    return p;
}

Polynomials polynomialsFor(float rate, const Settings& s)
{
    HolvanDrelk eq;
    apply(eq, rate, s);
    return polynomialsFor(eq.componentValues());
}

Complex analogResponse(const Polynomials& p, Complex s)
{
    return dsptest::polynomialAt(p.num, 6, s) / dsptest::polynomialAt(p.den, 6, s);
}

double decibels(Complex h)
{
    return 20.0 * std::log10(std::abs(h));
}

// V(OUT)/V(IN) solved directly from the circuit's node equations (nodes W1, A, W2, B, OUT; the
// input is held at 1 V), independent of how the polynomials were derived.
Complex nodalResponse(const HolvanDrelk::ComponentValues& c, Complex s)
{
    enum { W1, A, W2, B, OUT, nodes };
    constexpr int IN = -1, GND = -2;
    Complex y[nodes][nodes] = {};
    Complex rhs[nodes] = {};
    auto branch = [&](int from, int to, Complex admittance) {
        for (auto [node, other] : {std::pair{from, to}, std::pair{to, from}})
        {
            if (node < 0)
                continue;
            y[node][node] += admittance;
            if (other >= 0)
                y[node][other] -= admittance;
            else if (other == IN)
                rhs[node] += admittance;
        }
    };
    branch(IN, W1, 1.0 / c.Rhb1);
    branch(W1, A, 1.0 / c.Rhb2 + 1.0 / (c.Rbw + s * c.Lhb + 1.0 / (s * c.Chb)));
    branch(A, W2, 1.0 / c.Rha1);
    branch(W2, B, 1.0 / c.Rha2 + 1.0 / (75.0 + 1.0 / (s * c.Cha)));
    branch(A, OUT, 1.0 / (1000.0 + c.Rla / (1.0 + s * c.Rla * c.Cla)));
    branch(OUT, B, Complex(1.0 / 10000.0));
    branch(B, GND, 1.0 / c.Rlb + s * c.Clb);

    for (int col = 0; col < nodes; ++col)
    {
        int pivot = col;
        for (int row = col + 1; row < nodes; ++row)
            if (std::abs(y[row][col]) > std::abs(y[pivot][col]))
                pivot = row;
        std::swap(y[col], y[pivot]);
        std::swap(rhs[col], rhs[pivot]);
        for (int row = col + 1; row < nodes; ++row)
        {
            const Complex factor = y[row][col] / y[col][col];
            for (int k = col; k < nodes; ++k)
                y[row][k] -= factor * y[col][k];
            rhs[row] -= factor * rhs[col];
        }
    }
    Complex v[nodes];
    for (int row = nodes - 1; row >= 0; --row)
    {
        Complex sum = rhs[row];
        for (int k = row + 1; k < nodes; ++k)
            sum -= y[row][k] * v[k];
        v[row] = sum / y[row][row];
    }
    return v[OUT];
}

// Half a unit in the seventh significant digit of `printed`.
double sevenDigitTolerance(double printed)
{
    return 0.5 * std::pow(10.0, std::floor(std::log10(std::abs(printed))) - 6.0);
}

const std::vector<float> kRates = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f};
const std::vector<double> kProbeFrequencies = {5.0, 31.0, 120.0, 700.0, 2900.0, 7700.0, 15000.0, 31000.0};
} // namespace

TEST(HolvanDrelkNetwork, PolynomialsAgreeWithNodalAnalysisOfTheCircuit)
{
    // Amounts strictly inside 0..1 so that no branch is a short circuit for the nodal solver.
    const Settings cases[] = {
        {0.0f, 0.3f, 0.7f, 0.0f, 0.6f, 0.2f, 0.0f, 0.4f},
        {0.4f, 0.9f, 0.1f, 0.5f, 0.95f, 0.8f, 0.6f, 0.9f},
        {1.0f, 0.05f, 0.5f, 1.0f, 0.1f, 1.0f, 1.0f, 0.05f},
    };
    for (const Settings& s : cases)
    {
        HolvanDrelk eq;
        apply(eq, 96000.0f, s);
        const HolvanDrelk::ComponentValues c = eq.componentValues();
        const Polynomials p = polynomialsFor(c);
        for (double f : kProbeFrequencies)
        {
            const Complex jw(0.0, 2.0 * pi * f);
            const Complex expected = nodalResponse(c, jw);
            EXPECT_NEAR(std::abs(analogResponse(p, jw) - expected) / std::abs(expected), 0.0, 1e-9)
                << "at " << f << " Hz, lowBoost " << s.lowBoost;
        }
    }
}

TEST(HolvanDrelkNetwork, MidSettingsAtTwice44100MatchReferenceFigures)
{
    HolvanDrelk eq;
    apply(eq, 88200.0f, allAmounts(0.5f));
    const HolvanDrelk::ComponentValues c = eq.componentValues();
    EXPECT_EQ(c.Rlb, static_cast<double>(1000.9000244f));
    EXPECT_EQ(c.Rla, 10009.0);
    EXPECT_EQ(c.Rhb1, 5000.0);
    EXPECT_EQ(c.Rhb2, 5000.0);
    EXPECT_EQ(c.Rbw, 1150.0);
    EXPECT_EQ(c.Rha1, 500.0);
    EXPECT_EQ(c.Rha2, 500.0);
    EXPECT_EQ(c.Chb, 1.034 * 1.5e-8);
    EXPECT_EQ(c.Lhb, 1.034 * 0.175);

    const Polynomials p = polynomialsFor(c);
    const double den[6] = {2.631278e8, 7.120940e5, 386.3804, 4.564972e-2, 2.321267e-6, 6.501728e-11};
    const double num[6] = {3.202881e7, 4.945548e4, 29.11618, 3.551194e-3, 1.715279e-7, 3.015429e-12};
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_NEAR(p.den[i], den[i], sevenDigitTolerance(den[i])) << "den[" << i << "]";
        EXPECT_NEAR(p.num[i], num[i], sevenDigitTolerance(num[i])) << "num[" << i << "]";
    }
}

TEST(HolvanDrelkComponents, ResistancesAreSinglePrecisionResultsWidenedAfterwards)
{
    // 0.3 is not a binary fraction, so a resistance worked out in double precision would differ.
    HolvanDrelk eq;
    apply(eq, 44100.0f, allAmounts(0.3f));
    const HolvanDrelk::ComponentValues c = eq.componentValues();
    const float taper = (std::pow(81.0f, 0.3f) - 1.0f) * 0.0125f;
    EXPECT_EQ(c.Rlb, static_cast<double>(taper * 9999.0f + 1.0f));
    EXPECT_EQ(c.Rla, static_cast<double>(taper * 99990.0f + 10.0f));
    EXPECT_EQ(c.Rhb1, static_cast<double>((1.0f - 0.3f) * 10000.0f));
    EXPECT_EQ(c.Rhb2, static_cast<double>(0.3f * 10000.0f));
    EXPECT_EQ(c.Rbw, static_cast<double>(0.3f * 2100.0f + 100.0f));
    EXPECT_EQ(c.Rha1, static_cast<double>((1.0f - 0.3f) * 1000.0f));
    EXPECT_EQ(c.Rha2, static_cast<double>(0.3f * 1000.0f));
    EXPECT_NE(c.Rhb1, (1.0 - 0.3f) * 10000.0);
}

TEST(HolvanDrelkNetwork, ExtremeAmountsGiveExactIntegerDcTermsAtAnySelectorAndRate)
{
    for (float rate : kRates)
    {
        for (float selector : {0.0f, 0.4f, 1.0f})
        {
            const Polynomials neutral = polynomialsFor(rate, allAmounts(0.0f, selector, selector, selector));
            // Rlb 1, Rla 10, Rhb 10000, Rha 1000 in the same two sums.
            EXPECT_EQ(neutral.den[0], 131122010.0);
            EXPECT_EQ(neutral.num[0], 10012010.0);
            EXPECT_NEAR(neutral.num[0] / neutral.den[0], 0.0763564, 5e-8);

            const Polynomials full = polynomialsFor(rate, allAmounts(1.0f, selector, selector, selector));
            // Rlb 10000, Rla 100000: (Rhb + Rlb)(Rha + Rla + 11000) + Rha (Rla + 11000) and
            // Rha (Rlb + 10000) + Rlb (Rla + 11000).
            EXPECT_EQ(full.den[0], 2351000000.0);
            EXPECT_EQ(full.num[0], 1130000000.0);
        }
    }
}

TEST(HolvanDrelkNetwork, ShortedBranchesCancelOutOfTheResponse)
{
    // With no high boost the resonant branch is shorted: its frequency, width and the rate's
    // retuning must leave no trace.
    Settings noBoost = allAmounts(0.6f);
    noBoost.highBoost = 0.0f;
    const Polynomials reference = polynomialsFor(44100.0f, noBoost);
    Settings otherResonance = noBoost;
    otherResonance.highBoostFreq = 1.0f;
    otherResonance.highBoostBandwidth = 0.0f;
    const Polynomials retuned = polynomialsFor(192000.0f, otherResonance);

    // With no high attenuation the 75-ohm branch is shorted: its capacitor must leave no trace.
    Settings noAtten = allAmounts(0.6f);
    noAtten.highAtten = 0.0f;
    const Polynomials attenReference = polynomialsFor(44100.0f, noAtten);
    noAtten.highAttenFreq = 1.0f;
    const Polynomials attenOther = polynomialsFor(44100.0f, noAtten);

    for (double f : kProbeFrequencies)
    {
        const Complex s(0.0, 2.0 * pi * f);
        const Complex h = analogResponse(reference, s);
        EXPECT_NEAR(std::abs(analogResponse(retuned, s) - h) / std::abs(h), 0.0, 1e-12) << f << " Hz";
        const Complex ha = analogResponse(attenReference, s);
        EXPECT_NEAR(std::abs(analogResponse(attenOther, s) - ha) / std::abs(ha), 0.0, 1e-12) << f << " Hz";
    }
}

TEST(HolvanDrelkComponents, SelectorsPickTheirPositionsAndTheHigherOneBetweenThem)
{
    HolvanDrelk eq;
    const double clb[] = {2.2e-6, 1e-6, 4.7e-7, 3.3e-7};
    const double cla[] = {1e-7, 4.7e-8, 2.2e-8, 1.5e-8};
    for (int position = 0; position < 4; ++position)
    {
        eq.setLowFreq(static_cast<float>(position) / 3.0f);
        EXPECT_EQ(eq.componentValues().Clb, clb[position]);
        EXPECT_EQ(eq.componentValues().Cla, cla[position]);
    }
    eq.setLowFreq(0.5f);
    EXPECT_EQ(eq.componentValues().Clb, 4.7e-7);

    const double cha[] = {1.5e-7, 9.4e-8, 4.7e-8};
    for (int position = 0; position < 3; ++position)
    {
        eq.setHighAttenFreq(static_cast<float>(position) / 2.0f);
        EXPECT_EQ(eq.componentValues().Cha, cha[position]);
    }
    eq.setHighAttenFreq(0.51f);
    EXPECT_EQ(eq.componentValues().Cha, 4.7e-8);

    // At 44100 Hz, first row of the resonance retuning.
    const double lhb[] = {1.022 * 0.175, 1.002 * 0.1, 1.016 * 0.09, 0.986 * 0.047,
                          0.844 * 0.035, 0.79 * 0.023, 0.652 * 0.019};
    const double chb[] = {1.022 * 1.5e-8, 1.002 * 1.5e-8, 1.016 * 1e-8, 0.986 * 6.8e-9,
                          0.844 * 6.8e-9, 0.79 * 6.8e-9, 0.652 * 3.3e-9};
    for (int position = 0; position < 7; ++position)
    {
        eq.setHighBoostFreq(static_cast<float>(position) / 6.0f);
        EXPECT_EQ(eq.componentValues().Lhb, lhb[position]) << position;
        EXPECT_EQ(eq.componentValues().Chb, chb[position]) << position;
    }
    const std::pair<float, int> boundaries[] = {
        {-0.5f, 0}, {0.1f, 1}, {0.16666667f, 1}, {std::nextafter(0.16666667f, 1.0f), 2}, {0.9f, 6}};
    for (auto [value, position] : boundaries)
    {
        eq.setHighBoostFreq(value);
        EXPECT_EQ(eq.componentValues().Lhb, lhb[position]) << value;
    }
}

TEST(HolvanDrelkComponents, ResonanceRetuningFollowsTheRateBandsAndNothingElseDoes)
{
    // Position 6 (16 kHz) has a distinct factor in every band.
    const std::pair<float, double> bands[] = {
        {46000.0f, 0.652}, {68100.0f, 0.764}, {92100.0f, 1.116}, {136200.0f, 1.138}, {184200.0f, 1.22}};
    HolvanDrelk eq;
    eq.setHighBoostFreq(1.0f);
    eq.setLowFreq(0.4f);
    eq.setHighAttenFreq(0.6f);
    const double nextBand[] = {0.764, 1.116, 1.138, 1.22, 1.229};
    for (int band = 0; band < 5; ++band)
    {
        const float top = bands[band].first;
        eq.setSampleRate(top);
        EXPECT_EQ(eq.componentValues().Lhb, bands[band].second * 0.019) << top;
        eq.setSampleRate(std::nextafter(top, 1e9f));
        const HolvanDrelk::ComponentValues above = eq.componentValues();
        EXPECT_EQ(above.Lhb, nextBand[band] * 0.019) << top;
        EXPECT_EQ(above.Chb, nextBand[band] * 3.3e-9) << top;
        EXPECT_EQ(above.Clb, 4.7e-7);
        EXPECT_EQ(above.Cla, 2.2e-8);
        EXPECT_EQ(above.Cha, 4.7e-8);
    }
}

TEST(HolvanDrelkSettings, SettersClampAndLeaveTheFilterAloneUntilCalc)
{
    HolvanDrelk eq;
    apply(eq, 44100.0f, allAmounts(0.5f));
    eq.calc();
    double before[SZBase5x::numCoeffs];
    std::copy(eq.targetCoeffs, eq.targetCoeffs + SZBase5x::numCoeffs, before);

    eq.setLowBoost(1.5f);
    eq.setHighAtten(-0.2f);
    eq.setHighBoost(std::numeric_limits<float>::quiet_NaN());
    eq.setSampleRate(192000.0f);
    EXPECT_EQ(eq.lowBoost, 1.0f);
    EXPECT_EQ(eq.highAtten, 0.0f);
    EXPECT_GE(eq.highBoost, 0.0f);
    EXPECT_LE(eq.highBoost, 1.0f);
    for (int i = 0; i < SZBase5x::numCoeffs; ++i)
        EXPECT_EQ(eq.targetCoeffs[i], before[i]) << i;

    eq.calc();
    EXPECT_NE(eq.targetCoeffs[6], before[6]);
    for (int i = 0; i < SZBase5x::numCoeffs; ++i)
        EXPECT_TRUE(std::isfinite(eq.targetCoeffs[i])) << i;
}

TEST(HolvanDrelkSettings, GlideLengthIsTheShortSetAndAGlideLandsAfterIt)
{
    const std::pair<float, int> lengths[] = {
        {33999.0f, 32}, {34050.0f, 64}, {67999.0f, 64}, {68000.0f, 128}, {135999.0f, 128}, {136000.0f, 256}};
    for (auto [rate, length] : lengths)
    {
        HolvanDrelk eq;
        eq.setSampleRate(rate);
        EXPECT_EQ(eq.rampLength, length) << rate;
        EXPECT_EQ(eq.rampLengthDouble, static_cast<double>(length)) << rate;
    }

    HolvanDrelk eq;
    apply(eq, 88200.0f, allAmounts(0.0f));
    eq.calc();
    eq.setLowBoost(1.0f);
    eq.calc();
    double sample = 0.0;
    for (int n = 0; n < 127; ++n)
        eq.process(sample);
    EXPECT_NE(eq.currentCoeffs[1], eq.targetCoeffs[1]);
    eq.process(sample);
    for (int i = 1; i < SZBase5x::numCoeffs; ++i)
        EXPECT_EQ(eq.currentCoeffs[i], eq.targetCoeffs[i]) << i;
}

TEST(HolvanDrelkFilter, DigitalResponseFollowsTheAnalogNetwork)
{
    const Settings cases[] = {allAmounts(0.5f), {0.3f, 1.0f, 0.2f, 0.5f, 1.0f, 0.0f, 0.5f, 0.7f}};
    for (float rate : {44100.0f, 88200.0f, 192000.0f})
    {
        for (const Settings& s : cases)
        {
            HolvanDrelk eq;
            apply(eq, rate, s);
            eq.calc();
            const Polynomials p = polynomialsFor(eq.componentValues());
            // Well below Nyquist the unwarped analog response holds to a few thousandths of a dB.
            for (double f : {10.0, 30.0, 100.0, 300.0, 1000.0})
            {
                const double error = decibels(digitalResponse<5>(eq.targetCoeffs, f, rate))
                                     - decibels(analogResponse(p, Complex(0.0, 2.0 * pi * f)));
                EXPECT_NEAR(error, 0.0, 0.005) << f << " Hz at " << rate;
            }
            // Up to near Nyquist it is the analog response at the bilinear transform's warped frequency.
            for (double fraction : {0.05, 0.2, 0.35, 0.45})
            {
                const double f = fraction * rate;
                const double warped = 2.0 * rate * std::tan(pi * f / rate);
                const Complex expected = analogResponse(p, Complex(0.0, warped));
                EXPECT_NEAR(std::abs(digitalResponse<5>(eq.targetCoeffs, f, rate) - expected) / std::abs(expected),
                            0.0, 1e-7)
                    << fraction << " of " << rate;
            }
        }
    }
}

TEST(HolvanDrelkFilter, RunningFilterSettlesOnTheNetworkDcGainInMonoAndStereo)
{
    HolvanDrelk eq;
    apply(eq, 44100.0f, allAmounts(0.0f));
    eq.calc();
    const double expected = 10012010.0 / 131122010.0;
    double mono = 0.0;
    double left = 0.0;
    double right = 0.0;
    HolvanDrelk stereo;
    apply(stereo, 44100.0f, allAmounts(0.0f));
    stereo.calc();
    for (int n = 0; n < 44100; ++n)
    {
        mono = 1.0;
        eq.process(mono);
        left = 1.0;
        right = -0.5;
        stereo.process(left, right);
    }
    EXPECT_NEAR(mono, expected, 1e-9);
    EXPECT_NEAR(left, expected, 1e-9);
    EXPECT_NEAR(right, -0.5 * expected, 1e-9);
    EXPECT_NEAR(20.0 * std::log10(mono), -22.34, 0.005);
}

TEST(HolvanDrelkFilter, HighBoostPeaksNearItsLabelledFrequency)
{
    // The per-rate retuning of the resonant branch exists to put the digital peak on the label.
    const double labels[] = {3000.0, 4000.0, 5000.0, 8000.0, 10000.0, 12000.0, 16000.0};
    for (float rate : kRates)
    {
        for (int position = 0; position < 7; ++position)
        {
            Settings s = allAmounts(0.0f);
            s.highBoost = 1.0f;
            s.highBoostFreq = static_cast<float>(position) / 6.0f;
            HolvanDrelk eq;
            apply(eq, rate, s);
            eq.calc();
            double peakFrequency = 0.0;
            double peakGain = -1e9;
            for (double f = 1000.0; f < 0.45 * rate && f < 30000.0; f *= 1.002)
            {
                const double gain = decibels(digitalResponse<5>(eq.targetCoeffs, f, rate));
                if (gain > peakGain)
                {
                    peakGain = gain;
                    peakFrequency = f;
                }
            }
            EXPECT_NEAR(peakFrequency / labels[position], 1.0, 0.025) << position << " at " << rate;
        }
    }
}
