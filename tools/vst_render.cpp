// vst-render: renders the demo signal through a VST 2.4 plug-in into a WAV file and tells what it
// did. Usage:
//   vst-render PLUGIN.so [--out FILE.wav] [--rate HZ] [--block N] [--seconds S] [--program N]
//              [--set NAME=VALUE]...
// Without --set the plug-in gets a demo setting that makes every section audible.

#include "tools/DemoSignal.h"
#include "tools/VstHost.h"
#include "tools/WavWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace
{

struct Options
{
    std::string plugin;
    std::string out = "demo.wav";
    int rate = 44100;
    int block = 512;
    double seconds = 6.0;
    int program = -1;
    bool help = false;
    std::vector<std::pair<std::string, float>> settings;
};

const std::vector<std::pair<std::string, float>> kDemoSettings = {
    {"tolmLowFreq", 0.25f},        {"tolmLowPeak", 0.5f},         {"tolmMidFreq", 0.5f},
    {"tolmMidDip", 0.3f},          {"braskLowFreq", 2.0f / 3.0f}, {"braskLowBoost", 0.4f},
    {"braskHighBoostFreq", 0.5f},  {"braskHighBoost", 0.4f},      {"saturationOn", 1.0f},
    {"saturationAutoLevelOn", 1.0f},
};

const char* const kUsage = "usage: vst-render PLUGIN.so [--out FILE.wav] [--rate HZ] [--block N] [--seconds S] "
                           "[--program N] [--set NAME=VALUE]...\n";

int usage(const char* why)
{
    std::fprintf(stderr, "vst-render: %s\n%s", why, kUsage);
    return 2;
}

// The whole text is one finite number (strtof alone reads "abc" as 0).
bool readNumber(const std::string& text, float& number)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        return false;
    number = value;
    return true;
}

bool parseOptions(int argc, char** argv, Options& options, std::string& error)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc)
            {
                error = "missing value after " + arg;
                return nullptr;
            }
            return argv[++i];
        };
        const char* v = nullptr;
        if (arg == "--out" && (v = value()) != nullptr)
            options.out = v;
        else if (arg == "--rate" && (v = value()) != nullptr)
            options.rate = std::atoi(v);
        else if (arg == "--block" && (v = value()) != nullptr)
            options.block = std::atoi(v);
        else if (arg == "--seconds" && (v = value()) != nullptr)
            options.seconds = std::atof(v);
        else if (arg == "--program" && (v = value()) != nullptr)
            options.program = std::atoi(v);
        else if (arg == "--set" && (v = value()) != nullptr)
        {
            const std::string setting = v;
            const auto eq = setting.find('=');
            if (eq == std::string::npos)
            {
                error = "--set needs NAME=VALUE, got " + setting;
                return false;
            }
            float number = 0.0f;
            if (!readNumber(setting.substr(eq + 1), number))
            {
                error = "--set " + setting + ": the value is not a number";
                return false;
            }
            options.settings.emplace_back(setting.substr(0, eq), number);
        }
        else if (arg == "--help" || arg == "-h")
        {
            options.help = true;
            return true;
        }
        else if (!error.empty())
            return false;
        else if (!arg.empty() && arg[0] != '-' && options.plugin.empty())
            options.plugin = arg;
        else
        {
            error = "unknown argument " + arg;
            return false;
        }
    }
    if (!error.empty())
        return false;
    if (options.plugin.empty())
        error = "no plug-in given";
    else if (options.rate < 8000 || options.rate > 384000)
        error = "sample rate out of range 8000..384000";
    else if (options.block < 1 || options.block > 65536)
        error = "block size out of range 1..65536";
    else if (!(options.seconds > 0.0 && options.seconds <= 600.0))
        error = "length out of range (0, 600] seconds";
    return error.empty();
}

std::string fourCharacters(VstInt32 id)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = static_cast<char>((id >> shift) & 0xff);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

struct Level
{
    double peakDb;
    double rmsDb;
};

Level measure(const std::vector<std::vector<float>>& channels)
{
    double peak = 0.0, sum = 0.0;
    size_t n = 0;
    for (const auto& channel : channels)
        for (float s : channel)
        {
            peak = std::max(peak, static_cast<double>(std::fabs(s)));
            sum += static_cast<double>(s) * s;
            ++n;
        }
    auto db = [](double x) { return x > 0.0 ? 20.0 * std::log10(x) : -999.0; };
    return {db(peak), db(n > 0 ? std::sqrt(sum / static_cast<double>(n)) : 0.0)};
}

void describePlugin(const vsthost::PluginInstance& plugin)
{
    const AEffect* e = plugin.record();
    std::printf("  plug-in: \"%s\" by \"%s\", product \"%s\", version %d, id '%s'\n",
                plugin.effectName().c_str(), plugin.vendorString().c_str(),
                plugin.productString().c_str(), e->version, fourCharacters(e->uniqueID).c_str());
    std::printf("  %d in / %d out, %d parameters, %d programs, flags 0x%x\n", e->numInputs,
                e->numOutputs, e->numParams, e->numPrograms, static_cast<unsigned>(e->flags));
}

bool applySettings(const vsthost::PluginInstance& plugin, const Options& options)
{
    if (options.program >= 0)
    {
        plugin.dispatch(effSetProgram, 0, options.program);
        std::printf("  program %d \"%s\"\n", static_cast<int>(plugin.dispatch(effGetProgram)),
                    plugin.programName().c_str());
    }
    const auto& settings = options.settings.empty() ? kDemoSettings : options.settings;
    std::printf("  settings%s:\n", options.settings.empty() ? " (demo)" : "");
    for (const auto& [name, value] : settings)
    {
        const VstInt32 index = plugin.findParameter(name);
        if (index < 0)
        {
            std::fprintf(stderr, "vst-render: the plug-in has no parameter \"%s\"\n", name.c_str());
            return false;
        }
        plugin.setParameter(index, value);
        std::printf("    %-15s = %.4f  (%s)\n", name.c_str(), plugin.getParameter(index),
                    plugin.parameterDisplay(index).c_str());
    }
    return true;
}

// Processes `signal` in place through the plug-in, block by block, as a host's audio thread does.
double render(const vsthost::PluginInstance& plugin, std::vector<std::vector<float>>& signal,
              int block, int& blocks)
{
    const size_t frames = signal[0].size();
    const auto begin = std::chrono::steady_clock::now();
    blocks = 0;
    for (size_t pos = 0; pos < frames; pos += static_cast<size_t>(block))
    {
        const auto n = static_cast<VstInt32>(std::min(frames - pos, static_cast<size_t>(block)));
        float* channels[2] = {signal[0].data() + pos, signal[1].data() + pos};
        plugin.processInPlace(channels, n);
        ++blocks;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error))
        return usage(error.c_str());
    if (options.help)
    {
        std::printf("vst-render: renders the demo signal through a VST 2.4 plug-in into a WAV file\n%s", kUsage);
        return 0;
    }

    auto library = vsthost::PluginLibrary::open(options.plugin, error);
    if (!library)
    {
        std::fprintf(stderr, "vst-render: cannot load %s\n", error.c_str());
        return 1;
    }
    std::printf("vst-render: loaded %s\n", options.plugin.c_str());

    vsthost::Host host;
    host.sampleRateAnswer = options.rate;
    host.blockSizeAnswer = options.block;
    host.processLevelAnswer = kVstProcessLevelOffline;
    {
        vsthost::PluginInstance plugin(*library, host);
        if (!plugin.valid())
        {
            std::fprintf(stderr, "vst-render: the plug-in refused to create an instance\n");
            return 1;
        }
        describePlugin(plugin);
        if (plugin.record()->numOutputs < 2 || plugin.record()->numInputs < 1)
        {
            std::fprintf(stderr, "vst-render: needs a plug-in with stereo output\n");
            return 1;
        }
        if (!applySettings(plugin, options))
            return 1;

        auto signal = vsthost::makeDemoSignal(options.rate, options.seconds);
        const Level in = measure(signal);
        std::printf("  input: demo signal (plucked bass, chord, noise bursts), %.2f s stereo at %d "
                    "Hz, peak %.1f dBFS, RMS %.1f dBFS\n",
                    options.seconds, options.rate, in.peakDb, in.rmsDb);

        plugin.start(static_cast<float>(options.rate), options.block);
        int blocks = 0;
        const double took = render(plugin, signal, options.block, blocks);
        plugin.stop();

        const Level out = measure(signal);
        std::printf("  processed %d blocks of up to %d samples (offline) in %.3f s, %.0fx real "
                    "time\n",
                    blocks, options.block, took, took > 0.0 ? options.seconds / took : 0.0);
        std::printf("  output: peak %.1f dBFS, RMS %.1f dBFS\n", out.peakDb, out.rmsDb);

        if (!vsthost::writeWavFloat(options.out, signal, options.rate))
        {
            std::fprintf(stderr, "vst-render: cannot write %s\n", options.out.c_str());
            return 1;
        }
        std::printf("  wrote %s (32-bit float WAV, stereo, %d Hz, %.2f s)\n", options.out.c_str(),
                    options.rate, options.seconds);
    }
    return 0;
}
