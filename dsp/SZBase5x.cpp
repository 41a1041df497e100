#include "dsp/SZBase5x.h"

template class SZSection<5>;
