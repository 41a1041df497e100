// The record the host reads: its contents after construction, the functions stored in it, and the
// binary shape of the two classes behind it.

#include "vst/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
class PlainEffect : public AudioEffectX
{
public:
    PlainEffect(VstInt32 programs = 12, VstInt32 params = 22)
        : AudioEffectX(nullptr, programs, params)
    {
    }
    void processReplacing(float**, float**, VstInt32) override {}
    VstInt32 flags() const { return cEffect.flags; }
    void setEditorFlag() { cEffect.flags |= effFlagsHasEditor; }
    void setVersion(VstInt32 v) { cEffect.version = v; }
};

constexpr VstInt32 fourCharacters(char a, char b, char c, char d)
{
    return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24)
                                 | (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16)
                                 | (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8)
                                 | static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

void clearField(unsigned char* bytes, std::size_t offset, std::size_t size)
{
    std::memset(bytes + offset, 0, size);
}

#define CLEAR(field) clearField(bytes, offsetof(AEffect, field), sizeof(AEffect::field))

TEST(Record, HoldsTheDefaultsAndZeroEverywhereElse)
{
    PlainEffect effect(7, 9);
    AEffect* record = effect.getAeffect();

    EXPECT_EQ(record->magic, fourCharacters('V', 's', 't', 'P'));
    EXPECT_EQ(record->dispatcher, &AudioEffect::dispatchEffectClass);
    EXPECT_EQ(record->__processDeprecated, &AudioEffect::__processClassDeprecated);
    EXPECT_EQ(record->setParameter, &AudioEffect::setParameterClass);
    EXPECT_EQ(record->getParameter, &AudioEffect::getParameterClass);
    EXPECT_EQ(record->processReplacing, &AudioEffect::processClassReplacing);
    EXPECT_EQ(record->processDoubleReplacing, &AudioEffect::processClassDoubleReplacing);
    EXPECT_EQ(record->numPrograms, 7);
    EXPECT_EQ(record->numParams, 9);
    EXPECT_EQ(record->numInputs, 1);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->flags, 0x10);
    EXPECT_EQ(record->__ioRatioDeprecated, 1.0f);
    EXPECT_EQ(record->object, static_cast<void*>(static_cast<AudioEffect*>(&effect)));
    EXPECT_EQ(record->uniqueID, fourCharacters('N', 'o', 'E', 'f'));
    EXPECT_EQ(record->version, 1);

    // Every other byte, alignment gaps included, is zero.
    unsigned char bytes[sizeof(AEffect)];
    std::memcpy(bytes, record, sizeof(AEffect));
    CLEAR(magic);
    CLEAR(dispatcher);
    CLEAR(__processDeprecated);
    CLEAR(setParameter);
    CLEAR(getParameter);
    CLEAR(numPrograms);
    CLEAR(numParams);
    CLEAR(numInputs);
    CLEAR(numOutputs);
    CLEAR(flags);
    CLEAR(__ioRatioDeprecated);
    CLEAR(object);
    CLEAR(uniqueID);
    CLEAR(version);
    CLEAR(processReplacing);
    CLEAR(processDoubleReplacing);
    for (std::size_t i = 0; i < sizeof(AEffect); ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(Record, ReadAtTheHostsOffsets)
{
    // The host reads raw offsets, not our field names.
    PlainEffect effect;
    const auto* raw = reinterpret_cast<const unsigned char*>(effect.getAeffect());
    VstInt32 numParams = 0;
    VstInt32 uniqueID = 0;
    void* object = nullptr;
    const bool wide = sizeof(void*) == 8;
    std::memcpy(&numParams, raw + (wide ? 44 : 24), 4);
    std::memcpy(&uniqueID, raw + (wide ? 112 : 72), 4);
    std::memcpy(&object, raw + (wide ? 96 : 64), sizeof(void*));
    EXPECT_EQ(numParams, 22);
    EXPECT_EQ(uniqueID, 0x4e6f4566);
    EXPECT_EQ(object, static_cast<void*>(static_cast<AudioEffect*>(&effect)));
    EXPECT_EQ(sizeof(AEffect), wide ? 192u : 144u);
}

TEST(Record, WrapperConfigurationGivesThisPluginsRecord)
{
    PlainEffect effect;
    effect.setEditorFlag();
    effect.setVersion(105);
    effect.setUniqueID(fourCharacters('T', 'w', 'x', '7'));
    effect.setNumInputs(2);
    effect.setNumOutputs(2);
    effect.canProcessReplacing(true);
    effect.isSynth(false);
    effect.setInitialDelay(0);
    effect.programsAreChunks(true);

    const AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->flags, 0x31);
    EXPECT_EQ(record->numInputs, 2);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->version, 105);
    EXPECT_EQ(record->uniqueID, 0x54777837);
    EXPECT_EQ(record->initialDelay, 0);
}

TEST(Record, FlagSettersTouchOnlyTheirBit)
{
    struct Setter
    {
        void (*apply)(PlainEffect&, bool);
        VstInt32 bit;
    };
    const std::vector<Setter> setters = {
        {[](PlainEffect& e, bool s) { e.__hasClipDeprecated(s); }, 0x2},
        {[](PlainEffect& e, bool s) { e.__hasVuDeprecated(s); }, 0x4},
        {[](PlainEffect& e, bool s) { e.__canMonoDeprecated(s); }, 0x8},
        {[](PlainEffect& e, bool s) { e.canProcessReplacing(s); }, 0x10},
        {[](PlainEffect& e, bool s) { e.programsAreChunks(s); }, 0x20},
        {[](PlainEffect& e, bool s) { e.isSynth(s); }, 0x100},
        {[](PlainEffect& e, bool s) { e.noTail(s); }, 0x200},
        {[](PlainEffect& e, bool s) { e.__wantAsyncOperationDeprecated(s); }, 0x400},
        {[](PlainEffect& e, bool s) { e.__hasExternalBufferDeprecated(s); }, 0x800},
        {[](PlainEffect& e, bool s) { e.canDoubleReplacing(s); }, 0x1000},
    };
    for (const Setter& setter : setters)
    {
        SCOPED_TRACE(setter.bit);
        PlainEffect effect;
        effect.setEditorFlag();
        const VstInt32 before = effect.flags();
        setter.apply(effect, true);
        EXPECT_EQ(effect.flags(), before | setter.bit);
        setter.apply(effect, true);
        EXPECT_EQ(effect.flags(), before | setter.bit);
        setter.apply(effect, false);
        EXPECT_EQ(effect.flags(), before & ~setter.bit);
    }
}

// ---- the functions stored in the record ---------------------------------------------------------

class CountingEffect : public AudioEffectX
{
public:
    CountingEffect() : AudioEffectX(nullptr, 2, 4) { setNumInputs(2); }
    int replacing = 0, doubles = 0, accumulating = 0, sets = 0, gets = 0;
    VstInt32 lastFrames = 0;
    VstInt32 lastIndex = -1;
    float lastValue = 0.0f;
    float** lastInputs = nullptr;

    void processReplacing(float** in, float**, VstInt32 n) override
    {
        ++replacing, lastFrames = n, lastInputs = in;
    }
    void processDoubleReplacing(double**, double**, VstInt32 n) override { ++doubles, lastFrames = n; }
    void __processDeprecated(float**, float**, VstInt32 n) override { ++accumulating, lastFrames = n; }
    void setParameter(VstInt32 i, float v) override { ++sets, lastIndex = i, lastValue = v; }
    float getParameter(VstInt32 i) override { return ++gets, static_cast<float>(i) + 0.5f; }
};

TEST(Trampolines, ForwardToTheOwningObject)
{
    CountingEffect effect;
    AEffect* record = effect.getAeffect();
    float left[4] = {}, right[4] = {};
    float* channels[2] = {left, right};
    double dl[4] = {}, dr[4] = {};
    double* dchannels[2] = {dl, dr};

    record->processReplacing(record, channels, channels, 4);
    EXPECT_EQ(effect.replacing, 1);
    EXPECT_EQ(effect.lastFrames, 4);
    EXPECT_EQ(effect.lastInputs, channels);
    record->processDoubleReplacing(record, dchannels, dchannels, 3);
    EXPECT_EQ(effect.doubles, 1);
    EXPECT_EQ(effect.lastFrames, 3);
    record->__processDeprecated(record, channels, channels, 2);
    EXPECT_EQ(effect.accumulating, 1);
    EXPECT_EQ(effect.lastFrames, 2);

    record->setParameter(record, 3, 0.75f);
    EXPECT_EQ(effect.lastIndex, 3);
    EXPECT_EQ(effect.lastValue, 0.75f);
    EXPECT_EQ(record->getParameter(record, 2), 2.5f);
}

TEST(Trampolines, IgnoreParameterIndicesOutsideTheTable)
{
    CountingEffect effect; // 4 parameters
    AEffect* record = effect.getAeffect();
    for (VstInt32 index : {-1, 4, INT32_MAX, INT32_MIN})
    {
        record->setParameter(record, index, 1.0f);
        EXPECT_EQ(record->getParameter(record, index), 0.0f);
    }
    EXPECT_EQ(effect.sets, 0);
    EXPECT_EQ(effect.gets, 0);
}

TEST(Trampolines, IgnoreBlocksThatCannotBeProcessed)
{
    CountingEffect effect;
    AEffect* record = effect.getAeffect();
    float buffer[4] = {};
    float* channels[2] = {buffer, buffer};
    double dbuffer[4] = {};
    double* dchannels[2] = {dbuffer, dbuffer};

    record->processReplacing(record, channels, channels, -1);
    record->processReplacing(record, nullptr, channels, 4);
    record->processReplacing(record, channels, nullptr, 4);
    record->processDoubleReplacing(record, dchannels, nullptr, 4);
    record->processDoubleReplacing(record, dchannels, dchannels, INT32_MIN);
    record->__processDeprecated(record, nullptr, nullptr, 4);
    EXPECT_EQ(effect.replacing + effect.doubles + effect.accumulating, 0);
}

TEST(Trampolines, PassEmptyBlocksOn)
{
    CountingEffect effect;
    AEffect* record = effect.getAeffect();
    float buffer[1] = {};
    float* channels[2] = {buffer, buffer};
    record->processReplacing(record, channels, channels, 0);
    EXPECT_EQ(effect.replacing, 1);
    EXPECT_EQ(effect.lastFrames, 0);
}

TEST(Trampolines, TolerateARecordWithoutObject)
{
    AEffect orphan;
    std::memset(&orphan, 0, sizeof(orphan));
    EXPECT_EQ(AudioEffect::dispatchEffectClass(&orphan, effClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(AudioEffect::dispatchEffectClass(nullptr, effOpen, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(AudioEffect::getParameterClass(&orphan, 0), 0.0f);
    AudioEffect::setParameterClass(nullptr, 0, 1.0f);
}

// ---- binary shape -------------------------------------------------------------------------------

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// Itanium C++ ABI: a pointer to a virtual member function holds 1 + its byte offset in the
// virtual table.
template <typename MemberPointer>
std::ptrdiff_t slotOf(MemberPointer member)
{
    struct Representation
    {
        std::uintptr_t ptr;
        std::ptrdiff_t adj;
    };
    static_assert(sizeof(MemberPointer) == sizeof(Representation), "Itanium member pointer");
    Representation r;
    std::memcpy(&r, &member, sizeof(r));
    if ((r.ptr & 1u) == 0)
        return -1; // not virtual
    return static_cast<std::ptrdiff_t>((r.ptr - 1) / sizeof(void*));
}

#define S(cls, name) slotOf(&cls::name)

TEST(BinaryShape, VirtualOperationsSitInTheirSlots)
{
    // Slots 0 and 1 are the complete and deleting destructors.
    const std::vector<std::ptrdiff_t> base = {
        S(AudioEffect, dispatcher),
        S(AudioEffect, open), S(AudioEffect, close), S(AudioEffect, suspend),
        S(AudioEffect, resume), S(AudioEffect, setSampleRate), S(AudioEffect, setBlockSize),
        S(AudioEffect, processReplacing), S(AudioEffect, processDoubleReplacing),
        S(AudioEffect, setParameter), S(AudioEffect, getParameter),
        S(AudioEffect, setParameterAutomated),
        S(AudioEffect, getProgram), S(AudioEffect, setProgram), S(AudioEffect, setProgramName),
        S(AudioEffect, getProgramName), S(AudioEffect, getParameterLabel),
        S(AudioEffect, getParameterDisplay), S(AudioEffect, getParameterName),
        S(AudioEffect, getChunk), S(AudioEffect, setChunk),
        S(AudioEffect, setUniqueID), S(AudioEffect, setNumInputs), S(AudioEffect, setNumOutputs),
        S(AudioEffect, canProcessReplacing), S(AudioEffect, canDoubleReplacing),
        S(AudioEffect, programsAreChunks), S(AudioEffect, setInitialDelay),
        S(AudioEffect, getEditor), S(AudioEffect, getAeffect), S(AudioEffect, getSampleRate),
        S(AudioEffect, getBlockSize),
        S(AudioEffect, getMasterVersion), S(AudioEffect, getCurrentUniqueId),
        S(AudioEffect, masterIdle),
        S(AudioEffect, dB2string), S(AudioEffect, Hz2string), S(AudioEffect, ms2string),
        S(AudioEffect, float2string), S(AudioEffect, int2string),
        S(AudioEffect, __processDeprecated), S(AudioEffect, __getVuDeprecated),
        S(AudioEffect, __hasVuDeprecated), S(AudioEffect, __hasClipDeprecated),
        S(AudioEffect, __canMonoDeprecated), S(AudioEffect, __setRealtimeQualitiesDeprecated),
        S(AudioEffect, __setOfflineQualitiesDeprecated),
        S(AudioEffect, __isInputConnectedDeprecated),
        S(AudioEffect, __isOutputConnectedDeprecated),
    };
    ASSERT_EQ(base.size() + 2, 51u);
    for (std::size_t i = 0; i < base.size(); ++i)
        EXPECT_EQ(base[i], static_cast<std::ptrdiff_t>(i + 2)) << "AudioEffect operation " << i;

    // The two overrides keep the slots of the operations they replace.
    EXPECT_EQ(S(AudioEffectX, dispatcher), 2);
    EXPECT_EQ(S(AudioEffectX, resume), S(AudioEffect, resume));

    const std::vector<std::ptrdiff_t> extended = {
        S(AudioEffectX, canParameterBeAutomated), S(AudioEffectX, string2parameter),
        S(AudioEffectX, getParameterProperties), S(AudioEffectX, beginEdit),
        S(AudioEffectX, endEdit), S(AudioEffectX, getProgramNameIndexed),
        S(AudioEffectX, beginSetProgram), S(AudioEffectX, endSetProgram),
        S(AudioEffectX, beginLoadBank), S(AudioEffectX, beginLoadProgram),
        S(AudioEffectX, ioChanged), S(AudioEffectX, updateSampleRate),
        S(AudioEffectX, updateBlockSize), S(AudioEffectX, getInputLatency),
        S(AudioEffectX, getOutputLatency), S(AudioEffectX, getInputProperties),
        S(AudioEffectX, getOutputProperties), S(AudioEffectX, setSpeakerArrangement),
        S(AudioEffectX, getSpeakerArrangement), S(AudioEffectX, setBypass),
        S(AudioEffectX, setPanLaw), S(AudioEffectX, setProcessPrecision),
        S(AudioEffectX, getNumMidiInputChannels), S(AudioEffectX, getNumMidiOutputChannels),
        S(AudioEffectX, getTimeInfo), S(AudioEffectX, getCurrentProcessLevel),
        S(AudioEffectX, getAutomationState), S(AudioEffectX, processEvents),
        S(AudioEffectX, startProcess), S(AudioEffectX, stopProcess),
        S(AudioEffectX, processVariableIo), S(AudioEffectX, setTotalSampleToProcess),
        S(AudioEffectX, getHostVendorString), S(AudioEffectX, getHostProductString),
        S(AudioEffectX, getHostVendorVersion), S(AudioEffectX, hostVendorSpecific),
        S(AudioEffectX, canHostDo), S(AudioEffectX, getHostLanguage),
        S(AudioEffectX, isSynth), S(AudioEffectX, noTail), S(AudioEffectX, getGetTailSize),
        S(AudioEffectX, getDirectory), S(AudioEffectX, getEffectName),
        S(AudioEffectX, getVendorString), S(AudioEffectX, getProductString),
        S(AudioEffectX, getVendorVersion), S(AudioEffectX, vendorSpecific),
        S(AudioEffectX, canDo), S(AudioEffectX, getVstVersion), S(AudioEffectX, getPlugCategory),
        S(AudioEffectX, getMidiProgramName), S(AudioEffectX, getCurrentMidiProgram),
        S(AudioEffectX, getMidiProgramCategory), S(AudioEffectX, hasMidiProgramsChanged),
        S(AudioEffectX, getMidiKeyName),
        S(AudioEffectX, updateDisplay), S(AudioEffectX, sizeWindow),
        S(AudioEffectX, openFileSelector), S(AudioEffectX, closeFileSelector),
        S(AudioEffectX, getNextShellPlugin),
        S(AudioEffectX, allocateArrangement), S(AudioEffectX, deallocateArrangement),
        S(AudioEffectX, copySpeaker), S(AudioEffectX, matchArrangement),
        S(AudioEffectX, offlineRead), S(AudioEffectX, offlineWrite),
        S(AudioEffectX, offlineStart), S(AudioEffectX, offlineGetCurrentPass),
        S(AudioEffectX, offlineGetCurrentMetaPass), S(AudioEffectX, offlineNotify),
        S(AudioEffectX, offlinePrepare), S(AudioEffectX, offlineRun),
        S(AudioEffectX, offlineGetNumPasses), S(AudioEffectX, offlineGetNumMetaPasses),
        S(AudioEffectX, __wantEventsDeprecated), S(AudioEffectX, __tempoAtDeprecated),
        S(AudioEffectX, __getNumAutomatableParametersDeprecated),
        S(AudioEffectX, __getParameterQuantizationDeprecated),
        S(AudioEffectX, __getNumCategoriesDeprecated), S(AudioEffectX, __copyProgramDeprecated),
        S(AudioEffectX, __needIdleDeprecated), S(AudioEffectX, __getPreviousPlugDeprecated),
        S(AudioEffectX, __getNextPlugDeprecated), S(AudioEffectX, __inputConnectedDeprecated),
        S(AudioEffectX, __outputConnectedDeprecated),
        S(AudioEffectX, __willProcessReplacingDeprecated),
        S(AudioEffectX, __wantAsyncOperationDeprecated),
        S(AudioEffectX, __hasExternalBufferDeprecated),
        S(AudioEffectX, __reportCurrentPositionDeprecated),
        S(AudioEffectX, __reportDestinationBufferDeprecated),
        S(AudioEffectX, __setOutputSamplerateDeprecated),
        S(AudioEffectX, __getInputSpeakerArrangementDeprecated),
        S(AudioEffectX, __getOutputSpeakerArrangementDeprecated),
        S(AudioEffectX, __openWindowDeprecated), S(AudioEffectX, __closeWindowDeprecated),
        S(AudioEffectX, __setBlockSizeAndSampleRateDeprecated),
        S(AudioEffectX, __getErrorTextDeprecated), S(AudioEffectX, __getIconDeprecated),
        S(AudioEffectX, __setViewPositionDeprecated), S(AudioEffectX, __fxIdleDeprecated),
        S(AudioEffectX, __keysRequiredDeprecated), S(AudioEffectX, __getChunkFileDeprecated),
    };
    ASSERT_EQ(extended.size(), 102u);
    for (std::size_t i = 0; i < extended.size(); ++i)
        EXPECT_EQ(extended[i], static_cast<std::ptrdiff_t>(i + 51)) << "AudioEffectX operation " << i;
}
#undef S
#endif
} // namespace
