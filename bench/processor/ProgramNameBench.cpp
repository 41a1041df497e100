// A program's name from its preset path, over long runs of "/" such as a corrupt project holds:
// the time grows linearly with the run's length.

#include "processor/WYD_KX7AudioProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
void BM_ProgramNameOfSlashRun(benchmark::State& state)
{
    WYD_KX7AudioProcessor p;
    p.programs[0].presetPath[0] = juce::String::repeatedString("/", static_cast<int>(state.range(0))) + "Deep.tz7p";
    for (auto _ : state)
        benchmark::DoNotOptimize(p.getProgramName(0));
    state.SetComplexityN(state.range(0));
}
} // namespace

BENCHMARK(BM_ProgramNameOfSlashRun)->Arg(64000)->Arg(256000)->Arg(1024000)->Complexity();
