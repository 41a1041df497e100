#include "dsp/QuarterBandElliptic.h"

namespace
{
// b0..b7; b8..b15 mirror b7..b0 and are never read.
constexpr double numerator[QuarterBandElliptic::numeratorHalf] = {0.000133886445546638, -0.00072940493374975, 0.00224187933728392,
                                 -0.00458803975531573, 0.00693206172610851,  -0.00777362071039186,
                                 0.00621672801454279,  -0.00235411042444469};
constexpr double denominator[QuarterBandElliptic::order + 1] = {
    1.0,
    -10.6297283117038,
    54.6905709145593,
    -179.9399941626,
    422.216453784336,
    -746.882396357365,
    1027.39306218948,
    -1117.76106976387,
    968.860993674569,
    -668.628015289808,
    364.210128249404,
    -153.7310020977,
    48.6658415218735,
    -10.9079058361976,
    1.54814153205503,
    -0.104921287635143};
} // namespace

QuarterBandElliptic::QuarterBandElliptic() : EllipticLowPass(numerator, denominator) {}
