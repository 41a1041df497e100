#include "dsp/HalfBand_12p_104dB_001.h"

HalfBand_12p_104dB_001::HalfBand_12p_104dB_001()
{
    reset();
}

void HalfBand_12p_104dB_001::reset()
{
    for (AllPassSection& s : chainA)
        s = AllPassSection{};
    for (AllPassSection& s : chainB)
        s = AllPassSection{};
    previousB = 0.0;
}
