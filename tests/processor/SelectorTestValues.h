#pragma once

#include "processor/ParameterTable.h"

#include <cmath>
#include <vector>

namespace wydtest
{
constexpr int kSelectors[] = {ParameterTable::kTolmLowFreq,   ParameterTable::kTolmMidFreq,
                              ParameterTable::kTolmHighFreq,  ParameterTable::kBraskLowFreq,
                              ParameterTable::kBraskHighBoostFreq, ParameterTable::kBraskHighAttenFreq};

// Values a host slider or automation lane may give a selector: 51 across 0..1, and each step with
// the float just above it.
inline std::vector<float> selectorTestValues(int selector)
{
    std::vector<float> values;
    for (int i = 0; i <= 50; ++i)
        values.push_back(static_cast<float>(i) / 50.0f);
    const int last = ParameterTable::selectorSteps(selector) - 1;
    for (int k = 0; k < last; ++k)
    {
        const float step = static_cast<float>(k) / static_cast<float>(last);
        values.push_back(step);
        values.push_back(std::nextafter(step, 2.0f));
    }
    return values;
}

// A selector's step k as the editor sends it.
inline float selectorStepValue(int selector, int k)
{
    return static_cast<float>(k * (1.0 / (ParameterTable::selectorSteps(selector) - 1)));
}
} // namespace wydtest
