#pragma once

// The plug-in side of the VST 2.4 binary interface: primitive types, the plug-in record the host
// reads and writes directly, its flags, the opcodes in both directions and the few records this
// code looks into. Everything here is shared with the host byte for byte.

#include <cstddef>
#include <cstdint>

using VstInt16 = std::int16_t;
using VstInt32 = std::int32_t;
using VstUInt8 = std::uint8_t;
using VstIntPtr = std::intptr_t; // as wide as a pointer: 64 or 32 bits

struct AEffect;

using audioMasterCallback = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);
using AEffectSetParameterProc = void (*)(AEffect* effect, VstInt32 index, float value);
using AEffectGetParameterProc = float (*)(AEffect* effect, VstInt32 index);

// 'V','s','t','P', first character in the most significant byte.
constexpr VstInt32 kEffectMagic = 0x56737450;

struct AEffect
{
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc __processDeprecated;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1; // the host's
    VstIntPtr resvd2; // the host's
    VstInt32 initialDelay;
    VstInt32 __realQualitiesDeprecated;
    VstInt32 __offQualitiesDeprecated;
    float __ioRatioDeprecated;
    void* object; // the owning plug-in object
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

// The host sees these offsets; a change here breaks every host.
#if UINTPTR_MAX > 0xffffffffu
static_assert(offsetof(AEffect, magic) == 0, "AEffect layout");
static_assert(offsetof(AEffect, dispatcher) == 8, "AEffect layout");
static_assert(offsetof(AEffect, __processDeprecated) == 16, "AEffect layout");
static_assert(offsetof(AEffect, setParameter) == 24, "AEffect layout");
static_assert(offsetof(AEffect, getParameter) == 32, "AEffect layout");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect layout");
static_assert(offsetof(AEffect, numParams) == 44, "AEffect layout");
static_assert(offsetof(AEffect, numInputs) == 48, "AEffect layout");
static_assert(offsetof(AEffect, numOutputs) == 52, "AEffect layout");
static_assert(offsetof(AEffect, flags) == 56, "AEffect layout");
static_assert(offsetof(AEffect, resvd1) == 64, "AEffect layout");
static_assert(offsetof(AEffect, resvd2) == 72, "AEffect layout");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect layout");
static_assert(offsetof(AEffect, __realQualitiesDeprecated) == 84, "AEffect layout");
static_assert(offsetof(AEffect, __offQualitiesDeprecated) == 88, "AEffect layout");
static_assert(offsetof(AEffect, __ioRatioDeprecated) == 92, "AEffect layout");
static_assert(offsetof(AEffect, object) == 96, "AEffect layout");
static_assert(offsetof(AEffect, user) == 104, "AEffect layout");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect layout");
static_assert(offsetof(AEffect, version) == 116, "AEffect layout");
static_assert(offsetof(AEffect, processReplacing) == 120, "AEffect layout");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect layout");
static_assert(offsetof(AEffect, future) == 136, "AEffect layout");
static_assert(sizeof(AEffect) == 192, "AEffect layout");
#else
static_assert(offsetof(AEffect, magic) == 0, "AEffect layout");
static_assert(offsetof(AEffect, dispatcher) == 4, "AEffect layout");
static_assert(offsetof(AEffect, __processDeprecated) == 8, "AEffect layout");
static_assert(offsetof(AEffect, setParameter) == 12, "AEffect layout");
static_assert(offsetof(AEffect, getParameter) == 16, "AEffect layout");
static_assert(offsetof(AEffect, numPrograms) == 20, "AEffect layout");
static_assert(offsetof(AEffect, numParams) == 24, "AEffect layout");
static_assert(offsetof(AEffect, numInputs) == 28, "AEffect layout");
static_assert(offsetof(AEffect, numOutputs) == 32, "AEffect layout");
static_assert(offsetof(AEffect, flags) == 36, "AEffect layout");
static_assert(offsetof(AEffect, resvd1) == 40, "AEffect layout");
static_assert(offsetof(AEffect, resvd2) == 44, "AEffect layout");
static_assert(offsetof(AEffect, initialDelay) == 48, "AEffect layout");
static_assert(offsetof(AEffect, __realQualitiesDeprecated) == 52, "AEffect layout");
static_assert(offsetof(AEffect, __offQualitiesDeprecated) == 56, "AEffect layout");
static_assert(offsetof(AEffect, __ioRatioDeprecated) == 60, "AEffect layout");
static_assert(offsetof(AEffect, object) == 64, "AEffect layout");
static_assert(offsetof(AEffect, user) == 68, "AEffect layout");
static_assert(offsetof(AEffect, uniqueID) == 72, "AEffect layout");
static_assert(offsetof(AEffect, version) == 76, "AEffect layout");
static_assert(offsetof(AEffect, processReplacing) == 80, "AEffect layout");
static_assert(offsetof(AEffect, processDoubleReplacing) == 84, "AEffect layout");
static_assert(offsetof(AEffect, future) == 88, "AEffect layout");
static_assert(sizeof(AEffect) == 144, "AEffect layout");
#endif

enum VstAEffectFlags : VstInt32
{
    effFlagsHasEditor = 0x1,
    __effFlagsHasClipDeprecated = 0x2,
    __effFlagsHasVuDeprecated = 0x4,
    __effFlagsCanMonoDeprecated = 0x8,
    effFlagsCanReplacing = 0x10,
    effFlagsProgramChunks = 0x20,
    effFlagsIsSynth = 0x100,
    effFlagsNoSoundInStop = 0x200,
    __effFlagsExtIsAsyncDeprecated = 0x400,
    __effFlagsExtHasBufferDeprecated = 0x800,
    effFlagsCanDoubleReplacing = 0x1000,
};

// Host to plug-in, through AEffect::dispatcher.
enum VstPluginOpcode : VstInt32
{
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    __effGetVuDeprecated,
    effSetSampleRate, // 10
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    __effEditDrawDeprecated,
    __effEditMouseDeprecated,
    __effEditKeyDeprecated,
    effEditIdle,
    __effEditTopDeprecated, // 20
    __effEditSleepDeprecated,
    __effIdentifyDeprecated,
    effGetChunk,
    effSetChunk,

    effProcessEvents, // 25
    effCanBeAutomated,
    effString2Parameter,
    __effGetNumProgramCategoriesDeprecated,
    effGetProgramNameIndexed,
    __effCopyProgramDeprecated, // 30
    __effConnectInputDeprecated,
    __effConnectOutputDeprecated,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    __effGetCurrentPositionDeprecated,
    __effGetDestinationBufferDeprecated,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun, // 40
    effProcessVarIo,
    effSetSpeakerArrangement,
    __effSetBlockSizeAndSampleRateDeprecated,
    effSetBypass,
    effGetEffectName,
    __effGetErrorTextDeprecated,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific, // 50
    effCanDo,
    effGetTailSize,
    __effIdleDeprecated,
    __effGetIconDeprecated,
    __effSetViewPositionDeprecated,
    effGetParameterProperties,
    __effKeysRequiredDeprecated,
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp, // 60
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin, // 70
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,
    effBeginLoadProgram,
    effSetProcessPrecision,
    effGetNumMidiInputChannels,
    effGetNumMidiOutputChannels, // 79
};

// Plug-in to host, through the audioMasterCallback. Slots 5, 8, 9, 36 and 47 are not used here.
enum VstHostOpcode : VstInt32
{
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    __audioMasterPinConnectedDeprecated = 4,
    __audioMasterWantMidiDeprecated = 6,
    audioMasterGetTime = 7,
    __audioMasterTempoAtDeprecated = 10,
    __audioMasterGetNumAutomatableParametersDeprecated = 11,
    __audioMasterGetParameterQuantizationDeprecated = 12,
    audioMasterIOChanged = 13,
    __audioMasterNeedIdleDeprecated = 14,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    __audioMasterGetPreviousPlugDeprecated = 20,
    __audioMasterGetNextPlugDeprecated = 21,
    __audioMasterWillReplaceOrAccumulateDeprecated = 22,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    __audioMasterSetOutputSampleRateDeprecated = 30,
    __audioMasterGetOutputSpeakerArrangementDeprecated = 31,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    __audioMasterOpenWindowDeprecated = 39,
    __audioMasterCloseWindowDeprecated = 40,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
    __audioMasterGetChunkFileDeprecated = 48,
    __audioMasterGetInputSpeakerArrangementDeprecated = 49,
};

enum VstPlugCategory : VstInt32
{
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

enum VstProcessLevel : VstInt32
{
    kVstProcessLevelOffline = 4,
};

enum VstPinPropertiesFlags : VstInt32
{
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4,
};

// The host's description of one input or output pin, filled by the plug-in on
// effGetInputProperties / effGetOutputProperties (128 bytes in both builds).
struct VstPinProperties
{
    char label[64];
    VstInt32 flags;           // VstPinPropertiesFlags
    VstInt32 arrangementType; // a speaker-arrangement type when kVstPinUseSpeaker is set
    char shortLabel[8];
    char future[48];
};
static_assert(offsetof(VstPinProperties, flags) == 64, "VstPinProperties layout");
static_assert(offsetof(VstPinProperties, arrangementType) == 68, "VstPinProperties layout");
static_assert(offsetof(VstPinProperties, shortLabel) == 72, "VstPinProperties layout");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties layout");

struct VstSpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64]; // NUL-terminated
    VstInt32 type;
    char future[28];
};
static_assert(offsetof(VstSpeakerProperties, name) == 16, "VstSpeakerProperties layout");
static_assert(offsetof(VstSpeakerProperties, type) == 80, "VstSpeakerProperties layout");
static_assert(offsetof(VstSpeakerProperties, future) == 84, "VstSpeakerProperties layout");
static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties layout");

// numChannels speaker records follow the header. Hosts declare room for eight; a record made by
// AudioEffectX::allocateArrangement has exactly numChannels of them, so only speakers
// 0 .. numChannels - 1 may be touched.
struct VstSpeakerArrangement
{
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4, "VstSpeakerArrangement layout");
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "VstSpeakerArrangement layout");
constexpr std::size_t kVstSpeakerArrangementHeaderSize = offsetof(VstSpeakerArrangement, speakers);

struct VstKeyCode
{
    VstInt32 character;
    VstUInt8 virt;
    VstUInt8 modifier;
};
static_assert(offsetof(VstKeyCode, virt) == 4, "VstKeyCode layout");
static_assert(offsetof(VstKeyCode, modifier) == 5, "VstKeyCode layout");
static_assert(sizeof(VstKeyCode) == 8, "VstKeyCode layout");

// The editor's rectangle handed to the host on effEditGetRect.
struct ERect
{
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};
static_assert(sizeof(ERect) == 8, "ERect layout");

// Records the base classes only pass along by pointer, never look into.
struct VstEvents;
struct VstParameterProperties;
struct VstPatchChunkInfo;
struct VstVariableIo;
struct VstOfflineTask;
struct VstAudioFile;
struct VstFileSelect;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
struct VstTimeInfo;
struct __VstWindowDeprecated;
enum VstOfflineOption : VstInt32
{
};
