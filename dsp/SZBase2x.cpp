#include "dsp/SZBase2x.h"

template class SZSection<2>;

int SZBase2x::selectorPosition(float value, const float* thresholds, int count)
{
    for (int k = 0; k < count; ++k)
        if (value <= thresholds[k])
            return k;
    return count;
}

int SZBase2x::rateColumn(float rate, int numColumns)
{
    static const float rateBandEdges[] = {46000.0f, 68100.0f, 92100.0f, 136200.0f};
    return selectorPosition(rate, rateBandEdges, numColumns - 1);
}

void SZBase2x::designPeakNetwork(float amount, float potOhms, double L, double C, double R)
{
    const double Ra = (1.0f - amount) * potOhms;
    const double Rb = amount * potOhms;
    double den[3] = {Ra + Rb + R, Rb * C * (Ra + R), L * C * (Ra + Rb + R)};
    double num[3] = {R, R * Rb * C, R * L * C};
    setCoeffs(den, num);
}
