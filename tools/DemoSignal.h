#pragma once

// A short, deterministic stereo test signal with content across the spectrum: a plucked bass line,
// a sustained chord and noise bursts, peaking near -6 dBFS.

#include <vector>

namespace vsthost
{

// Two channels of `seconds` x sampleRate samples.
std::vector<std::vector<float>> makeDemoSignal(int sampleRate, double seconds);

} // namespace vsthost
