// The plug-in record and the dispatcher, seen from a host that loaded the built .so.

#include "PluginTestSupport.h"

#include "processor/WYD_KX7AudioProcessor.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

using plugintest::fieldText;

namespace
{

class PluginRecord : public plugintest::LoadedPlugin
{
};

TEST_F(PluginRecord, HoldsThePluginsIdentityAndTheTrampolines)
{
    const AEffect& e = *plugin->record();
    EXPECT_EQ(e.magic, kEffectMagic);
    EXPECT_EQ(e.flags, 0x31);
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.numPrograms, 12);
    EXPECT_EQ(e.numParams, 22);
    EXPECT_EQ(e.version, 105);
    EXPECT_EQ(e.uniqueID, 0x54777837); // 'T','w','x','7'
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.__ioRatioDeprecated, 1.0f);
    EXPECT_EQ(e.__realQualitiesDeprecated, 0);
    EXPECT_EQ(e.__offQualitiesDeprecated, 0);
    EXPECT_NE(e.object, nullptr);
    EXPECT_EQ(e.user, nullptr);
    EXPECT_EQ(e.resvd2, 0);
    for (char c : e.future)
        ASSERT_EQ(c, 0);
    EXPECT_NE(e.dispatcher, nullptr);
    EXPECT_NE(e.__processDeprecated, nullptr);
    EXPECT_NE(e.setParameter, nullptr);
    EXPECT_NE(e.getParameter, nullptr);
    EXPECT_NE(e.processReplacing, nullptr);
    EXPECT_NE(e.processDoubleReplacing, nullptr);
}

// One dispatcher call on a fresh, opened instance and what it must answer. text_field > 0 passes
// a text field of that many bytes as ptr and checks the text written into it.
struct OpcodeRow
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    size_t textField;
    VstIntPtr answer;
    const char* text;
};

const OpcodeRow kOpcodeRows[] = {
    {effOpen, 0, 0, 0, 0, 0, nullptr},
    {effSetProgram, 0, 12, 0, 0, 0, nullptr},
    {effGetProgram, 0, 0, 0, 0, 0, nullptr},
    {effSetProgramName, 0, 0, 0, 0, 0, nullptr},
    {effGetProgramName, 0, 0, 0, 24, 0, "Init"},
    {effGetParamLabel, 1, 0, 0, 24, 0, ""},
    {effGetParamDisplay, 1, 0, 0, 24, 0, "0.00db"},
    {effGetParamName, 0, 0, 0, 16, 0, "bypass"},
    {__effGetVuDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effSetSampleRate, 0, 0, 48000.0f, 0, 0, nullptr},
    {effSetBlockSize, 0, 256, 0, 0, 0, nullptr},
    {effMainsChanged, 0, 0, 0, 0, 0, nullptr},
    {effEditGetRect, 0, 0, 0, 0, 0, nullptr},
    {effEditOpen, 0, 0, 0, 0, 0, nullptr},
    {effEditClose, 0, 0, 0, 0, 0, nullptr},
    {__effEditDrawDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effEditMouseDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effEditKeyDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effEditIdle, 0, 0, 0, 0, 0, nullptr},
    {__effEditTopDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effEditSleepDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effIdentifyDeprecated, 0, 0, 0, 0, 0x4e764566, nullptr},
    {effGetChunk, 0, 0, 0, 0, 0, nullptr}, // no place for the address: nothing
    {effSetChunk, 0, 100, 0, 0, 0, nullptr},
    {effProcessEvents, 0, 0, 0, 0, 0, nullptr},
    {effCanBeAutomated, 0, 0, 0, 0, 1, nullptr},
    {effString2Parameter, 0, 0, 0, 16, 0, nullptr},
    {__effGetNumProgramCategoriesDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effGetProgramNameIndexed, 11, 0, 0, 24, 1, "Init"},
    {__effCopyProgramDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effConnectInputDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effConnectOutputDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effGetInputProperties, 0, 0, 0, 0, 0, nullptr},
    {effGetOutputProperties, 0, 0, 0, 0, 0, nullptr},
    {effGetPlugCategory, 0, 0, 0, 0, 1, nullptr},
    {__effGetCurrentPositionDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effGetDestinationBufferDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effOfflineNotify, 0, 0, 0, 0, 0, nullptr},
    {effOfflinePrepare, 0, 0, 0, 0, 0, nullptr},
    {effOfflineRun, 0, 0, 0, 0, 0, nullptr},
    {effProcessVarIo, 0, 0, 0, 0, 0, nullptr},
    {effSetSpeakerArrangement, 0, 0, 0, 0, 0, nullptr},
    {__effSetBlockSizeAndSampleRateDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effSetBypass, 0, 1, 0, 0, 1, nullptr},
    {effGetEffectName, 0, 0, 0, 64, 1, "Tarvel WYD-KX7"},
    {__effGetErrorTextDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effGetVendorString, 0, 0, 0, 64, 1, "Tarvel, Inc"},
    {effGetProductString, 0, 0, 0, 64, 1, "Tarvel WYD-KX7"},
    {effGetVendorVersion, 0, 0, 0, 0, 105, nullptr},
    {effVendorSpecific, 1, 2, 3.0f, 0, 0, nullptr},
    {effCanDo, 0, 0, 0, 0, 0, nullptr},
    {effGetTailSize, 0, 0, 0, 0, 0, nullptr},
    {__effIdleDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effGetIconDeprecated, 0, 0, 0, 0, 0, nullptr},
    {__effSetViewPositionDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effGetParameterProperties, 0, 0, 0, 0, 0, nullptr},
    {__effKeysRequiredDeprecated, 0, 0, 0, 0, 0, nullptr},
    {effGetVstVersion, 0, 0, 0, 0, 2400, nullptr},
    {effEditKeyDown, 65, 0x1ff, 3.7f, 0, 0, nullptr},
    {effEditKeyUp, 65, 0x1ff, 3.7f, 0, 0, nullptr},
    {effSetEditKnobMode, 0, 2, 0, 0, 0, nullptr},
    {effGetMidiProgramName, 0, 0, 0, 0, 0, nullptr},
    {effGetCurrentMidiProgram, 0, 0, 0, 0, -1, nullptr},
    {effGetMidiProgramCategory, 0, 0, 0, 0, 0, nullptr},
    {effHasMidiProgramsChanged, 0, 0, 0, 0, 0, nullptr},
    {effGetMidiKeyName, 0, 0, 0, 0, 0, nullptr},
    {effBeginSetProgram, 0, 0, 0, 0, 0, nullptr},
    {effEndSetProgram, 0, 0, 0, 0, 0, nullptr},
    {effGetSpeakerArrangement, 0, 0, 0, 0, 0, nullptr},
    {effShellGetNextPlugin, 0, 0, 0, 64, 0, nullptr},
    {effStartProcess, 0, 0, 0, 0, 0, nullptr},
    {effStopProcess, 0, 0, 0, 0, 0, nullptr},
    {effSetTotalSampleToProcess, 0, 1234, 0, 0, 1234, nullptr},
    {effSetPanLaw, 0, 0, 0.5f, 0, 0, nullptr},
    {effBeginLoadBank, 0, 0, 0, 0, 0, nullptr},
    {effBeginLoadProgram, 0, 0, 0, 0, 0, nullptr},
    {effSetProcessPrecision, 0, 1, 0, 0, 0, nullptr},
    {effGetNumMidiInputChannels, 0, 0, 0, 0, 0, nullptr},
    {effGetNumMidiOutputChannels, 0, 0, 0, 0, 0, nullptr},
    {80, 0, 0, 0, 0, 0, nullptr},
    {-1, 0, 0, 0, 0, 0, nullptr},
    {1000, 0, 0, 0, 0, 0, nullptr},
};

TEST_F(PluginRecord, AnswersEveryOpcodeAsItsTableRowSays)
{
    std::set<VstInt32> covered = {effClose}; // closing has tests of its own
    for (const OpcodeRow& row : kOpcodeRows)
    {
        SCOPED_TRACE("opcode " + std::to_string(row.opcode));
        covered.insert(row.opcode);
        std::vector<char> field(row.textField + 16, 'X');
        field.back() = 0;
        void* ptr = row.textField > 0 ? field.data() : nullptr;
        EXPECT_EQ(plugin->dispatch(row.opcode, row.index, row.value, ptr, row.opt), row.answer);
        if (row.text != nullptr)
        {
            EXPECT_EQ(fieldText(*plugin, row.opcode, row.index, row.textField, row.value), row.text);
        }
    }
    for (VstInt32 opcode = 0; opcode <= effGetNumMidiOutputChannels; ++opcode)
        EXPECT_TRUE(covered.count(opcode)) << "no row for opcode " << opcode;
}

TEST_F(PluginRecord, SurvivesHostileArgumentsOnEveryOpcode)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const VstInt32 indices[] = {-1, std::numeric_limits<VstInt32>::min(),
                                std::numeric_limits<VstInt32>::max(), 22, 12};
    const VstIntPtr values[] = {-1, std::numeric_limits<VstIntPtr>::min(),
                                std::numeric_limits<VstIntPtr>::max()};
    for (VstInt32 opcode = -2; opcode <= 100; ++opcode)
    {
        // Closing ends the instance; these two take a pointer in value, which no plug-in can test.
        if (opcode == effClose || opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement)
            continue;
        for (VstInt32 index : indices)
            for (VstIntPtr value : values)
                plugin->dispatch(opcode, index, value, nullptr, nan);
    }
    // Still sound: it switches on at the fallback rate and processes finite audio.
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
    plugin->dispatch(effMainsChanged, 0, 1);
    std::vector<float> left(256, 0.25f), right(256, -0.25f);
    float* channels[] = {left.data(), right.data()};
    plugin->processInPlace(channels, 256);
    for (float s : left)
        ASSERT_TRUE(std::isfinite(s));
}

TEST_F(PluginRecord, EditorRectIsAnsweredBeforeAnyEditorExists)
{
    // Hosts size their window from this answer before they open the editor.
    ERect* rect = nullptr;
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->right, 800);
    EXPECT_EQ(rect->bottom, 450);
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, nullptr), 0);
    // Without a parent window nothing opens; idle and close without an editor do nothing.
    EXPECT_EQ(plugin->dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(plugin->dispatch(effEditIdle), 0);
    EXPECT_EQ(plugin->dispatch(effEditClose), 0);
}

TEST_F(PluginRecord, CanDoAnswersFollowTheTable)
{
    const std::pair<const char*, VstIntPtr> answers[] = {
        {"receiveVstEvents", -1},
        {"receiveVstMidiEvent", -1},
        {"receiveVstMidiEvents", -1},
        {"sendVstEvents", -1},
        {"sendVstMidiEvent", -1},
        {"sendVstMidiEvents", -1},
        {"receiveVstTimeInfo", 1},
        {"conformsToWindowRules", 1},
        {"bypass", 1},
        {"openCloseAnyThread", -1},
        // The 32-bit answer 0xbeef0000 widened with its sign.
        {"hasCockosViewAsConfig", static_cast<VstIntPtr>(static_cast<std::int32_t>(0xbeef0000u))},
        {"offline", 0},
        {"Bypass", 0},
        {"", 0},
    };
    for (const auto& [text, answer] : answers)
    {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s", text);
        EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, buffer), answer) << text;
    }
    EXPECT_LT(plugin->dispatch(effCanDo, 0, 0, const_cast<char*>("hasCockosViewAsConfig")), 0);
}

TEST_F(PluginRecord, PinsAreNumberedAndStereoUntilTheHostSetsSpeakers)
{
    for (VstInt32 opcode : {effGetInputProperties, effGetOutputProperties})
    {
        for (VstInt32 pin = 0; pin < 2; ++pin)
        {
            VstPinProperties properties;
            std::memset(&properties, 'X', sizeof properties);
            EXPECT_EQ(plugin->dispatch(opcode, pin, 0, &properties), 1);
            const std::string number = std::to_string(pin + 1);
            EXPECT_EQ(std::string(properties.label), number);
            EXPECT_EQ(std::string(properties.shortLabel), number);
            EXPECT_EQ(properties.flags, kVstPinIsActive | kVstPinIsStereo);
        }
        VstPinProperties unused{};
        EXPECT_EQ(plugin->dispatch(opcode, 2, 0, &unused), 0);
        EXPECT_EQ(plugin->dispatch(opcode, -1, 0, &unused), 0);
    }

    VstSpeakerArrangement in{}, out{};
    in.type = 1;
    in.numChannels = 2;
    out.type = 1;
    out.numChannels = 2;
    ASSERT_EQ(plugin->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    VstPinProperties properties{};
    EXPECT_EQ(plugin->dispatch(effGetOutputProperties, 1, 0, &properties), 1);
    EXPECT_EQ(properties.flags, kVstPinUseSpeaker);
    EXPECT_EQ(properties.arrangementType, 1);
}

TEST_F(PluginRecord, AcceptsOnlyTheThreeChannelConfigurations)
{
    struct Case
    {
        VstInt32 ins, outs;
        VstIntPtr answer;
    };
    const Case cases[] = {{2, 2, 1}, {1, 2, 1}, {1, 1, 1}, {2, 1, 0}, {0, 2, 0}, {8, 8, 0}, {-1, 2, 0}};
    for (const Case& c : cases)
    {
        VstSpeakerArrangement in{}, out{};
        in.numChannels = c.ins;
        out.numChannels = c.outs;
        const VstInt32 insBefore = plugin->record()->numInputs;
        const VstInt32 outsBefore = plugin->record()->numOutputs;
        EXPECT_EQ(plugin->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out),
                  c.answer)
            << c.ins << " in, " << c.outs << " out";
        EXPECT_EQ(plugin->record()->numInputs, c.answer ? c.ins : insBefore);
        EXPECT_EQ(plugin->record()->numOutputs, c.answer ? c.outs : outsBefore);
    }
}

TEST_F(PluginRecord, ParameterNamesReachTheHostCutTo15Characters)
{
    const char* const expected[22] = {
        "bypass",          "inputVol",        "saturationOn",   "saturationAutoL", "tolmOn",
        "tolmLowFreq",     "tolmLowPeak",     "tolmMidFreq",    "tolmMidDip",      "tolmHighFreq",
        "tolmHighPeak",    "braskOn",         "braskLowFreq",   "braskLowBoost",   "braskLowAtten",
        "braskHighBoostF", "braskHighBoost",  "braskHighBoostB", "braskHighAttenF", "braskHighAtten",
        "outputVol",       "phaseOn"};
    for (VstInt32 i = 0; i < 22; ++i)
        EXPECT_EQ(fieldText(*plugin, effGetParamName, i, 16), expected[i]) << i;
    for (VstInt32 outside : {-1, 22, 1000})
    {
        EXPECT_EQ(fieldText(*plugin, effGetParamName, outside, 16), "");
        EXPECT_EQ(fieldText(*plugin, effGetParamDisplay, outside, 24), "");
        EXPECT_EQ(fieldText(*plugin, effGetParamLabel, outside, 24), "");
        EXPECT_EQ(plugin->getParameter(outside), 0.0f);
        plugin->setParameter(outside, 0.5f); // ignored, and no crash
    }
}

TEST_F(PluginRecord, DisplayTextsFollowTheLiveValueAndFitTheHostsField)
{
    plugin->setParameter(5, 0.75f);
    EXPECT_EQ(fieldText(*plugin, effGetParamDisplay, 5, 24), "700 Hz");
    plugin->setParameter(1, 0.25f);
    EXPECT_EQ(fieldText(*plugin, effGetParamDisplay, 1, 24), "-10.00db");
    EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.25f);
    plugin->setParameter(0, 0.0f);
    EXPECT_EQ(fieldText(*plugin, effGetParamDisplay, 0, 24), "Off");

    // A huge volume is taken at the top of the range, so the host sees the processor's whole text.
    std::unique_ptr<juce::AudioProcessor> direct(createPluginFilter());
    direct->setParameter(1, 1.0e30f);
    const juce::String full = direct->getParameterText(1);
    ASSERT_EQ(full, "20.00db");
    plugin->setParameter(1, 1.0e30f);
    EXPECT_EQ(fieldText(*plugin, effGetParamDisplay, 1, 24), full.toStdString());
}

TEST_F(PluginRecord, ProgramsAreSelectedOnlyInsideTheirRange)
{
    EXPECT_EQ(plugin->dispatch(effSetProgram, 0, 11), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 11);
    plugin->dispatch(effSetProgram, 0, 12);
    plugin->dispatch(effSetProgram, 0, -1);
    plugin->dispatch(effSetProgram, 0, std::numeric_limits<VstIntPtr>::max());
    EXPECT_EQ(plugin->dispatch(effGetProgram), 11);

    EXPECT_EQ(fieldText(*plugin, effGetProgramNameIndexed, 0, 24), "Init");
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 12, 0, std::vector<char>(24).data()), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, -1, 0, std::vector<char>(24).data()), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);

    // Program names follow the preset paths: a name from the host changes nothing, even one
    // without a terminator.
    char name[24];
    std::memset(name, 'N', sizeof name);
    plugin->dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(plugin->programName(), "Init");
}

} // namespace
