#include "dsp/EmphasisFilter.h"

#include <cmath>

namespace
{
// Numerator (B) and denominator (A) of the shelf before normalisation, in single precision.
struct ShelfTerms
{
    float B0, B1, B2, A0, A1, A2;
};

ShelfTerms designShelf(bool highShelf, float A, float s, float c, float k)
{
    const float ap1 = A + 1.0f;
    const float am1 = A - 1.0f;
    if (highShelf)
        return {A * ((ap1 + am1 * c) + k * s), (-2.0f * A) * (am1 + ap1 * c), A * ((ap1 + am1 * c) - k * s),
                (ap1 - am1 * c) + k * s,        2.0f * (am1 - ap1 * c),       (ap1 - am1 * c) - k * s};
    return {A * ((ap1 - am1 * c) + k * s), (2.0f * A) * (am1 - ap1 * c), A * ((ap1 - am1 * c) - k * s),
            (ap1 + am1 * c) + k * s,        -2.0f * (am1 + ap1 * c),      (ap1 + am1 * c) - k * s};
}

// Coefficients of a stage: the quotients are single precision, stored as doubles.
void setStage(EmphasisFilter::Stage& stage, float b0, float b1, float b2, float a1, float a2, float norm)
{
    stage.b0 = b0 / norm;
    stage.b1 = b1 / norm;
    stage.b2 = b2 / norm;
    stage.a1 = a1 / norm;
    stage.a2 = a2 / norm;
}

void setIdentity(EmphasisFilter::Stage& stage)
{
    stage.b0 = 1.0;
    stage.b1 = stage.b2 = stage.a1 = stage.a2 = 0.0;
}
} // namespace

EmphasisFilter::EmphasisFilter()
{
    name = "Emphasis Filter";
}

void EmphasisFilter::resetBuffer()
{
    forward.left = forward.right = History{};
    inverse.left = inverse.right = History{};
}

void EmphasisFilter::resetCoeffs()
{
    setIdentity(forward);
    setIdentity(inverse);
}

void EmphasisFilter::calc()
{
    const float A = static_cast<float>(std::pow(10.0, static_cast<double>(gain / 40.0f)));
    const float w0 = freq * 6.2831855f / sampleRate;
    const float s = static_cast<float>(std::sin(static_cast<double>(w0)));
    const float c = static_cast<float>(std::cos(static_cast<double>(w0)));
    const float k = static_cast<float>(std::sqrt(static_cast<double>(A)) / static_cast<double>(q));

    const ShelfTerms t = designShelf(shelfType, A, s, c, k);
    setStage(forward, t.B0, t.B1, t.B2, t.A1, t.A2, t.A0);
    // The inverse swaps numerator and denominator, so it is normalised by B0.
    setStage(inverse, t.A0, t.A1, t.A2, t.B1, t.B2, t.B0);
}

void EmphasisFilter::setShelfType(bool highShelf)
{
    shelfType = highShelf;
}

void EmphasisFilter::setFreq(float newFreq)
{
    freq = newFreq;
}

void EmphasisFilter::setQ(float newQ)
{
    q = newQ;
}

void EmphasisFilter::setGain(float newGainDb)
{
    gain = newGainDb;
}
