// Scanning the preset folder tree, which every click on the preset selector and every program
// change does on the host's GUI thread. The trees are made once below the benchmark's temporary
// HOME, which the program removes at the end.

#include <benchmark/benchmark.h>

#include "ui/widgets/TarvelOptionMenuTree.h"

namespace
{
juce::File freshFolder(const juce::String& name)
{
    const auto folder =
        juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile(name);
    folder.deleteRecursively();
    folder.createDirectory();
    return folder;
}

// 2,000 presets in one folder beside 300 sub-folders holding one preset each.
juce::File wideFolder()
{
    static const juce::File root = [] {
        const auto folder = freshFolder("wide");
        for (int i = 0; i < 2000; ++i)
            folder.getChildFile("p" + juce::String(i).paddedLeft('0', 4) + ".tz7p").create();
        for (int i = 0; i < 300; ++i)
            folder.getChildFile("s" + juce::String(i).paddedLeft('0', 3) + "/one.tz7p").create();
        return folder;
    }();
    return root;
}

// Folders each inside the one before, each holding one preset.
juce::File nestedChain(int depth)
{
    const auto folder = freshFolder("deep" + juce::String(depth));
    auto level = folder;
    for (int i = 0; i < depth; ++i)
    {
        level = level.getChildFile("d");
        level.createDirectory();
        level.getChildFile("x.tz7p").create();
    }
    return folder;
}

void scanRepeatedly(benchmark::State& state, const juce::File& root)
{
    TarvelOptionMenuTree menu("presetMenu");
    menu.setDirectoryPath(root.getFullPathName());
    menu.setFileExtension("*.tz7p");
    for (auto _ : state)
        benchmark::DoNotOptimize(menu.createMenuTree());
    state.counters["files"] = menu.getNumOfFiles() - 1;
    state.counters["menus"] = menu.getNumMenusFilled();
}
} // namespace

static void BM_ScanWideFolder(benchmark::State& state)
{
    scanRepeatedly(state, wideFolder());
}
BENCHMARK(BM_ScanWideFolder)->Unit(benchmark::kMillisecond);

// The depth doubles: the time should no more than double.
static void BM_ScanDeepChain(benchmark::State& state)
{
    scanRepeatedly(state, nestedChain((int) state.range(0)));
}
BENCHMARK(BM_ScanDeepChain)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
