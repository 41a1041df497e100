#pragma once

#include "dsp/ModuleBase.h"

#include <cstdint>

// An analog-prototype section: the circuit is given as den(s)/num(s) of order N and mapped to the
// z domain by the bilinear transform without prewarping (the sections pick their component values
// per sample-rate band instead).
class SZBase : public ModuleBase
{
public:
    SZBase();

    void process(double& sample) override = 0;
    void process(double& left, double& right) override = 0;
    // Hook run at the start of every coefficient design.
    virtual void preCalc() = 0;
    // den and num hold N+1 coefficients each, ascending powers of s.
    virtual void setCoeffs(double* den, double* num) = 0;

    // Coefficient of z^-k in c(s) (1 + z^-1)^N after s = 2fs (1 - z^-1) / (1 + z^-1).
    double s_to_z(const double* c, int N, int k, double fs) const;
    // n!, recursively; 1 for n <= 0.
    double f(int n) const;

protected:
    // Glide length for a section running at `rate`: `shortest` below 34050 Hz, doubling at 34050,
    // 68000 and 136000 Hz.
    static int32_t rampLengthForRate(float rate, int32_t shortest);
    // Clamps a normalised setting to 0..1: first to at most 1, then to at least 0 (NaN gives 1).
    static float clampToUnit(float value);
};
