#include "dsp/HolvanDrelk.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kCoeffCount = HolvanDrelk::order + 1;

// A polynomial in s of degree at most five, coefficient i multiplying s^i.
struct Poly
{
    double c[kCoeffCount] = {};
};

Poly operator+(const Poly& a, const Poly& b)
{
    Poly sum;
    for (int i = 0; i < kCoeffCount; ++i)
        sum.c[i] = a.c[i] + b.c[i];
    return sum;
}

Poly operator*(double factor, const Poly& a)
{
    Poly scaled;
    for (int i = 0; i < kCoeffCount; ++i)
        scaled.c[i] = factor * a.c[i];
    return scaled;
}

// Truncated at s^5: no product formed by this network goes beyond it.
Poly operator*(const Poly& a, const Poly& b)
{
    Poly product;
    for (int i = 0; i < kCoeffCount; ++i)
        for (int j = 0; i + j < kCoeffCount; ++j)
            product.c[i + j] += a.c[i] * b.c[j];
    return product;
}

float clampUnit(float value)
{
    // Minimum first: a NaN then ends up at the top of the range instead of inside the network.
    return std::max(0.0f, std::min(1.0f, value));
}

// First position whose threshold the value does not exceed, else the last position.
int selectorPosition(float value, const float* thresholds, int positionCount)
{
    for (int position = 0; position < positionCount - 1; ++position)
        if (value <= thresholds[position])
            return position;
    return positionCount - 1;
}

// Logarithmic pot law in single precision: 0 at 0, 0.1 at 0.5, 1 at 1 (81^0.5 = 9).
float audioTaper(float amount)
{
    return (std::pow(81.0f, amount) - 1.0f) * 0.0125f;
}

constexpr float kLowFreqThresholds[] = {0.0f, 0.33333334f, 0.6666667f};
constexpr float kHighBoostFreqThresholds[] = {0.0f, 0.16666667f, 0.33333334f, 0.5f, 0.6666667f, 0.8333333f};
constexpr float kHighAttenFreqThresholds[] = {0.0f, 0.5f};

// Per 20, 30, 60, 100 Hz: the capacitors across Rlb and across Rla.
constexpr double kClb[] = {2.2e-6, 1e-6, 4.7e-7, 3.3e-7};
constexpr double kCla[] = {1e-7, 4.7e-8, 2.2e-8, 1.5e-8};

// Per 5, 10, 20 kHz.
constexpr double kCha[] = {1.5e-7, 9.4e-8, 4.7e-8};

// Per 3, 4, 5, 8, 10, 12, 16 kHz: the resonant branch before the rate correction.
constexpr double kCbase[] = {1.5e-8, 1.5e-8, 1e-8, 6.8e-9, 6.8e-9, 6.8e-9, 3.3e-9};
constexpr double kLbase[] = {0.175, 0.1, 0.09, 0.047, 0.035, 0.023, 0.019};

// The bilinear transform is not prewarped: instead the resonance is retuned per rate band so the
// boost peaks where its label says. Rows are rate bands, columns high-boost positions.
constexpr double kResonanceScale[6][7] = {
    {1.022, 1.002, 1.016, 0.986, 0.844, 0.79, 0.652},
    {1.026, 1.004, 1.022, 1.004, 0.878, 0.836, 0.764},
    {1.034, 1.022, 1.05, 1.088, 0.99, 0.992, 1.116},
    {1.036, 1.018, 1.052, 1.09, 1.0, 1.006, 1.138},
    {1.036, 1.018, 1.052, 1.11, 1.02, 1.032, 1.22},
    {1.036, 1.018, 1.052, 1.11, 1.02, 1.038, 1.229},
};

constexpr float kRateBandTops[] = {46000.0f, 68100.0f, 92100.0f, 136200.0f, 184200.0f};

// Fixed resistors of the output chain: 1000 ohms into OUT, 10000 ohms from OUT down to B.
constexpr double kSeriesOut = 1000.0;
constexpr double kShuntOut = 10000.0;
constexpr double kOutputChain = kSeriesOut + kShuntOut;
constexpr double kHighAttenSeries = 75.0;
} // namespace

void HolvanDrelk::setSampleRate(float newSampleRate)
{
    // Far shorter glides than the base: the owner already feeds amount changes in block-sized steps,
    // each followed by calc().
    setRateAndBaseRamp(newSampleRate, 32);
}

void HolvanDrelk::calc()
{
    preCalc();
    double den[kCoeffCount];
    double num[kCoeffCount];
    transferPolynomials(componentValues(), den, num);
    setCoeffs(den, num);
}

void HolvanDrelk::setLowFreq(float value) { lowFreq = clampUnit(value); }
void HolvanDrelk::setLowBoost(float value) { lowBoost = clampUnit(value); }
void HolvanDrelk::setLowAtten(float value) { lowAtten = clampUnit(value); }
void HolvanDrelk::setHighBoostFreq(float value) { highBoostFreq = clampUnit(value); }
void HolvanDrelk::setHighBoost(float value) { highBoost = clampUnit(value); }
void HolvanDrelk::setHighBoostBandwidth(float value) { highBoostBandwidth = clampUnit(value); }
void HolvanDrelk::setHighAttenFreq(float value) { highAttenFreq = clampUnit(value); }
void HolvanDrelk::setHighAtten(float value) { highAtten = clampUnit(value); }

HolvanDrelk::ComponentValues HolvanDrelk::componentValues() const
{
    ComponentValues c;
    // Each resistance is evaluated in single precision and only then widened.
    c.Rlb = audioTaper(lowBoost) * 9999.0f + 1.0f;
    c.Rla = audioTaper(lowAtten) * 99990.0f + 10.0f;
    c.Rhb1 = (1.0f - highBoost) * 10000.0f;
    c.Rhb2 = highBoost * 10000.0f;
    c.Rbw = highBoostBandwidth * 2100.0f + 100.0f;
    c.Rha1 = (1.0f - highAtten) * 1000.0f;
    c.Rha2 = highAtten * 1000.0f;

    c.Cha = kCha[highAttenFreqPosition(highAttenFreq)];

    const int boostPosition = highBoostFreqPosition(highBoostFreq);
    const double scale = kResonanceScale[rateBand(sampleRate)][boostPosition];
    c.Chb = scale * kCbase[boostPosition];
    c.Lhb = scale * kLbase[boostPosition];

    const int lowPosition = lowFreqPosition(lowFreq);
    c.Clb = kClb[lowPosition];
    c.Cla = kCla[lowPosition];
    return c;
}

// Four arms, each an impedance N/D: the input arm IN-A (Zhb), the high-attenuation branch A-B (Zha),
// the output chain A-OUT-B (Zla) and the low-boost arm B-ground (Zlb). With an ideal source and no
// load, H = (Zlb (Zha + Zla) + 10000 Zha) / ((Zhb + Zlb)(Zha + Zla) + Zha Zla); both sides are
// multiplied by Dhb Dha Dla Dlb so that only sums of products of element values remain.
void HolvanDrelk::transferPolynomials(const ComponentValues& c, double den[order + 1], double num[order + 1])
{
    const Poly one{{1.0}};
    const Poly Dhb{{1.0, c.Chb * (c.Rbw + c.Rhb2), c.Lhb * c.Chb}};
    const Poly resonantBranchShunted{{1.0, c.Chb * c.Rbw, c.Lhb * c.Chb}};
    const Poly Nhb = c.Rhb1 * Dhb + c.Rhb2 * resonantBranchShunted;

    const Poly Dha{{1.0, c.Cha * (kHighAttenSeries + c.Rha2)}};
    const Poly Nha = c.Rha1 * Dha + c.Rha2 * Poly{{1.0, kHighAttenSeries * c.Cha}};

    const Poly Dla{{1.0, c.Rla * c.Cla}};
    const Poly Nla = kOutputChain * Dla + c.Rla * one;

    const Poly Dlb{{1.0, c.Rlb * c.Clb}};
    const Poly Nlb = c.Rlb * one;

    const Poly middleBranches = Nha * Dla + Nla * Dha;
    const Poly numerator = Dhb * (Nlb * middleBranches + kShuntOut * (Nha * (Dlb * Dla)));
    const Poly denominator = (Nhb * Dlb + Nlb * Dhb) * middleBranches + (Nha * Nla) * (Dhb * Dlb);

    for (int i = 0; i <= order; ++i)
    {
        den[i] = denominator.c[i];
        num[i] = numerator.c[i];
    }
}

int HolvanDrelk::lowFreqPosition(float value)
{
    return selectorPosition(value, kLowFreqThresholds, 4);
}

int HolvanDrelk::highBoostFreqPosition(float value)
{
    return selectorPosition(value, kHighBoostFreqThresholds, 7);
}

int HolvanDrelk::highAttenFreqPosition(float value)
{
    return selectorPosition(value, kHighAttenFreqThresholds, 3);
}

int HolvanDrelk::rateBand(float rate)
{
    int band = 0;
    for (float top : kRateBandTops)
        if (rate > top)
            ++band;
    return band;
}
