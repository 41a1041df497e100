#pragma once

#include "dsp/DspBase.h"

// A block processor with a store of normalised float parameters. The derived class allocates,
// fills and frees `params`; it may stay null.
class FxBase : public DspBase
{
public:
    virtual void setParameter(int index, float value) = 0;
    // The index is not bounded here: callers stay below the derived class's parameter count.
    virtual float getParameter(int index);
    virtual float* getAllParameters();
    virtual void process(float* samples, int numSamples) = 0;
    virtual void process(float* left, float* right, int numSamples) = 0;
    virtual void process(double* samples, int numSamples) = 0;
    virtual void process(double* left, double* right, int numSamples) = 0;

    float* params = nullptr;
};
