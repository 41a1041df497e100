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
