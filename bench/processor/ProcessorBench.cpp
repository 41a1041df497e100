#include "processor/WYD_KX7AudioProcessor.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace ParameterTable;

namespace
{
constexpr double kSampleRate = 44100.0;

// Every section and stage switched on, with amounts that make each band work.
std::unique_ptr<WYD_KX7AudioProcessor> makeBusyProcessor(int blockSize)
{
    auto p = std::make_unique<WYD_KX7AudioProcessor>();
    struct Setting
    {
        int index;
        float value;
    };
    const Setting settings[] = {
        {kInputVol, 0.6f},      {kSaturationOn, 1.0f},   {kSaturationAutoLevelOn, 1.0f},
        {kTolmOn, 1.0f},        {kTolmLowFreq, 0.5f},    {kTolmLowPeak, 0.6f},
        {kTolmMidFreq, 0.4f},   {kTolmMidDip, 0.5f},     {kTolmHighFreq, 0.75f},
        {kTolmHighPeak, 0.7f},  {kBraskOn, 1.0f},        {kBraskLowFreq, 1.0f / 3.0f},
        {kBraskLowBoost, 0.5f}, {kBraskLowAtten, 0.3f},  {kBraskHighBoostFreq, 0.5f},
        {kBraskHighBoost, 0.6f}, {kBraskHighAttenFreq, 0.5f}, {kBraskHighAtten, 0.4f},
        {kOutputVol, 0.45f},    {kPhaseOn, 1.0f},
    };
    for (const Setting& s : settings)
        p->setParameter(s.index, s.value);
    p->prepareToPlay(kSampleRate, blockSize);
    return p;
}

juce::AudioBuffer<float> noise(int samples)
{
    juce::Random random(42);
    juce::AudioBuffer<float> buffer(2, samples);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < samples; ++i)
            buffer.setSample(c, i, (random.nextFloat() - 0.5f) * 0.5f);
    return buffer;
}

// Runs enough blocks that the block glides, coefficient glides and fades are all done.
void settle(WYD_KX7AudioProcessor& p, int blockSize)
{
    juce::MidiBuffer midi;
    const juce::AudioBuffer<float> input = noise(blockSize);
    juce::AudioBuffer<float> work(2, blockSize);
    for (int block = 0; block < 16 + 8192 / blockSize; ++block)
    {
        work.makeCopyOf(input, true);
        p.processBlock(work, midi);
    }
}

// Times processBlock on a block refilled from the same input each time; BM_SignalPathAlone refills
// its block the same way, so the copy costs the same in every benchmark here.
void timeProcessBlock(benchmark::State& state, WYD_KX7AudioProcessor& p, int blockSize)
{
    const juce::AudioBuffer<float> input = noise(blockSize);
    juce::AudioBuffer<float> work(2, blockSize);
    juce::MidiBuffer midi;
    for (auto _ : state)
    {
        work.makeCopyOf(input, true);
        p.processBlock(work, midi);
        benchmark::DoNotOptimize(work.getReadPointer(0));
    }
    state.SetItemsProcessed(state.iterations() * blockSize);
}

void BM_ProcessBlock(benchmark::State& state)
{
    const int blockSize = static_cast<int>(state.range(0));
    auto p = makeBusyProcessor(blockSize);
    settle(*p, blockSize);
    timeProcessBlock(state, *p, blockSize);
}

// The same object in the same state, fed the level it sees behind the input gain.
void BM_SignalPathAlone(benchmark::State& state)
{
    const int blockSize = static_cast<int>(state.range(0));
    auto p = makeBusyProcessor(blockSize);
    settle(*p, blockSize);
    juce::AudioBuffer<float> input = noise(blockSize);
    input.applyGain(p->inputGainRamp.current);
    juce::AudioBuffer<float> work(2, blockSize);
    for (auto _ : state)
    {
        work.makeCopyOf(input, true);
        p->dsp.process(work.getWritePointer(0), work.getWritePointer(1), blockSize);
        benchmark::DoNotOptimize(work.getReadPointer(0));
    }
    state.SetItemsProcessed(state.iterations() * blockSize);
}

// The processor's own stages in isolation: at 96 kHz with every section off the signal path only
// converts samples to double and back, so this is close to the whole of the processor's overhead.
void BM_OwnStagesOnly(benchmark::State& state)
{
    const int blockSize = static_cast<int>(state.range(0));
    auto p = makeBusyProcessor(blockSize);
    p->setParameter(kSaturationOn, 0.0f);
    p->setParameter(kTolmOn, 0.0f);
    p->setParameter(kBraskOn, 0.0f);
    p->prepareToPlay(96000.0, blockSize);
    settle(*p, blockSize);
    timeProcessBlock(state, *p, blockSize);
}
} // namespace

BENCHMARK(BM_ProcessBlock)->Arg(64)->Arg(512);
BENCHMARK(BM_SignalPathAlone)->Arg(64)->Arg(512);
BENCHMARK(BM_OwnStagesOnly)->Arg(64)->Arg(512);
