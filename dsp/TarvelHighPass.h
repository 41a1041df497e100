#pragma once

#include "dsp/ModuleBase.h"

// First-order high-pass built from a trapezoidal-integrator low-pass: the output is the input minus
// its low-passed part. With its coefficients reset it passes the signal unchanged.
class TarvelHighPass final : public ModuleBase
{
public:
    void resetBuffer() override;
    void resetCoeffs() override;

    void process(double& sample) override { filter(stateL, sample); }
    void process(double& left, double& right) override
    {
        filter(stateL, left);
        filter(stateR, right);
    }

    // Stores the corner frequency and recomputes both coefficients for the current sample rate.
    void setFrequency(float newFrequency);

    float frequency = 0.0f;
    double tanCoeff = 0.0;
    double normCoeff = 0.0;
    double stateL = 0.0;
    double stateR = 0.0;

private:
    void filter(double& state, double& sample) const
    {
        const double x = sample;
        const double lowPassed = (tanCoeff * x + state) * normCoeff;
        state = (x - lowPassed) * tanCoeff + lowPassed;
        sample = x - lowPassed;
    }
};
