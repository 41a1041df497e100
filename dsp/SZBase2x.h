#pragma once

#include "dsp/SZSection.h"

#include <cstdint>

// SZSection<2>'s members are compiled once, in SZBase2x.cpp.
extern template class SZSection<2>;

// Second-order analog-prototype section; base of the mid-range equaliser bands, whose shared
// rules live here too.
class SZBase2x : public SZSection<2>
{
protected:
    // The bands glide in 32..256 samples: their owner already feeds setting changes in
    // block-sized steps, each followed by calc().
    static constexpr int32_t bandShortestRamp = 32;

    // Position of a stepped selector: the first k with value <= thresholds[k], else count.
    static int selectorPosition(float value, const float* thresholds, int count);
    // Column of a band's capacitance table for `rate`: the rate bands end at 46, 68.1, 92.1 and
    // 136.2 kHz; a table with fewer columns runs its last one for all higher rates.
    static int rateColumn(float rate, int numColumns);
    // A band's sample step: glide, then direct form I; a band whose amount is (nearly) 0 ends
    // each glide as its gain b0 alone.
    void processBand(double& sample, float amount);
    void processBand(double& left, double& right, float amount);
    // The low and high peak bands share one network: a pot of potOhms split by the amount into
    // Ra and Rb (in single precision), the series L-C branch and the resistor R; designs it.
    void designPeakNetwork(float amount, float potOhms, double L, double C, double R);

private:
    static constexpr float pureGainAmount = 1e-7f;

    // Leaves only b0 in use: at amount 0 a band's network is a flat gain whose poles are cancelled
    // by its zeros only on paper (on the unit circle for the peak bands), so it runs as the gain.
    void becomePureGain();
    void glideBand(float amount);
};

inline void SZBase2x::becomePureGain()
{
    currentCoeffs[1] = 0.0;
    currentCoeffs[2] = 0.0;
    currentCoeffs[4] = 0.0;
    currentCoeffs[5] = 0.0;
}

inline void SZBase2x::glideBand(float amount)
{
    if (advanceGlide() && amount <= pureGainAmount)
        becomePureGain();
}

inline void SZBase2x::processBand(double& sample, float amount)
{
    glideBand(amount);
    sample = filter(sample, historyL);
}

inline void SZBase2x::processBand(double& left, double& right, float amount)
{
    glideBand(amount);
    left = filter(left, historyL);
    right = filter(right, historyR);
}
