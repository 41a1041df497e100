#pragma once

// A small VST 2.4 host: loads a plug-in library with dlopen, creates instances through its entry
// function and drives them only through the plug-in record, as any Linux host does. The tests,
// the benchmark and the command-line renderer share it.

#include "vst/AEffect.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vsthost
{

// One call the plug-in made to the host.
struct HostCall
{
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    float opt = 0.0f;
    std::thread::id thread;
    std::chrono::steady_clock::time_point time;
};

// A host reaction a test may replace while the plug-in's threads call it: assigning swaps it
// under a lock, and a call runs the one it found to its end, even when replaced meanwhile.
class HostReaction
{
public:
    using Function = std::function<void(AEffect*)>;

    HostReaction& operator=(Function function);
    explicit operator bool() const;
    // Runs the current reaction, without holding the lock (it may call back into the plug-in,
    // which may call the host again); nothing when none is set.
    void operator()(AEffect* effect) const;

private:
    mutable std::mutex lock;
    std::shared_ptr<const Function> current;
};

// The host side of one instance: what the host answers and a log of every callback.
// The plug-in may call from any thread, so the log is locked and the answers are atomic.
class Host
{
public:
    // Answers; change them before the calls that ask for them.
    std::atomic<VstIntPtr> versionAnswer{2400};
    std::atomic<VstIntPtr> processLevelAnswer{2}; // realtime
    std::atomic<VstIntPtr> sampleRateAnswer{44100};
    std::atomic<VstIntPtr> blockSizeAnswer{512};
    std::atomic<VstIntPtr> canDoAnswer{0};
    std::atomic<VstIntPtr> automateAnswer{0};
    std::string productAnswer = "WYD test host";
    // What the host does when the plug-in calls audioMasterIdle, on the calling thread (Ardour
    // idles the editor from inside the call); nothing when empty. Safe to assign at any time.
    HostReaction onMasterIdle;

    VstIntPtr handle(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt);

    std::vector<HostCall> calls() const;
    std::vector<HostCall> callsOf(VstInt32 opcode) const;
    size_t count(VstInt32 opcode) const;
    void clearCalls();
    // Waits until at least `atLeast` calls with this opcode have arrived.
    bool waitFor(VstInt32 opcode, size_t atLeast, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex lock;
    mutable std::condition_variable arrived;
    std::vector<HostCall> log;
};

// The host callback handed to the entry function. Routes each call to the Host stored in the
// record's resvd1 field (the host's own), or to the host creating the instance while the entry
// function runs and no record exists yet.
VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt);

using PluginEntry = AEffect* (*)(audioMasterCallback);

// Calls an entry function with `callback`, the calls routed to `host`. Null when the plug-in
// refuses; otherwise the record with `host` stored in resvd1.
AEffect* createEffect(PluginEntry entry, Host& host, audioMasterCallback callback = hostCallback);

// A loaded plug-in library; closed with dlclose when destroyed.
class PluginLibrary
{
public:
    // Null and an explanation in `error` when the file does not load or has no entry function.
    static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string& error);
    ~PluginLibrary();

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const std::string& path() const { return libraryPath; }
    PluginEntry entry() const { return entryFunction; }
    void* symbol(const char* name) const;

    AEffect* createEffect(Host& host, audioMasterCallback callback = hostCallback) const
    {
        return vsthost::createEffect(entryFunction, host, callback);
    }

private:
    PluginLibrary(void* handle, std::string path, PluginEntry entry);

    void* handle;
    std::string libraryPath;
    PluginEntry entryFunction;
};

// One plug-in instance driven through its record. Closes the instance (effClose) when destroyed.
class PluginInstance
{
public:
    // Creates the instance and opens it (effOpen). Use valid() to see whether the plug-in agreed.
    PluginInstance(const PluginLibrary& library, Host& host);
    // The same for a plug-in linked into this program.
    PluginInstance(PluginEntry entry, Host& host);
    ~PluginInstance();

    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    bool valid() const { return effect != nullptr; }
    AEffect* record() const { return effect; }
    Host& host() const { return owner; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;

    // The usual start-up: sample rate, block size, switched on.
    void start(float sampleRate, VstInt32 blockSize);
    void stop();

    // A text the plug-in writes into a field of `fieldSize` bytes; the field is pre-filled with a
    // marker so that a missing terminator shows as trailing 'X'.
    std::string text(VstInt32 opcode, VstInt32 index = 0, size_t fieldSize = 256,
                     VstIntPtr value = 0) const;
    std::string effectName() const { return text(effGetEffectName, 0, 64); }
    std::string vendorString() const { return text(effGetVendorString, 0, 64); }
    std::string productString() const { return text(effGetProductString, 0, 64); }
    std::string parameterName(VstInt32 index) const { return text(effGetParamName, index, 16); }
    std::string parameterDisplay(VstInt32 index) const { return text(effGetParamDisplay, index, 24); }
    std::string parameterLabel(VstInt32 index) const { return text(effGetParamLabel, index, 24); }
    std::string programName() const { return text(effGetProgramName, 0, 24); }

    void setParameter(VstInt32 index, float value) const;
    float getParameter(VstInt32 index) const;
    // Index of the parameter with this name (or with its first 15 characters, as names reach the
    // host cut), -1 when there is none or the cut name is ambiguous.
    VstInt32 findParameter(const std::string& name) const;

    // The plug-in's chunk copied out: the bank for program == false, the current program otherwise.
    std::vector<char> getChunk(bool program) const;
    VstIntPtr setChunk(const std::vector<char>& data, bool program) const;

    // In-place processing of `channels` buffers of `frames` samples (the host's usual way).
    void processInPlace(float* const* channels, VstInt32 frames) const;
    void process(float** inputs, float** outputs, VstInt32 frames) const;

    // The editor's width and height as effEditGetRect answers them; {0, 0} without an answer.
    std::pair<int, int> editorSize() const;
    // effEditOpen with an X11 window id as the parent; true when the plug-in opened its editor.
    bool openEditor(unsigned long parentWindow) const;
    void closeEditor() const;

    // Forgets the record without closing it, for a record the host closed by other means.
    AEffect* release()
    {
        AEffect* record = effect;
        effect = nullptr;
        return record;
    }

    // effClose; the record is gone afterwards. Answers the dispatcher's result.
    VstIntPtr close();

private:
    void adopt(AEffect* created);

    Host& owner;
    AEffect* effect = nullptr;
};

} // namespace vsthost
