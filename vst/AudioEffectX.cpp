#include "vst/AudioEffectX.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr VstInt32 kVstVersion = 2400;
constexpr std::size_t kSpeakerNameLength = sizeof(VstSpeakerProperties::name);

template <typename T>
T* valueAsPointer(VstIntPtr value)
{
    return reinterpret_cast<T*>(value);
}

VstIntPtr asAnswer(bool state) { return state ? 1 : 0; }

// The fraction is dropped; a value no integer can hold (NaN, infinite, huge) gives 0 rather than
// an undefined conversion.
VstInt32 truncateToInt(float value)
{
    if (!(value > -2147483648.0f && value < 2147483648.0f))
        return 0;
    return static_cast<VstInt32>(value);
}

VstSpeakerProperties* speakerAt(VstSpeakerArrangement* arrangement, VstInt32 channel)
{
    // Arrangements may hold more speakers than the declared eight, so index from the raw record.
    char* base = reinterpret_cast<char*>(arrangement) + kVstSpeakerArrangementHeaderSize;
    return reinterpret_cast<VstSpeakerProperties*>(base
                                                   + static_cast<std::size_t>(channel)
                                                         * sizeof(VstSpeakerProperties));
}

bool arrangementSizeFor(VstInt32 channels, std::size_t& bytes)
{
    if (channels < 0)
        return false;
    const std::size_t most =
        (SIZE_MAX - kVstSpeakerArrangementHeaderSize) / sizeof(VstSpeakerProperties);
    if (static_cast<std::size_t>(channels) > most)
        return false;
    bytes = kVstSpeakerArrangementHeaderSize
            + static_cast<std::size_t>(channels) * sizeof(VstSpeakerProperties);
    return true;
}
} // namespace

AudioEffectX::AudioEffectX(audioMasterCallback audioMasterIn, VstInt32 numProgramsIn,
                           VstInt32 numParamsIn)
    : AudioEffect(audioMasterIn, numProgramsIn, numParamsIn)
{
}

AudioEffectX::~AudioEffectX() = default;

// ---- dispatcher ----------------------------------------------------------------------------

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt)
{
    char* text = static_cast<char*>(ptr);
    const auto narrowed = static_cast<VstInt32>(value);
    switch (opcode)
    {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return asAnswer(isParameterIndex(index) && canParameterBeAutomated(index));
    case effString2Parameter:
        // A null text is passed on: it asks whether texts are understood at all.
        return asAnswer(isParameterIndex(index) && string2parameter(index, text));
    case effGetProgramNameIndexed:
        if (text == nullptr || index < 0 || index >= numPrograms)
            return 0;
        return asAnswer(getProgramNameIndexed(narrowed, index, text));
    case effGetInputProperties:
        if (ptr == nullptr || index < 0)
            return 0;
        return asAnswer(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
        if (ptr == nullptr || index < 0)
            return 0;
        return asAnswer(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory:
        return static_cast<VstIntPtr>(static_cast<std::uint32_t>(getPlugCategory()));
    case effOfflineNotify:
        return asAnswer(offlineNotify(static_cast<VstAudioFile*>(ptr), narrowed, index != 0));
    case effOfflinePrepare:
        return asAnswer(offlinePrepare(static_cast<VstOfflineTask*>(ptr), narrowed));
    case effOfflineRun:
        return asAnswer(offlineRun(static_cast<VstOfflineTask*>(ptr), narrowed));
    case effProcessVarIo:
        return asAnswer(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement:
        if (value == 0 || ptr == nullptr)
            return 0;
        return asAnswer(setSpeakerArrangement(valueAsPointer<VstSpeakerArrangement>(value),
                                              static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBypass:
        return asAnswer(setBypass(value != 0));
    case effGetEffectName:
        return asAnswer(text != nullptr && getEffectName(text));
    case effGetVendorString:
        return asAnswer(text != nullptr && getVendorString(text));
    case effGetProductString:
        return asAnswer(text != nullptr && getProductString(text));
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return text != nullptr ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effGetParameterProperties:
        if (ptr == nullptr || !isParameterIndex(index))
            return 0;
        return asAnswer(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
        return dispatchEditorKey(opcode, index, value, opt);
    case effSetEditKnobMode:
        return editor != nullptr ? asAnswer(editor->setKnobMode(narrowed)) : 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
        return asAnswer(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
        return asAnswer(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram:
        return asAnswer(beginSetProgram());
    case effEndSetProgram:
        return asAnswer(endSetProgram());
    case effGetSpeakerArrangement:
        if (value == 0 || ptr == nullptr)
            return 0;
        return asAnswer(getSpeakerArrangement(valueAsPointer<VstSpeakerArrangement*>(value),
                                              static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin:
        return text != nullptr ? getNextShellPlugin(text) : 0;
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(narrowed);
    case effSetPanLaw:
        return asAnswer(setPanLaw(narrowed, opt));
    case effBeginLoadBank:
        return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
        return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision:
        return asAnswer(setProcessPrecision(narrowed));
    case effGetNumMidiInputChannels:
        return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
        return getNumMidiOutputChannels();
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

VstIntPtr AudioEffectX::dispatchEditorKey(VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          float opt)
{
    if (editor == nullptr)
        return 0;
    VstKeyCode key;
    std::memset(&key, 0, sizeof(key));
    key.character = index;
    key.virt = static_cast<VstUInt8>(value & 0xff);
    key.modifier = static_cast<VstUInt8>(truncateToInt(opt) & 0xff);
    return asAnswer(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
}

void AudioEffectX::resume()
{
    char receivesMidi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(receivesMidi) == 1)
        __wantEventsDeprecated(1);
}

// ---- host callback ---------------------------------------------------------------------------

void AudioEffectX::__wantEventsDeprecated(VstInt32 filter)
{
    callHost(__audioMasterWantMidiDeprecated, 0, filter);
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter)
{
    return valueAsPointer<VstTimeInfo>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::__tempoAtDeprecated(VstInt32 pos)
{
    return static_cast<VstInt32>(callHost(__audioMasterTempoAtDeprecated, 0, pos));
}

VstInt32 AudioEffectX::__getNumAutomatableParametersDeprecated()
{
    return static_cast<VstInt32>(callHost(__audioMasterGetNumAutomatableParametersDeprecated));
}

VstInt32 AudioEffectX::__getParameterQuantizationDeprecated()
{
    return static_cast<VstInt32>(callHost(__audioMasterGetParameterQuantizationDeprecated));
}

bool AudioEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }
bool AudioEffectX::__needIdleDeprecated() { return callHost(__audioMasterNeedIdleDeprecated) != 0; }

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

double AudioEffectX::updateSampleRate()
{
    const VstIntPtr answer = callHost(audioMasterGetSampleRate);
    if (answer > 0)
        sampleRate = static_cast<float>(answer);
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize()
{
    const auto answer = static_cast<VstInt32>(callHost(audioMasterGetBlockSize));
    if (answer > 0)
        blockSize = answer;
    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency()
{
    return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency()
{
    return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

AEffect* AudioEffectX::__getPreviousPlugDeprecated(VstInt32)
{
    return valueAsPointer<AEffect>(callHost(__audioMasterGetPreviousPlugDeprecated));
}

AEffect* AudioEffectX::__getNextPlugDeprecated(VstInt32)
{
    return valueAsPointer<AEffect>(callHost(__audioMasterGetNextPlugDeprecated));
}

VstInt32 AudioEffectX::__willProcessReplacingDeprecated()
{
    return static_cast<VstInt32>(callHost(__audioMasterWillReplaceOrAccumulateDeprecated));
}

VstInt32 AudioEffectX::getCurrentProcessLevel()
{
    return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState()
{
    return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::offlineStart(VstAudioFile* audioFiles, VstInt32 numAudioFiles,
                                VstInt32 numNewAudioFiles)
{
    return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, audioFiles) != 0;
}

bool AudioEffectX::offlineRead(VstOfflineTask* offline, VstOfflineOption option, bool readSource)
{
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* offline, VstOfflineOption option)
{
    return callHost(audioMasterOfflineWrite, 0, option, offline) != 0;
}

bool AudioEffectX::offlineGetCurrentPass()
{
    return callHost(audioMasterOfflineGetCurrentPass) != 0;
}

bool AudioEffectX::offlineGetCurrentMetaPass()
{
    return callHost(audioMasterOfflineGetCurrentMetaPass) != 0;
}

void AudioEffectX::__setOutputSamplerateDeprecated(float samplerate)
{
    callHost(__audioMasterSetOutputSampleRateDeprecated, 0, 0, nullptr, samplerate);
}

VstSpeakerArrangement* AudioEffectX::__getOutputSpeakerArrangementDeprecated()
{
    return valueAsPointer<VstSpeakerArrangement>(
        callHost(__audioMasterGetOutputSpeakerArrangementDeprecated));
}

// The host writes into text: without a buffer it is not asked.
bool AudioEffectX::getHostVendorString(char* text)
{
    return text != nullptr && callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text)
{
    return text != nullptr && callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion()
{
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg,
                                           float floatArg)
{
    return callHost(audioMasterVendorSpecific, lArg1, lArg2, ptrArg, floatArg);
}

// Any non-zero answer, the host's -1 included, counts as yes.
bool AudioEffectX::canHostDo(char* text)
{
    return text != nullptr && callHost(audioMasterCanDo, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostLanguage()
{
    return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

void* AudioEffectX::__openWindowDeprecated(__VstWindowDeprecated* window)
{
    return valueAsPointer<void>(callHost(__audioMasterOpenWindowDeprecated, 0, 0, window));
}

bool AudioEffectX::__closeWindowDeprecated(__VstWindowDeprecated* window)
{
    return callHost(__audioMasterCloseWindowDeprecated, 0, 0, window) != 0;
}

void* AudioEffectX::getDirectory() { return valueAsPointer<void>(callHost(audioMasterGetDirectory)); }

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

bool AudioEffectX::openFileSelector(VstFileSelect* select)
{
    return select != nullptr && callHost(audioMasterOpenFileSelector, 0, 0, select) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* select)
{
    return select != nullptr && callHost(audioMasterCloseFileSelector, 0, 0, select) != 0;
}

bool AudioEffectX::__getChunkFileDeprecated(void* nativePath)
{
    return nativePath != nullptr
           && callHost(__audioMasterGetChunkFileDeprecated, 0, 0, nativePath) != 0;
}

VstSpeakerArrangement* AudioEffectX::__getInputSpeakerArrangementDeprecated()
{
    return valueAsPointer<VstSpeakerArrangement>(
        callHost(__audioMasterGetInputSpeakerArrangementDeprecated));
}

// ---- flags -----------------------------------------------------------------------------------

void AudioEffectX::isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
void AudioEffectX::noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }

void AudioEffectX::__wantAsyncOperationDeprecated(bool state)
{
    setFlag(__effFlagsExtIsAsyncDeprecated, state);
}

void AudioEffectX::__hasExternalBufferDeprecated(bool state)
{
    setFlag(__effFlagsExtHasBufferDeprecated, state);
}

// ---- defaults: the feature is not supported ----------------------------------------------------

bool AudioEffectX::canParameterBeAutomated(VstInt32) { return true; }
bool AudioEffectX::string2parameter(VstInt32, char*) { return false; }
bool AudioEffectX::getParameterProperties(VstInt32, VstParameterProperties*) { return false; }
bool AudioEffectX::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
bool AudioEffectX::beginSetProgram() { return false; }
bool AudioEffectX::endSetProgram() { return false; }
VstInt32 AudioEffectX::beginLoadBank(VstPatchChunkInfo*) { return 0; }
VstInt32 AudioEffectX::beginLoadProgram(VstPatchChunkInfo*) { return 0; }

bool AudioEffectX::getInputProperties(VstInt32, VstPinProperties*) { return false; }
bool AudioEffectX::getOutputProperties(VstInt32, VstPinProperties*) { return false; }

bool AudioEffectX::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*)
{
    return false;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput)
{
    if (pluginInput != nullptr)
        *pluginInput = nullptr;
    if (pluginOutput != nullptr)
        *pluginOutput = nullptr;
    return false;
}

bool AudioEffectX::setBypass(bool) { return false; }
bool AudioEffectX::setPanLaw(VstInt32, float) { return false; }
bool AudioEffectX::setProcessPrecision(VstInt32) { return false; }
VstInt32 AudioEffectX::getNumMidiInputChannels() { return 0; }
VstInt32 AudioEffectX::getNumMidiOutputChannels() { return 0; }

VstInt32 AudioEffectX::processEvents(VstEvents*) { return 0; }
VstInt32 AudioEffectX::startProcess() { return 0; }
VstInt32 AudioEffectX::stopProcess() { return 0; }
bool AudioEffectX::processVariableIo(VstVariableIo*) { return false; }
VstInt32 AudioEffectX::setTotalSampleToProcess(VstInt32 value) { return value; }

VstInt32 AudioEffectX::getGetTailSize() { return 0; }
bool AudioEffectX::getEffectName(char*) { return false; }
bool AudioEffectX::getVendorString(char*) { return false; }
bool AudioEffectX::getProductString(char*) { return false; }
VstInt32 AudioEffectX::getVendorVersion() { return 0; }
VstIntPtr AudioEffectX::vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
VstInt32 AudioEffectX::canDo(char*) { return 0; }
VstInt32 AudioEffectX::getVstVersion() { return kVstVersion; }

VstPlugCategory AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

VstInt32 AudioEffectX::getMidiProgramName(VstInt32, MidiProgramName*) { return 0; }
VstInt32 AudioEffectX::getCurrentMidiProgram(VstInt32, MidiProgramName*) { return -1; }
VstInt32 AudioEffectX::getMidiProgramCategory(VstInt32, MidiProgramCategory*) { return 0; }
bool AudioEffectX::hasMidiProgramsChanged(VstInt32) { return false; }
bool AudioEffectX::getMidiKeyName(VstInt32, MidiKeyName*) { return false; }

VstInt32 AudioEffectX::getNextShellPlugin(char*) { return 0; }

bool AudioEffectX::offlineNotify(VstAudioFile*, VstInt32, bool) { return false; }
bool AudioEffectX::offlinePrepare(VstOfflineTask*, VstInt32) { return false; }
bool AudioEffectX::offlineRun(VstOfflineTask*, VstInt32) { return false; }
VstInt32 AudioEffectX::offlineGetNumPasses() { return 0; }
VstInt32 AudioEffectX::offlineGetNumMetaPasses() { return 0; }

VstInt32 AudioEffectX::__getNumCategoriesDeprecated() { return 1; }
bool AudioEffectX::__copyProgramDeprecated(VstInt32) { return false; }
void AudioEffectX::__inputConnectedDeprecated(VstInt32, bool) {}
void AudioEffectX::__outputConnectedDeprecated(VstInt32, bool) {}
VstInt32 AudioEffectX::__reportCurrentPositionDeprecated() { return 0; }
float* AudioEffectX::__reportDestinationBufferDeprecated() { return nullptr; }

void AudioEffectX::__setBlockSizeAndSampleRateDeprecated(VstInt32 newBlockSize,
                                                         float newSampleRate)
{
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
}

bool AudioEffectX::__getErrorTextDeprecated(char*) { return false; }
void* AudioEffectX::__getIconDeprecated() { return nullptr; }
bool AudioEffectX::__setViewPositionDeprecated(VstInt32, VstInt32) { return false; }
VstInt32 AudioEffectX::__fxIdleDeprecated() { return 0; }
bool AudioEffectX::__keysRequiredDeprecated() { return false; }

// ---- speaker arrangements ----------------------------------------------------------------------

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels)
{
    std::size_t bytes = 0;
    if (arrangement == nullptr || !arrangementSizeFor(channels, bytes))
        return false;
    if (*arrangement != nullptr)
    {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    void* memory = std::calloc(1, bytes);
    if (memory == nullptr)
        return false;
    *arrangement = static_cast<VstSpeakerArrangement*>(memory);
    (*arrangement)->numChannels = channels;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement)
{
    if (arrangement == nullptr)
        return false;
    if (*arrangement != nullptr)
    {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from)
{
    if (to == nullptr || from == nullptr)
        return false;
    // At most 63 characters, the rest of the name zeroed, so the copy is always terminated even
    // when the source name fills all of its bytes.
    std::size_t i = 0;
    for (; i < kSpeakerNameLength - 1 && from->name[i] != '\0'; ++i)
        to->name[i] = from->name[i];
    for (; i < kSpeakerNameLength; ++i)
        to->name[i] = '\0';
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memmove(to->future, from->future, sizeof(to->future));
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from)
{
    if (from == nullptr)
        return false;
    if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels))
        return false;
    (*to)->type = from->type;
    for (VstInt32 i = 0; i < (*to)->numChannels; ++i)
    {
        if (!copySpeaker(speakerAt(*to, i), speakerAt(from, i)))
            return false;
    }
    return true;
}
