#include "dsp/TarvelHighPass.h"

#include <cmath>

void TarvelHighPass::resetBuffer()
{
    stateL = 0.0;
    stateR = 0.0;
}

void TarvelHighPass::resetCoeffs()
{
    frequency = 0.0f;
    tanCoeff = 0.0;
    normCoeff = 0.0;
}

void TarvelHighPass::setFrequency(float newFrequency)
{
    constexpr double pi = 3.14159265358979323846;
    frequency = newFrequency;
    tanCoeff = std::tan(static_cast<double>(newFrequency) * pi / static_cast<double>(sampleRate));
    normCoeff = 1.0 / (tanCoeff + 1.0);
}
