#pragma once

#include "dsp/SZBase2x.h"

// Mid dip of the mid-range equaliser (0.2 to 7 kHz): a passive RLC network with a logarithmic
// 2500-ohm pot, run as a second-order section.
class HolvanVurnMid : public SZBase2x
{
public:
    void setSampleRate(float newSampleRate) override;
    void calc() override;
    void process(double& sample) override;
    void process(double& left, double& right) override;

    void setMidFreq(float value);
    // The selector position a frequency setting plays: the first step it does not exceed.
    static int frequencyPosition(float value);
    void setMidDip(float value);

    float freq = 0.0f;
    float amount = 0.0f;
};

inline void HolvanVurnMid::process(double& sample)
{
    processBand(sample, amount);
}

inline void HolvanVurnMid::process(double& left, double& right)
{
    processBand(left, right, amount);
}
