#pragma once

#include "dsp/SZBase.h"

#include <cstdint>

// Fifth-order analog-prototype section: bilinear transform, linear coefficient glide and
// direct form I filtering in double precision.
class SZBase5x : public SZBase
{
public:
    static constexpr int order = 5;
    static constexpr int numCoeffs = 2 * order + 2;
    static constexpr int historySize = 2 * order;

    SZBase5x();

    void setSampleRate(float newSampleRate) override;
    void resetBuffer() override;
    void resetCoeffs() override;
    void process(double& sample) override;
    void process(double& left, double& right) override;
    void preCalc() override {}
    void setCoeffs(double* den, double* num) override;

    double targetCoeffs[numCoeffs];  // a0..a5 (a0 = normaliser), b0..b5
    double currentCoeffs[numCoeffs]; // in use; a0 not read
    double stepCoeffs[numCoeffs];    // per-sample glide increment; a0 not read
    double historyL[historySize];    // x[n-1]..x[n-5], y[n-1]..y[n-5]
    double historyR[historySize];
    int16_t rampCounter;
    bool firstCalc;
    int32_t rampLength;
    double rampLengthDouble;

protected:
    void setRampLength(int32_t length);
    // One glide step; true on the call at which the glide lands exactly on its targets.
    bool advanceGlide();
    // Direct form I with the coefficients in use; returns y and shifts `history`.
    double filter(double x, double* history) const;
};

inline bool SZBase5x::advanceGlide()
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

inline double SZBase5x::filter(double x, double* history) const
{
    const double* a = currentCoeffs;     // a[1..5]
    const double* b = currentCoeffs + 6; // b[0..5]
    const double* xs = history;          // x[n-1]..x[n-5]
    const double* ys = history + 5;      // y[n-1]..y[n-5]
    // The feed-forward sum runs from the oldest input towards b0 x, the feedback from the oldest
    // output towards y[n-1]; this order is part of the filter's exact output.
    double feedForward = b[5] * xs[4];
    feedForward = b[4] * xs[3] + feedForward;
    feedForward = b[3] * xs[2] + feedForward;
    feedForward = b[2] * xs[1] + feedForward;
    feedForward = b[1] * xs[0] + feedForward;
    double y = b[0] * x + feedForward;
    y = y - a[5] * ys[4];
    y = y - a[4] * ys[3];
    y = y - a[3] * ys[2];
    y = y - a[2] * ys[1];
    y = y - a[1] * ys[0];
    // Two separate additions keep decaying feedback out of subnormal numbers.
    y += -1e-20;
    y += 1e-20;
    history[4] = history[3];
    history[3] = history[2];
    history[2] = history[1];
    history[1] = history[0];
    history[0] = x;
    history[9] = history[8];
    history[8] = history[7];
    history[7] = history[6];
    history[6] = history[5];
    history[5] = y;
    return y;
}

inline void SZBase5x::process(double& sample)
{
    advanceGlide();
    sample = filter(sample, historyL);
}

inline void SZBase5x::process(double& left, double& right)
{
    advanceGlide();
    left = filter(left, historyL);
    right = filter(right, historyR);
}
