#include "dsp/SectionFade.h"

void SectionFade::setLength(int32_t steps)
{
    length = steps < 1 ? 1 : steps;
    lengthDouble = static_cast<double>(length);
}

void SectionFade::rearm()
{
    first = true;
    counter = 0;
    value = 0.0;
    step = 0.0;
}

void SectionFade::setTarget(bool on)
{
    target = on ? 1.0 : 0.0;
}

bool SectionFade::jumpIfFirst()
{
    if (!first)
        return false;
    value = target;
    first = false;
    return true;
}

void SectionFade::start()
{
    step = (target - value) * (1.0 / lengthDouble);
    counter = 0;
    running = true;
}
