#pragma once

// The plug-in record's owner for one instance: turns the host's VST 2.4 calls into calls of the
// JUCE AudioProcessor it owns, and the processor's notifications into host callbacks, and shows
// the processor's editor in the host's window.
//
// Index checks. The host boundary owns them: the base classes' trampolines and dispatcher drop
// every parameter and program index outside the record's counts before a call reaches this class.
// The processor checks again on its own entry points, because the editor and JUCE call it
// directly. This class checks only what comes from the processor's side (listener callbacks
// passed on to the host) and repeats the cheap test on host calls, so that it stays safe when
// driven directly, as the in-process tests do.

#include "vst/AudioEffectX.h"
#include "wrapper/EditorHolder.h"
#include "wrapper/PluginIdentity.h"
#include "wrapper/PluginRuntime.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace wydvst
{

class JuceVSTWrapper : public AudioEffectX,
                       private juce::AudioProcessorListener,
                       private EditorHostSide
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
    // Before a value or gesture reaches the host: what the host needs on this thread first.
    void readyHostForNotification();
    bool hostLoadsTempoMapOnTimeRequest();

    // EditorHostSide, on the message thread
    void idleHost() override;
    bool resizeHostWindow(int width, int height) override;

    VstIntPtr editorGetRect(void* ptr);
    VstIntPtr editorOpen(void* parentWindow);
    VstIntPtr editorIdle();
    // Closes the editor from any thread, also while a menu or dialog of it is open: takes JUCE's
    // loop over and dismisses them with the editor.
    void closeEditor();
    void closeEditorInTurn();

    void presentIdentity();
    void reportIoChangedLater();
    void applyChannelLayout(double rate, int block);
    void takeProcessLevelFromHost();
    bool getPinProperties(bool isInput, VstInt32 index, VstPinProperties* properties);
    bool isProgramIndex(VstInt32 index);

    // Which thread writes and which reads each field. "Host" is any thread the host calls the
    // dispatcher on (hosts use their GUI thread, some call resume() and effMainsChanged on the
    // audio thread); "audio" is the thread calling processReplacing; "message" is whichever
    // thread drives JUCE's loop at the time (see EventLoopGate).

    // Declared first so that it goes last: JUCE stays up until everything below is gone.
    // Written at construction and destruction only.
    JuceRuntime::Use juceUse;
    // Written at construction and destruction only; the object is used from every thread.
    std::unique_ptr<juce::AudioProcessor> processor;
    // Written at construction; read by every thread and by asynchronous callbacks.
    std::uint64_t instanceId = 0;
    // Whether the host needs a time request before each notification from outside the audio
    // thread, learnt at the first such notification. Any notifying thread reads and writes.
    enum class HostKind { unknown, other, loadsTempoMapOnTimeRequest };
    std::atomic<HostKind> hostKind{HostKind::unknown};
    // The thread inside processReplacing, or no thread. Audio writes; notifying threads read.
    std::atomic<std::thread::id> processingThread{};
    static_assert(std::atomic<std::thread::id>::is_always_lock_free);

    std::atomic<bool> shutDown{false};   // host writes (effClose); every thread reads
    std::atomic<bool> active{false};     // host writes under the callback lock; audio reads
    std::atomic<bool> bypassed{false};   // host writes; audio reads
    std::atomic<bool> askProcessLevelAtNextBlock{false}; // host raises; audio clears
    std::atomic<bool> ioChangedPending{false};           // any thread raises; message clears
    std::atomic<bool> viewAsConfig{false};               // host writes (canDo); nothing reads yet

    // Speaker arrangement types the host set; until then the pins describe themselves as stereo.
    // Host writes (setSpeakerArrangement) and reads (pin properties); the audio thread never.
    std::atomic<bool> hostSetArrangement{false};
    std::atomic<VstInt32> inputArrangementType{0};
    std::atomic<VstInt32> outputArrangementType{0};

    // The channel configuration the host chose, {2, 2} until it sets a speaker arrangement.
    // Host writes under the callback lock; audio reads under it, host reads in resume().
    std::atomic<int> numInputChannels{2};
    std::atomic<int> numOutputChannels{2};
    // Host writes in resume(), possibly on the audio thread (Ardour); host reads for the tail.
    std::atomic<double> preparedSampleRate{44100.0};

    // The state block handed to the host by the last getChunk. VST 2.4 hosts read it until their
    // next effGetChunk, effSetChunk or effClose, so it stays until then (it goes with the
    // instance). Host writes and reads, on any of its threads, within the loop's turn.
    juce::MemoryBlock chunkMemory;

    // Audio thread only.
    juce::AudioBuffer<float> processBuffer;
    juce::MidiBuffer midiBuffer;

    // The open editor: created, used and deleted by the message thread only.
    std::unique_ptr<EditorHolder> editorHolder;
    // Message thread writes when it opens and closes the editor; any thread reads.
    std::atomic<bool> editorIsOpen{false};
    // The editor's size: message thread writes when the editor resizes; host reads.
    std::atomic<int> editorWidth{kEditorWidth};
    std::atomic<int> editorHeight{kEditorHeight};
    // The rectangle handed to the host by effEditGetRect: written there, read by the host.
    ERect editorRect{};
};

} // namespace wydvst
