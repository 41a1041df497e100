#pragma once

#include "dsp/SZBase.h"

#include <cstdint>

// Second-order analog-prototype section: bilinear transform, linear coefficient glide and
// direct form I filtering in double precision.
class SZBase2x : public SZBase
{
public:
    static constexpr int order = 2;
    static constexpr int numCoeffs = 2 * order + 2;
    static constexpr int historySize = 2 * order;

    SZBase2x();

    void setSampleRate(float newSampleRate) override;
    void resetBuffer() override;
    void resetCoeffs() override;
    void process(double& sample) override;
    void process(double& left, double& right) override;
    void preCalc() override {}
    void setCoeffs(double* den, double* num) override;

    double targetCoeffs[numCoeffs];  // a0..a2 (a0 = normaliser), b0..b2
    double currentCoeffs[numCoeffs]; // in use; a0 not read
    double stepCoeffs[numCoeffs];    // per-sample glide increment; a0 not read
    double historyL[historySize];    // x[n-1], x[n-2], y[n-1], y[n-2]
    double historyR[historySize];
    int16_t rampCounter;
    bool firstCalc;
    int32_t rampLength;
    double rampLengthDouble;

protected:
    void setRampLength(int32_t length);
    // Position of a stepped selector: the first k with value <= thresholds[k], else count.
    static int selectorPosition(float value, const float* thresholds, int count);
    // One glide step; true on the call at which the glide lands exactly on its targets.
    bool advanceGlide();
    // Direct form I with the coefficients in use; returns y and shifts `history`.
    double filter(double x, double* history) const;
    // Leaves only b0 in use: at amount 0 a band's network is a flat gain whose poles are cancelled
    // by its zeros only on paper (on the unit circle for the peak bands), so it runs as the gain.
    void becomePureGain();
};

inline void SZBase2x::becomePureGain()
{
    currentCoeffs[1] = 0.0;
    currentCoeffs[2] = 0.0;
    currentCoeffs[4] = 0.0;
    currentCoeffs[5] = 0.0;
}

inline bool SZBase2x::advanceGlide()
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

inline double SZBase2x::filter(double x, double* history) const
{
    const double* c = currentCoeffs;
    // The feed-forward sum runs from the oldest input towards b0 x, the feedback from the oldest
    // output towards y[n-1]; this order is part of the filter's exact output.
    double feedForward = c[5] * history[1];
    feedForward = c[4] * history[0] + feedForward;
    double y = c[3] * x + feedForward;
    y = y - c[2] * history[3];
    y = y - c[1] * history[2];
    // Two separate additions keep decaying feedback out of subnormal numbers.
    y += -1e-20;
    y += 1e-20;
    history[1] = history[0];
    history[0] = x;
    history[3] = history[2];
    history[2] = y;
    return y;
}

inline void SZBase2x::process(double& sample)
{
    advanceGlide();
    sample = filter(sample, historyL);
}

inline void SZBase2x::process(double& left, double& right)
{
    advanceGlide();
    left = filter(left, historyL);
    right = filter(right, historyR);
}
