#include "wrapper/JuceVSTWrapper.h"

#include "wrapper/EventLoopGate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <thread>

namespace wydvst
{

namespace
{

constexpr double kFallbackSampleRate = 44100.0;
// The host's product name takes at most 64 bytes; room to spare for hosts that write more.
constexpr int kHostProductBytes = 256;
constexpr int kFallbackBlockSize = 1024;
// 0xbeef0000: "yes, and show the editor as a view", as a 32-bit answer.
constexpr VstInt32 kCockosViewAsConfigAnswer = static_cast<VstInt32>(0xbeef0000u);

// What is left of an instance or its editor when the host closes it from inside one of its own
// callbacks: deleted once those callbacks have returned, editor first and JUCE last.
struct InstanceRemains : EventLoopGate::Remains
{
    std::optional<JuceRuntime::Use> juceUse;
    std::unique_ptr<juce::AudioProcessor> processor;
    std::unique_ptr<EditorHolder> editor;
};

// The host's editor idle: JUCE's pending work on the calling thread. Touches no instance, so the
// call may return after the instance it came through is gone.
void runEditorIdle(std::uint64_t instanceId)
{
    EventLoopGate::ActiveCall call(instanceId);
    EventLoopGate::HostTurn turn;
    EventLoopGate::dispatchPending();
}

// Ardour (7.3 measured) records a value or gesture on the thread that reports it. Its Linux-VST
// editor thread, where our editor runs, never loads the session's tempo map: a value written from
// there into a beat-time automation lane ends the host (SIGSEGV in TempoMap::metric_at). Its
// time-info handler loads the map for the calling thread, so these hosts are asked for the time
// right before each notification. Mixbus is built on Ardour.
bool loadsTempoMapOnTimeRequest(const char* hostProduct)
{
    return std::strncmp(hostProduct, "Ardour", 6) == 0 || std::strncmp(hostProduct, "Mixbus", 6) == 0;
}

// The time-info field whose answer needs the host's tempo map.
constexpr VstInt32 kTempoWanted = 1 << 10;

// Marks the calling thread as the one processing this instance's audio while it lives.
class ProcessingThreadMark
{
public:
    explicit ProcessingThreadMark(std::atomic<std::thread::id>& slotIn) : slot(slotIn)
    {
        slot.store(std::this_thread::get_id(), std::memory_order_relaxed);
    }
    ~ProcessingThreadMark() { slot.store(std::thread::id(), std::memory_order_relaxed); }

    ProcessingThreadMark(const ProcessingThreadMark&) = delete;
    ProcessingThreadMark& operator=(const ProcessingThreadMark&) = delete;

private:
    std::atomic<std::thread::id>& slot;
};

// Copies a text into a host field of fieldBytes bytes, the terminating zero included; a character
// that does not fit whole is left out.
void copyToHost(const juce::String& text, char* field, int fieldBytes)
{
    if (field == nullptr || fieldBytes <= 0)
        return;
    text.copyToUTF8(field, static_cast<size_t>(fieldBytes));
}

// A text from the host, read from a field of at most fieldBytes bytes whether or not it is
// terminated.
juce::String textFromHost(const char* field, size_t fieldBytes)
{
    if (field == nullptr)
        return {};
    const size_t length = strnlen(field, fieldBytes);
    return juce::String::fromUTF8(field, static_cast<int>(length));
}

bool isAcceptedChannelPair(VstInt32 numIns, VstInt32 numOuts)
{
    return (numIns == 2 && numOuts == 2) || (numIns == 1 && numOuts == 2)
           || (numIns == 1 && numOuts == 1);
}

// Puts the host's input samples into the output buffers, where the processor works in place.
// Inputs and outputs may be the same buffers, and a host may even cross them; every input is read
// before its buffer is written. A missing input channel counts as silence; output channels
// without an input are cleared.
void routeInputsToOutputs(float* const* inputs, float* const* outputs, int numIns, int numOuts,
                          int numSamples)
{
    const size_t bytes = sizeof(float) * static_cast<size_t>(numSamples);
    const float* source[2] = {nullptr, nullptr};
    for (int ch = 0; ch < numIns; ++ch)
        source[ch] = inputs != nullptr ? inputs[ch] : nullptr;

    if (numIns == 2 && numOuts == 2 && source[0] == outputs[1] && source[1] == outputs[0]
        && source[0] != source[1])
    {
        std::swap_ranges(outputs[0], outputs[0] + numSamples, outputs[1]);
        return;
    }

    // Channel 1 first when channel 0's output buffer holds channel 1's input.
    const bool secondFirst = numIns == 2 && numOuts == 2 && outputs[0] == source[1];
    const int order[2] = {secondFirst ? 1 : 0, secondFirst ? 0 : 1};
    for (int ch : order)
    {
        if (ch >= numOuts)
            continue;
        if (ch >= numIns || source[ch] == nullptr)
            std::memset(outputs[ch], 0, bytes);
        else if (source[ch] != outputs[ch])
            std::memmove(outputs[ch], source[ch], bytes);
    }
}

} // namespace

JuceVSTWrapper::JuceVSTWrapper(audioMasterCallback audioMasterIn,
                               std::unique_ptr<juce::AudioProcessor> processorIn,
                               JuceRuntime::Use juceUseIn)
    : AudioEffectX(audioMasterIn, processorIn->getNumPrograms(), processorIn->getNumParameters()),
      juceUse(std::move(juceUseIn)),
      processor(std::move(processorIn))
{
    presentIdentity();
    processor->addListener(this);
    instanceId = LiveInstances::add(*this);
}

JuceVSTWrapper::~JuceVSTWrapper()
{
    shutDown = true;
    closeEditor();
    // Before anything goes, so that no asynchronous callback can reach this instance any more.
    LiveInstances::remove(instanceId);
    EventLoopGate::waitForCallsOnOtherThreads(instanceId);
    processor->removeListener(this);
    if (EventLoopGate::isDispatchingOnThisThread())
    {
        // Closed from inside a callback of ours: the processor and JUCE stay until it returns.
        auto remains = std::make_unique<InstanceRemains>();
        remains->juceUse.emplace(std::move(juceUse));
        remains->processor = std::move(processor);
        EventLoopGate::deleteWhenLoopUnwinds(std::move(remains));
        return;
    }
    processor.reset();
}

void JuceVSTWrapper::presentIdentity()
{
    cEffect.flags |= effFlagsHasEditor;
    cEffect.version = kVendorVersion;
    setUniqueID(kUniqueId);
    setNumInputs(numInputChannels);
    setNumOutputs(numOutputChannels);
    canProcessReplacing(true);
    isSynth(false);
    setInitialDelay(processor->getLatencySamples());
    programsAreChunks(true);
}

VstIntPtr JuceVSTWrapper::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float opt)
{
    if (shutDown && opcode != effClose)
        return 0;
    try
    {
        switch (opcode)
        {
        case effEditGetRect: return editorGetRect(ptr);
        case effEditOpen: return editorOpen(ptr);
        case effEditClose: closeEditor(); return 0;
        // Nothing of this instance may be touched once the idle has run: the host may have
        // closed it meanwhile from inside a callback.
        case effEditIdle: return editorIdle();
        default: break;
        }
    }
    catch (...)
    {
        return 0;
    }
    try
    {
        return AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        // Nothing may unwind into the host.
        return 0;
    }
}

// ---- life cycle -------------------------------------------------------------------------------

void JuceVSTWrapper::open() {}

void JuceVSTWrapper::close()
{
    if (active)
        suspend();
    shutDown = true;
    closeEditor();
}

void JuceVSTWrapper::suspend()
{
    {
        const juce::ScopedLock lock(processor->getCallbackLock());
        active = false;
    }
    processor->releaseResources();
}

void JuceVSTWrapper::resume()
{
    double rate = getSampleRate();
    if (!(rate > 0.0) || !std::isfinite(rate))
        rate = kFallbackSampleRate;
    const int block = getBlockSize() > 0 ? getBlockSize() : kFallbackBlockSize;

    takeProcessLevelFromHost();
    {
        const juce::ScopedLock lock(processor->getCallbackLock());
        applyChannelLayout(rate, block);
        processor->prepareToPlay(rate, block);
        preparedSampleRate = rate;
        askProcessLevelAtNextBlock = true;
        active = true;
    }
    AudioEffectX::resume();
}

void JuceVSTWrapper::applyChannelLayout(double rate, int block)
{
    processor->setPlayConfigDetails(numInputChannels, numOutputChannels, rate, block);
}

void JuceVSTWrapper::takeProcessLevelFromHost()
{
    processor->setNonRealtime(getCurrentProcessLevel() == kVstProcessLevelOffline);
}

// ---- audio ------------------------------------------------------------------------------------

void JuceVSTWrapper::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (shutDown || outputs == nullptr || sampleFrames < 0)
        return;
    const ProcessingThreadMark processing(processingThread);
    if (askProcessLevelAtNextBlock.exchange(false))
        takeProcessLevelFromHost();

    const juce::ScopedLock lock(processor->getCallbackLock());
    const int numIns = numInputChannels;
    const int numOuts = numOutputChannels;
    for (int ch = 0; ch < numOuts; ++ch)
        if (outputs[ch] == nullptr)
            return;
    routeInputsToOutputs(inputs, outputs, numIns, numOuts, sampleFrames);
    // Not switched on: the processor is not prepared, the input passes unchanged.
    if (!active)
        return;
    processBuffer.setDataToReferTo(outputs, std::max(numIns, numOuts), sampleFrames);
    midiBuffer.clear();
    if (processor->isSuspended())
        processBuffer.clear();
    else if (bypassed)
        processor->processBlockBypassed(processBuffer, midiBuffer);
    else
        processor->processBlock(processBuffer, midiBuffer);
}

// ---- parameters and programs ------------------------------------------------------------------

void JuceVSTWrapper::setParameter(VstInt32 index, float value)
{
    if (shutDown || !isParameterIndex(index))
        return;
    processor->setParameter(index, value);
}

float JuceVSTWrapper::getParameter(VstInt32 index)
{
    if (shutDown || !isParameterIndex(index))
        return 0.0f;
    return processor->getParameter(index);
}

void JuceVSTWrapper::getParameterName(VstInt32 index, char* text)
{
    if (text != nullptr)
        copyToHost(isParameterIndex(index) ? processor->getParameterName(index, kParameterNameBytes)
                                           : juce::String(),
                   text, kParameterNameBytes);
}

void JuceVSTWrapper::getParameterDisplay(VstInt32 index, char* text)
{
    if (text != nullptr)
        copyToHost(isParameterIndex(index) ? processor->getParameterText(index, kParameterTextBytes)
                                           : juce::String(),
                   text, kParameterTextBytes);
}

void JuceVSTWrapper::getParameterLabel(VstInt32 index, char* label)
{
    if (label != nullptr)
        copyToHost(isParameterIndex(index) ? processor->getParameterLabel(index) : juce::String(),
                   label, kParameterTextBytes);
}

bool JuceVSTWrapper::canParameterBeAutomated(VstInt32 index)
{
    return isParameterIndex(index) && processor->isParameterAutomatable(index);
}

bool JuceVSTWrapper::string2parameter(VstInt32, char*)
{
    // The processor's parameters have display texts but no way back from a text to a value.
    return false;
}

bool JuceVSTWrapper::isProgramIndex(VstInt32 index)
{
    return index >= 0 && index < processor->getNumPrograms();
}

// The program and state calls below read and write what the editor reads and writes on JUCE's
// message thread: the programs' preset paths (juce::String) and settings, the current program.
// Each takes JUCE's loop, as the editor opcodes do, so it runs between the editor's timer ticks,
// dialogs and menu callbacks, never during one, and the host needs no knowledge of our threads.
// A lock of the processor's own would have to be taken at every place in the editor that touches
// a slot; the loop already covers them all. It is recursive: a host that calls in from inside one
// of our callbacks (an automation or idle call from the editor, on the thread that holds the loop)
// goes straight on. The audio thread never takes it: parameter calls and processReplacing share
// only atomic values (getProgram reads one and takes no turn either). A wait here lasts as long
// as the loop's holder keeps it: one idle's bounded dispatching, or the plug-in's own thread
// standing aside.

VstInt32 JuceVSTWrapper::getProgram()
{
    return processor->getCurrentProgram();
}

void JuceVSTWrapper::setProgram(VstInt32 program)
{
    const EventLoopGate::HostTurn turn;
    if (isProgramIndex(program))
        processor->setCurrentProgram(program);
}

void JuceVSTWrapper::setProgramName(char* name)
{
    const EventLoopGate::HostTurn turn;
    if (name != nullptr)
        processor->changeProgramName(processor->getCurrentProgram(),
                                     textFromHost(name, kProgramNameBytes));
}

void JuceVSTWrapper::getProgramName(char* name)
{
    const EventLoopGate::HostTurn turn;
    if (name != nullptr)
        copyToHost(processor->getProgramName(processor->getCurrentProgram()), name,
                   kProgramNameBytes);
}

bool JuceVSTWrapper::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (text == nullptr || !isProgramIndex(index))
        return false;
    const EventLoopGate::HostTurn turn;
    copyToHost(processor->getProgramName(index), text, kProgramNameBytes);
    return true;
}

// ---- state ------------------------------------------------------------------------------------

VstInt32 JuceVSTWrapper::getChunk(void** data, bool isPreset)
{
    if (data == nullptr)
        return 0;
    const EventLoopGate::HostTurn turn;
    chunkMemory.reset();
    if (isPreset)
        processor->getCurrentProgramStateInformation(chunkMemory);
    else
        processor->getStateInformation(chunkMemory);
    if (chunkMemory.getSize() == 0
        || chunkMemory.getSize() > static_cast<size_t>(std::numeric_limits<VstInt32>::max()))
    {
        chunkMemory.reset();
        *data = nullptr;
        return 0;
    }
    *data = chunkMemory.getData();
    return static_cast<VstInt32>(chunkMemory.getSize());
}

VstInt32 JuceVSTWrapper::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    const EventLoopGate::HostTurn turn;
    if (data != nullptr && byteSize > 0)
    {
        if (isPreset)
            processor->setCurrentProgramStateInformation(data, byteSize);
        else
            processor->setStateInformation(data, byteSize);
    }
    // Only now: the host may be handing back the very block it fetched from us.
    chunkMemory.reset();
    return 0;
}

// ---- channels ---------------------------------------------------------------------------------

bool JuceVSTWrapper::getInputProperties(VstInt32 index, VstPinProperties* properties)
{
    return getPinProperties(true, index, properties);
}

bool JuceVSTWrapper::getOutputProperties(VstInt32 index, VstPinProperties* properties)
{
    return getPinProperties(false, index, properties);
}

bool JuceVSTWrapper::getPinProperties(bool isInput, VstInt32 index, VstPinProperties* properties)
{
    if (properties == nullptr || index < 0 || index > 1)
        return false;
    const juce::String name = isInput ? processor->getInputChannelName(index)
                                      : processor->getOutputChannelName(index);
    std::memset(properties, 0, sizeof(VstPinProperties));
    copyToHost(name, properties->label, kPinLabelBytes);
    copyToHost(name, properties->shortLabel, kPinShortLabelBytes);
    if (hostSetArrangement)
    {
        properties->flags = kVstPinUseSpeaker;
        properties->arrangementType = isInput ? inputArrangementType : outputArrangementType;
    }
    else
    {
        properties->flags = kVstPinIsActive | kVstPinIsStereo;
    }
    return true;
}

bool JuceVSTWrapper::setSpeakerArrangement(VstSpeakerArrangement* pluginInput,
                                           VstSpeakerArrangement* pluginOutput)
{
    if (pluginInput == nullptr || pluginOutput == nullptr
        || !isAcceptedChannelPair(pluginInput->numChannels, pluginOutput->numChannels))
        return false;

    hostSetArrangement = true;
    inputArrangementType = pluginInput->type;
    outputArrangementType = pluginOutput->type;
    setNumInputs(pluginInput->numChannels);
    setNumOutputs(pluginOutput->numChannels);

    const juce::ScopedLock lock(processor->getCallbackLock());
    numInputChannels = pluginInput->numChannels;
    numOutputChannels = pluginOutput->numChannels;
    if (active)
        applyChannelLayout(preparedSampleRate.load(),
                           getBlockSize() > 0 ? getBlockSize() : kFallbackBlockSize);
    return true;
}

bool JuceVSTWrapper::setBypass(bool onOff)
{
    bypassed = onOff;
    return true;
}

// ---- what the plug-in is ----------------------------------------------------------------------

VstInt32 JuceVSTWrapper::processEvents(VstEvents*)
{
    return 0;
}

VstInt32 JuceVSTWrapper::startProcess()
{
    return 0;
}

VstInt32 JuceVSTWrapper::stopProcess()
{
    return 0;
}

VstInt32 JuceVSTWrapper::getGetTailSize()
{
    const double samples = processor->getTailLengthSeconds() * preparedSampleRate.load();
    if (!(samples > 0.0))
        return 0;
    return static_cast<VstInt32>(std::min(std::round(samples),
                                          static_cast<double>(std::numeric_limits<VstInt32>::max())));
}

bool JuceVSTWrapper::getEffectName(char* name)
{
    copyToHost(kEffectName, name, kIdentityStringBytes);
    return name != nullptr;
}

bool JuceVSTWrapper::getVendorString(char* text)
{
    copyToHost(kVendorString, text, kIdentityStringBytes);
    return text != nullptr;
}

bool JuceVSTWrapper::getProductString(char* text)
{
    copyToHost(kProductString, text, kIdentityStringBytes);
    return text != nullptr;
}

VstInt32 JuceVSTWrapper::getVendorVersion()
{
    return kVendorVersion;
}

VstIntPtr JuceVSTWrapper::vendorSpecific(VstInt32, VstIntPtr, void*, float)
{
    return 0;
}

VstInt32 JuceVSTWrapper::canDo(char* text)
{
    if (text == nullptr)
        return 0;
    static const char* const refused[] = {"receiveVstEvents", "receiveVstMidiEvent",
                                          "receiveVstMidiEvents", "sendVstEvents",
                                          "sendVstMidiEvent", "sendVstMidiEvents",
                                          "openCloseAnyThread"};
    static const char* const granted[] = {"receiveVstTimeInfo", "conformsToWindowRules", "bypass"};
    for (const char* t : refused)
        if (std::strcmp(text, t) == 0)
            return -1;
    for (const char* t : granted)
        if (std::strcmp(text, t) == 0)
            return 1;
    if (std::strcmp(text, "hasCockosViewAsConfig") == 0)
    {
        viewAsConfig = true;
        return kCockosViewAsConfigAnswer;
    }
    return 0;
}

VstPlugCategory JuceVSTWrapper::getPlugCategory()
{
    return kPlugCategEffect;
}

// ---- from the processor to the host -----------------------------------------------------------

void JuceVSTWrapper::audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value)
{
    if (shutDown || !isParameterIndex(index))
        return;
    readyHostForNotification();
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void JuceVSTWrapper::audioProcessorParameterChangeGestureBegin(juce::AudioProcessor*, int index)
{
    if (shutDown || !isParameterIndex(index))
        return;
    readyHostForNotification();
    beginEdit(index);
}

void JuceVSTWrapper::audioProcessorParameterChangeGestureEnd(juce::AudioProcessor*, int index)
{
    if (shutDown || !isParameterIndex(index))
        return;
    readyHostForNotification();
    endEdit(index);
}

void JuceVSTWrapper::readyHostForNotification()
{
    // The audio thread is left alone: the host's process threads have their map, and a host call
    // more would cost real time there.
    if (processingThread.load(std::memory_order_relaxed) == std::this_thread::get_id())
        return;
    if (hostLoadsTempoMapOnTimeRequest())
        getTimeInfo(kTempoWanted);
}

bool JuceVSTWrapper::hostLoadsTempoMapOnTimeRequest()
{
    // Asked at the first notification, not while the instance is being made: by then the host
    // knows the record it is asked about.
    HostKind kind = hostKind.load();
    if (kind == HostKind::unknown)
    {
        // Read whatever the host answers: Ardour fills the text but returns 0.
        char hostProduct[kHostProductBytes] = {};
        callHost(audioMasterGetProductString, 0, 0, hostProduct);
        hostProduct[kHostProductBytes - 1] = 0;
        kind = loadsTempoMapOnTimeRequest(hostProduct) ? HostKind::loadsTempoMapOnTimeRequest
                                                       : HostKind::other;
        hostKind = kind;
    }
    return kind == HostKind::loadsTempoMapOnTimeRequest;
}

void JuceVSTWrapper::audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&)
{
    if (shutDown)
        return;
    setInitialDelay(processor->getLatencySamples());
    updateDisplay();
    reportIoChangedLater();
}

void JuceVSTWrapper::reportIoChangedLater()
{
    // Several announcements before the message thread gets to it make one ioChanged.
    if (ioChangedPending.exchange(true))
        return;
    const std::uint64_t id = instanceId;
    const bool posted = juce::MessageManager::callAsync([id] {
        LiveInstances::withInstance(id, [](JuceVSTWrapper& instance) {
            instance.ioChangedPending = false;
            if (!instance.shutDown)
                instance.ioChanged();
        });
    });
    if (!posted)
        ioChangedPending = false;
}

// ---- the editor --------------------------------------------------------------------------------

VstIntPtr JuceVSTWrapper::editorGetRect(void* ptr)
{
    // Answered without building anything: hosts ask before the editor exists, on any thread.
    if (ptr == nullptr)
        return 0;
    editorRect.top = 0;
    editorRect.left = 0;
    editorRect.bottom = static_cast<VstInt16>(editorHeight.load());
    editorRect.right = static_cast<VstInt16>(editorWidth.load());
    *static_cast<ERect**>(ptr) = &editorRect;
    return 1;
}

VstIntPtr JuceVSTWrapper::editorOpen(void* parentWindow)
{
    if (parentWindow == nullptr)
        return 0;
    EventLoopGate::HostTurn turn;
    if (shutDown || !EditorHolder::displayIsAvailable())
        return 0;
    // A host that opens again without closing gets a fresh editor in the window it names now.
    closeEditorInTurn();
    EditorHostSide& hostSide = *this;
    auto holder = std::make_unique<EditorHolder>(*processor, hostSide);
    if (!holder->hasEditor())
        return 0;
    holder->embedInto(parentWindow);
    editorWidth = holder->getWidth();
    editorHeight = holder->getHeight();
    editorHolder = std::move(holder);
    editorIsOpen = true;
    EventLoopGate::editorOpened();
    return 1;
}

VstIntPtr JuceVSTWrapper::editorIdle()
{
    // Re-entered from inside a callback of ours (Ardour answers audioMasterIdle with an
    // effEditIdle): the loop is already running further up this thread's stack.
    if (!editorIsOpen || EventLoopGate::isDispatchingOnThisThread())
        return 0;
    runEditorIdle(instanceId);
    return 0;
}

void JuceVSTWrapper::closeEditor()
{
    if (!editorIsOpen)
        return;
    // Nothing of ours runs a loop of its own (menus open without waiting), so the thread that
    // drives JUCE now gives the loop up within one bounded idle call.
    EventLoopGate::HostTurn turn;
    closeEditorInTurn();
}

void JuceVSTWrapper::closeEditorInTurn()
{
    if (editorHolder == nullptr)
        return;
    editorIsOpen = false;
    // JUCE's modal stack is one for every editor of the process: this editor's dialogs leave it
    // now, even when the editor itself is deleted later. Its open menu closes with the editor, or
    // within a tick of the menu's watch once the editor is off screen; other editors' menus stay.
    editorHolder->exitModalStates();
    editorHolder->detach();
    EventLoopGate::editorClosed();
    // Closed from inside one of the editor's own callbacks, the objects stay until it returns.
    auto remains = std::make_unique<InstanceRemains>();
    remains->editor = std::move(editorHolder);
    EventLoopGate::deleteWhenLoopUnwinds(std::move(remains));
}

void JuceVSTWrapper::idleHost()
{
    if (!shutDown)
        masterIdle();
}

bool JuceVSTWrapper::resizeHostWindow(int width, int height)
{
    editorWidth = width;
    editorHeight = height;
    char sizeWindowText[] = "sizeWindow";
    return !shutDown && canHostDo(sizeWindowText) && sizeWindow(width, height);
}

} // namespace wydvst
