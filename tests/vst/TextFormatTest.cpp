// Parameter display texts: the fixed 8-character digit rules, cutting, and the promise that
// exactly maxLen + 1 bytes are written.

#include "vst/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace
{
class TextEffect : public AudioEffectX
{
public:
    TextEffect() : AudioEffectX(nullptr, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

constexpr VstInt32 kWide = 31;
constexpr char kGuard = '#';

using Format = std::function<void(TextEffect&, char*, VstInt32)>;

// Runs a formatter on a guarded buffer and checks that bytes 0..maxLen are the text followed by
// zeros and that nothing beyond byte maxLen changed.
std::string format(const Format& f, VstInt32 maxLen, TextEffect& effect)
{
    std::vector<char> buffer(static_cast<std::size_t>(maxLen) + 8, kGuard);
    f(effect, buffer.data(), maxLen);
    const std::string text(buffer.data());
    EXPECT_LE(text.size(), static_cast<std::size_t>(maxLen));
    for (std::size_t i = text.size(); i <= static_cast<std::size_t>(maxLen); ++i)
        EXPECT_EQ(buffer[i], '\0') << "byte " << i;
    for (std::size_t i = static_cast<std::size_t>(maxLen) + 1; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], kGuard) << "written beyond maxLen at " << i;
    return text;
}

std::string floatText(float value, VstInt32 maxLen = kWide)
{
    TextEffect effect;
    return format([value](TextEffect& e, char* t, VstInt32 n) { e.float2string(value, t, n); },
                  maxLen, effect);
}

std::string intText(VstInt32 value, VstInt32 maxLen = kWide)
{
    TextEffect effect;
    return format([value](TextEffect& e, char* t, VstInt32 n) { e.int2string(value, t, n); },
                  maxLen, effect);
}

TEST(Float2String, UsesEightCharactersWithTruncatedFraction)
{
    struct Case
    {
        float value;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0.0f, "0.000000"},       {-0.0f, "0.000000"},     {1.5f, "1.500000"},
        {-1.5f, "-1.50000"},      {-0.5f, "-0.50000"},     {1234.5f, "1234.500"},
        {123.456f, "123.4560"},   {2.675f, "2.674999"},    {9999999.0f, "9999999."},
        {0.1f, "0.100000"},       {999999.9f, "999999.8"}, {-999999.0f, "-999999."},
        {-99999.5f, "-99999.5"},  {1e-7f, "0.000000"},     {7.0f, "7.000000"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(floatText(c.value), c.text) << c.value;
        EXPECT_EQ(floatText(c.value, 8), c.text) << c.value << " with maxLen 8";
    }
}

TEST(Float2String, OutOfRangeIsHuge)
{
    EXPECT_EQ(floatText(1.0e9f), "Huge!");
    EXPECT_EQ(floatText(-1.0e7f), "Huge!");
    EXPECT_EQ(floatText(100000000.0f), "Huge!");
    EXPECT_EQ(floatText(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(1.0e9f, 3), "Hug");
}

TEST(Float2String, IntegerPartsLongerThanTheBudgetKeepAllDigits)
{
    EXPECT_EQ(floatText(10000000.0f), "10000000.");
    EXPECT_EQ(floatText(99999992.0f), "99999992.");
    EXPECT_EQ(floatText(-1234567.0f), "-1234567.");
    EXPECT_EQ(floatText(-9999999.0f), "-9999999.");
    EXPECT_EQ(floatText(12345678.0f, 8), "12345678");
}

TEST(Float2String, NotANumberIsNamed)
{
    EXPECT_EQ(floatText(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST(Float2String, CutsToMaxLen)
{
    EXPECT_EQ(floatText(1234.5f, 5), "1234.");
    EXPECT_EQ(floatText(-1.5f, 2), "-1");
    EXPECT_EQ(floatText(1.5f, 0), "");
}

TEST(Int2String, WritesDecimalDigits)
{
    EXPECT_EQ(intText(42), "42");
    EXPECT_EQ(intText(-7), "-7");
    EXPECT_EQ(intText(0), "0");
    EXPECT_EQ(intText(100), "100");
    EXPECT_EQ(intText(99999999), "99999999");
    EXPECT_EQ(intText(-123456789), "-123456789");
    EXPECT_EQ(intText(12345, 2), "12");
}

TEST(Int2String, LargeValuesAreHugeAndLargeNegativesKeepTheirDigits)
{
    EXPECT_EQ(intText(100000000), "Huge!");
    EXPECT_EQ(intText(INT32_MAX), "Huge!");
    EXPECT_EQ(intText(-1000000000), "-1000000000");
    EXPECT_EQ(intText(INT32_MIN), "-2147483648");
}

TEST(UnitTexts, DecibelsHertzAndMilliseconds)
{
    TextEffect effect;
    auto dB = [&](float v) {
        return format([v](TextEffect& e, char* t, VstInt32 n) { e.dB2string(v, t, n); }, kWide,
                      effect);
    };
    auto hz = [&](float v) {
        return format([v](TextEffect& e, char* t, VstInt32 n) { e.Hz2string(v, t, n); }, kWide,
                      effect);
    };
    auto ms = [&](float v) {
        return format([v](TextEffect& e, char* t, VstInt32 n) { e.ms2string(v, t, n); }, kWide,
                      effect);
    };
    EXPECT_EQ(dB(0.0f), "-oo");
    EXPECT_EQ(dB(-3.0f), "-oo");
    EXPECT_EQ(dB(1.0f), "0.000000");
    EXPECT_EQ(dB(0.5f), "-6.02059");
    EXPECT_EQ(dB(2.0f), "6.020599");
    EXPECT_EQ(dB(0.001f), "-60.0000");
    EXPECT_EQ(hz(0.0f), "0.000000");
    EXPECT_EQ(hz(100.0f), "441.0000");
    EXPECT_EQ(ms(44100.0f), "1000.000");

    effect.setSampleRate(48000.0f);
    EXPECT_EQ(hz(100.0f), "480.0000");
    EXPECT_EQ(ms(480.0f), "10.00000");
    EXPECT_EQ(format([](TextEffect& e, char* t, VstInt32 n) { e.dB2string(0.0f, t, n); }, 2,
                     effect),
              "-o");
}

TEST(UnitTexts, GoThroughTheOverridableFloatFormatter)
{
    struct Marked : TextEffect
    {
        void float2string(float value, char* text, VstInt32 maxLen) override
        {
            std::snprintf(text, static_cast<std::size_t>(maxLen) + 1, "<%g>", value);
        }
        float getSampleRate() override { return 1000.0f; }
    };
    Marked effect;
    char text[32];
    effect.dB2string(1.0f, text, 31);
    EXPECT_STREQ(text, "<0>");
    effect.Hz2string(4.0f, text, 31);
    EXPECT_STREQ(text, "<250>");
    effect.ms2string(500.0f, text, 31);
    EXPECT_STREQ(text, "<500>");
}

TEST(UnitTexts, TolerateNullTextAndNegativeLength)
{
    TextEffect effect;
    effect.float2string(1.0f, nullptr, 8);
    effect.int2string(1, nullptr, 8);
    effect.dB2string(0.0f, nullptr, 8);
    char text[4] = {'a', 'b', 'c', 'd'};
    effect.float2string(1.0f, text, -1);
    effect.int2string(1, text, -5);
    EXPECT_EQ(std::string(text, 4), "abcd");
}
} // namespace
