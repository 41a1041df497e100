#pragma once

// The plug-in record's owner for one instance: turns the host's VST 2.4 calls into calls of the
// JUCE AudioProcessor it owns, and the processor's notifications into host callbacks.

#include "vst/AudioEffectX.h"
#include "wrapper/PluginRuntime.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace wydvst
{

class JuceVSTWrapper : public AudioEffectX, private juce::AudioProcessorListener
{
public:
    // Takes over the processor and a use of JUCE, which ends when the instance is deleted.
    JuceVSTWrapper(audioMasterCallback audioMaster, std::unique_ptr<juce::AudioProcessor> processor,
                   JuceRuntime::Use juceUse);
    ~JuceVSTWrapper() override;

    juce::AudioProcessor& getProcessor() const { return *processor; }

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;

    void open() override;
    void close() override;
    void suspend() override;
    void resume() override;

    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    VstInt32 getProgram() override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    bool canParameterBeAutomated(VstInt32 index) override;
    bool string2parameter(VstInt32 index, char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool setSpeakerArrangement(VstSpeakerArrangement* pluginInput,
                               VstSpeakerArrangement* pluginOutput) override;
    bool setBypass(bool onOff) override;
    VstInt32 processEvents(VstEvents* events) override;
    VstInt32 startProcess() override;
    VstInt32 stopProcess() override;
    VstInt32 getGetTailSize() override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstIntPtr vendorSpecific(VstInt32 lArg, VstIntPtr lArg2, void* ptrArg, float floatArg) override;
    VstInt32 canDo(char* text) override;
    VstPlugCategory getPlugCategory() override;

private:
    // juce::AudioProcessorListener
    void audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value) override;
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override;
    void audioProcessorParameterChangeGestureBegin(juce::AudioProcessor*, int index) override;
    void audioProcessorParameterChangeGestureEnd(juce::AudioProcessor*, int index) override;

    void presentIdentity();
    void reportIoChangedLater();
    void applyChannelLayout(double rate, int block);
    void takeProcessLevelFromHost();
    bool getPinProperties(bool isInput, VstInt32 index, VstPinProperties* properties);
    void releaseChunkMemory();
    bool isProgramIndex(VstInt32 index);

    // Declared first so that it goes last: JUCE stays up until everything below is gone.
    JuceRuntime::Use juceUse;
    std::unique_ptr<juce::AudioProcessor> processor;
    std::uint64_t instanceId = 0;

    std::atomic<bool> shutDown{false};
    std::atomic<bool> active{false};
    std::atomic<bool> bypassed{false};
    std::atomic<bool> askProcessLevelAtNextBlock{false};
    std::atomic<bool> ioChangedPending{false};
    bool viewAsConfig = false;

    // Speaker arrangement types the host set; until then the pins describe themselves as stereo.
    bool hostSetArrangement = false;
    VstInt32 inputArrangementType = 0;
    VstInt32 outputArrangementType = 0;

    // The channel configuration the host chose, {2, 2} until it sets a speaker arrangement.
    std::atomic<int> numInputChannels{2};
    std::atomic<int> numOutputChannels{2};
    double preparedSampleRate = 44100.0;

    // The state block handed to the host by the last getChunk; stays until the next get or set.
    std::mutex chunkLock;
    juce::MemoryBlock chunkMemory;

    juce::AudioBuffer<float> processBuffer;
    juce::MidiBuffer midiBuffer;
};

} // namespace wydvst
