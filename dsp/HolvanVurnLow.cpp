#include "dsp/HolvanVurnLow.h"

namespace
{
constexpr int numPositions = 5;
constexpr int numColumns = 3;
const float positionThresholds[numPositions - 1] = {0.0f, 0.25f, 0.5f, 0.75f};

// Inductance per position (henry): 200, 300, 500, 700, 1000 Hz.
const double inductance[numPositions] = {0.52, 0.42, 0.2, 0.2, 0.12};

// Capacitance per position (farad), one column per sample-rate band: up to 46 kHz, up to
// 68.1 kHz, above. The hex entries are the calibrated values one ulp off the decimal they are
// named by (1.23e-6 and 6.7456e-7 one ulp below); a decimal literal would round them away.
const double capacitance[numPositions][numColumns] = {
    {0x1.4a2cf4d5aa6bfp-20, 0x1.4a2cf4d5aa6bfp-20, 0x1.4a2cf4d5aa6bfp-20},
    {0x1.6a26d20947307p-21, 6.732e-7, 6.664e-7},
    {5.0854e-7, 5.0854e-7, 5.0384e-7},
    {2.5784e-7, 2.5784e-7, 2.5432e-7},
    {2.134e-7, 2.1164e-7, 2.1164e-7},
};

constexpr double seriesResistor = 1000.0;
constexpr float potOhms = 2500.0f;
} // namespace

void HolvanVurnLow::setSampleRate(float newSampleRate)
{
    setRateAndBaseRamp(newSampleRate, bandShortestRamp);
}

void HolvanVurnLow::setLowFreq(float value)
{
    freq = clampToUnit(value);
}

void HolvanVurnLow::setLowPeak(float value)
{
    amount = clampToUnit(value);
}

int HolvanVurnLow::frequencyPosition(float value)
{
    return selectorPosition(value, positionThresholds, numPositions - 1);
}

void HolvanVurnLow::calc()
{
    preCalc();
    const int column = rateColumn(sampleRate, numColumns);
    const int position = frequencyPosition(freq);
    designPeakNetwork(amount, potOhms, inductance[position], capacitance[position][column], seriesResistor);
}
