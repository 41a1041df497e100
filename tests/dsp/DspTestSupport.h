#pragma once

// Shared by the signal-processing tests.

#include <complex>
#include <random>
#include <vector>

namespace dsptest
{

constexpr double pi = 3.14159265358979323846;

using Complex = std::complex<double>;

// c[0] + c[1] x + ... + c[count-1] x^(count-1), by Horner's rule.
inline Complex polynomialAt(const double* c, int count, Complex x)
{
    Complex sum = c[count - 1];
    for (int i = count - 2; i >= 0; --i)
        sum = c[i] + sum * x;
    return sum;
}

// H(z) at `hz` of a section's designed coefficients of order N: a0..aN (a0, the normaliser, taken
// as 1), then b0..bN.
template <int N>
Complex digitalResponse(const double* coeffs, double hz, double rate)
{
    const Complex zInv = std::polar(1.0, -2.0 * pi * hz / rate);
    double den[N + 1] = {1.0};
    for (int k = 1; k <= N; ++k)
        den[k] = coeffs[k];
    return polynomialAt(coeffs + N + 1, N + 1, zInv) / polynomialAt(den, N + 1, zInv);
}

// Uniform white noise in -1..1, the same sequence for the same seed.
inline std::vector<double> noise(int count, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(count);
    for (double& s : v)
        s = dist(engine);
    return v;
}

} // namespace dsptest
