#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace ParameterTable;

namespace
{
std::string text(WYD_KX7AudioProcessor& p, int index, float value)
{
    p.setParameter(index, value);
    return p.getParameterText(index).toStdString();
}

// The largest float that still satisfies "below t" (or "up to and including t" when inclusive),
// and the next float above it; t is compared the way the display text compares it.
struct Edge
{
    int index;
    double threshold;
    bool inclusive;
    bool doubleCompare;
    const char* lower;
    const char* upper;
};

float lastLowerFloat(const Edge& e)
{
    if (!e.doubleCompare)
    {
        const float t = static_cast<float>(e.threshold);
        return e.inclusive ? t : std::nextafter(t, -1.0f);
    }
    float f = static_cast<float>(e.threshold);
    while (e.inclusive ? static_cast<double>(f) > e.threshold : static_cast<double>(f) >= e.threshold)
        f = std::nextafter(f, -1.0f);
    while (e.inclusive ? static_cast<double>(std::nextafter(f, 2.0f)) <= e.threshold
                       : static_cast<double>(std::nextafter(f, 2.0f)) < e.threshold)
        f = std::nextafter(f, 2.0f);
    return f;
}
} // namespace

TEST(ParameterTable, NamesAndDefaultsInIndexOrder)
{
    WYD_KX7AudioProcessor p;
    ASSERT_EQ(p.getNumParameters(), 22);
    const char* expectedNames[22] = {"bypass", "inputVol", "saturationOn", "saturationAutoLevelOn", "tolmOn",
                                     "tolmLowFreq", "tolmLowPeak", "tolmMidFreq", "tolmMidDip", "tolmHighFreq",
                                     "tolmHighPeak", "braskOn", "braskLowFreq", "braskLowBoost", "braskLowAtten",
                                     "braskHighBoostFreq", "braskHighBoost", "braskHighBoostBandwidth",
                                     "braskHighAttenFreq", "braskHighAtten", "outputVol", "phaseOn"};
    const float expectedDefaults[22] = {1.0f, 0.5f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                        1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.5f, 0.0f};
    for (int i = 0; i < 22; ++i)
    {
        EXPECT_EQ(p.getParameterName(i), juce::String(expectedNames[i])) << i;
        EXPECT_EQ(p.getParameterDefaultValue(i), expectedDefaults[i]) << i;
        EXPECT_EQ(p.getParameter(i), expectedDefaults[i]) << i;
    }
}

TEST(ParameterTable, IndicesOutsideTheTableGiveEmptyAndZero)
{
    WYD_KX7AudioProcessor p;
    for (int index : {-1, 22, 1000, std::numeric_limits<int>::min()})
    {
        EXPECT_TRUE(p.getParameterName(index).isEmpty()) << index;
        EXPECT_TRUE(p.getParameterText(index).isEmpty()) << index;
        EXPECT_EQ(p.getParameter(index), 0.0f) << index;
        EXPECT_EQ(p.getParameterDefaultValue(index), 0.0f) << index;
    }
}

TEST(ParameterTable, SetParameterOutsideTheTableChangesNothing)
{
    WYD_KX7AudioProcessor p;
    p.setParameter(22, 0.7f);
    p.setParameter(-1, 0.7f);
    EXPECT_FALSE(p.parametersChanged);
    for (int i = 0; i < 22; ++i)
    {
        EXPECT_EQ(p.liveValues[i], p.getParameterDefaultValue(i));
        EXPECT_EQ(p.programs[0].values[0][i], p.getParameterDefaultValue(i));
    }
}

TEST(ParameterTable, SetParameterStoresInActiveSettingAndLiveValues)
{
    WYD_KX7AudioProcessor p;
    p.programs[0].activeChannel = 1; // the editor's A/B switch
    p.setParameter(kTolmMidDip, 0.3f);
    EXPECT_TRUE(p.parametersChanged);
    EXPECT_EQ(p.programs[0].values[1][kTolmMidDip], 0.3f);
    EXPECT_EQ(p.programs[0].values[0][kTolmMidDip], 0.0f);
    EXPECT_EQ(p.liveValues[kTolmMidDip], 0.3f);
    EXPECT_EQ(p.getParameter(kTolmMidDip), 0.3f);

    // Finite values outside 0..1 are kept at the nearer end, in the setting and live.
    p.setParameter(kTolmLowPeak, 1.5f);
    p.setParameter(kSaturationOn, -0.5f);
    EXPECT_EQ(p.getParameter(kTolmLowPeak), 1.0f);
    EXPECT_EQ(p.programs[0].values[1][kSaturationOn], 0.0f);
    EXPECT_EQ(p.liveValues[kSaturationOn], 0.0f);
}

TEST(ParameterTable, NonFiniteHostValuesKeepThePreviousValue)
{
    WYD_KX7AudioProcessor p;
    p.setParameter(kInputVol, 0.75f);
    p.parametersChanged = false;
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()})
    {
        p.setParameter(kInputVol, bad);
        EXPECT_EQ(p.liveValues[kInputVol], 0.75f);
        EXPECT_EQ(p.getParameter(kInputVol), 0.75f);
        EXPECT_FALSE(p.parametersChanged);
    }
}

TEST(ParameterTable, GetParameterReadsTheSettingAndTextTheLiveValue)
{
    WYD_KX7AudioProcessor p;
    p.setParameter(kTolmLowPeak, 0.4f);
    EXPECT_EQ(p.getParameter(kTolmLowPeak), 0.4f);
    EXPECT_EQ(p.getParameterText(kTolmLowPeak), "4.00");

    // Switching to setting B without a hand-over: the stored value changes, the live one not yet.
    p.programs[0].activeChannel = 1;
    EXPECT_EQ(p.getParameter(kTolmLowPeak), 0.0f);
    EXPECT_EQ(p.getParameterText(kTolmLowPeak), "4.00");
}

TEST(ParameterTable, SwitchVolumeAndAmountTexts)
{
    WYD_KX7AudioProcessor p;
    for (int index : {0, 2, 3, 4, 11, 21})
    {
        EXPECT_EQ(text(p, index, 0.0f), "Off") << index;
        EXPECT_EQ(text(p, index, -0.0f), "Off") << index;
        EXPECT_EQ(text(p, index, -0.5f), "Off") << index; // taken at 0, as it plays
        EXPECT_EQ(text(p, index, 1e-30f), "On") << index;
        EXPECT_EQ(text(p, index, 1.0f), "On") << index;
    }
    for (int index : {1, 20})
    {
        EXPECT_EQ(text(p, index, 0.0f), "-20.00db") << index;
        EXPECT_EQ(text(p, index, 0.25f), "-10.00db") << index;
        EXPECT_EQ(text(p, index, 0.5f), "0.00db") << index;
        EXPECT_EQ(text(p, index, 0.6f), "4.00db") << index;
        EXPECT_EQ(text(p, index, 1.0f), "20.00db") << index;
    }
    for (int index : {6, 8, 10, 13, 14, 16, 17, 19})
    {
        EXPECT_EQ(text(p, index, 0.0f), "0.00") << index;
        EXPECT_EQ(text(p, index, 0.1234f), "1.23") << index;
        EXPECT_EQ(text(p, index, 0.5f), "5.00") << index;
        EXPECT_EQ(text(p, index, 1.0f), "10.00") << index;
    }
}

TEST(ParameterTable, EveryStepShowsItsOwnText)
{
    WYD_KX7AudioProcessor p;
    struct Selector
    {
        int index;
        std::vector<const char*> texts;
    };
    const Selector selectors[] = {
        {kTolmLowFreq, {"200 Hz", "300 Hz", "500 Hz", "700 Hz", "1000 Hz"}},
        {kTolmMidFreq,
         {"0.2 kHz", "0.3 kHz", "0.5 kHz", "0.7 kHz", "1 kHz", "1.5 kHz", "2 kHz", "3 kHz", "4 kHz", "5 kHz", "7 kHz"}},
        {kTolmHighFreq, {"1.5 kHz", "2 kHz", "3 kHz", "4 kHz", "5 kHz"}},
        {kBraskLowFreq, {"20 Hz", "30 Hz", "60 Hz", "100 Hz"}},
        {kBraskHighBoostFreq, {"3 kHz", "4 kHz", "5 kHz", "8 kHz", "10 kHz", "12 kHz", "16 kHz"}},
        {kBraskHighAttenFreq, {"5 kHz", "10 kHz", "20 kHz"}},
    };
    for (const Selector& s : selectors)
    {
        const int steps = static_cast<int>(s.texts.size()) - 1;
        for (int k = 0; k <= steps; ++k)
        {
            const float value = static_cast<float>(k) / static_cast<float>(steps);
            EXPECT_EQ(text(p, s.index, value), s.texts[static_cast<size_t>(k)]) << s.index << " step " << k;
        }
    }
    EXPECT_EQ(text(p, kTolmLowFreq, 0.75f), "700 Hz");
    EXPECT_EQ(text(p, kTolmHighFreq, 0.75f), "4 kHz");
    EXPECT_EQ(text(p, kBraskHighBoostFreq, 1.0f / 3.0f), "5 kHz");
    EXPECT_EQ(text(p, kBraskHighBoostFreq, 2.0f / 3.0f), "10 kHz");
    EXPECT_EQ(text(p, kBraskLowFreq, 1.0f / 3.0f), "30 Hz");
    EXPECT_EQ(text(p, kBraskLowFreq, 2.0f / 3.0f), "60 Hz");
    // Outside 0..1 the first and last texts hold.
    EXPECT_EQ(text(p, kTolmMidFreq, -1.0f), "0.2 kHz");
    EXPECT_EQ(text(p, kBraskHighBoostFreq, 5.0f), "16 kHz");
}

TEST(ParameterTable, SelectorThresholdEdges)
{
    const Edge edges[] = {
        {kTolmLowFreq, 0.125, false, false, "200 Hz", "300 Hz"},
        {kTolmLowFreq, 0.375, false, false, "300 Hz", "500 Hz"},
        {kTolmLowFreq, 0.625, false, false, "500 Hz", "700 Hz"},
        {kTolmLowFreq, 0.875, false, false, "700 Hz", "1000 Hz"},
        {kTolmMidFreq, 0.05, false, false, "0.2 kHz", "0.3 kHz"},
        {kTolmMidFreq, 0.15, false, false, "0.3 kHz", "0.5 kHz"},
        {kTolmMidFreq, 0.25, false, false, "0.5 kHz", "0.7 kHz"},
        {kTolmMidFreq, 0.35, false, false, "0.7 kHz", "1 kHz"},
        {kTolmMidFreq, 0.45, false, false, "1 kHz", "1.5 kHz"},
        {kTolmMidFreq, 0.55, false, false, "1.5 kHz", "2 kHz"},
        {kTolmMidFreq, 0.65, false, false, "2 kHz", "3 kHz"},
        {kTolmMidFreq, 0.75, false, false, "3 kHz", "4 kHz"},
        {kTolmMidFreq, 0.85, false, false, "4 kHz", "5 kHz"},
        {kTolmMidFreq, 0.95, false, false, "5 kHz", "7 kHz"},
        {kTolmHighFreq, 0.125, false, false, "1.5 kHz", "2 kHz"},
        {kTolmHighFreq, 0.375, false, false, "2 kHz", "3 kHz"},
        {kTolmHighFreq, 0.625, false, false, "3 kHz", "4 kHz"},
        {kTolmHighFreq, 0.875, false, false, "4 kHz", "5 kHz"},
        {kBraskLowFreq, 0.166667, false, true, "20 Hz", "30 Hz"},
        {kBraskLowFreq, 0.5, false, false, "30 Hz", "60 Hz"},
        {kBraskLowFreq, 0.833334, false, true, "60 Hz", "100 Hz"},
        {kBraskHighBoostFreq, 0.0833333, false, true, "3 kHz", "4 kHz"},
        {kBraskHighBoostFreq, 0.25, false, false, "4 kHz", "5 kHz"},
        {kBraskHighBoostFreq, 0.416667, true, true, "5 kHz", "8 kHz"},
        {kBraskHighBoostFreq, 0.58333, true, true, "8 kHz", "10 kHz"},
        {kBraskHighBoostFreq, 0.75, true, false, "10 kHz", "12 kHz"},
        {kBraskHighBoostFreq, 0.91666, true, true, "12 kHz", "16 kHz"},
        {kBraskHighAttenFreq, 0.25, false, false, "5 kHz", "10 kHz"},
        {kBraskHighAttenFreq, 0.75, false, false, "10 kHz", "20 kHz"},
    };
    WYD_KX7AudioProcessor p;
    for (const Edge& e : edges)
    {
        const float lower = lastLowerFloat(e);
        const float upper = std::nextafter(lower, 2.0f);
        EXPECT_EQ(text(p, e.index, lower), e.lower) << e.index << " at " << e.threshold;
        EXPECT_EQ(text(p, e.index, upper), e.upper) << e.index << " at " << e.threshold;
    }
    // A threshold value itself belongs to the step above it.
    EXPECT_EQ(text(p, kTolmMidFreq, 0.05f), "0.3 kHz");
    // The double threshold 0.166667 lies above the float nearest to it, so that float still
    // reads as the lower step; a single-precision comparison would give "30 Hz".
    EXPECT_LT(static_cast<double>(static_cast<float>(0.166667)), 0.166667);
    EXPECT_EQ(text(p, kBraskLowFreq, static_cast<float>(0.166667)), "20 Hz");
}
