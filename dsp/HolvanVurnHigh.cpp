#include "dsp/HolvanVurnHigh.h"

namespace
{
constexpr int numPositions = 5;
constexpr int numColumns = 5;
const float positionThresholds[numPositions - 1] = {0.0f, 0.25f, 0.5f, 0.75f};

// Inductance per position (henry): 1.5, 2, 3, 4, 5 kHz.
const double inductance[numPositions] = {0.625, 0.625, 0.625, 0.477, 0.477};

// Capacitance per position (farad), one column per sample-rate band: up to 46 kHz, 68.1 kHz,
// 92.1 kHz, 136.2 kHz, above. The hex entries are calibrated values one ulp off the decimal they
// are named by (4.3914e-9 below; 3.333e-9 and 2.08e-9 above); a decimal literal would round
// them away.
const double capacitance[numPositions][numColumns] = {
    {1.8016e-8, 1.8016e-8, 1.8016e-8, 1.8016e-8, 1.8016e-8},
    {1.0086e-8, 1.0086e-8, 1.0086e-8, 1.0086e-8, 1.0086e-8},
    {0x1.2dc65367549c2p-28, 0x1.2dc65367549c2p-28, 4.4304e-9, 4.4304e-9, 4.4655e-9},
    {3.1416e-9, 3.1746e-9, 3.3e-9, 3.3e-9, 0x1.ca15831db590fp-29},
    {1.94e-9, 1.98e-9, 0x1.1ddf7e732a1bap-29, 0x1.1ddf7e732a1bap-29, 2.114e-9},
};

constexpr double seriesResistor = 5100.0;
constexpr float potOhms = 10000.0f;
} // namespace

void HolvanVurnHigh::setSampleRate(float newSampleRate)
{
    setRateAndBaseRamp(newSampleRate, bandShortestRamp);
}

void HolvanVurnHigh::setHighFreq(float value)
{
    freq = clampToUnit(value);
}

void HolvanVurnHigh::setHighPeak(float value)
{
    amount = clampToUnit(value);
}

int HolvanVurnHigh::frequencyPosition(float value)
{
    return selectorPosition(value, positionThresholds, numPositions - 1);
}

void HolvanVurnHigh::calc()
{
    preCalc();
    const int column = rateColumn(sampleRate, numColumns);
    const int position = frequencyPosition(freq);
    designPeakNetwork(amount, potOhms, inductance[position], capacitance[position][column], seriesResistor);
}
