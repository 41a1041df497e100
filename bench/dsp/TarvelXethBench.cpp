#include "dsp/TarvelXeth.h"

#include <benchmark/benchmark.h>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

// Blocks of 512 samples through TarvelXeth::process(float*, float*, int) (and one mono row),
// reported as nanoseconds per host sample, a stereo pair counting once ("ns_per_sample").
namespace
{
constexpr int kBlockSize = 512;

enum Sections
{
    kAllOff = 0,
    kAllOn = 1
};

void pushSettings(TarvelXeth& dsp, bool sectionsOn)
{
    const float on = sectionsOn ? 1.0f : 0.0f;
    // Moderate settings away from the pure-gain rule of the bands.
    const float values[TarvelXeth::kNumParameters] = {
        on, 0.5f, 0.6f, 0.4f, 0.3f, 0.75f, 0.5f, // mid-range
        on, 0.33333334f, 0.5f, 0.2f, 0.5f, 0.6f, 0.5f, 0.5f, 0.3f, // program equaliser
        on};                                                     // saturator
    dsp.reset();
    for (int i = 0; i < TarvelXeth::kNumParameters; ++i)
        dsp.setParameter(i, values[i]);
    dsp.calcTolmLow();
    dsp.calcTolmMid();
    dsp.calcTolmHigh();
    dsp.calcBrask();
    dsp.calcSaturationOn();
    dsp.calcTolmOn();
    dsp.calcBraskOn();
}

// A loud, busy programme: two detuned tones and a little noise.
void fillProgramme(std::vector<float>& left, std::vector<float>& right, float sampleRate)
{
    uint32_t noise = 12345u;
    for (size_t i = 0; i < left.size(); ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const float n = (static_cast<float>(noise >> 8) / 16777216.0f - 0.5f) * 0.1f;
        const float t = static_cast<float>(i) / sampleRate;
        left[i] = 0.5f * std::sin(6.2831853f * 220.0f * t) + 0.3f * std::sin(6.2831853f * 3150.0f * t) + n;
        right[i] = 0.5f * std::sin(6.2831853f * 330.0f * t) + 0.3f * std::sin(6.2831853f * 5230.0f * t) - n;
    }
}

void setNsPerSample(benchmark::State& state)
{
    state.counters["ns_per_sample"] = benchmark::Counter(
        static_cast<double>(kBlockSize), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void runBlocks(TarvelXeth& dsp, std::vector<float>& left, std::vector<float>& right, int blocks)
{
    for (int b = 0; b < blocks; ++b)
        dsp.process(left.data(), right.data(), kBlockSize);
}

// Steady processing of a programme that keeps playing.
void BM_StereoProgramme(benchmark::State& state)
{
    const float sampleRate = static_cast<float>(state.range(0));
    auto dsp = std::make_unique<TarvelXeth>();
    dsp->setSampleRate(sampleRate);
    pushSettings(*dsp, state.range(1) == kAllOn);

    std::vector<float> sourceL(kBlockSize * 64), sourceR(kBlockSize * 64);
    fillProgramme(sourceL, sourceR, sampleRate);
    std::vector<float> left(kBlockSize), right(kBlockSize);
    size_t offset = 0;
    for (auto _ : state)
    {
        // Fresh input each block: in-place output fed back would drift away from a programme.
        std::copy_n(sourceL.begin() + static_cast<std::ptrdiff_t>(offset), kBlockSize, left.begin());
        std::copy_n(sourceR.begin() + static_cast<std::ptrdiff_t>(offset), kBlockSize, right.begin());
        dsp->process(left.data(), right.data(), kBlockSize);
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
        offset = (offset + kBlockSize) % sourceL.size();
    }
    setNsPerSample(state);
}

// The same through process(float*, int): a mono track.
void BM_MonoProgramme(benchmark::State& state)
{
    const float sampleRate = static_cast<float>(state.range(0));
    auto dsp = std::make_unique<TarvelXeth>();
    dsp->setSampleRate(sampleRate);
    pushSettings(*dsp, state.range(1) == kAllOn);

    std::vector<float> source(kBlockSize * 64), unused(kBlockSize * 64);
    fillProgramme(source, unused, sampleRate);
    std::vector<float> samples(kBlockSize);
    size_t offset = 0;
    for (auto _ : state)
    {
        std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(offset), kBlockSize, samples.begin());
        dsp->process(samples.data(), kBlockSize);
        benchmark::DoNotOptimize(samples.data());
        offset = (offset + kBlockSize) % source.size();
    }
    setNsPerSample(state);
}

// Flush-to-zero and denormals-are-zero for the benchmark's thread, as a host or the processor may
// set them; restores the previous mode when it goes.
class FlushDenormals
{
public:
    explicit FlushDenormals(bool enable)
    {
#if defined(__SSE2__)
        previous = _mm_getcsr();
        if (enable)
            _mm_setcsr(previous | 0x8040u);
#else
        (void) enable;
#endif
    }
    ~FlushDenormals()
    {
#if defined(__SSE2__)
        _mm_setcsr(previous);
#endif
    }

private:
    unsigned int previous = 0;
};

// Silence after the input stops; range(2) seconds of silence are processed before timing starts,
// so a slow-down from subnormal numbers deep in the tail would show against the other rows.
// range(3) = 1 runs with subnormals flushed to zero.
void BM_StereoDecayingTail(benchmark::State& state)
{
    const FlushDenormals flush(state.range(3) == 1);
    const float sampleRate = static_cast<float>(state.range(0));
    auto dsp = std::make_unique<TarvelXeth>();
    dsp->setSampleRate(sampleRate);
    pushSettings(*dsp, state.range(1) == kAllOn);

    std::vector<float> left(kBlockSize * 16), right(kBlockSize * 16);
    fillProgramme(left, right, sampleRate);
    for (size_t b = 0; b < left.size(); b += kBlockSize)
        dsp->process(left.data() + b, right.data() + b, kBlockSize);

    std::vector<float> silenceL(kBlockSize, 0.0f), silenceR(kBlockSize, 0.0f);
    const int blocksBefore = static_cast<int>(state.range(2) * static_cast<int64_t>(sampleRate) / kBlockSize);
    runBlocks(*dsp, silenceL, silenceR, blocksBefore);

    for (auto _ : state)
    {
        std::fill(silenceL.begin(), silenceL.end(), 0.0f);
        std::fill(silenceR.begin(), silenceR.end(), 0.0f);
        dsp->process(silenceL.data(), silenceR.data(), kBlockSize);
        benchmark::DoNotOptimize(silenceL.data());
        benchmark::DoNotOptimize(silenceR.data());
    }
    setNsPerSample(state);
}
} // namespace

BENCHMARK(BM_StereoProgramme)
    ->ArgNames({"rate", "on"})
    ->Args({44100, kAllOn})
    ->Args({44100, kAllOff})
    ->Args({96000, kAllOn})
    ->Args({96000, kAllOff});

BENCHMARK(BM_MonoProgramme)->ArgNames({"rate", "on"})->Args({44100, kAllOn})->Args({96000, kAllOn});

BENCHMARK(BM_StereoDecayingTail)
    ->ArgNames({"rate", "on", "silentSeconds", "ftz"})
    ->Args({44100, kAllOn, 0, 0})
    ->Args({44100, kAllOn, 30, 0})
    ->Args({44100, kAllOn, 30, 1})
    ->Args({44100, kAllOff, 30, 0})
    ->Args({44100, kAllOff, 30, 1})
    ->Args({96000, kAllOn, 30, 0})
    ->Args({96000, kAllOn, 30, 1});
