#pragma once

#include "dsp/EmphasisFilter.h"
#include "dsp/FxBase.h"
#include "dsp/HalfBandElliptic.h"
#include "dsp/HalfBand_12p_104dB_001.h"
#include "dsp/HolvanDrelk.h"
#include "dsp/HolvanVurnHigh.h"
#include "dsp/HolvanVurnLow.h"
#include "dsp/HolvanVurnMid.h"
#include "dsp/QuarterBandElliptic.h"
#include "dsp/SectionFade.h"
#include "dsp/TarvelHighPass.h"

// The whole equaliser: mid-range bands, program equaliser and an oversampled saturator, each
// section crossfaded in and out. Below 68100 Hz the equalisers run at twice and the saturator at
// four times the host rate; from 68100 Hz up at the host rate and twice. Samples are processed in
// place, in double precision inside.
class TarvelXeth : public FxBase
{
public:
    // Indices into the parameter store; this object's own order, not the host's.
    enum ParameterIndex
    {
        kTolmOn = 0,
        kTolmLowFreq,
        kTolmLowPeak,
        kTolmMidFreq,
        kTolmMidDip,
        kTolmHighFreq,
        kTolmHighPeak,
        kBraskOn,
        kBraskLowFreq,
        kBraskLowBoost,
        kBraskLowAtten,
        kBraskHighBoostFreq,
        kBraskHighBoost,
        kBraskHighBoostBandwidth,
        kBraskHighAttenFreq,
        kBraskHighAtten,
        kSaturationOn,
        kNumParameters
    };

    TarvelXeth();
    ~TarvelXeth() override;
    TarvelXeth(const TarvelXeth&) = delete;
    TarvelXeth& operator=(const TarvelXeth&) = delete;

    void setSampleRate(float newSampleRate) override;
    void reset() override;
    void resetBuffer() override;
    void resetCoeffs() override;
    void calc() override;
    void resetSaturationOnCoeffs();
    // Starts again from silence at the stored settings, as a fresh object given them would: every
    // history cleared, every band designed afresh and each section straight at its switch's state.
    void restartFromRest();

    void setParameter(int index, float value) override;
    void setTolmOn(float value);
    void setTolmLowFreq(float value);
    void setTolmLowPeak(float value);
    void setTolmMidFreq(float value);
    void setTolmMidDip(float value);
    void setTolmHighFreq(float value);
    void setTolmHighPeak(float value);
    void setBraskOn(float value);
    void setBraskLowFreq(float value);
    void setBraskLowBoost(float value);
    void setBraskLowAtten(float value);
    void setBraskHighBoostFreq(float value);
    void setBraskHighBoost(float value);
    void setBraskHighBoostBandwidth(float value);
    void setBraskHighAttenFreq(float value);
    void setBraskHighAtten(float value);
    void setSaturationOn(float value);

    void calcTolmLow();
    void calcTolmMid();
    void calcTolmHigh();
    void calcBrask();
    // Start the section's fade towards the target its switch setter stored.
    void calcTolmOn();
    void calcBraskOn();
    void calcSaturationOn();

    void process(float* samples, int numSamples) override;
    void process(float* left, float* right, int numSamples) override;
    // Double buffers are not used by this object.
    void process(double* samples, int numSamples) override;
    void process(double* left, double* right, int numSamples) override;

    // The saturator's curve: a clamped tanh approximation with added second and third harmonics.
    static double waveshape(double s);

    bool tolmActive = false;
    bool braskActive = false;
    bool saturationActive = false;
    HolvanVurnLow tolmLow;
    HolvanVurnMid tolmMid;
    HolvanVurnHigh tolmHigh;
    SectionFade tolmFade;
    HolvanDrelk braskEq;
    SectionFade braskFade;
    TarvelHighPass highPass;
    EmphasisFilter emphasisLow;
    EmphasisFilter emphasisHigh;
    SectionFade saturationFade;
    bool lowRatePath = true;
    QuarterBandElliptic satUp4x;
    QuarterBandElliptic satDown4x;
    HalfBandElliptic satUp2x;
    HalfBandElliptic satDown2x;
    HalfBand_12p_104dB_001 eqUp2xL;
    HalfBand_12p_104dB_001 eqUp2xR;

private:
    static bool switchedOn(float value) { return value > 0.0f; }
    static void setSwitch(float value, SectionFade& fade, bool& active);
    static void jumpToTargetIfFirst(SectionFade& fade, bool& active);

    void rebuildTolm();
    void rebuildBrask();
    void configureSaturationFilters();

    // Below 68100 Hz: equalisers at twice, saturator at four times the host rate.
    void process4448(float* samples, int numSamples);
    void process4448(float* left, float* right, int numSamples);
    // From 68100 Hz up: equalisers at the host rate, saturator at twice.
    void processElse(float* samples, int numSamples);
    void processElse(float* left, float* right, int numSamples);
};
