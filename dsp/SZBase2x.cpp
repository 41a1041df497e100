#include "dsp/SZBase2x.h"

SZBase2x::SZBase2x()
{
    sampleRate = 44100.0f;
    setRampLength(2048);
    resetBuffer();
    resetCoeffs();
}

void SZBase2x::setSampleRate(float newSampleRate)
{
    sampleRate = newSampleRate;
    setRampLength(rampLengthForRate(newSampleRate, 1024));
}

void SZBase2x::setRampLength(int32_t length)
{
    rampLength = length;
    rampLengthDouble = static_cast<double>(length);
}

int SZBase2x::selectorPosition(float value, const float* thresholds, int count)
{
    for (int k = 0; k < count; ++k)
        if (value <= thresholds[k])
            return k;
    return count;
}

void SZBase2x::resetBuffer()
{
    for (int i = 0; i < historySize; ++i)
    {
        historyL[i] = 0.0;
        historyR[i] = 0.0;
    }
}

void SZBase2x::resetCoeffs()
{
    firstCalc = true;
    rampCounter = 0;
    for (int i = 0; i < numCoeffs; ++i)
    {
        targetCoeffs[i] = 0.0;
        currentCoeffs[i] = 0.0;
        stepCoeffs[i] = 0.0;
    }
    targetCoeffs[0] = 1.0;
    currentCoeffs[0] = 1.0;
    stepCoeffs[0] = 1.0;
}

void SZBase2x::setCoeffs(double* den, double* num)
{
    const double fs = static_cast<double>(sampleRate);
    const double a0 = s_to_z(den, order, 0, fs);
    targetCoeffs[0] = a0;
    for (int k = 1; k <= order; ++k)
        targetCoeffs[k] = s_to_z(den, order, k, fs) / a0;
    for (int k = 0; k <= order; ++k)
        targetCoeffs[order + 1 + k] = s_to_z(num, order, k, fs) / a0;

    if (firstCalc)
    {
        for (int i = 1; i < numCoeffs; ++i)
            currentCoeffs[i] = targetCoeffs[i];
        firstCalc = false;
    }

    const double stepScale = 1.0 / rampLengthDouble;
    for (int i = 0; i < numCoeffs; ++i)
        stepCoeffs[i] = (targetCoeffs[i] - currentCoeffs[i]) * stepScale;
    rampCounter = 0;
}
