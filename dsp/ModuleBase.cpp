#include "dsp/ModuleBase.h"

// ModuleBase adds only pure operations; the file keeps one source per module class.
