#include "vst/AudioEffect.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
constexpr VstInt32 kDefaultUniqueId = 0x4e6f4566;     // 'N','o','E','f'
constexpr VstIntPtr kIdentifyAnswer = 0x4e764566;     // 'N','v','E','f'
constexpr int kFloatTextBudget = 8;                   // characters, sign and point included
constexpr double kFloatTextLowest = -9999999.0;
constexpr double kFloatTextHighest = 99999999.0;
constexpr std::int64_t kIntTextTooLarge = 100000000;

AudioEffect* objectOf(AEffect* e)
{
    return e != nullptr ? static_cast<AudioEffect*>(e->object) : nullptr;
}

// A block of 0 frames still reaches the plug-in (its block-wise glides advance on it); a negative
// count is nonsense from the host and is dropped, and so is a block without the buffers the
// record's channel counts promise.
bool blockIsUsable(const AEffect& record, const void* inputs, const void* outputs, VstInt32 sampleFrames)
{
    if (sampleFrames < 0)
        return false;
    return !((inputs == nullptr && record.numInputs > 0) || (outputs == nullptr && record.numOutputs > 0));
}

// Writes source cut to maxLen characters, then zeros up to and including byte maxLen, so the
// caller's buffer always ends terminated and nothing lands beyond it.
void writeCut(char* text, VstInt32 maxLen, const char* source)
{
    if (text == nullptr || maxLen < 0)
        return;
    VstInt32 i = 0;
    for (; i < maxLen && source[i] != '\0'; ++i)
        text[i] = source[i];
    for (; i <= maxLen; ++i)
        text[i] = '\0';
}

void clearText(void* text)
{
    if (text != nullptr)
        static_cast<char*>(text)[0] = '\0';
}

// Integer digits right to left. A value whose integer part is too long for the 8-character budget
// still gets all of its digits: dropping the leading one would show a plainly wrong number.
int appendIntegerDigits(double magnitude, char* out, int& count)
{
    char reversed[16];
    int n = 0;
    double integ = std::floor(magnitude);
    reversed[n++] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
    ++count;
    integ /= 10.0;
    while (integ >= 1.0 && n < 15)
    {
        reversed[n++] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
        ++count;
        integ /= 10.0;
    }
    for (int i = 0; i < n; ++i)
        out[i] = reversed[n - 1 - i];
    return n;
}

// Fraction digits are truncated, last to first, never rounded upwards.
void appendFractionDigits(double magnitude, int digits, char* out)
{
    static const double powersOfTen[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
    double m = std::fmod(magnitude, 1.0) * powersOfTen[digits];
    for (int i = digits - 1; i >= 0; --i)
    {
        int digit = 0;
        if (m > 0.0)
        {
            digit = static_cast<int>(std::fmod(m, 10.0));
            m /= 10.0;
        }
        out[i] = static_cast<char>('0' + digit);
    }
}

bool fitsInVstInt32(VstIntPtr value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}
} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMasterIn, VstInt32 numProgramsIn,
                         VstInt32 numParamsIn)
    : audioMaster(audioMasterIn),
      editor(nullptr),
      sampleRate(44100.0f),
      blockSize(1024),
      numPrograms(numProgramsIn),
      numParams(numParamsIn),
      curProgram(0)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.__processDeprecated = __processClassDeprecated;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = numProgramsIn;
    cEffect.numParams = numParamsIn;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.__ioRatioDeprecated = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = kDefaultUniqueId;
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

// ---- trampolines ---------------------------------------------------------------------------

VstIntPtr AudioEffect::dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt)
{
    AudioEffect* effect = objectOf(e);
    if (effect == nullptr)
        return 0;
    const VstIntPtr answer = effect->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == effClose)
    {
        delete effect;
        return 1;
    }
    return answer;
}

void AudioEffect::__processClassDeprecated(AEffect* e, float** inputs, float** outputs,
                                           VstInt32 sampleFrames)
{
    AudioEffect* effect = objectOf(e);
    if (effect != nullptr && blockIsUsable(effect->cEffect, inputs, outputs, sampleFrames))
        effect->__processDeprecated(inputs, outputs, sampleFrames);
}

void AudioEffect::setParameterClass(AEffect* e, VstInt32 index, float value)
{
    AudioEffect* effect = objectOf(e);
    if (effect != nullptr && effect->isParameterIndex(index))
        effect->setParameter(index, value);
}

float AudioEffect::getParameterClass(AEffect* e, VstInt32 index)
{
    AudioEffect* effect = objectOf(e);
    if (effect == nullptr || !effect->isParameterIndex(index))
        return 0.0f;
    return effect->getParameter(index);
}

void AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                        VstInt32 sampleFrames)
{
    AudioEffect* effect = objectOf(e);
    if (effect != nullptr && blockIsUsable(effect->cEffect, inputs, outputs, sampleFrames))
        effect->processReplacing(inputs, outputs, sampleFrames);
}

void AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                              VstInt32 sampleFrames)
{
    AudioEffect* effect = objectOf(e);
    if (effect != nullptr && blockIsUsable(effect->cEffect, inputs, outputs, sampleFrames))
        effect->processDoubleReplacing(inputs, outputs, sampleFrames);
}

// ---- dispatcher ----------------------------------------------------------------------------

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt)
{
    char* text = static_cast<char*>(ptr);
    switch (opcode)
    {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text != nullptr)
            setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text != nullptr)
            getProgramName(text);
        return 0;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        if (text == nullptr)
            return 0;
        if (!isParameterIndex(index))
        {
            clearText(text);
            return 0;
        }
        if (opcode == effGetParamLabel)
            getParameterLabel(index, text);
        else if (opcode == effGetParamDisplay)
            getParameterDisplay(index, text);
        else
            getParameterName(index, text);
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        if (editor == nullptr || ptr == nullptr)
            return 0;
        return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        if (editor == nullptr)
            return 0;
        return editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor != nullptr)
            editor->close();
        return 0;
    case effEditIdle:
        if (editor != nullptr)
            editor->idle();
        return 0;
    case __effIdentifyDeprecated:
        return kIdentifyAnswer;
    case effGetChunk:
        if (ptr == nullptr)
            return 0;
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        // A block the host cannot describe with a non-negative 32-bit size is never handed on.
        if (ptr == nullptr || value < 0 || !fitsInVstInt32(value))
            return 0;
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        return 0;
    }
}

// ---- setters, accessors and defaults --------------------------------------------------------

void AudioEffect::setSampleRate(float newSampleRate) { sampleRate = newSampleRate; }
void AudioEffect::setBlockSize(VstInt32 newBlockSize) { blockSize = newBlockSize; }

void AudioEffect::processDoubleReplacing(double**, double**, VstInt32) {}

void AudioEffect::setParameter(VstInt32, float) {}
float AudioEffect::getParameter(VstInt32) { return 0.0f; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    if (hasHost())
        callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getProgram() { return curProgram; }
void AudioEffect::setProgram(VstInt32 program) { curProgram = program; }
void AudioEffect::setProgramName(char*) {}
void AudioEffect::getProgramName(char* name) { clearText(name); }
void AudioEffect::getParameterLabel(VstInt32, char* label) { clearText(label); }
void AudioEffect::getParameterDisplay(VstInt32, char* text) { clearText(text); }
void AudioEffect::getParameterName(VstInt32, char* text) { clearText(text); }

VstInt32 AudioEffect::getChunk(void**, bool) { return 0; }
VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) { return 0; }

void AudioEffect::setUniqueID(VstInt32 iD) { cEffect.uniqueID = iD; }
void AudioEffect::setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
void AudioEffect::setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
void AudioEffect::canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
void AudioEffect::canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
void AudioEffect::programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
void AudioEffect::setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

AEffEditor* AudioEffect::getEditor() { return editor; }
AEffect* AudioEffect::getAeffect() { return &cEffect; }
float AudioEffect::getSampleRate() { return sampleRate; }
VstInt32 AudioEffect::getBlockSize() { return blockSize; }

void AudioEffect::__processDeprecated(float**, float**, VstInt32) {}
float AudioEffect::__getVuDeprecated() { return 0.0f; }
void AudioEffect::__hasVuDeprecated(bool state) { setFlag(__effFlagsHasVuDeprecated, state); }
void AudioEffect::__hasClipDeprecated(bool state) { setFlag(__effFlagsHasClipDeprecated, state); }
void AudioEffect::__canMonoDeprecated(bool state) { setFlag(__effFlagsCanMonoDeprecated, state); }

void AudioEffect::__setRealtimeQualitiesDeprecated(VstInt32 qualities)
{
    cEffect.__realQualitiesDeprecated = qualities;
}

void AudioEffect::__setOfflineQualitiesDeprecated(VstInt32 qualities)
{
    cEffect.__offQualitiesDeprecated = qualities;
}

void AudioEffect::setFlag(VstInt32 flag, bool state)
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

// ---- host callback ---------------------------------------------------------------------------

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt)
{
    if (audioMaster == nullptr)
        return 0;
    return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

VstInt32 AudioEffect::getMasterVersion()
{
    const auto version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version != 0 ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId()
{
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

bool AudioEffect::__isInputConnectedDeprecated(VstInt32 input)
{
    if (!hasHost())
        return true;
    return static_cast<VstInt32>(callHost(__audioMasterPinConnectedDeprecated, input, 0)) == 0;
}

bool AudioEffect::__isOutputConnectedDeprecated(VstInt32 output)
{
    if (!hasHost())
        return true;
    return static_cast<VstInt32>(callHost(__audioMasterPinConnectedDeprecated, output, 1)) == 0;
}

// ---- parameter display texts -----------------------------------------------------------------

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen)
{
    if (std::isnan(value))
    {
        writeCut(text, maxLen, "NaN");
        return;
    }
    if (value < kFloatTextLowest || value > kFloatTextHighest)
    {
        writeCut(text, maxLen, "Huge!");
        return;
    }

    const double magnitude = std::fabs(static_cast<double>(value));
    const bool negative = value < 0.0f; // minus zero counts as positive
    char result[32];
    int length = 0;
    int count = 1; // the point
    if (negative)
    {
        result[length++] = '-';
        ++count;
    }
    length += appendIntegerDigits(magnitude, result + length, count);
    result[length++] = '.';
    if (count < kFloatTextBudget)
    {
        const int fractionDigits = kFloatTextBudget - count;
        appendFractionDigits(magnitude, fractionDigits, result + length);
        length += fractionDigits;
    }
    result[length] = '\0';
    writeCut(text, maxLen, result);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen)
{
    if (value >= kIntTextTooLarge)
    {
        writeCut(text, maxLen, "Huge!");
        return;
    }
    char result[16];
    int length = 0;
    // 64 bits so that the magnitude of the lowest VstInt32 is representable; the divisors start
    // one decade higher than positive values need so that every negative value keeps its digits.
    std::int64_t rest = value;
    if (rest < 0)
    {
        result[length++] = '-';
        rest = -rest;
    }
    bool started = false;
    for (std::int64_t divisor = 1000000000; divisor >= 1; divisor /= 10)
    {
        const std::int64_t digit = rest / divisor;
        rest -= digit * divisor;
        if (digit != 0 || started)
        {
            result[length++] = static_cast<char>('0' + digit);
            started = true;
        }
    }
    if (!started)
        result[length++] = '0';
    result[length] = '\0';
    writeCut(text, maxLen, result);
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen)
{
    if (value <= 0.0f)
    {
        writeCut(text, maxLen, "-oo");
        return;
    }
    float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen)
{
    const float hz = samples == 0.0f ? 0.0f : getSampleRate() / samples;
    float2string(hz, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen)
{
    const double ms = static_cast<double>(samples) * 1000.0 / static_cast<double>(getSampleRate());
    float2string(static_cast<float>(ms), text, maxLen);
}
