// The built plug-in loaded through the test host, processing stereo blocks of 512 samples as a
// host's audio thread does. Counters: ns_per_sample_ch is the time per sample and channel,
// realtime_x how many seconds of audio one second of processing covers.

#include "tools/DemoSignal.h"
#include "tools/VstHost.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr VstInt32 kBlock = 512;
constexpr int kChannels = 2;

enum Sections
{
    allSections = 0,
    equalisersOnly = 1,
};

struct LoadedPlugin
{
    std::unique_ptr<vsthost::PluginLibrary> library;
    vsthost::Host host;
    std::unique_ptr<vsthost::PluginInstance> instance;
};

bool load(LoadedPlugin& plugin, std::string& error)
{
    plugin.library = vsthost::PluginLibrary::open(WYD_PLUGIN_PATH, error);
    if (!plugin.library)
        return false;
    plugin.instance = std::make_unique<vsthost::PluginInstance>(*plugin.library, plugin.host);
    if (!plugin.instance->valid())
    {
        error = "the plug-in refused to create an instance";
        return false;
    }
    return true;
}

// Both equalisers with every band doing something; the saturator only for allSections.
void configure(const vsthost::PluginInstance& plugin, Sections sections)
{
    const std::pair<const char*, float> settings[] = {
        {"tolmOn", 1.0f},          {"tolmLowPeak", 0.5f},         {"tolmMidDip", 0.4f},
        {"tolmHighPeak", 0.3f},    {"braskOn", 1.0f},             {"braskLowBoost", 0.5f},
        {"braskLowAtten", 0.2f},   {"braskHighBoost", 0.6f},      {"braskHighAtten", 0.3f},
        {"saturationOn", sections == allSections ? 1.0f : 0.0f},
    };
    for (const auto& [name, value] : settings)
        plugin.setParameter(plugin.findParameter(name), value);
}

void BM_PluginStereo(benchmark::State& state)
{
    const auto rate = static_cast<int>(state.range(0));
    const auto sections = static_cast<Sections>(state.range(1));
    LoadedPlugin plugin;
    std::string error;
    if (!load(plugin, error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    configure(*plugin.instance, sections);
    plugin.instance->start(static_cast<float>(rate), kBlock);

    const auto signal = vsthost::makeDemoSignal(rate, 2.0);
    const size_t frames = signal[0].size() - kBlock;
    std::vector<float> outLeft(kBlock), outRight(kBlock);
    float* outputs[] = {outLeft.data(), outRight.data()};
    size_t pos = 0;
    auto nextBlock = [&] {
        float* inputs[] = {const_cast<float*>(signal[0].data() + pos),
                           const_cast<float*>(signal[1].data() + pos)};
        plugin.instance->process(inputs, outputs, kBlock);
        pos = (pos + kBlock) % frames;
    };
    // Past the section fades and parameter glides.
    for (int i = 0; i < rate / kBlock; ++i)
        nextBlock();

    const auto begin = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        nextBlock();
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const auto blocks = static_cast<double>(state.iterations());
    if (blocks > 0 && seconds > 0.0)
    {
        state.counters["ns_per_sample_ch"] = seconds * 1.0e9 / (blocks * kBlock * kChannels);
        state.counters["realtime_x"] = blocks * kBlock / rate / seconds;
    }
    state.SetLabel(std::to_string(rate) + " Hz, " + (sections == allSections ? "all sections" : "equalisers only"));
}

BENCHMARK(BM_PluginStereo)
    ->ArgNames({"rate", "sections"})
    ->Args({44100, allSections})
    ->Args({44100, equalisersOnly})
    ->Args({96000, allSections})
    ->Args({96000, equalisersOnly})
    ->Unit(benchmark::kMicrosecond);

} // namespace
