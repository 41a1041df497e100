#include "dsp/FxBase.h"

float FxBase::getParameter(int index)
{
    return params != nullptr ? params[index] : 0.0f;
}

float* FxBase::getAllParameters()
{
    return params;
}
