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

TEST(ParameterTable, SelectorTextsChangeJustAboveEachStep)
{
    WYD_KX7AudioProcessor p;
    for (const Selector& s : selectors)
    {
        const int last = static_cast<int>(s.texts.size()) - 1;
        for (int k = 0; k < last; ++k)
        {
            // The step as the editor sends it (k times the double interval) and as a float quotient.
            const float fromEditor = static_cast<float>(k * (1.0 / last));
            const float step = static_cast<float>(k) / static_cast<float>(last);
            EXPECT_EQ(text(p, s.index, fromEditor), s.texts[static_cast<size_t>(k)]) << s.index << " step " << k;
            // Above 0 the first value that plays as more than 0 is the smallest normal float.
            const float above = k == 0 ? std::numeric_limits<float>::min() : std::nextafter(step, 2.0f);
            EXPECT_EQ(text(p, s.index, above), s.texts[static_cast<size_t>(k) + 1]) << s.index << " above step " << k;
        }
    }
    EXPECT_EQ(text(p, kTolmLowFreq, 0.1f), "300 Hz");
    EXPECT_EQ(text(p, kTolmLowFreq, 0.3f), "500 Hz");
    EXPECT_EQ(text(p, kBraskHighAttenFreq, 0.1f), "10 kHz");
    EXPECT_EQ(text(p, kTolmMidFreq, std::nextafter(0.0f, 1.0f)), "0.2 kHz");
}
