// Every plug-in opcode reaches the right virtual operation with the right arguments, and the
// operation's result comes back in the documented width.

#include "vst/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr VstInt32 kPrograms = 12;
constexpr VstInt32 kParams = 22;
constexpr bool k64 = sizeof(VstIntPtr) == 8;

struct Call
{
    std::string name;
    std::vector<VstIntPtr> args;
    float opt = 0.0f;
};

VstIntPtr P(const void* p) { return reinterpret_cast<VstIntPtr>(p); }

// Answers every routed operation with `answer` (cut to the operation's result type) and logs the
// call, including the deprecated ones the dispatchers must never reach.
class RecordingEffect : public AudioEffectX
{
public:
    RecordingEffect() : AudioEffectX(nullptr, kPrograms, kParams) {}

    std::vector<Call> calls;
    VstIntPtr answer = 0;

    void processReplacing(float**, float**, VstInt32) override { log("processReplacing"); }

    void open() override { log("open"); }
    void close() override { log("close"); }
    void suspend() override { log("suspend"); }
    void resume() override { log("resume"); }
    void setSampleRate(float rate) override { log("setSampleRate", {}, rate); }
    void setBlockSize(VstInt32 size) override { log("setBlockSize", {size}); }
    void processDoubleReplacing(double**, double**, VstInt32) override
    {
        log("processDoubleReplacing");
    }
    void setParameter(VstInt32 i, float v) override { log("setParameter", {i}, v); }
    float getParameter(VstInt32 i) override { return log("getParameter", {i}), 0.0f; }
    VstInt32 getProgram() override { return i32("getProgram"); }
    void setProgram(VstInt32 p) override { log("setProgram", {p}); }
    void setProgramName(char* t) override { log("setProgramName", {P(t)}); }
    void getProgramName(char* t) override { log("getProgramName", {P(t)}); }
    void getParameterLabel(VstInt32 i, char* t) override { log("getParameterLabel", {i, P(t)}); }
    void getParameterDisplay(VstInt32 i, char* t) override
    {
        log("getParameterDisplay", {i, P(t)});
    }
    void getParameterName(VstInt32 i, char* t) override { log("getParameterName", {i, P(t)}); }
    VstInt32 getChunk(void** d, bool preset) override { return i32("getChunk", {P(d), preset}); }
    VstInt32 setChunk(void* d, VstInt32 n, bool preset) override
    {
        return i32("setChunk", {P(d), n, preset});
    }
    void __processDeprecated(float**, float**, VstInt32) override { log("__processDeprecated"); }
    float __getVuDeprecated() override { return log("__getVuDeprecated"), 0.0f; }

    bool canParameterBeAutomated(VstInt32 i) override { return yes("canParameterBeAutomated", {i}); }
    bool string2parameter(VstInt32 i, char* t) override { return yes("string2parameter", {i, P(t)}); }
    bool getParameterProperties(VstInt32 i, VstParameterProperties* p) override
    {
        return yes("getParameterProperties", {i, P(p)});
    }
    bool getProgramNameIndexed(VstInt32 c, VstInt32 i, char* t) override
    {
        return yes("getProgramNameIndexed", {c, i, P(t)});
    }
    bool beginSetProgram() override { return yes("beginSetProgram"); }
    bool endSetProgram() override { return yes("endSetProgram"); }
    VstInt32 beginLoadBank(VstPatchChunkInfo* p) override { return i32("beginLoadBank", {P(p)}); }
    VstInt32 beginLoadProgram(VstPatchChunkInfo* p) override
    {
        return i32("beginLoadProgram", {P(p)});
    }
    bool getInputProperties(VstInt32 i, VstPinProperties* p) override
    {
        return yes("getInputProperties", {i, P(p)});
    }
    bool getOutputProperties(VstInt32 i, VstPinProperties* p) override
    {
        return yes("getOutputProperties", {i, P(p)});
    }
    bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override
    {
        return yes("setSpeakerArrangement", {P(in), P(out)});
    }
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override
    {
        return yes("getSpeakerArrangement", {P(in), P(out)});
    }
    bool setBypass(bool on) override { return yes("setBypass", {on}); }
    bool setPanLaw(VstInt32 type, float v) override { return yes("setPanLaw", {type}, v); }
    bool setProcessPrecision(VstInt32 p) override { return yes("setProcessPrecision", {p}); }
    VstInt32 getNumMidiInputChannels() override { return i32("getNumMidiInputChannels"); }
    VstInt32 getNumMidiOutputChannels() override { return i32("getNumMidiOutputChannels"); }
    VstInt32 processEvents(VstEvents* e) override { return i32("processEvents", {P(e)}); }
    VstInt32 startProcess() override { return i32("startProcess"); }
    VstInt32 stopProcess() override { return i32("stopProcess"); }
    bool processVariableIo(VstVariableIo* v) override { return yes("processVariableIo", {P(v)}); }
    VstInt32 setTotalSampleToProcess(VstInt32 v) override
    {
        return i32("setTotalSampleToProcess", {v});
    }
    VstInt32 getGetTailSize() override { return i32("getGetTailSize"); }
    bool getEffectName(char* t) override { return yes("getEffectName", {P(t)}); }
    bool getVendorString(char* t) override { return yes("getVendorString", {P(t)}); }
    bool getProductString(char* t) override { return yes("getProductString", {P(t)}); }
    VstInt32 getVendorVersion() override { return i32("getVendorVersion"); }
    VstIntPtr vendorSpecific(VstInt32 a, VstIntPtr b, void* p, float f) override
    {
        log("vendorSpecific", {a, b, P(p)}, f);
        return answer;
    }
    VstInt32 canDo(char* t) override { return i32("canDo", {P(t)}); }
    VstInt32 getVstVersion() override { return i32("getVstVersion"); }
    VstPlugCategory getPlugCategory() override
    {
        return static_cast<VstPlugCategory>(i32("getPlugCategory"));
    }
    VstInt32 getMidiProgramName(VstInt32 c, MidiProgramName* p) override
    {
        return i32("getMidiProgramName", {c, P(p)});
    }
    VstInt32 getCurrentMidiProgram(VstInt32 c, MidiProgramName* p) override
    {
        return i32("getCurrentMidiProgram", {c, P(p)});
    }
    VstInt32 getMidiProgramCategory(VstInt32 c, MidiProgramCategory* p) override
    {
        return i32("getMidiProgramCategory", {c, P(p)});
    }
    bool hasMidiProgramsChanged(VstInt32 c) override { return yes("hasMidiProgramsChanged", {c}); }
    bool getMidiKeyName(VstInt32 c, MidiKeyName* k) override
    {
        return yes("getMidiKeyName", {c, P(k)});
    }
    VstInt32 getNextShellPlugin(char* t) override { return i32("getNextShellPlugin", {P(t)}); }
    bool offlineNotify(VstAudioFile* f, VstInt32 n, bool start) override
    {
        return yes("offlineNotify", {P(f), n, start});
    }
    bool offlinePrepare(VstOfflineTask* t, VstInt32 n) override
    {
        return yes("offlinePrepare", {P(t), n});
    }
    bool offlineRun(VstOfflineTask* t, VstInt32 n) override { return yes("offlineRun", {P(t), n}); }

    // Deprecated operations: no opcode may reach them.
    bool __copyProgramDeprecated(VstInt32) override { return yes("__copyProgramDeprecated"); }
    void __inputConnectedDeprecated(VstInt32, bool) override { log("__inputConnectedDeprecated"); }
    void __outputConnectedDeprecated(VstInt32, bool) override { log("__outputConnectedDeprecated"); }
    VstInt32 __reportCurrentPositionDeprecated() override
    {
        return i32("__reportCurrentPositionDeprecated");
    }
    float* __reportDestinationBufferDeprecated() override
    {
        return log("__reportDestinationBufferDeprecated"), nullptr;
    }
    void __setBlockSizeAndSampleRateDeprecated(VstInt32, float) override
    {
        log("__setBlockSizeAndSampleRateDeprecated");
    }
    bool __getErrorTextDeprecated(char*) override { return yes("__getErrorTextDeprecated"); }
    void* __getIconDeprecated() override { return log("__getIconDeprecated"), nullptr; }
    bool __setViewPositionDeprecated(VstInt32, VstInt32) override
    {
        return yes("__setViewPositionDeprecated");
    }
    VstInt32 __fxIdleDeprecated() override { return i32("__fxIdleDeprecated"); }
    bool __keysRequiredDeprecated() override { return yes("__keysRequiredDeprecated"); }
    VstInt32 __getNumCategoriesDeprecated() override { return i32("__getNumCategoriesDeprecated"); }

    AEffEditor*& editorSlot() { return editor; }

private:
    void log(const char* name, std::vector<VstIntPtr> args = {}, float opt = 0.0f)
    {
        calls.push_back({name, std::move(args), opt});
    }
    bool yes(const char* name, std::vector<VstIntPtr> args = {}, float opt = 0.0f)
    {
        log(name, std::move(args), opt);
        return answer != 0;
    }
    VstInt32 i32(const char* name, std::vector<VstIntPtr> args = {})
    {
        log(name, std::move(args));
        return static_cast<VstInt32>(answer);
    }
};

// Placeholders in the expected arguments, replaced by the addresses the row passes.
constexpr VstIntPtr kPtr = -1000001;
constexpr VstIntPtr kValuePtr = -1000002;

struct Row
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value; // kValuePtr: the address of a second buffer
    float opt;
    const char* call; // nullptr: no operation may be called
    std::vector<VstIntPtr> args;
    VstIntPtr answer;   // what the called operation answers
    VstIntPtr expected; // what the dispatcher must give the host
};

const char* kNothing = nullptr;

std::vector<Row> dispatcherRows()
{
    std::vector<Row> rows = {
        {effOpen, 0, 0, 0, "open", {}, 5, 0},
        {effClose, 0, 0, 0, "close", {}, 5, 0},
        {effSetProgram, 0, 3, 0, "setProgram", {3}, 5, 0},
        {effSetProgram, 0, kPrograms - 1, 0, "setProgram", {kPrograms - 1}, 0, 0},
        {effSetProgram, 0, kPrograms, 0, kNothing, {}, 0, 0},
        {effSetProgram, 0, -1, 0, kNothing, {}, 0, 0},
        {effGetProgram, 0, 0, 0, "getProgram", {}, -5, -5},
        {effSetProgramName, 0, 0, 0, "setProgramName", {kPtr}, 0, 0},
        {effGetProgramName, 0, 0, 0, "getProgramName", {kPtr}, 0, 0},
        {effGetParamLabel, 4, 0, 0, "getParameterLabel", {4, kPtr}, 0, 0},
        {effGetParamDisplay, 5, 0, 0, "getParameterDisplay", {5, kPtr}, 0, 0},
        {effGetParamName, 21, 0, 0, "getParameterName", {21, kPtr}, 0, 0},
        {__effGetVuDeprecated, 0, 0, 0, kNothing, {}, 3, 0},
        {effSetSampleRate, 0, 0, 48000.0f, "setSampleRate", {}, 0, 0},
        {effSetBlockSize, 0, 512, 0, "setBlockSize", {512}, 0, 0},
        {effMainsChanged, 0, 0, 0, "suspend", {}, 0, 0},
        {effMainsChanged, 0, 1, 0, "resume", {}, 0, 0},
        {effMainsChanged, 0, 2, 0, "resume", {}, 0, 0},
        {effEditGetRect, 0, 0, 0, kNothing, {}, 1, 0},
        {effEditOpen, 0, 0, 0, kNothing, {}, 1, 0},
        {effEditClose, 0, 0, 0, kNothing, {}, 1, 0},
        {__effEditDrawDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effEditMouseDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effEditKeyDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {effEditIdle, 0, 0, 0, kNothing, {}, 1, 0},
        {__effEditTopDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effEditSleepDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effIdentifyDeprecated, 0, 0, 0, kNothing, {}, 1, 0x4e764566},
        {effGetChunk, 0, 0, 0, "getChunk", {kPtr, 0}, 1234, 1234},
        {effGetChunk, 1, 0, 0, "getChunk", {kPtr, 1}, 99, 99},
        {effSetChunk, 0, 100, 0, "setChunk", {kPtr, 100, 0}, -7, -7},
        {effSetChunk, 3, 100, 0, "setChunk", {kPtr, 100, 1}, 0, 0},

        {effProcessEvents, 0, 0, 0, "processEvents", {kPtr}, -2, -2},
        {effCanBeAutomated, 7, 0, 0, "canParameterBeAutomated", {7}, 1, 1},
        {effCanBeAutomated, 7, 0, 0, "canParameterBeAutomated", {7}, 0, 0},
        {effString2Parameter, 3, 0, 0, "string2parameter", {3, kPtr}, 1, 1},
        {__effGetNumProgramCategoriesDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {effGetProgramNameIndexed, 11, 9, 0, "getProgramNameIndexed", {9, 11, kPtr}, 1, 1},
        {__effCopyProgramDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effConnectInputDeprecated, 0, 1, 0, kNothing, {}, 1, 0},
        {__effConnectOutputDeprecated, 0, 1, 0, kNothing, {}, 1, 0},
        {effGetInputProperties, 1, 0, 0, "getInputProperties", {1, kPtr}, 1, 1},
        {effGetOutputProperties, 0, 0, 0, "getOutputProperties", {0, kPtr}, 1, 1},
        {effGetPlugCategory, 0, 0, 0, "getPlugCategory", {}, 1, 1},
        {__effGetCurrentPositionDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effGetDestinationBufferDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {effOfflineNotify, 1, 6, 0, "offlineNotify", {kPtr, 6, 1}, 1, 1},
        {effOfflineNotify, 0, 6, 0, "offlineNotify", {kPtr, 6, 0}, 0, 0},
        {effOfflinePrepare, 0, 4, 0, "offlinePrepare", {kPtr, 4}, 1, 1},
        {effOfflineRun, 0, 4, 0, "offlineRun", {kPtr, 4}, 1, 1},
        {effProcessVarIo, 0, 0, 0, "processVariableIo", {kPtr}, 1, 1},
        {effSetSpeakerArrangement, 0, kValuePtr, 0, "setSpeakerArrangement",
         {kValuePtr, kPtr}, 1, 1},
        {__effSetBlockSizeAndSampleRateDeprecated, 0, 256, 22050.0f, kNothing, {}, 1, 0},
        {effSetBypass, 0, 1, 0, "setBypass", {1}, 1, 1},
        {effSetBypass, 0, 0, 0, "setBypass", {0}, 0, 0},
        {effGetEffectName, 0, 0, 0, "getEffectName", {kPtr}, 1, 1},
        {__effGetErrorTextDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {effGetVendorString, 0, 0, 0, "getVendorString", {kPtr}, 1, 1},
        {effGetProductString, 0, 0, 0, "getProductString", {kPtr}, 1, 1},
        {effGetVendorVersion, 0, 0, 0, "getVendorVersion", {}, 105, 105},
        {effVendorSpecific, 7, 8, 0.25f, "vendorSpecific", {7, 8, kPtr}, -1, -1},
        {effCanDo, 0, 0, 0, "canDo", {kPtr}, -1, -1},
        {effGetTailSize, 0, 0, 0, "getGetTailSize", {}, 4410, 4410},
        {__effIdleDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effGetIconDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {__effSetViewPositionDeprecated, 3, 4, 0, kNothing, {}, 1, 0},
        {effGetParameterProperties, 2, 0, 0, "getParameterProperties", {2, kPtr}, 1, 1},
        {__effKeysRequiredDeprecated, 0, 0, 0, kNothing, {}, 1, 0},
        {effGetVstVersion, 0, 0, 0, "getVstVersion", {}, 2400, 2400},
        {effEditKeyDown, 65, 0x1ff, 3.7f, kNothing, {}, 1, 0},
        {effEditKeyUp, 65, 0x1ff, 3.7f, kNothing, {}, 1, 0},
        {effSetEditKnobMode, 0, 2, 0, kNothing, {}, 1, 0},
        {effGetMidiProgramName, 3, 0, 0, "getMidiProgramName", {3, kPtr}, 4, 4},
        {effGetCurrentMidiProgram, 3, 0, 0, "getCurrentMidiProgram", {3, kPtr}, -1, -1},
        {effGetMidiProgramCategory, 3, 0, 0, "getMidiProgramCategory", {3, kPtr}, 2, 2},
        {effHasMidiProgramsChanged, 3, 0, 0, "hasMidiProgramsChanged", {3}, 1, 1},
        {effGetMidiKeyName, 3, 0, 0, "getMidiKeyName", {3, kPtr}, 1, 1},
        {effBeginSetProgram, 0, 0, 0, "beginSetProgram", {}, 1, 1},
        {effEndSetProgram, 0, 0, 0, "endSetProgram", {}, 1, 1},
        {effGetSpeakerArrangement, 0, kValuePtr, 0, "getSpeakerArrangement",
         {kValuePtr, kPtr}, 1, 1},
        {effShellGetNextPlugin, 0, 0, 0, "getNextShellPlugin", {kPtr}, 0x12345678, 0x12345678},
        {effStartProcess, 0, 0, 0, "startProcess", {}, 1, 1},
        {effStopProcess, 0, 0, 0, "stopProcess", {}, 1, 1},
        {effSetTotalSampleToProcess, 0, 4096, 0, "setTotalSampleToProcess", {4096}, 4096, 4096},
        {effSetPanLaw, 0, 1, 0.5f, "setPanLaw", {1}, 1, 1},
        {effBeginLoadBank, 0, 0, 0, "beginLoadBank", {kPtr}, -1, -1},
        {effBeginLoadProgram, 0, 0, 0, "beginLoadProgram", {kPtr}, 1, 1},
        {effSetProcessPrecision, 0, 1, 0, "setProcessPrecision", {1}, 1, 1},
        {effGetNumMidiInputChannels, 0, 0, 0, "getNumMidiInputChannels", {}, 16, 16},
        {effGetNumMidiOutputChannels, 0, 0, 0, "getNumMidiOutputChannels", {}, -3, -3},

        {-1, 0, 0, 0, kNothing, {}, 1, 0},
        {80, 0, 0, 0, kNothing, {}, 1, 0},
        {INT32_MAX, 0, 0, 0, kNothing, {}, 1, 0},
        {INT32_MIN, 0, 0, 0, kNothing, {}, 1, 0},
    };
    if (k64)
    {
        const VstIntPtr high = static_cast<VstIntPtr>(INT64_C(0x100000000));
        // The whole value is tested where the host's value is a switch...
        rows.push_back({effMainsChanged, 0, high, 0, "resume", {}, 0, 0});
        rows.push_back({effSetBypass, 0, high, 0, "setBypass", {1}, 1, 1});
        // ...and cut to 32 bits where it is a count.
        rows.push_back({effSetBlockSize, 0, high + 512, 0, "setBlockSize", {512}, 0, 0});
        rows.push_back({effSetTotalSampleToProcess, 0, high + 9, 0, "setTotalSampleToProcess",
                        {9}, 9, 9});
        // A vendor-specific answer passes through whole.
        rows.push_back({effVendorSpecific, 1, high, 0, "vendorSpecific", {1, high, kPtr},
                        high + 3, high + 3});
        // The category is widened with zeros, unlike the other 32-bit answers.
        rows.push_back({effGetPlugCategory, 0, 0, 0, "getPlugCategory", {}, -1,
                        static_cast<VstIntPtr>(INT64_C(0xffffffff))});
    }
    return rows;
}

std::string describe(const Row& row)
{
    return "opcode " + std::to_string(row.opcode) + " index " + std::to_string(row.index)
           + " value " + std::to_string(row.value);
}

TEST(Dispatcher, RoutesEveryOpcodeToItsOperation)
{
    char text[256] = {};
    char second[256] = {};
    for (const Row& row : dispatcherRows())
    {
        SCOPED_TRACE(describe(row));
        RecordingEffect effect;
        effect.answer = row.answer;
        const VstIntPtr value = row.value == kValuePtr ? P(second) : row.value;
        const VstIntPtr result = effect.dispatcher(row.opcode, row.index, value, text, row.opt);
        EXPECT_EQ(result, row.expected);

        if (row.call == nullptr)
        {
            EXPECT_TRUE(effect.calls.empty())
                << "unexpected call of " << effect.calls.front().name;
            continue;
        }
        ASSERT_EQ(effect.calls.size(), 1u);
        const Call& call = effect.calls.front();
        EXPECT_EQ(call.name, row.call);
        std::vector<VstIntPtr> expectedArgs = row.args;
        for (VstIntPtr& a : expectedArgs)
        {
            if (a == kPtr)
                a = P(text);
            else if (a == kValuePtr)
                a = P(second);
        }
        EXPECT_EQ(call.args, expectedArgs);
        EXPECT_EQ(call.opt, row.opt);
    }
}

TEST(Dispatcher, TableCoversEveryPluginOpcode)
{
    std::set<VstInt32> covered;
    for (const Row& row : dispatcherRows())
        covered.insert(row.opcode);
    for (VstInt32 opcode = effOpen; opcode <= effGetNumMidiOutputChannels; ++opcode)
        EXPECT_TRUE(covered.count(opcode)) << "no row for opcode " << opcode;
}

TEST(Dispatcher, CloseThroughTheRecordDeletesTheObjectAndAnswersOne)
{
    static bool destroyed;
    struct Doomed : RecordingEffect
    {
        ~Doomed() override { destroyed = true; }
    };
    destroyed = false;
    AEffect* record = (new Doomed)->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(destroyed);
}

TEST(Dispatcher, OtherOpcodesThroughTheRecordPassTheAnswer)
{
    RecordingEffect effect;
    effect.answer = -42;
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->dispatcher(record, effGetProgram, 0, 0, nullptr, 0.0f), -42);
    EXPECT_EQ(record->dispatcher(record, effCanDo, 0, 0, const_cast<char*>("bypass"), 0.0f), -42);
}

class KeyEditor : public AEffEditor
{
public:
    std::vector<std::string> calls;
    VstKeyCode lastKey{};
    ERect rect{1, 2, 3, 4};
    bool answer = true;

    bool getRect(ERect** r) override
    {
        calls.push_back("getRect");
        *r = &rect;
        return answer;
    }
    bool open(void*) override { return calls.push_back("open"), answer; }
    void close() override { calls.push_back("close"); }
    void idle() override { calls.push_back("idle"); }
    bool onKeyDown(VstKeyCode& k) override { return lastKey = k, calls.push_back("down"), answer; }
    bool onKeyUp(VstKeyCode& k) override { return lastKey = k, calls.push_back("up"), answer; }
    bool setKnobMode(VstInt32 mode) override
    {
        calls.push_back("knob" + std::to_string(mode));
        return answer;
    }
};

TEST(Dispatcher, EditorOpcodesReachAnEditorObject)
{
    RecordingEffect effect;
    auto* editor = new KeyEditor; // owned and deleted by the effect
    effect.editorSlot() = editor;

    ERect* rect = nullptr;
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect, &editor->rect);
    EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effSetEditKnobMode, 0, 2, nullptr, 0.0f), 1);

    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 65, 0x1ff, nullptr, 3.7f), 1);
    EXPECT_EQ(editor->lastKey.character, 65);
    EXPECT_EQ(editor->lastKey.virt, 255);
    EXPECT_EQ(editor->lastKey.modifier, 3);

    editor->answer = false;
    EXPECT_EQ(effect.dispatcher(effEditKeyUp, -9, 0x7f, nullptr, 258.9f), 0);
    EXPECT_EQ(editor->lastKey.character, -9);
    EXPECT_EQ(editor->lastKey.virt, 0x7f);
    EXPECT_EQ(editor->lastKey.modifier, 2); // 258 keeps its low 8 bits

    const std::vector<std::string> expected = {"getRect", "open",  "close", "idle",
                                               "knob2",   "down", "up"};
    EXPECT_EQ(editor->calls, expected);
    EXPECT_TRUE(effect.calls.empty());
}

TEST(Dispatcher, EditorKeyWithUnrepresentableModifierGivesZero)
{
    RecordingEffect effect;
    auto* editor = new KeyEditor;
    effect.editorSlot() = editor;
    effect.dispatcher(effEditKeyDown, 1, 2, nullptr, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(editor->lastKey.modifier, 0);
    effect.dispatcher(effEditKeyDown, 1, 2, nullptr, 1e20f);
    EXPECT_EQ(editor->lastKey.modifier, 0);
}

TEST(Dispatcher, EditorGetRectWithoutEditorLeavesTheHostPointer)
{
    RecordingEffect effect;
    ERect someRect{};
    ERect* rect = &someRect;
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(rect, &someRect);
}
} // namespace
