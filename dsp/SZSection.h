#pragma once

#include "dsp/SZBase.h"

#include <cstdint>

// The analog-prototype section machinery of a given order, shared by SZBase2x and SZBase5x:
// bilinear transform into normalised targets, linear coefficient glide and direct form I in
// double precision. The fields are read directly by the two-lane kernel, so their layout is fixed.
template <int Order>
class SZSection : public SZBase
{
public:
    static constexpr int order = Order;
    static constexpr int numCoeffs = 2 * order + 2;
    static constexpr int historySize = 2 * order;

    SZSection();

    void setSampleRate(float newSampleRate) override { setRateAndBaseRamp(newSampleRate, 1024); }
    void resetBuffer() override;
    void resetCoeffs() override;
    void process(double& sample) override;
    void process(double& left, double& right) override;
    void preCalc() override {}
    void setCoeffs(double* den, double* num) override;

    double targetCoeffs[numCoeffs];  // a0..aN (a0 = normaliser), b0..bN
    double currentCoeffs[numCoeffs]; // in use; a0 not read
    double stepCoeffs[numCoeffs];    // per-sample glide increment; a0 not read
    double historyL[historySize];    // x[n-1]..x[n-N], y[n-1]..y[n-N]
    double historyR[historySize];
    int16_t rampCounter;
    bool firstCalc;
    int32_t rampLength;
    double rampLengthDouble;

protected:
    void setRampLength(int32_t length);
    // Stores the rate and picks the glide length for it from `shortest` (see rampLengthForRate).
    void setRateAndBaseRamp(float newSampleRate, int32_t shortest);
    // One glide step; true on the call at which the glide lands exactly on its targets.
    bool advanceGlide();
    // Direct form I with the coefficients in use; returns y and shifts `history`.
    double filter(double x, double* history) const;
};

template <int Order>
SZSection<Order>::SZSection()
{
    sampleRate = 44100.0f;
    setRampLength(2048);
    resetBuffer();
    resetCoeffs();
}

template <int Order>
void SZSection<Order>::setRampLength(int32_t length)
{
    rampLength = length;
    rampLengthDouble = static_cast<double>(length);
}

template <int Order>
void SZSection<Order>::setRateAndBaseRamp(float newSampleRate, int32_t shortest)
{
    sampleRate = newSampleRate;
    setRampLength(rampLengthForRate(newSampleRate, shortest));
}

template <int Order>
void SZSection<Order>::resetBuffer()
{
    for (int i = 0; i < historySize; ++i)
    {
        historyL[i] = 0.0;
        historyR[i] = 0.0;
    }
}

template <int Order>
void SZSection<Order>::resetCoeffs()
{
    firstCalc = true;
    rampCounter = 0;
    for (int i = 0; i < numCoeffs; ++i)
    {
        targetCoeffs[i] = 0.0;
        currentCoeffs[i] = 0.0;
        stepCoeffs[i] = 0.0;
    }
    targetCoeffs[0] = 1.0;
    currentCoeffs[0] = 1.0;
    stepCoeffs[0] = 1.0;
}

template <int Order>
void SZSection<Order>::setCoeffs(double* den, double* num)
{
    const double fs = static_cast<double>(sampleRate);
    const double a0 = s_to_z(den, order, 0, fs);
    targetCoeffs[0] = a0;
    for (int k = 1; k <= order; ++k)
        targetCoeffs[k] = s_to_z(den, order, k, fs) / a0;
    for (int k = 0; k <= order; ++k)
        targetCoeffs[order + 1 + k] = s_to_z(num, order, k, fs) / a0;

    if (firstCalc)
    {
        for (int i = 1; i < numCoeffs; ++i)
            currentCoeffs[i] = targetCoeffs[i];
        firstCalc = false;
    }

    const double stepScale = 1.0 / rampLengthDouble;
    for (int i = 0; i < numCoeffs; ++i)
        stepCoeffs[i] = (targetCoeffs[i] - currentCoeffs[i]) * stepScale;
    rampCounter = 0;
}

template <int Order>
inline bool SZSection<Order>::advanceGlide()
{
    if (rampCounter >= rampLength)
        return false;
    ++rampCounter;
    for (int i = 1; i < numCoeffs; ++i)
        currentCoeffs[i] += stepCoeffs[i];
    if (rampCounter != rampLength)
        return false;
    // Land on the targets themselves, not on the accumulated steps.
    for (int i = 1; i < numCoeffs; ++i)
        currentCoeffs[i] = targetCoeffs[i];
    return true;
}

template <int Order>
inline double SZSection<Order>::filter(double x, double* history) const
{
    const double* a = currentCoeffs;             // a[1..N]
    const double* b = currentCoeffs + order + 1; // b[0..N]
    const double* xs = history;                  // x[n-1]..x[n-N]
    const double* ys = history + order;          // y[n-1]..y[n-N]
    // The feed-forward sum runs from the oldest input towards b0 x, the feedback from the oldest
    // output towards y[n-1]; this order is part of the filter's exact output.
    double feedForward = b[order] * xs[order - 1];
#pragma GCC unroll 8
    for (int k = order - 1; k >= 1; --k)
        feedForward = b[k] * xs[k - 1] + feedForward;
    double y = b[0] * x + feedForward;
#pragma GCC unroll 8
    for (int k = order; k >= 1; --k)
        y = y - a[k] * ys[k - 1];
    // Two separate additions keep decaying feedback out of subnormal numbers.
    y += -1e-20;
    y += 1e-20;
#pragma GCC unroll 8
    for (int k = order - 1; k >= 1; --k)
    {
        history[k] = history[k - 1];
        history[order + k] = history[order + k - 1];
    }
    history[0] = x;
    history[order] = y;
    return y;
}

template <int Order>
inline void SZSection<Order>::process(double& sample)
{
    advanceGlide();
    sample = filter(sample, historyL);
}

template <int Order>
inline void SZSection<Order>::process(double& left, double& right)
{
    advanceGlide();
    left = filter(left, historyL);
    right = filter(right, historyR);
}
