#include "PresetTestSupport.h"

#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace ParameterTable;
using presettest::clearFlags;
using presettest::HostRecorder;

TEST(Programs, FreshInstanceHoldsDefaultsEverywhere)
{
    std::unique_ptr<juce::AudioProcessor> made(createPluginFilter());
    auto* p = dynamic_cast<WYD_KX7AudioProcessor*>(made.get());
    ASSERT_NE(p, nullptr);

    EXPECT_EQ(p->getName(), "Tarvel WYD-KX7");
    EXPECT_EQ(p->getInputChannelName(0), "1");
    EXPECT_EQ(p->getOutputChannelName(1), "2");
    EXPECT_EQ(p->getNumPrograms(), 12);
    EXPECT_EQ(p->getCurrentProgram(), 0);
    EXPECT_FALSE(p->programChanged);
    EXPECT_FALSE(p->parametersChanged);
    EXPECT_FALSE(p->channelChanged);
    EXPECT_EQ(p->stateXml, nullptr);
    for (int program = 0; program < 12; ++program)
    {
        const ProgramSlot& slot = p->programs[program];
        EXPECT_EQ(p->getProgramName(program), "Init");
        EXPECT_EQ(slot.activeChannel, 0);
        for (int setting = 0; setting < 2; ++setting)
        {
            EXPECT_EQ(slot.presetPath[setting], "Init.tz7p");
            for (int i = 0; i < kNumParameters; ++i)
                EXPECT_EQ(slot.values[setting][i], defaults[i]) << program << "/" << setting << "/" << i;
        }
    }
    for (int i = 0; i < kNumParameters; ++i)
        EXPECT_EQ(p->liveValues[i], defaults[i]);
}

TEST(Programs, OutOfRangeProgramIsIgnored)
{
    WYD_KX7AudioProcessor p;
    HostRecorder host;
    p.addListener(&host);
    p.setCurrentProgram(5);
    clearFlags(p);
    host.changes.clear();

    for (int index : {12, -1, 1 << 30})
    {
        p.setCurrentProgram(index);
        EXPECT_EQ(p.getCurrentProgram(), 5);
        EXPECT_FALSE(p.programChanged || p.parametersChanged || p.channelChanged);
        EXPECT_TRUE(host.changes.empty());
        EXPECT_TRUE(p.getProgramName(index).isEmpty());
    }
    p.removeListener(&host);
}

TEST(Programs, SwitchingSendsTheActiveSettingToHostAndMakesItLive)
{
    WYD_KX7AudioProcessor p;
    ProgramSlot& slot = p.programs[3];
    slot.activeChannel = 1;
    for (int i = 0; i < kNumParameters; ++i)
    {
        slot.values[0][i] = 0.01f * static_cast<float>(i);
        slot.values[1][i] = 0.5f + 0.02f * static_cast<float>(i);
    }
    HostRecorder host;
    p.addListener(&host);

    p.setCurrentProgram(3);

    EXPECT_EQ(p.getCurrentProgram(), 3);
    EXPECT_TRUE(p.programChanged);
    EXPECT_TRUE(p.parametersChanged);
    EXPECT_TRUE(p.channelChanged);
    ASSERT_EQ(host.changes.size(), 22u);
    for (int i = 0; i < kNumParameters; ++i)
    {
        const float b = 0.5f + 0.02f * static_cast<float>(i);
        EXPECT_EQ(host.changes[static_cast<size_t>(i)], std::make_pair(i, b));
        EXPECT_EQ(p.liveValues[i], b);
        EXPECT_EQ(p.getParameter(i), b);
        EXPECT_EQ(slot.values[0][i], 0.01f * static_cast<float>(i)) << "setting A untouched";
    }
    // Other programs keep their defaults.
    EXPECT_EQ(p.programs[0].values[0][kInputVol], 0.5f);
    p.removeListener(&host);
}

TEST(Programs, SwitchingLeavesTheSignalPathToTheNextBlock)
{
    WYD_KX7AudioProcessor p;
    p.prepareToPlay(44100.0, 64);
    p.programs[2].values[0][kTolmLowFreq] = 1.0f;
    p.setCurrentProgram(2);
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmLowFreq), 0.0f);
    juce::AudioBuffer<float> empty(2, 0);
    juce::MidiBuffer midi;
    p.processBlock(empty, midi);
    EXPECT_EQ(p.dsp.getParameter(TarvelXeth::kTolmLowFreq), 1.0f);
}

TEST(Programs, NamesFollowTheActiveSettingsPresetFile)
{
    WYD_KX7AudioProcessor p;
    p.programs[4].presetPath[0] = "Vocals/Warm Lead.tz7p";
    p.programs[4].presetPath[1] = "Drums/Deep/Kick Punch.tz7p";
    EXPECT_EQ(p.getProgramName(4), "Warm Lead");
    p.programs[4].activeChannel = 1;
    EXPECT_EQ(p.getProgramName(4), "Kick Punch");
    EXPECT_EQ(p.getProgramName(5), "Init");

    p.changeProgramName(4, "Renamed");
    EXPECT_EQ(p.getProgramName(4), "Kick Punch");
    EXPECT_EQ(p.programs[4].presetPath[1], "Drums/Deep/Kick Punch.tz7p");
}

TEST(Programs, EditorsSettingSwitchDirectsSetParameter)
{
    WYD_KX7AudioProcessor p;
    p.setCurrentProgram(7);
    p.programs[7].activeChannel = 1;
    p.setParameter(kBraskHighAtten, 0.9f);
    EXPECT_EQ(p.programs[7].values[1][kBraskHighAtten], 0.9f);
    EXPECT_EQ(p.programs[7].values[0][kBraskHighAtten], 0.0f);
    EXPECT_EQ(p.programs[0].values[1][kBraskHighAtten], 0.0f);
}

