#pragma once

#include "dsp/EllipticLowPass.h"

// Order-14 elliptic low-pass for 2x up- and down-sampling: passband to 0.23 of its rate,
// stopband from 0.25.
class HalfBandElliptic : public EllipticLowPass<14>
{
public:
    HalfBandElliptic();
};
