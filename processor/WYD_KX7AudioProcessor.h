#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "dsp/TarvelXeth.h"
#include "processor/ParameterRamps.h"
#include "processor/ParameterTable.h"
#include "processor/RelaxedAtomic.h"

// A parameter value as the host's threads, the editor and the audio thread share it.
using SharedValue = RelaxedAtomic<float>;

// One of the 12 programs: two complete settings, A (0) and B (1), and the preset file each was
// last loaded from or saved to. The editor reads and writes these fields directly, on JUCE's
// message thread; the host's state and program calls take that thread's turn (the wrapper sees to
// it), so the paths are never read and written at once. The setting and the values are also
// reached by parameter calls on any thread, the audio thread's included, so they are atomic.
struct ProgramSlot
{
    RelaxedAtomic<int32_t> activeChannel{0};
    juce::String presetPath[2];
    SharedValue values[2][ParameterTable::kNumParameters];
};

// The host-facing processor of one plug-in instance. Parameter setters only store values; the
// audio thread hands them to the signal path once per block, gliding every change.
class WYD_KX7AudioProcessor : public juce::AudioProcessor
{
public:
    static constexpr int kNumPrograms = 12;

    WYD_KX7AudioProcessor();
    ~WYD_KX7AudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay(double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    // The host's bypass: the framework's pass-through, and a start from rest when it ends.
    void processBlockBypassed(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlockBypassed;

    const juce::String getInputChannelName(int channelIndex) const override;
    const juce::String getOutputChannelName(int channelIndex) const override;
    bool isInputChannelStereoPair(int index) const override;
    bool isOutputChannelStereoPair(int index) const override;
    bool silenceInProducesSilenceOut() const override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumParameters() override;
    const juce::String getParameterName(int index) override;
    using juce::AudioProcessor::getParameterName;
    float getParameter(int index) override;
    const juce::String getParameterText(int index) override;
    using juce::AudioProcessor::getParameterText;
    float getParameterDefaultValue(int index) override;
    void setParameter(int index, float value) override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram(int index) override;
    const juce::String getProgramName(int index) override;
    void changeProgramName(int index, const juce::String& newName) override;

    // ---- Preset documents and host state blocks (defined in PresetDocument.cpp) ----
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    void getStateInformation(juce::MemoryBlock& destData) override;
    void getCurrentProgramStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;
    void setCurrentProgramStateInformation(const void* data, int sizeInBytes) override;

    juce::XmlElement writePreset(bool presetFile);
    juce::XmlElement writeCurrentProgram();
    int readPreset(juce::ScopedPointer<juce::XmlElement> xml, bool presetFile);
    bool readCurrentProgram(juce::ScopedPointer<juce::XmlElement> xml);
    void readPresetElement(juce::XmlElement* first);
    void storePresetElement(juce::XmlElement* first, int program, int setting);
    bool comparePreset(juce::ScopedPointer<juce::XmlElement> xml);
#pragma GCC diagnostic pop
    // ---- end of preset documents and host state blocks ----

    // Fills all 12 programs, both settings, with the defaults and makes program 0 current.
    void initDefaultPreset();
    // Pushes every live value into the signal path at once, without glides or fades.
    void forceCalcParams();

    // The folder the preset paths are relative to.
    static juce::File getPresetFolder();

    // Set only while a host state block is being restored.
    std::unique_ptr<juce::XmlElement> stateXml;
    // Read by parameter calls on any thread; written by program changes and state loads.
    RelaxedAtomic<int32_t> currentProgram{0};
    ProgramSlot programs[kNumPrograms];
    // What the audio path applies; written by setParameter, read once or twice per block.
    SharedValue liveValues[ParameterTable::kNumParameters];
    TarvelXeth dsp;

    // Smoothing state of the audio path; set by prepareToPlay before the first block.
    SampleRamp inputGainRamp;
    SampleRamp autoLevelRamp;
    bool lastTolmOn = false;
    float lastTolmLowFreq = 0.0f;
    BlockRamp tolmLowPeakRamp;
    float lastTolmMidFreq = 0.0f;
    BlockRamp tolmMidDipRamp;
    float lastTolmHighFreq = 0.0f;
    BlockRamp tolmHighPeakRamp;
    bool lastBraskOn = false;
    float lastBraskLowFreq = 0.0f;
    float lastBraskHighBoostFreq = 0.0f;
    float lastBraskHighAttenFreq = 0.0f;
    BlockRamp braskLowBoostRamp;
    BlockRamp braskLowAttenRamp;
    BlockRamp braskHighBoostRamp;
    BlockRamp braskHighBoostBandwidthRamp;
    BlockRamp braskHighAttenRamp;
    int32_t blockRampLength = 8;
    bool lastSaturationOn = false;
    SampleRamp outputGainRamp;
    SampleRamp phaseRamp;
    // Audio thread only: raised by every block that passes while power is off (the parameter or
    // the host's bypass); the next processed block starts the signal path from rest.
    bool restartWhenPowerReturns = false;

    // Raised here (from any thread the host uses) and by the editor; the editor's timer takes
    // each with exchange(false) before it reads the values.
    std::atomic<bool> programChanged{false};
    std::atomic<bool> parametersChanged{false};
    std::atomic<bool> channelChanged{false};

private:
    SharedValue* activeValues();
    static float gainFromVolume(float volume);
    // A live amount or selector as the signal path takes it.
    float handedOver(int index) const;

    void handOverBand(BlockRamp& amountRamp, int amountIndex, void (TarvelXeth::*setAmount)(float), float& lastFreq,
                      int freqIndex, void (TarvelXeth::*setFreq)(float), void (TarvelXeth::*recalculate)());
    void handOverTolm();
    void handOverBrask();
    void handOverSwitches();
    void startFromRestIfPowerReturned();
    std::array<BlockRamp*, 8> amountRamps();
    void applyInputGain(float* ch0, float* ch1, int numSamples);
    void applyAutoLevel(float* ch0, float* ch1, int numSamples);
    void applyOutputGainAndPhase(float* ch0, float* ch1, int numSamples);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(WYD_KX7AudioProcessor)
};

// The factory the plug-in entry calls once per instance; the caller owns the result.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();
