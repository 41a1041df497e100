#include "processor/ParameterTable.h"

#include "dsp/HolvanDrelk.h"
#include "dsp/HolvanVurnHigh.h"
#include "dsp/HolvanVurnLow.h"
#include "dsp/HolvanVurnMid.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace ParameterTable
{
const char* const identifiers[kNumParameters] = {
    "bypass",
    "inputVol",
    "saturationOn",
    "saturationAutoLevelOn",
    "tolmOn",
    "tolmLowFreq",
    "tolmLowPeak",
    "tolmMidFreq",
    "tolmMidDip",
    "tolmHighFreq",
    "tolmHighPeak",
    "braskOn",
    "braskLowFreq",
    "braskLowBoost",
    "braskLowAtten",
    "braskHighBoostFreq",
    "braskHighBoost",
    "braskHighBoostBandwidth",
    "braskHighAttenFreq",
    "braskHighAtten",
    "outputVol",
    "phaseOn",
};

const float defaults[kNumParameters] = {
    1.0f, // bypass: processing on
    0.5f, // inputVol: 0 dB
    0.0f, 0.0f,
    1.0f, // tolmOn
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
    1.0f, // braskOn
    0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
    0.5f, // braskHighBoostBandwidth
    0.0f, 0.0f,
    0.5f, // outputVol: 0 dB
    0.0f,
};

Kind kindOf(int index)
{
    switch (index)
    {
    case kBypass:
    case kSaturationOn:
    case kSaturationAutoLevelOn:
    case kTolmOn:
    case kBraskOn:
    case kPhaseOn:
        return Kind::switchOnOff;
    case kInputVol:
    case kOutputVol:
        return Kind::volume;
    case kTolmLowFreq:
    case kTolmMidFreq:
    case kTolmHighFreq:
    case kBraskLowFreq:
    case kBraskHighBoostFreq:
    case kBraskHighAttenFreq:
        return Kind::selector;
    default:
        return Kind::amount;
    }
}

namespace
{
// Step texts of each selector, lowest frequency first.
const char* const tolmLowFreqTexts[] = {"200 Hz", "300 Hz", "500 Hz", "700 Hz", "1000 Hz"};
const char* const tolmMidFreqTexts[] = {"0.2 kHz", "0.3 kHz", "0.5 kHz", "0.7 kHz", "1 kHz", "1.5 kHz",
                                        "2 kHz",   "3 kHz",   "4 kHz",   "5 kHz",   "7 kHz"};
const char* const tolmHighFreqTexts[] = {"1.5 kHz", "2 kHz", "3 kHz", "4 kHz", "5 kHz"};
const char* const braskLowFreqTexts[] = {"20 Hz", "30 Hz", "60 Hz", "100 Hz"};
const char* const braskHighBoostFreqTexts[] = {"3 kHz", "4 kHz", "5 kHz", "8 kHz", "10 kHz", "12 kHz", "16 kHz"};
const char* const braskHighAttenFreqTexts[] = {"5 kHz", "10 kHz", "20 kHz"};

// Every digit of a number this large stands before the point, and its hundredths would not fit
// the integer below.
constexpr double kLargestRoundedNumber = 1e15;

// Digits of a number beyond kLargestRoundedNumber, or "inf" and "nan"; the same in every locale.
juce::String largeNumberText(double number)
{
    char text[400];
    const auto written = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed, 2);
    return juce::String(text, static_cast<size_t>(written.ptr - text));
}
} // namespace

juce::String twoDecimalsText(float value)
{
    const double number = value;
    if (!(std::fabs(number) < kLargestRoundedNumber))
        return largeNumberText(number);

    // Built digit by digit, never through a stream or printf: hosts set the process's locale, and
    // a decimal comma must not reach these texts.
    auto hundredths = static_cast<int64_t>(100.0 * std::fabs(number) + 0.5);
    char text[32];
    char* start = text + sizeof text;
    for (int places = 2; places >= 0 || hundredths > 0; --places)
    {
        if (places == 0)
            *--start = '.';
        *--start = static_cast<char>('0' + hundredths % 10);
        hundredths /= 10;
    }
    if (number < 0.0)
        *--start = '-';
    return juce::String(start, static_cast<size_t>(text + sizeof text - start));
}

float signalPathValue(float value)
{
    // Also below 0, subnormal or not a number.
    if (!(value >= std::numeric_limits<float>::min()))
        return 0.0f;
    return value < 1.0f ? value : 1.0f;
}

namespace
{
struct StepTexts
{
    const char* const* texts = nullptr;
    int count = 0;
};

template <size_t N>
constexpr StepTexts stepTexts(const char* const (&texts)[N])
{
    return {texts, static_cast<int>(N)};
}

StepTexts stepTextsOf(int index)
{
    switch (index)
    {
    case kTolmLowFreq: return stepTexts(tolmLowFreqTexts);
    case kTolmMidFreq: return stepTexts(tolmMidFreqTexts);
    case kTolmHighFreq: return stepTexts(tolmHighFreqTexts);
    case kBraskLowFreq: return stepTexts(braskLowFreqTexts);
    case kBraskHighBoostFreq: return stepTexts(braskHighBoostFreqTexts);
    case kBraskHighAttenFreq: return stepTexts(braskHighAttenFreqTexts);
    default: return {};
    }
}
} // namespace

int selectorSteps(int index)
{
    return stepTextsOf(index).count;
}

int selectorStep(int index, float value)
{
    // The signal path's own rule, so that no value shows one step and plays another.
    const float v = signalPathValue(value);
    switch (index)
    {
    case kTolmLowFreq: return HolvanVurnLow::frequencyPosition(v);
    case kTolmMidFreq: return HolvanVurnMid::frequencyPosition(v);
    case kTolmHighFreq: return HolvanVurnHigh::frequencyPosition(v);
    case kBraskLowFreq: return HolvanDrelk::lowFreqPosition(v);
    case kBraskHighBoostFreq: return HolvanDrelk::highBoostFreqPosition(v);
    case kBraskHighAttenFreq: return HolvanDrelk::highAttenFreqPosition(v);
    default: return 0;
    }
}

namespace
{
juce::String selectorText(int index, float value)
{
    const StepTexts steps = stepTextsOf(index);
    if (steps.count == 0)
        return {};
    return steps.texts[selectorStep(index, value)];
}
} // namespace

juce::String displayText(int index, float value)
{
    if (!isValidIndex(index))
        return {};

    switch (kindOf(index))
    {
    case Kind::switchOnOff:
        return value == 0.0f ? "Off" : "On";
    case Kind::volume:
        return twoDecimalsText(value * 40.0f + (-20.0f)) + "db";
    case Kind::amount:
        return twoDecimalsText(value * 10.0f);
    case Kind::selector:
        return selectorText(index, value);
    }
    return {};
}
} // namespace ParameterTable
