#include "processor/WYD_KX7AudioProcessor.h"

#include "processor/PresetPath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

using namespace ParameterTable;

namespace
{
constexpr float kDefaultSampleRate = 44100.0f;
// The lowest rate in use. Below about 5000 Hz the saturator's 10 kHz emphasis shelf lies above
// what its oversampled rate can hold and its design gives no finite output; far smaller rates
// break every design.
constexpr double kLowestSampleRate = 8000.0;
// The highest rate in use. As the rate rises the program equaliser's lowest poles crowd towards
// z = 1 until rounding pushes some outside the unit circle: with both low controls at full, from
// about 912 kHz on, and the output grows without bound. 800 kHz keeps a margin and lies above
// every rate hosts offer (768 kHz at most).
constexpr double kHighestSampleRate = 800000.0;

// What the host reports, or 44100 Hz for a rate no design can work with: none (0 or less), not a
// number, below kLowestSampleRate or above kHighestSampleRate.
float usableSampleRate(double reported)
{
    if (!(reported >= kLowestSampleRate && reported <= kHighestSampleRate))
        return kDefaultSampleRate;
    return static_cast<float>(reported);
}

// A value beyond either end of 0..1 taken at that end; 0..1 passes bit for bit. Host values and
// document values are stored this way; the audio path applies its own rule once more
// (signalPathValue), so that nothing it reads can drive a gain or a glide beyond its range.
float withinUnitRange(float value)
{
    return value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
}

bool isOn(float value)
{
    return value > 0.0f;
}

float switchValue(bool on)
{
    return on ? 1.0f : 0.0f;
}

// Gains and the auto level glide over this many samples (about 46 ms at 44.1 kHz, 43 ms at 48,
// 96 and 192 kHz, 32 ms at 32 kHz); the polarity over half that.
int32_t sampleGlideLength(float sampleRate)
{
    if (sampleRate < 34050.0f)
        return 1024;
    if (sampleRate < 68000.0f)
        return 2048;
    if (sampleRate < 136000.0f)
        return 4096;
    return 8192;
}

// A NaN or infinity in the signal path would stay in the filters' history for good.
void clearNonFinite(float& sample)
{
    if (!std::isfinite(sample))
        sample = 0.0f;
}
} // namespace

WYD_KX7AudioProcessor::WYD_KX7AudioProcessor()
    // A stereo effect; the framework's default buses would start switched off.
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true))
{
    initDefaultPreset();
    // Hosts call prepareToPlay before the first block; until then the audio path still holds
    // sound values.
    prepareToPlay(kDefaultSampleRate, 0);
}

WYD_KX7AudioProcessor::~WYD_KX7AudioProcessor() = default;

const juce::String WYD_KX7AudioProcessor::getName() const
{
    return "Tarvel WYD-KX7";
}

// ---- Parameters ----

int WYD_KX7AudioProcessor::getNumParameters()
{
    return kNumParameters;
}

const juce::String WYD_KX7AudioProcessor::getParameterName(int index)
{
    return isValidIndex(index) ? juce::String(identifiers[index]) : juce::String();
}

float WYD_KX7AudioProcessor::getParameterDefaultValue(int index)
{
    return isValidIndex(index) ? defaults[index] : 0.0f;
}

float WYD_KX7AudioProcessor::getParameter(int index)
{
    return isValidIndex(index) ? activeValues()[index].load() : 0.0f;
}

void WYD_KX7AudioProcessor::setParameter(int index, float value)
{
    // A non-finite value from a host keeps the previous one rather than reaching the signal path.
    if (!isValidIndex(index) || !std::isfinite(value))
        return;
    // VST values are 0..1: what is stored is what plays, shows, goes back to the host and is saved.
    const float stored = withinUnitRange(value);
    activeValues()[index] = stored;
    liveValues[index] = stored;
    parametersChanged = true;
}

const juce::String WYD_KX7AudioProcessor::getParameterText(int index)
{
    return isValidIndex(index) ? displayText(index, liveValues[index]) : juce::String();
}

SharedValue* WYD_KX7AudioProcessor::activeValues()
{
    ProgramSlot& slot = programs[currentProgram];
    // The editor and the state readers write activeChannel; anything but B reads as A.
    return slot.values[slot.activeChannel == 1 ? 1 : 0];
}

// ---- Programs ----

void WYD_KX7AudioProcessor::initDefaultPreset()
{
    currentProgram = 0;
    for (ProgramSlot& slot : programs)
    {
        slot.activeChannel = 0;
        for (int setting = 0; setting < 2; ++setting)
        {
            slot.presetPath[setting] = "Init.tz7p";
            for (int i = 0; i < kNumParameters; ++i)
            {
                const float v = getParameterDefaultValue(i);
                slot.values[setting][i] = v;
                liveValues[i] = v;
            }
        }
    }
}

int WYD_KX7AudioProcessor::getNumPrograms()
{
    return kNumPrograms;
}

int WYD_KX7AudioProcessor::getCurrentProgram()
{
    return currentProgram;
}

void WYD_KX7AudioProcessor::setCurrentProgram(int index)
{
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(kNumPrograms))
        return;
    currentProgram = index;
    // setParameter writes each value back into the same setting and makes it live.
    for (int i = 0; i < kNumParameters; ++i)
        setParameterNotifyingHost(i, activeValues()[i]);
    programChanged = true;
    parametersChanged = true;
    channelChanged = true;
}

juce::File WYD_KX7AudioProcessor::getPresetFolder()
{
    return juce::File::getSpecialLocation(juce::File::userMusicDirectory)
        .getChildFile("Audio Music Apps")
        .getChildFile("Tarvel")
        .getChildFile("Presets")
        .getChildFile("WYD-KX7");
}

const juce::String WYD_KX7AudioProcessor::getProgramName(int index)
{
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(kNumPrograms))
        return {};
    const ProgramSlot& slot = programs[index];
    const juce::String& path = slot.presetPath[slot.activeChannel == 1 ? 1 : 0];
    return PresetPath::fileNameWithoutExtension(getPresetFolder().getFullPathName(), path);
}

void WYD_KX7AudioProcessor::changeProgramName(int, const juce::String&)
{
    // Program names follow the preset files.
}

// ---- Fixed answers to the framework ----

const juce::String WYD_KX7AudioProcessor::getInputChannelName(int channelIndex) const
{
    return juce::String(channelIndex + 1);
}

const juce::String WYD_KX7AudioProcessor::getOutputChannelName(int channelIndex) const
{
    return juce::String(channelIndex + 1);
}

bool WYD_KX7AudioProcessor::isInputChannelStereoPair(int) const
{
    return true;
}

bool WYD_KX7AudioProcessor::isOutputChannelStereoPair(int) const
{
    return true;
}

bool WYD_KX7AudioProcessor::silenceInProducesSilenceOut() const
{
    return false;
}

double WYD_KX7AudioProcessor::getTailLengthSeconds() const
{
    return 0.0;
}

bool WYD_KX7AudioProcessor::acceptsMidi() const
{
    return false;
}

bool WYD_KX7AudioProcessor::producesMidi() const
{
    return false;
}

// createEditor() is defined with the editor, in ui/WYD_KX7AudioProcessorEditor.cpp.

bool WYD_KX7AudioProcessor::hasEditor() const
{
    return true;
}

// ---- Audio path ----

float WYD_KX7AudioProcessor::gainFromVolume(float volume)
{
    // 0..1 is -20..+20 dB; 0.115129255 is ln(10) / 20.
    return expf((signalPathValue(volume) * 40.0f + (-20.0f)) * 0.115129255f);
}

float WYD_KX7AudioProcessor::handedOver(int index) const
{
    return signalPathValue(liveValues[index]);
}

void WYD_KX7AudioProcessor::prepareToPlay(double sampleRate, int)
{
    const float fs = usableSampleRate(sampleRate);
    dsp.setSampleRate(fs);

    const int32_t length = sampleGlideLength(fs);
    inputGainRamp.length = inputGainRamp.counter = length;
    autoLevelRamp.length = autoLevelRamp.counter = length;
    outputGainRamp.length = outputGainRamp.counter = length;
    phaseRamp.length = phaseRamp.counter = length / 2;

    blockRampLength = 8;
    for (BlockRamp* ramp : amountRamps())
        ramp->counter = blockRampLength;

    forceCalcParams();
}

void WYD_KX7AudioProcessor::forceCalcParams()
{
    const SharedValue* live = liveValues;

    const float inputGain = gainFromVolume(live[kInputVol]);
    inputGainRamp.settle(inputGain);
    autoLevelRamp.settle(isOn(live[kSaturationAutoLevelOn]) ? inputGain : 1.0f);

    // The setters only store; the restart at the end designs everything from what they stored.
    lastTolmOn = isOn(live[kTolmOn]);
    dsp.setTolmOn(switchValue(lastTolmOn));

    dsp.setTolmLowFreq(handedOver(kTolmLowFreq));
    dsp.setTolmLowPeak(handedOver(kTolmLowPeak));
    tolmLowPeakRamp.restartAt(handedOver(kTolmLowPeak));
    lastTolmLowFreq = handedOver(kTolmLowFreq);

    dsp.setTolmMidFreq(handedOver(kTolmMidFreq));
    dsp.setTolmMidDip(handedOver(kTolmMidDip));
    tolmMidDipRamp.restartAt(handedOver(kTolmMidDip));
    lastTolmMidFreq = handedOver(kTolmMidFreq);

    dsp.setTolmHighFreq(handedOver(kTolmHighFreq));
    dsp.setTolmHighPeak(handedOver(kTolmHighPeak));
    tolmHighPeakRamp.restartAt(handedOver(kTolmHighPeak));
    lastTolmHighFreq = handedOver(kTolmHighFreq);

    lastBraskOn = isOn(live[kBraskOn]);
    dsp.setBraskOn(switchValue(lastBraskOn));

    dsp.setBraskLowFreq(handedOver(kBraskLowFreq));
    dsp.setBraskLowBoost(handedOver(kBraskLowBoost));
    dsp.setBraskLowAtten(handedOver(kBraskLowAtten));
    dsp.setBraskHighBoostFreq(handedOver(kBraskHighBoostFreq));
    dsp.setBraskHighBoost(handedOver(kBraskHighBoost));
    dsp.setBraskHighBoostBandwidth(handedOver(kBraskHighBoostBandwidth));
    dsp.setBraskHighAttenFreq(handedOver(kBraskHighAttenFreq));
    dsp.setBraskHighAtten(handedOver(kBraskHighAtten));
    lastBraskLowFreq = handedOver(kBraskLowFreq);
    lastBraskHighBoostFreq = handedOver(kBraskHighBoostFreq);
    lastBraskHighAttenFreq = handedOver(kBraskHighAttenFreq);
    braskLowBoostRamp.restartAt(handedOver(kBraskLowBoost));
    braskLowAttenRamp.restartAt(handedOver(kBraskLowAtten));
    braskHighBoostRamp.restartAt(handedOver(kBraskHighBoost));
    braskHighBoostBandwidthRamp.restartAt(handedOver(kBraskHighBoostBandwidth));
    braskHighAttenRamp.restartAt(handedOver(kBraskHighAtten));

    lastSaturationOn = isOn(live[kSaturationOn]);
    dsp.setSaturationOn(switchValue(lastSaturationOn));

    dsp.restartFromRest();
    restartWhenPowerReturns = false;

    outputGainRamp.settle(gainFromVolume(live[kOutputVol]));
    phaseRamp.settle(isOn(live[kPhaseOn]) ? -1.0f : 1.0f);
}

void WYD_KX7AudioProcessor::releaseResources()
{
}

void WYD_KX7AudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    // The equaliser interpolator and the high-pass have no denormal guard of their own: a decaying
    // tail would otherwise settle into subnormal numbers and slow every sample down many times.
    // Flushing them changes nothing above the subnormal range; the caller's mode is restored.
    const juce::ScopedNoDenormals noDenormals;

    // The buffer may hold fewer channels than the buses report; never look past it.
    const int bufferChannels = buffer.getNumChannels();
    const int in = std::min(getTotalNumInputChannels(), bufferChannels);
    const int out = std::min(getTotalNumOutputChannels(), bufferChannels);
    const int n = bufferChannels > 0 ? buffer.getNumSamples() : 0;
    float* ch0 = bufferChannels > 0 ? buffer.getWritePointer(0) : nullptr;
    float* ch1 = (in > 1 || out >= 2) ? buffer.getWritePointer(1) : nullptr;
    const bool monoToStereo = in == 1 && out >= 2;

    if (liveValues[kBypass] <= 0.0f)
    {
        restartWhenPowerReturns = true;
        if (monoToStereo && n > 0)
            for (int channel = 1; channel < out; ++channel)
                std::memcpy(buffer.getWritePointer(channel), ch0, sizeof(float) * static_cast<size_t>(n));
        return;
    }
    startFromRestIfPowerReturned();

    const float inputGain = gainFromVolume(liveValues[kInputVol]);
    inputGainRamp.retarget(inputGain);
    applyInputGain(ch0, in >= 2 ? ch1 : nullptr, n);

    handOverTolm();
    handOverBrask();
    handOverSwitches();

    if (in < 2)
        dsp.process(ch0, n);
    else
        dsp.process(ch0, ch1, n);

    // The auto level divides by the same glided gain the input was multiplied by.
    autoLevelRamp.retarget(isOn(liveValues[kSaturationAutoLevelOn]) ? inputGain : 1.0f);
    applyAutoLevel(ch0, in >= 2 ? ch1 : nullptr, n);

    phaseRamp.retarget(isOn(liveValues[kPhaseOn]) ? -1.0f : 1.0f);
    outputGainRamp.retarget(gainFromVolume(liveValues[kOutputVol]));
    applyOutputGainAndPhase(ch0, in >= 2 ? ch1 : nullptr, n);

    if (in <= 1 && out >= 2 && n > 0)
        std::memcpy(ch1, ch0, sizeof(float) * static_cast<size_t>(n));
}

void WYD_KX7AudioProcessor::processBlockBypassed(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    restartWhenPowerReturns = true;
    juce::AudioProcessor::processBlockBypassed(buffer, midi);
}

void WYD_KX7AudioProcessor::startFromRestIfPowerReturned()
{
    // What the filters held when power went off belongs to audio long gone: played now, it would
    // come out of silence as a burst. The glides stood still and go on from where they were.
    if (!restartWhenPowerReturns)
        return;
    restartWhenPowerReturns = false;
    dsp.restartFromRest();
    // As after prepareToPlay, so that the path plays as a fresh instance's would.
    for (BlockRamp* ramp : amountRamps())
        ramp->resendIfIdle(blockRampLength);
}

std::array<BlockRamp*, 8> WYD_KX7AudioProcessor::amountRamps()
{
    return {&tolmLowPeakRamp,   &tolmMidDipRamp,     &tolmHighPeakRamp,           &braskLowBoostRamp,
            &braskLowAttenRamp, &braskHighBoostRamp, &braskHighBoostBandwidthRamp, &braskHighAttenRamp};
}

void WYD_KX7AudioProcessor::applyInputGain(float* ch0, float* ch1, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        inputGainRamp.advance();
        ch0[i] *= inputGainRamp.current;
        clearNonFinite(ch0[i]);
        if (ch1 != nullptr)
        {
            ch1[i] *= inputGainRamp.current;
            clearNonFinite(ch1[i]);
        }
    }
}

namespace
{
// Steps one amount glide; true when the block handed a new value over.
template <typename Setter>
bool glideAmount(BlockRamp& ramp, float live, int32_t blocks, Setter&& set)
{
    ramp.retarget(live, blocks);
    if (!ramp.advance(blocks))
        return false;
    set(ramp.current);
    return true;
}
} // namespace

void WYD_KX7AudioProcessor::handOverBand(BlockRamp& amountRamp, int amountIndex, void (TarvelXeth::*setAmount)(float),
                                         float& lastFreq, int freqIndex, void (TarvelXeth::*setFreq)(float),
                                         void (TarvelXeth::*recalculate)())
{
    // A band is recalculated at most once per block, after its amount and frequency are set.
    const bool dirty = glideAmount(amountRamp, handedOver(amountIndex), blockRampLength,
                                   [this, setAmount](float v) { (dsp.*setAmount)(v); });
    const float freq = handedOver(freqIndex);
    if (freq != lastFreq)
    {
        (dsp.*setFreq)(freq);
        lastFreq = freq;
        (dsp.*recalculate)();
    }
    else if (dirty)
        (dsp.*recalculate)();
}

void WYD_KX7AudioProcessor::handOverTolm()
{
    handOverBand(tolmLowPeakRamp, kTolmLowPeak, &TarvelXeth::setTolmLowPeak, lastTolmLowFreq, kTolmLowFreq,
                 &TarvelXeth::setTolmLowFreq, &TarvelXeth::calcTolmLow);
    handOverBand(tolmMidDipRamp, kTolmMidDip, &TarvelXeth::setTolmMidDip, lastTolmMidFreq, kTolmMidFreq,
                 &TarvelXeth::setTolmMidFreq, &TarvelXeth::calcTolmMid);
    handOverBand(tolmHighPeakRamp, kTolmHighPeak, &TarvelXeth::setTolmHighPeak, lastTolmHighFreq, kTolmHighFreq,
                 &TarvelXeth::setTolmHighFreq, &TarvelXeth::calcTolmHigh);
}

void WYD_KX7AudioProcessor::handOverBrask()
{
    const int32_t blocks = blockRampLength;

    // Every glide steps in its own block; any of them dirties the one network.
    bool dirty = false;
    dirty |= glideAmount(braskLowBoostRamp, handedOver(kBraskLowBoost), blocks,
                         [this](float v) { dsp.setBraskLowBoost(v); });
    dirty |= glideAmount(braskLowAttenRamp, handedOver(kBraskLowAtten), blocks,
                         [this](float v) { dsp.setBraskLowAtten(v); });
    dirty |= glideAmount(braskHighBoostRamp, handedOver(kBraskHighBoost), blocks,
                         [this](float v) { dsp.setBraskHighBoost(v); });
    dirty |= glideAmount(braskHighBoostBandwidthRamp, handedOver(kBraskHighBoostBandwidth), blocks,
                         [this](float v) { dsp.setBraskHighBoostBandwidth(v); });
    dirty |= glideAmount(braskHighAttenRamp, handedOver(kBraskHighAtten), blocks,
                         [this](float v) { dsp.setBraskHighAtten(v); });

    const float lowFreq = handedOver(kBraskLowFreq);
    const float highBoostFreq = handedOver(kBraskHighBoostFreq);
    const float highAttenFreq = handedOver(kBraskHighAttenFreq);
    if (lowFreq != lastBraskLowFreq || highBoostFreq != lastBraskHighBoostFreq
        || highAttenFreq != lastBraskHighAttenFreq)
    {
        dsp.setBraskLowFreq(lowFreq);
        dsp.setBraskHighBoostFreq(highBoostFreq);
        dsp.setBraskHighAttenFreq(highAttenFreq);
        lastBraskLowFreq = lowFreq;
        lastBraskHighBoostFreq = highBoostFreq;
        lastBraskHighAttenFreq = highAttenFreq;
        dsp.calcBrask();
    }
    else if (dirty)
        dsp.calcBrask();
}

void WYD_KX7AudioProcessor::handOverSwitches()
{
    const bool saturationOn = isOn(liveValues[kSaturationOn]);
    if (saturationOn != lastSaturationOn)
    {
        dsp.setSaturationOn(switchValue(saturationOn));
        dsp.calcSaturationOn();
        lastSaturationOn = saturationOn;
    }

    const bool tolmOn = isOn(liveValues[kTolmOn]);
    if (tolmOn != lastTolmOn)
    {
        dsp.setTolmOn(switchValue(tolmOn));
        dsp.calcTolmOn();
        lastTolmOn = tolmOn;
    }

    const bool braskOn = isOn(liveValues[kBraskOn]);
    if (braskOn != lastBraskOn)
    {
        dsp.setBraskOn(switchValue(braskOn));
        dsp.calcBraskOn();
        lastBraskOn = braskOn;
    }
}

void WYD_KX7AudioProcessor::applyAutoLevel(float* ch0, float* ch1, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        autoLevelRamp.advance();
        const float inverse = 1.0f / autoLevelRamp.current;
        ch0[i] *= inverse;
        if (ch1 != nullptr)
            ch1[i] *= inverse;
    }
}

void WYD_KX7AudioProcessor::applyOutputGainAndPhase(float* ch0, float* ch1, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        outputGainRamp.advance();
        phaseRamp.advanceWithin(-1.0f, 1.0f);
        const float factor = outputGainRamp.current * phaseRamp.current;
        ch0[i] *= factor;
        if (ch1 != nullptr)
            ch1[i] *= factor;
    }
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new WYD_KX7AudioProcessor();
}
