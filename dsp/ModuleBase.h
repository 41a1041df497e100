#pragma once

#include "dsp/DspBase.h"

// A module that filters one sample at a time, in place: mono, or a left/right pair.
class ModuleBase : public DspBase
{
public:
    virtual void process(double& sample) = 0;
    virtual void process(double& left, double& right) = 0;
};
