#include "dsp/DspBase.h"

void DspBase::setSampleRate(float newSampleRate)
{
    sampleRate = newSampleRate;
}

const char* DspBase::getName()
{
    return name;
}

void DspBase::reset()
{
    resetBuffer();
    resetCoeffs();
}
