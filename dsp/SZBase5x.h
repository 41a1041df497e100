#pragma once

#include "dsp/SZSection.h"

// SZSection<5>'s members are compiled once, in SZBase5x.cpp.
extern template class SZSection<5>;

// Fifth-order analog-prototype section; base of the program equaliser.
class SZBase5x : public SZSection<5>
{
};
