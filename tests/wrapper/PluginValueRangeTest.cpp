// Host values beyond 0..1 through the plug-in record: taken at the nearer end, so that what is
// stored, shown, announced after a program change and saved lies within 0..1.

#include "PluginTestSupport.h"

#include <cmath>
#include <limits>
#include <string>

namespace
{

using PluginValueRange = plugintest::LoadedPlugin;

constexpr VstInt32 kInputVol = 1, kTolmLowPeak = 6, kBraskHighAtten = 19, kOutputVol = 20;

TEST_F(PluginValueRange, ValuesBeyondEitherEndAreTakenAtThatEnd)
{
    plugin->setParameter(kInputVol, 2.0f);
    plugin->setParameter(kOutputVol, -1.0f);
    plugin->setParameter(kTolmLowPeak, 1e30f);
    plugin->setParameter(kBraskHighAtten, 0.3f);
    // Not numbers at all: the previous value stays.
    plugin->setParameter(kBraskHighAtten, std::numeric_limits<float>::infinity());
    plugin->setParameter(kBraskHighAtten, std::nanf(""));

    EXPECT_EQ(plugin->getParameter(kInputVol), 1.0f);
    EXPECT_EQ(plugin->getParameter(kOutputVol), 0.0f);
    EXPECT_EQ(plugin->getParameter(kTolmLowPeak), 1.0f);
    EXPECT_EQ(plugin->getParameter(kBraskHighAtten), 0.3f);
    EXPECT_EQ(plugin->parameterDisplay(kInputVol), "20.00db");
    EXPECT_EQ(plugin->parameterDisplay(kOutputVol), "-20.00db");
    EXPECT_EQ(plugin->parameterDisplay(kTolmLowPeak), "10.00");

    host.clearCalls();
    plugin->dispatch(effSetProgram, 0, 0);
    const auto automated = host.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 22u);
    for (const auto& call : automated)
    {
        EXPECT_GE(call.opt, 0.0f) << "parameter " << call.index;
        EXPECT_LE(call.opt, 1.0f) << "parameter " << call.index;
    }
    EXPECT_EQ(automated[kInputVol].opt, 1.0f);
    EXPECT_EQ(automated[kOutputVol].opt, 0.0f);
    EXPECT_EQ(automated[kTolmLowPeak].opt, 1.0f);

    const std::vector<char> program = plugin->getChunk(true);
    const std::string saved(program.begin(), program.end());
    EXPECT_NE(saved.find("property=\"inputVol\" type=\"number\">1.00000<"), std::string::npos);
    EXPECT_NE(saved.find("property=\"outputVol\" type=\"number\">0.00000<"), std::string::npos);
    EXPECT_NE(saved.find("property=\"tolmLowPeak\" type=\"number\">1.00000<"), std::string::npos);
}

} // namespace
