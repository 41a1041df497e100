#pragma once

// Shared by the tests of the whole signal-processing object.

#include "dsp/TarvelXeth.h"

#include <memory>

namespace tarveltest
{

// Settings away from defaults, so that a section rebuilt from the store is recognisable.
inline const float kSettings[TarvelXeth::kNumParameters] = {
    1.0f, 0.5f, 0.6f, 0.4f, 0.3f, 0.75f, 0.5f,                   // mid-range
    1.0f, 0.33333334f, 0.5f, 0.2f, 0.5f, 0.6f, 0.5f, 0.5f, 0.3f, // program equaliser
    1.0f};                                                       // saturator

struct Switches
{
    bool tolm;
    bool brask;
    bool saturation;
};

// What the processor does when the host switches the instance on.
inline std::unique_ptr<TarvelXeth> prepared(float sampleRate, Switches on)
{
    auto dsp = std::make_unique<TarvelXeth>();
    dsp->setSampleRate(sampleRate);
    dsp->reset();
    for (int i = 0; i < TarvelXeth::kNumParameters; ++i)
        dsp->setParameter(i, kSettings[i]);
    dsp->setTolmOn(on.tolm ? 1.0f : 0.0f);
    dsp->setBraskOn(on.brask ? 1.0f : 0.0f);
    dsp->setSaturationOn(on.saturation ? 1.0f : 0.0f);
    dsp->calcTolmLow();
    dsp->calcTolmMid();
    dsp->calcTolmHigh();
    dsp->calcBrask();
    dsp->calcSaturationOn();
    dsp->calcTolmOn();
    dsp->calcBraskOn();
    return dsp;
}

} // namespace tarveltest
