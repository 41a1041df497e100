#pragma once

// Order-14 elliptic low-pass for 2x up- and down-sampling: passband to 0.23 of its rate,
// stopband from 0.25. Direct form I with the symmetric numerator folded into pairs.
class HalfBandElliptic
{
public:
    static constexpr int order = 14;

    // Past inputs x[n-1]..x[n-N] and outputs y[n-1]..y[n-N] of one channel, starting at index
    // `newest`. Each value is written twice, N apart, so the last N values are always contiguous
    // and nothing is shifted per sample.
    struct History
    {
        double x[2 * order] = {};
        double y[2 * order] = {};
        int newest = 0;
    };

    HalfBandElliptic();

    // Clears both channels' histories; the coefficients stay.
    void reset();

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

private:
    void filter(History& h, double& sample) const
    {
        const double x0 = sample;
        const double* x = h.x + h.newest; // x[i] is x[n-1-i]
        const double* y = h.y + h.newest; // y[i] is y[n-1-i]
        // b(N-i) equals b(i), so each coefficient takes a pair of inputs.
        double out = b[0] * (x0 + x[13]) + b[1] * (x[0] + x[12]) + b[2] * (x[1] + x[11]) + b[3] * (x[2] + x[10])
                     + b[4] * (x[3] + x[9]) + b[5] * (x[4] + x[8]) + b[6] * (x[5] + x[7]) + b[7] * x[6];
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
