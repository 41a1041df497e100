#include "dsp/SZBase.h"

#include <algorithm>
#include <cmath>

SZBase::SZBase()
{
    sampleRate = 44100.0f;
}

double SZBase::s_to_z(const double* c, int N, int k, double fs) const
{
    if (N < 0 || k < 0 || k > N)
        return 0.0;

    static const double sign[2] = {1.0, -1.0};
    const double twoFs = 2.0 * fs;
    double result = 0.0;
    for (int i = 0; i <= N; ++i)
    {
        // (-1)^j (i choose j) (N-i choose k-j): the z^-k term of (1 - z^-1)^i (1 + z^-1)^(N-i).
        double inner = 0.0;
        for (int j = std::max(0, i + k - N); j <= std::min(i, k); ++j)
            inner += sign[j & 1] * f(i) * f(N - i) / (f(j) * f(i - j) * f(k - j) * f(N - i - k + j));
        result += std::pow(twoFs, i) * c[i] * inner;
    }
    return result;
}

double SZBase::f(int n) const
{
    if (n <= 0)
        return 1.0;
    return f(n - 1) * n;
}

int32_t SZBase::rampLengthForRate(float rate, int32_t shortest)
{
    if (rate < 34050.0f)
        return shortest;
    if (rate < 68000.0f)
        return shortest * 2;
    if (rate < 136000.0f)
        return shortest * 4;
    return shortest * 8;
}

float SZBase::clampToUnit(float value)
{
    const float atMostOne = std::min(1.0f, value);
    return std::max(0.0f, atMostOne);
}
