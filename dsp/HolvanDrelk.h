#pragma once

#include "dsp/SZBase5x.h"

// Program equaliser: a passive resistor/capacitor/inductor network with a low boost and a low
// attenuation at one of four frequencies, a resonant high boost at one of seven frequencies with its
// own bandwidth, and a high attenuation at one of three frequencies. Its transfer function is of
// fifth order in s; the fifth-order section turns it into a running digital filter.
//
// Setters only store their clamped value; calc() redesigns the network and starts a coefficient glide.
class HolvanDrelk : public SZBase5x
{
public:
    // Every element value of the network, in ohms, farads and henries.
    struct ComponentValues
    {
        double Rlb, Rla, Rhb1, Rhb2, Rbw, Rha1, Rha2;
        double Cha, Chb, Lhb, Cla, Clb;
    };

    HolvanDrelk() = default;
    ~HolvanDrelk() override = default;

    void setSampleRate(float newSampleRate) override;
    void calc() override;

    void setLowFreq(float value);
    void setLowBoost(float value);
    void setLowAtten(float value);
    void setHighBoostFreq(float value);
    void setHighBoost(float value);
    void setHighBoostBandwidth(float value);
    void setHighAttenFreq(float value);
    void setHighAtten(float value);

    // The network as the current settings and sample rate make it.
    ComponentValues componentValues() const;

    // Denominator and numerator of V(out)/V(in), ascending powers of s (den[i] multiplies s^i).
    static void transferPolynomials(const ComponentValues& c, double den[order + 1], double num[order + 1]);

    // Settings, each 0..1 (storage order is fixed: the bandwidth precedes the boost). They start at
    // the host parameters' defaults so that a calc() before the owner's first hand-over is defined.
    float lowFreq = 0.0f;
    float lowBoost = 0.0f;
    float lowAtten = 0.0f;
    float highBoostFreq = 0.0f;
    float highBoostBandwidth = 0.5f;
    float highBoost = 0.0f;
    float highAttenFreq = 0.0f;
    float highAtten = 0.0f;

    // The selector positions the frequency settings play: the first step each does not exceed.
    static int lowFreqPosition(float value);
    static int highBoostFreqPosition(float value);
    static int highAttenFreqPosition(float value);

private:
    static int rateBand(float rate);
};
