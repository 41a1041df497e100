#pragma once

#include <juce_core/juce_core.h>

// The 22 host parameters: order, identifiers, defaults and display texts. The index is the same
// for the host, the editor and the preset documents.
namespace ParameterTable
{
enum Index
{
    kBypass = 0,
    kInputVol,
    kSaturationOn,
    kSaturationAutoLevelOn,
    kTolmOn,
    kTolmLowFreq,
    kTolmLowPeak,
    kTolmMidFreq,
    kTolmMidDip,
    kTolmHighFreq,
    kTolmHighPeak,
    kBraskOn,
    kBraskLowFreq,
    kBraskLowBoost,
    kBraskLowAtten,
    kBraskHighBoostFreq,
    kBraskHighBoost,
    kBraskHighBoostBandwidth,
    kBraskHighAttenFreq,
    kBraskHighAtten,
    kOutputVol,
    kPhaseOn,
    kNumParameters
};

enum class Kind
{
    switchOnOff,
    volume,
    amount,
    selector
};

extern const char* const identifiers[kNumParameters];
extern const float defaults[kNumParameters];

// The index as unsigned, so negative indices fall outside too.
inline bool isValidIndex(int index)
{
    return static_cast<unsigned>(index) < static_cast<unsigned>(kNumParameters);
}

Kind kindOf(int index);

// A number with two decimals: a point whatever the process's locale, a tie rounded away from 0,
// and a minus sign before every number below 0, also one that rounds to 0.00.
juce::String twoDecimalsText(float value);

// A value as the signal path takes it. Values outside 0..1 stay stored as the host gave them; the
// path takes them at the nearer end, so no value drives a gain or a glide beyond its range. A
// subnormal value counts as 0: the audio thread flushes subnormal numbers, and the same value must
// mean the same when a design is made elsewhere. Other values within 0..1 pass bit for bit.
float signalPathValue(float value);

// A selector's number of steps; 0 for any other index.
int selectorSteps(int index);
// The step a selector's value plays, 0 .. selectorSteps - 1: a value between two steps plays the
// higher one. 0 for any other index.
int selectorStep(int index, float value);

// What the host and the editor show for a value of the parameter; empty for an unknown index.
juce::String displayText(int index, float value);
} // namespace ParameterTable
