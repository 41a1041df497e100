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
    // The selector position a frequency setting plays: the first step it does not exceed.
    static int frequencyPosition(float value);
    void setLowPeak(float value);

    float freq = 0.0f;
    float amount = 0.0f;
};

inline void HolvanVurnLow::process(double& sample)
{
    processBand(sample, amount);
}

inline void HolvanVurnLow::process(double& left, double& right)
{
    processBand(left, right, amount);
}
