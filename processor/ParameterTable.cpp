#include "processor/ParameterTable.h"

#include <charconv>
#include <cmath>
#include <cstdint>

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
// Every threshold lies halfway between two steps. Some are double constants compared with the
// value widened to double; the rest compare in single precision.
const char* tolmLowFreqText(float v)
{
    if (v < 0.125f) return "200 Hz";
    if (v < 0.375f) return "300 Hz";
    if (v < 0.625f) return "500 Hz";
    if (v < 0.875f) return "700 Hz";
    return "1000 Hz";
}

const char* tolmMidFreqText(float v)
{
    if (v < 0.05f) return "0.2 kHz";
    if (v < 0.15f) return "0.3 kHz";
    if (v < 0.25f) return "0.5 kHz";
    if (v < 0.35f) return "0.7 kHz";
    if (v < 0.45f) return "1 kHz";
    if (v < 0.55f) return "1.5 kHz";
    if (v < 0.65f) return "2 kHz";
    if (v < 0.75f) return "3 kHz";
    if (v < 0.85f) return "4 kHz";
    if (v < 0.95f) return "5 kHz";
    return "7 kHz";
}

const char* tolmHighFreqText(float v)
{
    if (v < 0.125f) return "1.5 kHz";
    if (v < 0.375f) return "2 kHz";
    if (v < 0.625f) return "3 kHz";
    if (v < 0.875f) return "4 kHz";
    return "5 kHz";
}

const char* braskLowFreqText(float v)
{
    const double d = v;
    if (d < 0.166667) return "20 Hz";
    if (v < 0.5f) return "30 Hz";
    if (d < 0.833334) return "60 Hz";
    return "100 Hz";
}

const char* braskHighBoostFreqText(float v)
{
    const double d = v;
    if (d < 0.0833333) return "3 kHz";
    if (v < 0.25f) return "4 kHz";
    if (d <= 0.416667) return "5 kHz";
    if (d <= 0.58333) return "8 kHz";
    if (v <= 0.75f) return "10 kHz";
    if (d <= 0.91666) return "12 kHz";
    return "16 kHz";
}

const char* braskHighAttenFreqText(float v)
{
    if (v < 0.25f) return "5 kHz";
    if (v < 0.75f) return "10 kHz";
    return "20 kHz";
}

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

namespace
{
juce::String selectorText(int index, float v)
{
    switch (index)
    {
    case kTolmLowFreq: return tolmLowFreqText(v);
    case kTolmMidFreq: return tolmMidFreqText(v);
    case kTolmHighFreq: return tolmHighFreqText(v);
    case kBraskLowFreq: return braskLowFreqText(v);
    case kBraskHighBoostFreq: return braskHighBoostFreqText(v);
    case kBraskHighAttenFreq: return braskHighAttenFreqText(v);
    default: return {};
    }
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
