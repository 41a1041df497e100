#pragma once

#include "dsp/TarvelXeth.h"

// TarvelXeth's per-sample chains, scheduled by hand: both channels travel together on the two
// lanes of SSE2 registers, and the saturator's filters work on short runs of samples so that their
// independent steps overlap. Every lane performs the modules' own IEEE operations in their order,
// so the results equal the modules' plain per-sample processing bit for bit.
namespace TarvelXethKernel
{
// Below 68100 Hz: equalisers at twice and the saturator at four times the host rate. A mono block
// passes its one buffer as left and right with stereo false.
void runLowRatePath(TarvelXeth& dsp, float* left, float* right, int numSamples, bool stereo);
// From 68100 Hz up: equalisers at the host rate, the saturator at twice.
void runHighRatePath(TarvelXeth& dsp, float* left, float* right, int numSamples, bool stereo);

// The saturator's curve, the same expression the chains run.
double waveshape(double s);
} // namespace TarvelXethKernel
