#pragma once

#include "dsp/SZBase2x.h"

// High peak of the mid-range equaliser (1.5 to 5 kHz): a passive RLC network with a linear
// 10000-ohm pot, run as a second-order section.
class HolvanVurnHigh : public SZBase2x
{
public:
    void setSampleRate(float newSampleRate) override;
    void calc() override;
    void process(double& sample) override;
    void process(double& left, double& right) override;

    void setHighFreq(float value);
    // The selector position a frequency setting plays: the first step it does not exceed.
    static int frequencyPosition(float value);
    void setHighPeak(float value);

    float freq = 0.0f;
    float amount = 0.0f;
};

inline void HolvanVurnHigh::process(double& sample)
{
    processBand(sample, amount);
}

inline void HolvanVurnHigh::process(double& left, double& right)
{
    processBand(left, right, amount);
}
