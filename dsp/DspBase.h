#pragma once

// Root of every signal-processing module: the rate it runs at, an optional display name, and the
// hooks through which its owner resets it and asks it to recompute its coefficients.
class DspBase
{
public:
    DspBase() = default;
    virtual ~DspBase() = default;

    virtual void setSampleRate(float newSampleRate);
    virtual const char* getName();
    // Clears the signal history, then returns the coefficients to their start state.
    virtual void reset();
    virtual void resetBuffer() {}
    virtual void resetCoeffs() {}
    virtual void calc() {}

    float sampleRate = 44100.0f;
    const char* name = nullptr;
};
