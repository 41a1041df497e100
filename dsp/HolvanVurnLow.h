#pragma once

#include "dsp/SZBase2x.h"

// Low peak of the mid-range equaliser (200 Hz to 1 kHz): a passive RLC network with a linear
// 2500-ohm pot, run as a second-order section.
class HolvanVurnLow : public SZBase2x
{
public:
    void setSampleRate(float newSampleRate) override;
    void calc() override;
    void process(double& sample) override;
    void process(double& left, double& right) override;

    void setLowFreq(float value);
    void setLowPeak(float value);

    float freq = 0.0f;
    float amount = 0.0f;

private:
    // At or below this amount the band ends each glide as its gain b0 alone.
    static constexpr float pureGainAmount = 1e-7f;
};

inline void HolvanVurnLow::process(double& sample)
{
    if (advanceGlide() && amount <= pureGainAmount)
        becomePureGain();
    sample = filter(sample, historyL);
}

inline void HolvanVurnLow::process(double& left, double& right)
{
    if (advanceGlide() && amount <= pureGainAmount)
        becomePureGain();
    left = filter(left, historyL);
    right = filter(right, historyR);
}
