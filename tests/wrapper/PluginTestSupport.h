#pragma once

// Shared by the tests that load the built plug-in through the test host.

#include "tools/VstHost.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cmath>
#include <cstring>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace plugintest
{

inline const char* pluginPath()
{
    return WYD_PLUGIN_PATH;
}

inline std::unique_ptr<vsthost::PluginLibrary> loadPlugin()
{
    std::string error;
    auto library = vsthost::PluginLibrary::open(pluginPath(), error);
    EXPECT_TRUE(library) << error;
    return library;
}

// One instance of the built plug-in per test, with the host that records its callbacks.
class LoadedPlugin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library = loadPlugin();
        ASSERT_TRUE(library);
        plugin = std::make_unique<vsthost::PluginInstance>(*library, host);
        ASSERT_TRUE(plugin->valid());
    }
    void TearDown() override
    {
        plugin.reset();
        library.reset();
    }

    vsthost::Host host;
    std::unique_ptr<vsthost::PluginLibrary> library;
    std::unique_ptr<vsthost::PluginInstance> plugin;
};

// Threads of this process; the plug-in's message thread shows up here.
inline int threadCount()
{
    int n = 0;
    if (DIR* dir = opendir("/proc/self/task"))
    {
        while (const dirent* entry = readdir(dir))
            n += entry->d_name[0] != '.' ? 1 : 0;
        closedir(dir);
    }
    return n;
}

// A text the plug-in writes into a field of fieldSize bytes. Bytes past the field are marked, and
// the test fails when the plug-in wrote there or left the field unterminated.
inline std::string fieldText(const vsthost::PluginInstance& plugin, VstInt32 opcode, VstInt32 index,
                             size_t fieldSize, VstIntPtr value = 0)
{
    constexpr size_t kGuard = 16;
    std::vector<char> field(fieldSize + kGuard, 'X');
    plugin.dispatch(opcode, index, value, field.data());
    for (size_t i = fieldSize; i < field.size(); ++i)
        EXPECT_EQ(field[i], 'X') << "opcode " << opcode << " wrote past its " << fieldSize
                                 << "-byte field";
    const size_t length = strnlen(field.data(), fieldSize);
    EXPECT_LT(length, fieldSize) << "opcode " << opcode << " left its field unterminated";
    return std::string(field.data(), length);
}

// Stereo signal in blocks, the same for every test that compares outputs.
struct StereoSignal
{
    std::vector<float> left, right;

    explicit StereoSignal(size_t frames, unsigned seed = 1) : left(frames), right(frames)
    {
        unsigned state = seed;
        for (size_t i = 0; i < frames; ++i)
        {
            state = state * 1664525u + 1013904223u;
            const float noise = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
            left[i] = 0.4f * std::sin(0.031f * static_cast<float>(i)) + 0.2f * noise;
            right[i] = 0.3f * std::sin(0.0173f * static_cast<float>(i)) - 0.2f * noise;
        }
    }
};

// What the host heard on `thread`: each value (V), gesture begin (B) and end (E), with a T in
// front of it when a time request asking for the tempo came right before it on that thread.
inline std::string notificationsOnThread(const std::vector<vsthost::HostCall>& calls, std::thread::id thread)
{
    constexpr VstIntPtr kTempoWanted = 1 << 10;
    std::string heard;
    bool timeRequested = false;
    for (const auto& call : calls)
    {
        if (call.thread != thread)
            continue;
        const char mark = call.opcode == audioMasterAutomate    ? 'V'
                          : call.opcode == audioMasterBeginEdit ? 'B'
                          : call.opcode == audioMasterEndEdit   ? 'E'
                                                                : 0;
        if (mark != 0)
        {
            if (timeRequested)
                heard += 'T';
            heard += mark;
        }
        timeRequested = call.opcode == audioMasterGetTime && (call.value & kTempoWanted) != 0;
    }
    return heard;
}

} // namespace plugintest
