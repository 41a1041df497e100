#include "processor/ParameterTable.h"
#include "processor/PresetDocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ParameterTable;
using namespace PresetDocument;

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

juce::String encoded(int index, float value)
{
    return encodeValue(index, value);
}
} // namespace

TEST(PresetValueEncoding, SwitchIsTrueOnlyAboveZeroAndReadsOnlyExactTrue)
{
    for (int index : { kBypass, kSaturationOn, kSaturationAutoLevelOn, kTolmOn, kBraskOn, kPhaseOn })
    {
        EXPECT_EQ(encoded(index, 1.0f), "true");
        EXPECT_EQ(encoded(index, 0.3f), "true");
        EXPECT_EQ(encoded(index, 0.0f), "false");
        EXPECT_EQ(encoded(index, -0.5f), "false");
        EXPECT_EQ(encoded(index, kNaN), "false");
    }
    EXPECT_EQ(decodeValue(kBypass, "true"), 1.0f);
    for (const char* text : { "True", "TRUE", " true", "true ", "1", "yes", "", "nan" })
        EXPECT_EQ(decodeValue(kPhaseOn, text), 0.0f) << text;
}

TEST(PresetValueEncoding, StepGoesUpToTheNextStep)
{
    EXPECT_EQ(encoded(kTolmLowFreq, 0.26f), "2");
    EXPECT_EQ(decodeValue(kTolmLowFreq, "2"), 0.5f);
    EXPECT_EQ(encoded(kBraskHighAttenFreq, 0.5f), "1");
    EXPECT_EQ(encoded(kTolmMidFreq, 0.35f), "4");
    EXPECT_EQ(encoded(kTolmMidFreq, 0.31f), "4"); // nearest would be 3
    EXPECT_EQ(encoded(kBraskHighBoostFreq, 0.01f), "1");
    // Out-of-range values keep their number; a small negative product is 0, not "-0".
    EXPECT_EQ(encoded(kTolmLowFreq, -0.1f), "0");
    EXPECT_EQ(encoded(kTolmLowFreq, 2.0f), "8");
    EXPECT_EQ(encoded(kTolmLowFreq, -1.0f), "-4");
    EXPECT_EQ(encoded(kTolmLowFreq, kNaN), "0");
    EXPECT_EQ(encoded(kTolmLowFreq, kInfinity), "0");
}

TEST(PresetValueEncoding, EveryExactStepWritesItsNumberAndReadsBackExactly)
{
    for (int index : { kTolmLowFreq, kTolmMidFreq, kTolmHighFreq, kBraskLowFreq, kBraskHighBoostFreq, kBraskHighAttenFreq })
    {
        const int steps = stepsOf(index);
        ASSERT_GT(steps, 0);
        for (int k = 0; k <= steps; ++k)
        {
            const float position = static_cast<float>(k) / static_cast<float>(steps);
            EXPECT_EQ(encoded(index, position), juce::String(k)) << identifiers[index] << " " << k;
            EXPECT_EQ(decodeValue(index, juce::String(k)), position) << identifiers[index] << " " << k;
        }
    }
    EXPECT_EQ(stepsOf(kTolmMidFreq), 10);
    EXPECT_EQ(stepsOf(kBraskHighBoostFreq), 6);
    EXPECT_EQ(stepsOf(kBraskLowFreq), 3);
    EXPECT_EQ(stepsOf(kInputVol), 0);
}

TEST(PresetValueEncoding, DecimalHasFiveRoundedPlaces)
{
    EXPECT_EQ(encoded(kInputVol, 0.5f), "0.50000");
    EXPECT_EQ(encoded(kInputVol, 0.0f), "0.00000");
    EXPECT_EQ(encoded(kInputVol, 0.123456f), "0.12346");
    EXPECT_EQ(encoded(kOutputVol, 1.0f), "1.00000");
    EXPECT_EQ(encoded(kTolmLowPeak, 12.5f), "12.50000");
    EXPECT_EQ(encoded(kBraskHighAtten, -0.25f), "-0.25000");
    // Rounding is done on the float widened to double: 0.000005f is just below 0.000005.
    EXPECT_EQ(encoded(kTolmMidDip, 0.000005f), "0.00000");
    EXPECT_EQ(encoded(kTolmMidDip, 0.0000051f), "0.00001");
    EXPECT_EQ(encoded(kTolmMidDip, -0.000001f), "-0.00000");
    EXPECT_EQ(encoded(kTolmMidDip, -0.0f), "0.00000");
    EXPECT_EQ(encoded(kTolmMidDip, 3.0e38f).length(), 45); // 39 digits, point, five places
    EXPECT_EQ(encoded(kInputVol, kNaN), "0.00000");
    EXPECT_EQ(encoded(kInputVol, -kInfinity), "0.00000");
}

// What the readers store: within 0..1, beyond either end at that end; a NaN is no value at all.
TEST(PresetValueEncoding, DecodedValuesLieWithinZeroToOneAndNaNIsNone)
{
    const struct
    {
        int index;
        const char* text;
        float stored;
    } rows[] = {
        {kInputVol, "0.12346", 0.12346f}, {kInputVol, "junk", 0.0f},     {kInputVol, "1e-999", 0.0f},
        {kInputVol, "1.5", 1.0f},         {kInputVol, "-2", 0.0f},       {kTolmLowPeak, "1e9", 1.0f},
        {kInputVol, "-5", 0.0f},          {kInputVol, "3e38", 1.0f},     {kInputVol, "1e39", 1.0f},
        {kInputVol, "-4e38", 0.0f},       {kInputVol, "1e999", 1.0f},    {kInputVol, "inf", 1.0f},
        {kInputVol, "-Infinity", 0.0f},   {kTolmMidFreq, "3", 0.3f},     {kTolmMidFreq, "11", 1.0f},
        {kTolmMidFreq, "-1", 0.0f},       {kTolmMidFreq, "1e39", 1.0f},  {kTolmLowFreq, "-inf", 0.0f},
        {kBypass, "true", 1.0f},          {kBypass, "false", 0.0f},
    };
    for (const auto& row : rows)
    {
        const auto value = decodeValue(row.index, row.text);
        ASSERT_TRUE(value.has_value()) << row.text;
        EXPECT_EQ(*value, row.stored) << row.text;
    }
    for (const char* text : { "nan", "NaN", "-nan", " nan" })
    {
        EXPECT_FALSE(decodeValue(kInputVol, text).has_value()) << text;
        EXPECT_FALSE(decodeValue(kTolmMidFreq, text).has_value()) << text;
    }
}

TEST(PresetValueEncoding, NumberInReadsTheLeadingDecimalNumber)
{
    EXPECT_EQ(numberIn("0.5"), 0.5);
    EXPECT_EQ(numberIn("  -1.5e2xyz"), -150.0);
    EXPECT_EQ(numberIn("\t+3"), 3.0);
    EXPECT_EQ(numberIn(".5"), 0.5);
    EXPECT_EQ(numberIn("5."), 5.0);
    EXPECT_EQ(numberIn("1e"), 1.0);
    EXPECT_EQ(numberIn("1e+"), 1.0);
    EXPECT_EQ(numberIn("2E-1"), 0.2);
    EXPECT_EQ(numberIn("0x10"), 0.0);
    EXPECT_EQ(numberIn("1,5"), 1.0);
    EXPECT_EQ(numberIn("abc"), 0.0);
    EXPECT_EQ(numberIn("."), 0.0);
    EXPECT_EQ(numberIn("-"), 0.0);
    EXPECT_EQ(numberIn(""), 0.0);
    EXPECT_EQ(numberIn("1.1"), 1.1);
    EXPECT_EQ(numberIn("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numberIn("-0.00001e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(numberIn("100000e-400"), 0.0);
    EXPECT_TRUE(std::isnan(numberIn("nan")));
}

TEST(PresetValueEncoding, IntegerInReadsTheLeadingWholeNumber)
{
    EXPECT_EQ(integerIn("7"), 7);
    EXPECT_EQ(integerIn("  12abc"), 12);
    EXPECT_EQ(integerIn("-1"), -1);
    EXPECT_EQ(integerIn("1.9"), 1);
    EXPECT_EQ(integerIn("--1"), 0);
    EXPECT_EQ(integerIn("- 1"), 0);
    EXPECT_EQ(integerIn("x1"), 0);
    EXPECT_EQ(integerIn(""), 0);
    EXPECT_EQ(integerIn("99999999999999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ(integerIn("-99999999999999999999"), std::numeric_limits<int>::min());

    EXPECT_EQ(settingFromDocument(0), 0);
    EXPECT_EQ(settingFromDocument(1), 1);
    for (int odd : { 2, -1, 7, std::numeric_limits<int>::min() })
        EXPECT_EQ(settingFromDocument(odd), 0) << odd;
}

TEST(PresetValueEncoding, TagsIgnoreAsciiCaseAndIdentifiersDoNot)
{
    EXPECT_TRUE(hasTag(juce::XmlElement("TARVELpatch"), rootTag));
    EXPECT_TRUE(hasTag(juce::XmlElement("properties"), propertiesTag));
    EXPECT_FALSE(hasTag(juce::XmlElement("tarvelPatchX"), rootTag));
    EXPECT_FALSE(hasTag(juce::XmlElement("tarvelPatc"), rootTag));

    EXPECT_EQ(parameterIndexOf("inputVol"), kInputVol);
    EXPECT_EQ(parameterIndexOf("phaseOn"), kPhaseOn);
    EXPECT_EQ(parameterIndexOf("InputVol"), -1);
    EXPECT_EQ(parameterIndexOf("inputVol "), -1);
    EXPECT_EQ(parameterIndexOf("saturationAutoLeve"), -1);
}
