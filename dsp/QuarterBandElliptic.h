#pragma once

#include "dsp/EllipticLowPass.h"

// Order-15 elliptic low-pass for 4x up- and down-sampling: passband to 0.115 of its rate,
// stopband from 0.125. The feedback coefficients exceed 1000 in magnitude, which double precision
// carries.
class QuarterBandElliptic : public EllipticLowPass<15>
{
public:
    QuarterBandElliptic();
};
