#include "dsp/HalfBandElliptic.h"

namespace
{
// b0..b7; b8..b14 mirror b6..b0 and are never read.
constexpr double numerator[HalfBandElliptic::numeratorHalf] = {0.00228320314424757, 0.0104022564523014, 0.0326651898064719,
                                 0.0738828422128532,  0.134697772104626,  0.202262793238286,
                                 0.256757701856597,   0.277564345169864};
constexpr double denominator[HalfBandElliptic::order + 1] = {
    1.0,
    -2.94838710999826,
    7.91930421745835,
    -13.6366838756675,
    20.4407576900808,
    -23.9703564766095,
    24.3175194406467,
    -20.334639597259,
    14.5427963216161,
    -8.60204020404092,
    4.22090478347242,
    -1.64763973368689,
    0.49164186431698,
    -0.100757458523794,
    0.0110480009951121};
} // namespace

HalfBandElliptic::HalfBandElliptic() : EllipticLowPass(numerator, denominator) {}
