// Opening the editor (construction and the first full paint) and one idle timer tick.

#include <benchmark/benchmark.h>

#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/WYD_KX7AudioProcessorEditor.h"
#include "ui/images/BinaryImages.h"

#include <cstdlib>
#include <memory>
#include <utility>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace
{
// JUCE's GUI around all benchmarks (so it is shut down before static destruction), with HOME in a temporary folder so the preset menu scans an
// empty Music folder and nothing of the user's is touched.
struct BenchGui
{
    BenchGui()
        : home(juce::File::getSpecialLocation(juce::File::tempDirectory)
                   .getNonexistentChildFile("wyd-bench-home", "", false))
    {
        home.createDirectory();
        setenv("HOME", home.getFullPathName().toRawUTF8(), 1);
        gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    }
    ~BenchGui()
    {
        gui.reset();
        home.deleteRecursively();
    }
    juce::File home;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
};

// Counts repaint requests reaching the editor from itself or its children.
struct RepaintCounter : juce::CachedComponentImage
{
    void paint(juce::Graphics&) override {}
    bool invalidateAll() override { return ++requests, true; }
    bool invalidate(const juce::Rectangle<int>&) override { return ++requests, true; }
    void releaseResources() override {}
    int requests = 0;
};

struct OpenEditor
{
    explicit OpenEditor(WYD_KX7AudioProcessor& p) : processor(p), editor(p.createEditorIfNeeded()) {}
    ~OpenEditor() { processor.editorBeingDeleted(editor.get()); }
    WYD_KX7AudioProcessor& processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
};
} // namespace

static void BM_OpenEditor(benchmark::State& state)
{
    WYD_KX7AudioProcessor processor;
    for (auto _ : state)
    {
        OpenEditor open(processor);
        juce::Image image(juce::Image::ARGB, open.editor->getWidth(), open.editor->getHeight(), true);
        juce::Graphics g(image);
        open.editor->paintEntireComponent(g, false);
        benchmark::DoNotOptimize(image.getPixelAt(400, 225).getARGB());
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);

// The ten 101-frame knob strips, the bulk of what opening the editor decodes.
static void BM_DecodeKnobStrips(benchmark::State& state)
{
    const std::pair<const char*, int> strips[] = {
        {KX7BinImg::inputvol_png, KX7BinImg::inputvol_pngSize},
        {KX7BinImg::outputvol_png, KX7BinImg::outputvol_pngSize},
        {KX7BinImg::tolmlowpeak_png, KX7BinImg::tolmlowpeak_pngSize},
        {KX7BinImg::tolmmiddip_png, KX7BinImg::tolmmiddip_pngSize},
        {KX7BinImg::tolmhighpeak_png, KX7BinImg::tolmhighpeak_pngSize},
        {KX7BinImg::brasklowboost_png, KX7BinImg::brasklowboost_pngSize},
        {KX7BinImg::brasklowatten_png, KX7BinImg::brasklowatten_pngSize},
        {KX7BinImg::braskhighboost_png, KX7BinImg::braskhighboost_pngSize},
        {KX7BinImg::braskhighboostbandwidth_png, KX7BinImg::braskhighboostbandwidth_pngSize},
        {KX7BinImg::braskhighatten_png, KX7BinImg::braskhighatten_pngSize},
    };
    for (auto _ : state)
        for (const auto& [data, size] : strips)
            benchmark::DoNotOptimize(juce::ImageFileFormat::loadFrom(data, (size_t) size).getWidth());
}
BENCHMARK(BM_DecodeKnobStrips)->Unit(benchmark::kMillisecond);

static void BM_IdleTimerTick(benchmark::State& state)
{
    WYD_KX7AudioProcessor processor;
    OpenEditor open(processor);
    auto& editor = static_cast<WYD_KX7AudioProcessorEditor&>(*open.editor);
    for (int i = 0; i < 3; ++i) // the ticks that re-show the preset name after opening
        editor.timerCallback();
    auto* counter = new RepaintCounter;
    editor.setVisible(true);
    editor.setCachedComponentImage(counter);
    counter->requests = 0; // installing it asks for one
    for (auto _ : state)
        editor.timerCallback();
    if (counter->requests != 0)
        state.SkipWithError("a tick with nothing changed asked for a repaint");
    editor.setCachedComponentImage(nullptr);
}
BENCHMARK(BM_IdleTimerTick);

// Our own main: JUCE's GUI must live exactly as long as the benchmarks run.
int main(int argc, char** argv)
{
    BenchGui gui;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
