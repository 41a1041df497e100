// The typed wrappers around the host callback: what reaches the host, how its answer is read, and
// what each gives when there is no host callback.

#include "vst/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace
{
struct HostCall
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

// The host callback carries no context of its own, so the fake host is process-wide.
struct FakeHost
{
    std::vector<HostCall> calls;
    std::function<VstIntPtr(const HostCall&)> answer = [](const HostCall&) { return 0; };
};
FakeHost* host = nullptr;

VstIntPtr fakeHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                           void* ptr, float opt)
{
    const HostCall call{effect, opcode, index, value, ptr, opt};
    host->calls.push_back(call);
    return host->answer(call);
}

class HostedEffect : public AudioEffectX
{
public:
    explicit HostedEffect(audioMasterCallback callback) : AudioEffectX(callback, 12, 22) {}
    void processReplacing(float**, float**, VstInt32) override {}

    std::vector<std::string> log;
    VstInt32 canDoAnswer = 0;
    void setParameter(VstInt32 index, float) override { log.push_back("set" + std::to_string(index)); }
    VstInt32 canDo(char* text) override
    {
        log.push_back(std::string("canDo ") + text);
        return canDoAnswer;
    }
    float currentSampleRate() const { return sampleRate; }
    VstInt32 currentBlockSize() const { return blockSize; }
};

class HostCallbacks : public ::testing::Test
{
protected:
    void SetUp() override { host = &fake; }
    void TearDown() override { host = nullptr; }
    void answerWith(VstIntPtr value)
    {
        fake.answer = [value](const HostCall&) { return value; };
    }
    FakeHost fake;
};

constexpr bool k64 = sizeof(VstIntPtr) == 8;
// Zero in its low 32 bits but not as a whole, where the build allows it.
const VstIntPtr kHighOnly = k64 ? static_cast<VstIntPtr>(INT64_C(0x100000000)) : 2;
// Narrowed to 7 in the 64-bit build.
const VstIntPtr kWideSeven = k64 ? static_cast<VstIntPtr>(INT64_C(0x100000007)) : 7;

char gText[64] = "host text";
int gWindow;
int gSelect;

struct Wrapper
{
    const char* name;
    std::function<VstIntPtr(HostedEffect&)> call;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    VstIntPtr hostAnswer;
    VstIntPtr expected;
    VstIntPtr withoutHost;
};

VstIntPtr ptrValue(const void* p) { return reinterpret_cast<VstIntPtr>(p); }

std::vector<Wrapper> wrappers()
{
    auto* select = reinterpret_cast<VstFileSelect*>(&gSelect);
    auto* window = reinterpret_cast<__VstWindowDeprecated*>(&gWindow);
    const VstIntPtr somewhere = ptrValue(&gWindow);
    return {
        {"getMasterVersion", [](HostedEffect& e) { return e.getMasterVersion(); },
         audioMasterVersion, 0, 0, nullptr, 0, 2400, 2400, 1},
        {"getMasterVersion answered 0", [](HostedEffect& e) { return e.getMasterVersion(); },
         audioMasterVersion, 0, 0, nullptr, 0, 0, 1, 1},
        {"getCurrentUniqueId", [](HostedEffect& e) { return e.getCurrentUniqueId(); },
         audioMasterCurrentId, 0, 0, nullptr, 0, kWideSeven, 7, 0},
        {"masterIdle", [](HostedEffect& e) { return e.masterIdle(), VstIntPtr{0}; },
         audioMasterIdle, 0, 0, nullptr, 0, 1, 0, 0},
        {"__isInputConnectedDeprecated",
         [](HostedEffect& e) { return VstIntPtr{e.__isInputConnectedDeprecated(3)}; },
         __audioMasterPinConnectedDeprecated, 3, 0, nullptr, 0, 0, 1, 1},
        {"__isInputConnectedDeprecated refused",
         [](HostedEffect& e) { return VstIntPtr{e.__isInputConnectedDeprecated(3)}; },
         __audioMasterPinConnectedDeprecated, 3, 0, nullptr, 0, 1, 0, 1},
        {"__isOutputConnectedDeprecated",
         [](HostedEffect& e) { return VstIntPtr{e.__isOutputConnectedDeprecated(1)}; },
         // Only the low 32 bits of the answer count: 0x100000000 means connected.
         __audioMasterPinConnectedDeprecated, 1, 1, nullptr, 0, kHighOnly, k64 ? 1 : 0, 1},
        {"__wantEventsDeprecated", [](HostedEffect& e) { return e.__wantEventsDeprecated(1), VstIntPtr{0}; },
         __audioMasterWantMidiDeprecated, 0, 1, nullptr, 0, 1, 0, 0},
        {"getTimeInfo", [](HostedEffect& e) { return ptrValue(e.getTimeInfo(0xfe00)); },
         audioMasterGetTime, 0, 0xfe00, nullptr, 0, somewhere, somewhere, 0},
        {"__tempoAtDeprecated", [](HostedEffect& e) { return VstIntPtr{e.__tempoAtDeprecated(44)}; },
         __audioMasterTempoAtDeprecated, 0, 44, nullptr, 0, kWideSeven, 7, 0},
        {"__getNumAutomatableParametersDeprecated",
         [](HostedEffect& e) { return VstIntPtr{e.__getNumAutomatableParametersDeprecated()}; },
         __audioMasterGetNumAutomatableParametersDeprecated, 0, 0, nullptr, 0, 5, 5, 0},
        {"__getParameterQuantizationDeprecated",
         [](HostedEffect& e) { return VstIntPtr{e.__getParameterQuantizationDeprecated()}; },
         __audioMasterGetParameterQuantizationDeprecated, 0, 0, nullptr, 0, -5, -5, 0},
        {"ioChanged", [](HostedEffect& e) { return VstIntPtr{e.ioChanged()}; },
         audioMasterIOChanged, 0, 0, nullptr, 0, kHighOnly, 1, 0},
        {"__needIdleDeprecated", [](HostedEffect& e) { return VstIntPtr{e.__needIdleDeprecated()}; },
         __audioMasterNeedIdleDeprecated, 0, 0, nullptr, 0, 1, 1, 0},
        {"sizeWindow", [](HostedEffect& e) { return VstIntPtr{e.sizeWindow(800, 450)}; },
         audioMasterSizeWindow, 800, 450, nullptr, 0, 1, 1, 0},
        {"getInputLatency", [](HostedEffect& e) { return VstIntPtr{e.getInputLatency()}; },
         audioMasterGetInputLatency, 0, 0, nullptr, 0, kWideSeven, 7, 0},
        {"getOutputLatency", [](HostedEffect& e) { return VstIntPtr{e.getOutputLatency()}; },
         audioMasterGetOutputLatency, 0, 0, nullptr, 0, 64, 64, 0},
        {"__getPreviousPlugDeprecated",
         [](HostedEffect& e) { return ptrValue(e.__getPreviousPlugDeprecated(5)); },
         __audioMasterGetPreviousPlugDeprecated, 0, 0, nullptr, 0, somewhere, somewhere, 0},
        {"__getNextPlugDeprecated",
         [](HostedEffect& e) { return ptrValue(e.__getNextPlugDeprecated(5)); },
         __audioMasterGetNextPlugDeprecated, 0, 0, nullptr, 0, somewhere, somewhere, 0},
        {"__willProcessReplacingDeprecated",
         [](HostedEffect& e) { return VstIntPtr{e.__willProcessReplacingDeprecated()}; },
         __audioMasterWillReplaceOrAccumulateDeprecated, 0, 0, nullptr, 0, 2, 2, 0},
        {"getCurrentProcessLevel", [](HostedEffect& e) { return VstIntPtr{e.getCurrentProcessLevel()}; },
         audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0, kVstProcessLevelOffline, 4, 0},
        {"getAutomationState", [](HostedEffect& e) { return VstIntPtr{e.getAutomationState()}; },
         audioMasterGetAutomationState, 0, 0, nullptr, 0, 3, 3, 0},
        {"offlineStart",
         [](HostedEffect& e) {
             return VstIntPtr{e.offlineStart(reinterpret_cast<VstAudioFile*>(gText), 4, 2)};
         },
         audioMasterOfflineStart, 2, 4, gText, 0, 1, 1, 0},
        {"offlineRead",
         [](HostedEffect& e) {
             return VstIntPtr{e.offlineRead(reinterpret_cast<VstOfflineTask*>(gText),
                                            static_cast<VstOfflineOption>(3), true)};
         },
         audioMasterOfflineRead, 1, 3, gText, 0, 1, 1, 0},
        {"offlineRead without source",
         [](HostedEffect& e) {
             return VstIntPtr{e.offlineRead(reinterpret_cast<VstOfflineTask*>(gText),
                                            static_cast<VstOfflineOption>(2), false)};
         },
         audioMasterOfflineRead, 0, 2, gText, 0, 0, 0, 0},
        {"offlineWrite",
         [](HostedEffect& e) {
             return VstIntPtr{e.offlineWrite(reinterpret_cast<VstOfflineTask*>(gText),
                                             static_cast<VstOfflineOption>(5))};
         },
         audioMasterOfflineWrite, 0, 5, gText, 0, 1, 1, 0},
        {"offlineGetCurrentPass", [](HostedEffect& e) { return VstIntPtr{e.offlineGetCurrentPass()}; },
         audioMasterOfflineGetCurrentPass, 0, 0, nullptr, 0, 9, 1, 0},
        {"offlineGetCurrentMetaPass",
         [](HostedEffect& e) { return VstIntPtr{e.offlineGetCurrentMetaPass()}; },
         audioMasterOfflineGetCurrentMetaPass, 0, 0, nullptr, 0, -1, 1, 0},
        {"__setOutputSamplerateDeprecated",
         [](HostedEffect& e) { return e.__setOutputSamplerateDeprecated(96000.0f), VstIntPtr{0}; },
         __audioMasterSetOutputSampleRateDeprecated, 0, 0, nullptr, 96000.0f, 1, 0, 0},
        {"__getOutputSpeakerArrangementDeprecated",
         [](HostedEffect& e) { return ptrValue(e.__getOutputSpeakerArrangementDeprecated()); },
         __audioMasterGetOutputSpeakerArrangementDeprecated, 0, 0, nullptr, 0, somewhere, somewhere, 0},
        {"getHostVendorString", [](HostedEffect& e) { return VstIntPtr{e.getHostVendorString(gText)}; },
         audioMasterGetVendorString, 0, 0, gText, 0, 1, 1, 0},
        {"getHostProductString", [](HostedEffect& e) { return VstIntPtr{e.getHostProductString(gText)}; },
         audioMasterGetProductString, 0, 0, gText, 0, 0, 0, 0},
        {"getHostVendorVersion", [](HostedEffect& e) { return VstIntPtr{e.getHostVendorVersion()}; },
         audioMasterGetVendorVersion, 0, 0, nullptr, 0, kWideSeven, 7, 0},
        {"hostVendorSpecific",
         [](HostedEffect& e) { return e.hostVendorSpecific(11, kHighOnly, gText, 0.5f); },
         audioMasterVendorSpecific, 11, kHighOnly, gText, 0.5f, kWideSeven, kWideSeven, 0},
        {"canHostDo yes", [](HostedEffect& e) { return VstIntPtr{e.canHostDo(gText)}; },
         audioMasterCanDo, 0, 0, gText, 0, 1, 1, 0},
        {"canHostDo -1", [](HostedEffect& e) { return VstIntPtr{e.canHostDo(gText)}; },
         audioMasterCanDo, 0, 0, gText, 0, -1, 1, 0},
        {"canHostDo no", [](HostedEffect& e) { return VstIntPtr{e.canHostDo(gText)}; },
         audioMasterCanDo, 0, 0, gText, 0, 0, 0, 0},
        {"getHostLanguage", [](HostedEffect& e) { return VstIntPtr{e.getHostLanguage()}; },
         audioMasterGetLanguage, 0, 0, nullptr, 0, 1, 1, 0},
        {"__openWindowDeprecated",
         [window](HostedEffect& e) { return ptrValue(e.__openWindowDeprecated(window)); },
         __audioMasterOpenWindowDeprecated, 0, 0, window, 0, somewhere, somewhere, 0},
        {"__closeWindowDeprecated",
         [window](HostedEffect& e) { return VstIntPtr{e.__closeWindowDeprecated(window)}; },
         __audioMasterCloseWindowDeprecated, 0, 0, window, 0, 1, 1, 0},
        {"getDirectory", [](HostedEffect& e) { return ptrValue(e.getDirectory()); },
         audioMasterGetDirectory, 0, 0, nullptr, 0, somewhere, somewhere, 0},
        {"updateDisplay", [](HostedEffect& e) { return VstIntPtr{e.updateDisplay()}; },
         audioMasterUpdateDisplay, 0, 0, nullptr, 0, 1, 1, 0},
        {"beginEdit", [](HostedEffect& e) { return VstIntPtr{e.beginEdit(6)}; },
         audioMasterBeginEdit, 6, 0, nullptr, 0, 1, 1, 0},
        {"endEdit", [](HostedEffect& e) { return VstIntPtr{e.endEdit(6)}; },
         audioMasterEndEdit, 6, 0, nullptr, 0, 0, 0, 0},
        {"openFileSelector", [select](HostedEffect& e) { return VstIntPtr{e.openFileSelector(select)}; },
         audioMasterOpenFileSelector, 0, 0, select, 0, 1, 1, 0},
        {"closeFileSelector", [select](HostedEffect& e) { return VstIntPtr{e.closeFileSelector(select)}; },
         audioMasterCloseFileSelector, 0, 0, select, 0, 1, 1, 0},
        {"__getChunkFileDeprecated",
         [](HostedEffect& e) { return VstIntPtr{e.__getChunkFileDeprecated(gText)}; },
         __audioMasterGetChunkFileDeprecated, 0, 0, gText, 0, 1, 1, 0},
        {"__getInputSpeakerArrangementDeprecated",
         [](HostedEffect& e) { return ptrValue(e.__getInputSpeakerArrangementDeprecated()); },
         __audioMasterGetInputSpeakerArrangementDeprecated, 0, 0, nullptr, 0, somewhere, somewhere, 0},
    };
}

TEST_F(HostCallbacks, EachWrapperSendsItsOpcodeAndReadsTheAnswer)
{
    for (const Wrapper& w : wrappers())
    {
        SCOPED_TRACE(w.name);
        HostedEffect effect(fakeHostCallback);
        fake.calls.clear();
        answerWith(w.hostAnswer);
        EXPECT_EQ(w.call(effect), w.expected);
        ASSERT_EQ(fake.calls.size(), 1u);
        const HostCall& call = fake.calls.front();
        EXPECT_EQ(call.effect, effect.getAeffect());
        EXPECT_EQ(call.opcode, w.opcode);
        EXPECT_EQ(call.index, w.index);
        EXPECT_EQ(call.value, w.value);
        EXPECT_EQ(call.ptr, w.ptr);
        EXPECT_EQ(call.opt, w.opt);
    }
}

TEST_F(HostCallbacks, EachWrapperGivesItsFallbackWithoutAHost)
{
    for (const Wrapper& w : wrappers())
    {
        SCOPED_TRACE(w.name);
        HostedEffect effect(nullptr);
        fake.calls.clear();
        EXPECT_EQ(w.call(effect), w.withoutHost);
        EXPECT_TRUE(fake.calls.empty());
    }
}

TEST_F(HostCallbacks, NullRecordsAreNotHandedToTheHost)
{
    HostedEffect effect(fakeHostCallback);
    answerWith(1);
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.closeFileSelector(nullptr));
    EXPECT_FALSE(effect.__getChunkFileDeprecated(nullptr));
    EXPECT_FALSE(effect.getHostVendorString(nullptr));
    EXPECT_FALSE(effect.getHostProductString(nullptr));
    EXPECT_FALSE(effect.canHostDo(nullptr));
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(HostCallbacks, SetParameterAutomatedStoresThenTellsTheHost)
{
    HostedEffect effect(fakeHostCallback);
    fake.answer = [&effect](const HostCall&) {
        // The value is already stored when the host hears of it.
        EXPECT_EQ(effect.log.size(), 1u);
        return VstIntPtr{0};
    };
    effect.setParameterAutomated(5, 0.25f);
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(fake.calls[0].index, 5);
    EXPECT_EQ(fake.calls[0].opt, 0.25f);
    EXPECT_EQ(effect.log, std::vector<std::string>{"set5"});

    HostedEffect alone(nullptr);
    alone.setParameterAutomated(2, 1.0f);
    EXPECT_EQ(alone.log, std::vector<std::string>{"set2"});
}

TEST_F(HostCallbacks, UpdateSampleRateKeepsTheRateUnlessTheHostGivesAPositiveOne)
{
    HostedEffect effect(fakeHostCallback);
    answerWith(0);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    answerWith(-1);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    answerWith(48000);
    EXPECT_EQ(effect.updateSampleRate(), 48000.0);
    EXPECT_EQ(effect.currentSampleRate(), 48000.0f);
    EXPECT_EQ(fake.calls.back().opcode, audioMasterGetSampleRate);

    HostedEffect alone(nullptr);
    EXPECT_EQ(alone.updateSampleRate(), 44100.0);
}

TEST_F(HostCallbacks, UpdateBlockSizeKeepsTheSizeUnlessThe32BitAnswerIsPositive)
{
    HostedEffect effect(fakeHostCallback);
    answerWith(0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    answerWith(-256);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    if (k64)
    {
        answerWith(static_cast<VstIntPtr>(INT64_C(0x1ffffff00))); // negative in 32 bits
        EXPECT_EQ(effect.updateBlockSize(), 1024);
    }
    answerWith(kWideSeven);
    EXPECT_EQ(effect.updateBlockSize(), 7);
    EXPECT_EQ(effect.currentBlockSize(), 7);
    EXPECT_EQ(fake.calls.back().opcode, audioMasterGetBlockSize);

    HostedEffect alone(nullptr);
    EXPECT_EQ(alone.updateBlockSize(), 1024);
}

TEST_F(HostCallbacks, ResumeAsksForEventsOnlyForInstrumentsOrMidiReceivers)
{
    struct Case
    {
        bool synth;
        VstInt32 canDo;
        bool asks;
    };
    for (const Case c : {Case{false, 0, false}, Case{false, -1, false}, Case{false, 2, false},
                         Case{false, 1, true}, Case{true, -1, true}})
    {
        SCOPED_TRACE(std::to_string(c.synth) + " " + std::to_string(c.canDo));
        HostedEffect effect(fakeHostCallback);
        fake.calls.clear();
        effect.isSynth(c.synth);
        effect.canDoAnswer = c.canDo;
        effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
        if (!c.asks)
        {
            EXPECT_TRUE(fake.calls.empty());
            continue;
        }
        ASSERT_EQ(fake.calls.size(), 1u);
        EXPECT_EQ(fake.calls[0].opcode, __audioMasterWantMidiDeprecated);
        EXPECT_EQ(fake.calls[0].value, 1);
    }
    HostedEffect effect(fakeHostCallback);
    effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_EQ(effect.log, std::vector<std::string>{"canDo receiveVstMidiEvent"});
}
} // namespace
