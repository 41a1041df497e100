#include "dsp/HolvanVurnMid.h"

#include <math.h>

namespace
{
constexpr int numPositions = 11;
constexpr int numColumns = 5;
const float positionThresholds[numPositions - 1] = {0.0f, 0.1f, 0.2f, 0.3f, 0.4f,
                                                    0.5f, 0.6f, 0.7f, 0.8f, 0.9f};

// Inductance per position (henry): 0.2, 0.3, 0.5, 0.7, 1, 1.5, 2, 3, 4, 5, 7 kHz.
const double inductance[numPositions] = {0.42, 0.277, 0.145, 0.145, 0.1, 0.061,
                                         0.034, 0.034, 0.034, 0.034, 0.034};

// Capacitance per position (farad), one column per sample-rate band: up to 46 kHz, 68.1 kHz,
// 92.1 kHz, 136.2 kHz, above. The hex entries are calibrated values one ulp off the decimal they
// are named by (1.515e-6, 3.564e-7, 3.5706e-7, 2.72e-8, 2.976e-8, 1.312e-8 above; 7.032e-7,
// 1.8411e-7, 4.404e-8, 4.44e-8 below); a decimal literal would round them away.
constexpr double c0 = 0x1.96ae01db775f9p-20;   // 1.515e-6 + 1 ulp
constexpr double c2 = 0x1.79871273ef11cp-21;   // 7.032e-7 - 1 ulp
constexpr double c3A = 0x1.7eae7c6cc7857p-22;  // 3.564e-7 + 1 ulp
constexpr double c3 = 0x1.7f63e7cbcbaefp-22;   // 3.5706e-7 + 1 ulp
constexpr double c6 = 0x1.8b5f8afb29552p-23;   // 1.8411e-7 - 1 ulp
constexpr double c8A = 0x1.7a4cfbf2dc565p-25;  // 4.404e-8 - 1 ulp
constexpr double c8B = 0x1.7d64a1ee91687p-25;  // 4.44e-8 - 1 ulp
constexpr double c9A = 0x1.d34add7753997p-26;  // 2.72e-8 + 1 ulp
constexpr double c9E = 0x1.ff45dd3a4662ap-26;  // 2.976e-8 + 1 ulp
constexpr double c10B = 0x1.c2ccbd8e388ep-27;  // 1.312e-8 + 1 ulp
const double capacitance[numPositions][numColumns] = {
    {c0, c0, c0, c0, c0},
    {1.008e-6, 1.008e-6, 1.008e-6, 1.008e-6, 1.008e-6},
    {c2, c2, c2, c2, c2},
    {c3A, c3, c3, c3, c3},
    {2.5432e-7, 2.5432e-7, 2.5432e-7, 2.5432e-7, 2.5432e-7},
    {1.8394e-7, 1.8394e-7, 1.8394e-7, 1.8394e-7, 1.8394e-7},
    {1.8394e-7, 1.8394e-7, c6, c6, c6},
    {8.088e-8, 8.088e-8, 8.232e-8, 8.232e-8, 8.232e-8},
    {c8A, c8B, 4.62e-8, 4.62e-8, 4.62e-8},
    {c9A, 2.752e-8, 2.928e-8, 2.928e-8, c9E},
    {1.274e-8, c10B, 1.47e-8, 1.47e-8, 1.515e-8},
};

constexpr double inputResistor = 510.0;
constexpr double shuntResistor = 270.0;
constexpr double resistorProduct = 137700.0; // 510 x 270
constexpr float potOhms = 2500.0f;

// Logarithmic pot: share of the track on the Rb side; 0 at amount 0, 0.9 at 0.5, 1 at 1.
float logTaper(float amount)
{
    return 1.0f + (powf(81.0f, 1.0f - amount) - 1.0f) * -0.0125f;
}
} // namespace

void HolvanVurnMid::setSampleRate(float newSampleRate)
{
    setRateAndBaseRamp(newSampleRate, bandShortestRamp);
}

void HolvanVurnMid::setMidFreq(float value)
{
    freq = clampToUnit(value);
}

void HolvanVurnMid::setMidDip(float value)
{
    amount = clampToUnit(value);
}

int HolvanVurnMid::frequencyPosition(float value)
{
    return selectorPosition(value, positionThresholds, numPositions - 1);
}

void HolvanVurnMid::calc()
{
    preCalc();
    const int column = rateColumn(sampleRate, numColumns);
    const float t = logTaper(amount);
    const double Ra = (1.0f - t) * potOhms;
    const double Rb = t * potOhms;
    const int position = frequencyPosition(freq);
    const double L = inductance[position];
    const double C = capacitance[position][column];

    double den[3] = {
        Ra + Rb + inputResistor,
        C * (resistorProduct + shuntResistor * (Ra + Rb) + Ra * Rb + inputResistor * Rb),
        L * C * (Ra + Rb + inputResistor),
    };
    double num[3] = {
        Ra + Rb,
        C * (Ra * Rb + shuntResistor * (Ra + Rb)),
        (Ra + Rb) * L * C,
    };
    setCoeffs(den, num);
}
