#pragma once

// An elliptic low-pass of odd or even order N for the oversampling stages: direct form I with the
// symmetric numerator folded into pairs, in double precision. HalfBandElliptic and
// QuarterBandElliptic give it their coefficients; the two-lane kernel reads the fields directly.
template <int Order>
class EllipticLowPass
{
public:
    static constexpr int order = Order;
    // b0..b(N/2); the rest mirror them.
    static constexpr int numeratorHalf = order / 2 + 1;

    // Past inputs x[n-1]..x[n-N] and outputs y[n-1]..y[n-N] of one channel, starting at index
    // `newest`. Each value is written twice, N apart, so the last N values are always contiguous
    // and nothing is shifted per sample.
    struct History
    {
        double x[2 * order] = {};
        double y[2 * order] = {};
        int newest = 0;
    };

    // Clears both channels' histories; the coefficients stay.
    void reset()
    {
        left = History{};
        right = History{};
    }

    // Mono uses the left history, so an instance serves either mono or stereo.
    void process(double& sample) { filter(left, sample); }
    void process(double& leftSample, double& rightSample)
    {
        filter(left, leftSample);
        filter(right, rightSample);
    }

    double b[order + 1];
    double a[order + 1];
    History left;
    History right;

protected:
    // `numerator` holds b0..b(N/2), `denominator` a0..aN.
    EllipticLowPass(const double* numerator, const double* denominator)
    {
        for (int i = 0; i <= order; ++i)
        {
            b[i] = numerator[i <= order / 2 ? i : order - i];
            a[i] = denominator[i];
        }
        reset();
    }

private:
    void filter(History& h, double& sample) const
    {
        const double x0 = sample;
        const double* x = h.x + h.newest; // x[i] is x[n-1-i]
        const double* y = h.y + h.newest; // y[i] is y[n-1-i]
        // b(N-i) equals b(i), so each coefficient takes a pair of inputs, summed from b0 on; for
        // even N the middle coefficient takes a single input.
        double out = b[0] * (x0 + x[order - 1]);
#pragma GCC unroll 8
        for (int i = 1; i <= (order - 1) / 2; ++i)
            out = out + b[i] * (x[i - 1] + x[order - 1 - i]);
        if (order % 2 == 0)
            out = out + b[order / 2] * x[order / 2 - 1];
        // Feedback subtracted from the oldest output towards y[n-1], as in every direct form I here:
        // y[n-1] enters last, which keeps the sample-to-sample dependency short.
        for (int i = order; i >= 1; --i)
            out -= a[i] * y[i - 1];
        // Two separate additions flush values that would otherwise decay into subnormals.
        out += -1e-20;
        out += 1e-20;
        const int slot = h.newest == 0 ? order - 1 : h.newest - 1;
        h.x[slot] = x0;
        h.x[slot + order] = x0;
        h.y[slot] = out;
        h.y[slot + order] = out;
        h.newest = slot;
        sample = out;
    }
};
