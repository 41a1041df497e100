#include "dsp/TarvelXeth.h"

#include "dsp/TarvelXethKernel.h"

#include <cmath>
#include <cstdint>

namespace
{
constexpr float kHighRatePathFrom = 68100.0f;
constexpr float kFadeSeconds = 0.025f;
constexpr float kHighPassFrequency = 10.0f;
constexpr int32_t kLongestFade = 1000000000;

int32_t fadeStepsAt(float rate)
{
    const float steps = floorf(rate * kFadeSeconds);
    // Nonsense rates must not turn into an undefined conversion or a fade without steps.
    if (!(steps >= 1.0f))
        return 1;
    if (steps > static_cast<float>(kLongestFade))
        return kLongestFade;
    return static_cast<int32_t>(steps);
}
} // namespace

TarvelXeth::TarvelXeth()
{
    name = "Tarvel Holvan";
    params = new float[kNumParameters]();
    tolmFade.setLength(220);
    braskFade.setLength(220);
    saturationFade.setLength(220);
    lowRatePath = true;
    reset();
}

TarvelXeth::~TarvelXeth()
{
    delete[] params;
}

void TarvelXeth::setSampleRate(float newSampleRate)
{
    DspBase::setSampleRate(newSampleRate);
    lowRatePath = newSampleRate < kHighRatePathFrom;
    const float equaliserRate = lowRatePath ? 2.0f * newSampleRate : newSampleRate;
    const float saturatorRate = lowRatePath ? 4.0f * newSampleRate : 2.0f * newSampleRate;

    tolmLow.setSampleRate(equaliserRate);
    tolmMid.setSampleRate(equaliserRate);
    tolmHigh.setSampleRate(equaliserRate);
    braskEq.setSampleRate(equaliserRate);

    highPass.setSampleRate(saturatorRate);
    emphasisLow.setSampleRate(saturatorRate);
    emphasisHigh.setSampleRate(saturatorRate);
    configureSaturationFilters();

    // The equaliser fades step once per equaliser-rate sample, the saturator fade once per host
    // sample: every fade lasts 25 ms.
    tolmFade.setLength(fadeStepsAt(equaliserRate));
    braskFade.setLength(fadeStepsAt(equaliserRate));
    saturationFade.setLength(fadeStepsAt(newSampleRate));
}

void TarvelXeth::configureSaturationFilters()
{
    highPass.setFrequency(kHighPassFrequency);

    emphasisLow.setShelfType(false);
    emphasisLow.setFreq(100.0f);
    emphasisLow.setQ(0.4f);
    emphasisLow.setGain(3.0f);
    emphasisLow.calc();

    emphasisHigh.setShelfType(true);
    emphasisHigh.setFreq(10000.0f);
    emphasisHigh.setQ(0.4f);
    emphasisHigh.setGain(6.0f);
    emphasisHigh.calc();
}

void TarvelXeth::reset()
{
    resetBuffer();
    resetCoeffs();
    tolmFade.rearm();
    braskFade.rearm();
    saturationFade.rearm();
}

void TarvelXeth::resetBuffer()
{
    tolmLow.resetBuffer();
    tolmMid.resetBuffer();
    tolmHigh.resetBuffer();
    braskEq.resetBuffer();
    highPass.resetBuffer();
    emphasisLow.resetBuffer();
    emphasisHigh.resetBuffer();
    satUp4x.reset();
    satDown4x.reset();
    satUp2x.reset();
    satDown2x.reset();
    eqUp2xL.reset();
    eqUp2xR.reset();
}

void TarvelXeth::resetCoeffs()
{
    tolmLow.resetCoeffs();
    tolmMid.resetCoeffs();
    tolmHigh.resetCoeffs();
    braskEq.resetCoeffs();
    resetSaturationOnCoeffs();
}

void TarvelXeth::resetSaturationOnCoeffs()
{
    highPass.resetCoeffs();
    emphasisLow.resetCoeffs();
    emphasisHigh.resetCoeffs();
    configureSaturationFilters();
}

void TarvelXeth::restartFromRest()
{
    reset();
    tolmLow.calc();
    tolmMid.calc();
    tolmHigh.calc();
    braskEq.calc();
    // After the reset each section starts at its target without a fade.
    calcSaturationOn();
    calcTolmOn();
    calcBraskOn();
}

void TarvelXeth::calc()
{
    calcTolmOn();
    tolmLow.calc();
    tolmMid.calc();
    tolmHigh.calc();
    calcBraskOn();
    braskEq.calc();
    calcSaturationOn();
}

// ---- parameters ----

void TarvelXeth::setParameter(int index, float value)
{
    switch (index)
    {
        case kTolmOn: setTolmOn(value); break;
        case kTolmLowFreq: setTolmLowFreq(value); break;
        case kTolmLowPeak: setTolmLowPeak(value); break;
        case kTolmMidFreq: setTolmMidFreq(value); break;
        case kTolmMidDip: setTolmMidDip(value); break;
        case kTolmHighFreq: setTolmHighFreq(value); break;
        case kTolmHighPeak: setTolmHighPeak(value); break;
        case kBraskOn: setBraskOn(value); break;
        case kBraskLowFreq: setBraskLowFreq(value); break;
        case kBraskLowBoost: setBraskLowBoost(value); break;
        case kBraskLowAtten: setBraskLowAtten(value); break;
        case kBraskHighBoostFreq: setBraskHighBoostFreq(value); break;
        case kBraskHighBoost: setBraskHighBoost(value); break;
        case kBraskHighBoostBandwidth: setBraskHighBoostBandwidth(value); break;
        case kBraskHighAttenFreq: setBraskHighAttenFreq(value); break;
        case kBraskHighAtten: setBraskHighAtten(value); break;
        case kSaturationOn: setSaturationOn(value); break;
        default: break; // not a parameter of this object
    }
}

void TarvelXeth::setSwitch(float value, SectionFade& fade, bool& active)
{
    // Switching off only sets the target: the end of the fade-out takes the section out.
    if (switchedOn(value))
        active = true;
    fade.setTarget(switchedOn(value));
}

void TarvelXeth::setTolmOn(float value)
{
    params[kTolmOn] = value;
    setSwitch(value, tolmFade, tolmActive);
}

void TarvelXeth::setTolmLowFreq(float value)
{
    params[kTolmLowFreq] = value;
    tolmLow.setLowFreq(value);
}

void TarvelXeth::setTolmLowPeak(float value)
{
    params[kTolmLowPeak] = value;
    tolmLow.setLowPeak(value);
}

void TarvelXeth::setTolmMidFreq(float value)
{
    params[kTolmMidFreq] = value;
    tolmMid.setMidFreq(value);
}

void TarvelXeth::setTolmMidDip(float value)
{
    params[kTolmMidDip] = value;
    tolmMid.setMidDip(value);
}

void TarvelXeth::setTolmHighFreq(float value)
{
    params[kTolmHighFreq] = value;
    tolmHigh.setHighFreq(value);
}

void TarvelXeth::setTolmHighPeak(float value)
{
    params[kTolmHighPeak] = value;
    tolmHigh.setHighPeak(value);
}

void TarvelXeth::setBraskOn(float value)
{
    params[kBraskOn] = value;
    setSwitch(value, braskFade, braskActive);
}

void TarvelXeth::setBraskLowFreq(float value)
{
    params[kBraskLowFreq] = value;
    braskEq.setLowFreq(value);
}

void TarvelXeth::setBraskLowBoost(float value)
{
    params[kBraskLowBoost] = value;
    braskEq.setLowBoost(value);
}

void TarvelXeth::setBraskLowAtten(float value)
{
    params[kBraskLowAtten] = value;
    braskEq.setLowAtten(value);
}

void TarvelXeth::setBraskHighBoostFreq(float value)
{
    params[kBraskHighBoostFreq] = value;
    braskEq.setHighBoostFreq(value);
}

void TarvelXeth::setBraskHighBoost(float value)
{
    params[kBraskHighBoost] = value;
    braskEq.setHighBoost(value);
}

void TarvelXeth::setBraskHighBoostBandwidth(float value)
{
    params[kBraskHighBoostBandwidth] = value;
    braskEq.setHighBoostBandwidth(value);
}

void TarvelXeth::setBraskHighAttenFreq(float value)
{
    params[kBraskHighAttenFreq] = value;
    braskEq.setHighAttenFreq(value);
}

void TarvelXeth::setBraskHighAtten(float value)
{
    params[kBraskHighAtten] = value;
    braskEq.setHighAtten(value);
}

void TarvelXeth::setSaturationOn(float value)
{
    params[kSaturationOn] = value;
    setSwitch(value, saturationFade, saturationActive);
}

// ---- recalculation and fade starts ----

void TarvelXeth::calcTolmLow()
{
    tolmLow.calc();
}

void TarvelXeth::calcTolmMid()
{
    tolmMid.calc();
}

void TarvelXeth::calcTolmHigh()
{
    tolmHigh.calc();
}

void TarvelXeth::calcBrask()
{
    braskEq.calc();
}

void TarvelXeth::jumpToTargetIfFirst(SectionFade& fade, bool& active)
{
    if (fade.jumpIfFirst())
        active = fade.isTargetOn();
}

void TarvelXeth::calcTolmOn()
{
    jumpToTargetIfFirst(tolmFade, tolmActive);
    // A section switched on starts from its exact settings and empty history, without a glide.
    if (tolmFade.isTargetOn())
        rebuildTolm();
    tolmFade.start();
}

void TarvelXeth::calcBraskOn()
{
    jumpToTargetIfFirst(braskFade, braskActive);
    if (braskFade.isTargetOn())
        rebuildBrask();
    braskFade.start();
}

void TarvelXeth::calcSaturationOn()
{
    jumpToTargetIfFirst(saturationFade, saturationActive);
    if (saturationFade.isTargetOn())
    {
        // Emphasis and high-pass start clean; the oversampling filters go on from their state.
        resetSaturationOnCoeffs();
        highPass.resetBuffer();
        emphasisLow.resetBuffer();
        emphasisHigh.resetBuffer();
    }
    saturationFade.start();
}

void TarvelXeth::rebuildTolm()
{
    tolmLow.resetCoeffs();
    tolmMid.resetCoeffs();
    tolmHigh.resetCoeffs();
    tolmLow.resetBuffer();
    tolmMid.resetBuffer();
    tolmHigh.resetBuffer();
    tolmLow.setLowFreq(params[kTolmLowFreq]);
    tolmLow.setLowPeak(params[kTolmLowPeak]);
    tolmMid.setMidFreq(params[kTolmMidFreq]);
    tolmMid.setMidDip(params[kTolmMidDip]);
    tolmHigh.setHighFreq(params[kTolmHighFreq]);
    tolmHigh.setHighPeak(params[kTolmHighPeak]);
    tolmLow.calc();
    tolmMid.calc();
    tolmHigh.calc();
}

void TarvelXeth::rebuildBrask()
{
    braskEq.resetCoeffs();
    braskEq.resetBuffer();
    braskEq.setLowFreq(params[kBraskLowFreq]);
    braskEq.setLowBoost(params[kBraskLowBoost]);
    braskEq.setLowAtten(params[kBraskLowAtten]);
    braskEq.setHighBoostFreq(params[kBraskHighBoostFreq]);
    braskEq.setHighBoost(params[kBraskHighBoost]);
    braskEq.setHighBoostBandwidth(params[kBraskHighBoostBandwidth]);
    braskEq.setHighAttenFreq(params[kBraskHighAttenFreq]);
    braskEq.setHighAtten(params[kBraskHighAtten]);
    braskEq.calc();
}

double TarvelXeth::waveshape(double s)
{
    return TarvelXethKernel::waveshape(s);
}

void TarvelXeth::process(float* samples, int numSamples)
{
    if (numSamples <= 0)
        return;
    if (lowRatePath)
        process4448(samples, numSamples);
    else
        processElse(samples, numSamples);
}

void TarvelXeth::process(float* left, float* right, int numSamples)
{
    if (numSamples <= 0)
        return;
    if (lowRatePath)
        process4448(left, right, numSamples);
    else
        processElse(left, right, numSamples);
}

void TarvelXeth::process(double*, int) {}

void TarvelXeth::process(double*, double*, int) {}

// The chains themselves run in the two-lane kernel; a mono block carries its channel as both.
void TarvelXeth::process4448(float* samples, int numSamples)
{
    TarvelXethKernel::runLowRatePath(*this, samples, samples, numSamples, false);
}

void TarvelXeth::process4448(float* left, float* right, int numSamples)
{
    TarvelXethKernel::runLowRatePath(*this, left, right, numSamples, true);
}

void TarvelXeth::processElse(float* samples, int numSamples)
{
    TarvelXethKernel::runHighRatePath(*this, samples, samples, numSamples, false);
}

void TarvelXeth::processElse(float* left, float* right, int numSamples)
{
    TarvelXethKernel::runHighRatePath(*this, left, right, numSamples, true);
}
