#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>
#include <string>

using namespace ParameterTable;

namespace
{
struct Row
{
    int index;
    float value;
    const char* text;
};

// Exact ties round away from 0; a minus sign stands before every number below 0.
const Row rows[] = {
    {kInputVol, 0.503125f, "0.13db"},   // +0.125 dB exactly
    {kInputVol, 0.496875f, "-0.13db"},  // -0.125 dB exactly
    {kOutputVol, 0.515625f, "0.63db"},  // +0.625 dB exactly
    {kOutputVol, 0.4999f, "-0.00db"},
    {kOutputVol, 0.25f, "-10.00db"},
    {kOutputVol, 1e9f, "40000000000.00db"},
    {kTolmLowPeak, 0.0125f, "0.13"},    // 0.125 exactly after the product in single precision
    {kBraskHighAtten, 0.0625f, "0.63"}, // 0.625
    {kTolmMidDip, -0.0125f, "-0.13"},
    {kBraskLowBoost, -0.0f, "0.00"},
    {kBraskHighBoostBandwidth, 0.5f, "5.00"},
    {kTolmHighPeak, 1.0f, "10.00"},
    {kBraskLowAtten, 1e15f, "10000000272564224.00"},
    {kBraskHighBoost, 3e38f, "inf"},
};

// Formats with a comma and groups thousands, as many national locales do.
struct CommaNumbers : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Sets a global locale for one scope and restores the previous C and C++ locales afterwards.
struct GlobalLocale
{
    explicit GlobalLocale(const std::locale& locale) : previousCpp(std::locale::global(locale))
    {
        if (const char* name = std::setlocale(LC_ALL, nullptr))
            previousC = name;
    }
    ~GlobalLocale()
    {
        std::locale::global(previousCpp);
        std::setlocale(LC_ALL, previousC.c_str());
    }
    std::locale previousCpp;
    std::string previousC = "C";
};

void expectEveryRow(const char* localeName)
{
    WYD_KX7AudioProcessor p;
    for (const Row& row : rows)
    {
        p.liveValues[row.index] = row.value; // set directly: the formatter takes values beyond 0..1 too
        EXPECT_EQ(p.getParameterText(row.index).toStdString(), row.text) << localeName << " " << identifiers[row.index] << " " << row.value;
    }
}
} // namespace

TEST(DisplayTexts, RoundTiesUpAndWriteAPointInEveryLocale)
{
    expectEveryRow("classic");

    GlobalLocale comma(std::locale(std::locale::classic(), new CommaNumbers));
    ASSERT_EQ(juce::String(0.5f, 2), "0,50") << "the framework's own formatting follows the global locale";
    expectEveryRow("decimal comma");
}

// The same with a real national locale, built for the test into a temporary folder.
TEST(DisplayTexts, GermanSystemLocaleChangesNothing)
{
    const juce::TemporaryFile folder;
    const juce::File locales = folder.getFile();
    ASSERT_TRUE(locales.createDirectory());
    const juce::String command = "localedef -i de_DE -f UTF-8 '" + locales.getFullPathName() + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.toRawUTF8()) != 0)
    {
        locales.deleteRecursively();
        GTEST_SKIP() << "localedef could not build de_DE.UTF-8 (package locales missing?)";
    }

    const char* previousPath = std::getenv("LOCPATH");
    const std::string savedPath = previousPath != nullptr ? previousPath : "";
    setenv("LOCPATH", locales.getFullPathName().toRawUTF8(), 1);
    {
        GlobalLocale german(std::locale("de_DE.UTF-8"));
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        ASSERT_EQ(juce::String(0.5f, 2), "0,50");
        expectEveryRow("de_DE.UTF-8");
    }
    if (previousPath != nullptr)
        setenv("LOCPATH", savedPath.c_str(), 1);
    else
        unsetenv("LOCPATH");
    locales.deleteRecursively();
}
