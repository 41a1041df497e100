#include "tools/VstHost.h"

#include <dlfcn.h>

#include <cstring>

namespace vsthost
{

namespace
{

// The host whose instance is being created: the entry function calls back before the record
// exists (audioMasterVersion) and before resvd1 can carry the host.
thread_local Host* hostBeingConnected = nullptr;

Host* hostFor(AEffect* effect)
{
    if (effect != nullptr && effect->resvd1 != 0)
        return reinterpret_cast<Host*>(effect->resvd1);
    return hostBeingConnected;
}

void copyText(void* ptr, const char* text, size_t fieldSize)
{
    if (ptr == nullptr || fieldSize == 0)
        return;
    auto* out = static_cast<char*>(ptr);
    std::strncpy(out, text, fieldSize - 1);
    out[fieldSize - 1] = 0;
}

} // namespace

HostReaction& HostReaction::operator=(Function function)
{
    auto replacement = function ? std::make_shared<const Function>(std::move(function)) : nullptr;
    std::lock_guard<std::mutex> guard(lock);
    current = std::move(replacement);
    return *this;
}

HostReaction::operator bool() const
{
    std::lock_guard<std::mutex> guard(lock);
    return current != nullptr;
}

void HostReaction::operator()(AEffect* effect) const
{
    std::shared_ptr<const Function> running;
    {
        std::lock_guard<std::mutex> guard(lock);
        running = current;
    }
    if (running)
        (*running)(effect);
}

VstIntPtr Host::handle(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        log.push_back({opcode, index, value, opt, std::this_thread::get_id(), std::chrono::steady_clock::now()});
    }
    arrived.notify_all();

    switch (opcode)
    {
    case audioMasterAutomate: return automateAnswer;
    case audioMasterVersion: return versionAnswer;
    case audioMasterGetCurrentProcessLevel: return processLevelAnswer;
    case audioMasterGetSampleRate: return sampleRateAnswer;
    case audioMasterGetBlockSize: return blockSizeAnswer;
    case audioMasterCanDo: return canDoAnswer;
    case audioMasterGetVendorString: copyText(ptr, "WYD", 64); return 1;
    case audioMasterGetProductString: copyText(ptr, productAnswer.c_str(), 64); return 1;
    case audioMasterGetVendorVersion: return 1;
    case audioMasterIdle:
        onMasterIdle(effect);
        return 0;
    case audioMasterIOChanged:
    case audioMasterUpdateDisplay: return 1;
    default: return 0;
    }
}

std::vector<HostCall> Host::calls() const
{
    std::lock_guard<std::mutex> guard(lock);
    return log;
}

std::vector<HostCall> Host::callsOf(VstInt32 opcode) const
{
    std::vector<HostCall> result;
    std::lock_guard<std::mutex> guard(lock);
    for (const auto& call : log)
        if (call.opcode == opcode)
            result.push_back(call);
    return result;
}

size_t Host::count(VstInt32 opcode) const
{
    return callsOf(opcode).size();
}

void Host::clearCalls()
{
    std::lock_guard<std::mutex> guard(lock);
    log.clear();
}

bool Host::waitFor(VstInt32 opcode, size_t atLeast, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(lock);
    return arrived.wait_for(guard, timeout, [&] {
        size_t n = 0;
        for (const auto& call : log)
            n += call.opcode == opcode ? 1 : 0;
        return n >= atLeast;
    });
}

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt)
{
    if (Host* host = hostFor(effect))
        return host->handle(effect, opcode, index, value, ptr, opt);
    // A call we cannot attribute (another thread before the record was handed over).
    return opcode == audioMasterVersion ? 2400 : 0;
}

// ---------------------------------------------------------------------------------------------

PluginLibrary::PluginLibrary(void* h, std::string p, PluginEntry e)
    : handle(h), libraryPath(std::move(p)), entryFunction(e)
{
}

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string& error)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
    {
        const char* why = dlerror();
        error = why != nullptr ? why : "dlopen failed";
        return nullptr;
    }
    void* entry = dlsym(handle, "VSTPluginMain");
    if (entry == nullptr)
        entry = dlsym(handle, "main");
    if (entry == nullptr)
    {
        error = path + ": no VSTPluginMain";
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<PluginLibrary>(
        new PluginLibrary(handle, path, reinterpret_cast<PluginEntry>(entry)));
}

PluginLibrary::~PluginLibrary()
{
    dlclose(handle);
}

void* PluginLibrary::symbol(const char* name) const
{
    return dlsym(handle, name);
}

AEffect* createEffect(PluginEntry entry, Host& host, audioMasterCallback callback)
{
    hostBeingConnected = &host;
    AEffect* effect = entry(callback);
    if (effect != nullptr)
        effect->resvd1 = reinterpret_cast<VstIntPtr>(&host);
    hostBeingConnected = nullptr;
    return effect;
}

// ---------------------------------------------------------------------------------------------

PluginInstance::PluginInstance(const PluginLibrary& library, Host& host) : owner(host)
{
    adopt(library.createEffect(host));
}

PluginInstance::PluginInstance(PluginEntry entry, Host& host) : owner(host)
{
    adopt(createEffect(entry, host));
}

void PluginInstance::adopt(AEffect* created)
{
    if (created == nullptr || created->magic != kEffectMagic)
        return;
    effect = created;
    dispatch(effOpen);
}

PluginInstance::~PluginInstance()
{
    close();
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) const
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void PluginInstance::start(float sampleRate, VstInt32 blockSize)
{
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
}

void PluginInstance::stop()
{
    dispatch(effMainsChanged, 0, 0);
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index, size_t fieldSize,
                                 VstIntPtr value) const
{
    std::vector<char> field(fieldSize + 1, 'X');
    field[fieldSize] = 0;
    dispatch(opcode, index, value, field.data());
    return std::string(field.data());
}

void PluginInstance::setParameter(VstInt32 index, float value) const
{
    effect->setParameter(effect, index, value);
}

float PluginInstance::getParameter(VstInt32 index) const
{
    return effect->getParameter(effect, index);
}

VstInt32 PluginInstance::findParameter(const std::string& name) const
{
    // Names reach the host cut to the field (15 characters); a cut name matches its full form.
    constexpr size_t kFullNameField = 15;
    VstInt32 cutMatch = -1;
    for (VstInt32 i = 0; i < effect->numParams; ++i)
    {
        const std::string reported = parameterName(i);
        if (reported == name)
            return i;
        if (reported.size() == kFullNameField && name.compare(0, reported.size(), reported) == 0)
            cutMatch = cutMatch == -1 ? i : -2;
    }
    return cutMatch >= 0 ? cutMatch : -1;
}

std::vector<char> PluginInstance::getChunk(bool program) const
{
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    if (data == nullptr || size <= 0)
        return {};
    const auto* bytes = static_cast<const char*>(data);
    return std::vector<char>(bytes, bytes + size);
}

VstIntPtr PluginInstance::setChunk(const std::vector<char>& data, bool program) const
{
    return dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(data.size()),
                    const_cast<char*>(data.data()));
}

void PluginInstance::processInPlace(float* const* channels, VstInt32 frames) const
{
    auto** buffers = const_cast<float**>(channels);
    effect->processReplacing(effect, buffers, buffers, frames);
}

void PluginInstance::process(float** inputs, float** outputs, VstInt32 frames) const
{
    effect->processReplacing(effect, inputs, outputs, frames);
}

std::pair<int, int> PluginInstance::editorSize() const
{
    ERect* rect = nullptr;
    if (dispatch(effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr)
        return {0, 0};
    return {rect->right - rect->left, rect->bottom - rect->top};
}

bool PluginInstance::openEditor(unsigned long parentWindow) const
{
    return dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parentWindow)) != 0;
}

void PluginInstance::closeEditor() const
{
    dispatch(effEditClose);
}

VstIntPtr PluginInstance::close()
{
    if (effect == nullptr)
        return 0;
    AEffect* closing = effect;
    effect = nullptr;
    return closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace vsthost
