#include "dsp/TarvelXethKernel.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>

// The chains run on two lanes, left in lane 0 and right in lane 1; a mono block carries its one
// channel in both lanes and keeps lane 0. Each lane operation is the IEEE operation the modules
// perform, in the same order, so every lane equals the modules' own processing bit for bit. The
// lanes take the modules' state at the start of a block and give it back at the end; in between,
// histories stay in place (no shifting) and both channels share one instruction stream.

namespace
{
// Make-up gains: the passive networks lose about 22 dB, the saturator is driven harder when it
// runs at four times the host rate.
constexpr double kTolmGain = 12.475;
constexpr double kBraskGain = 13.1;
constexpr double kSaturationGainLowRate = 4.0;
constexpr double kSaturationGainHighRate = 2.0;

// One fade step shared by every channel of a mixing point; takes the section out of the chain
// when a fade-out ends.
inline double stepFade(SectionFade& fade, bool& active, bool lastSampleOfBlock)
{
    if (fade.advance(lastSampleOfBlock))
        active = false;
    return fade.value;
}

typedef double Pair __attribute__((vector_size(16)));

inline Pair both(double v)
{
    return Pair{v, v};
}

inline double clampToUnit(double y)
{
    if (y > 1.0)
        return 1.0;
    if (y < -1.0)
        return -1.0;
    return y;
}

// minpd and maxpd return their second operand unless the first wins the comparison, which is
// exactly "1 if y > 1, else y" and "-1 if y < -1, else y", NaN and signed zeros included.
inline Pair clampToUnit(Pair y)
{
    const __m128d below = _mm_min_pd(_mm_set1_pd(1.0), static_cast<__m128d>(y));
    return static_cast<Pair>(_mm_max_pd(_mm_set1_pd(-1.0), below));
}

// The waveshaper in two halves, so that a pipeline can put other work between the division and
// the harmonics that wait for it.
template <typename T>
inline T shapeTanh(T s)
{
    const T t = 0.3 * s;
    const T q = t * t;
    // Rational approximation of tanh(t).
    return clampToUnit(t * (((q + 378.0) * q + 17325.0) * q + 135135.0)
                       / (((28.0 * q + 3150.0) * q + 62370.0) * q + 135135.0));
}

template <typename T>
inline T shapeHarmonics(T y)
{
    // Second harmonic at -20 dB, third at -25 dB; the last constant maps 0 to 0.
    const T y2 = y * y;
    const T a = (2.0 * y2 - 1.0) * (-0.1) + y;
    const T c = (4.0 * y2 * y - 3.0 * y) * (-0.05623413251903491) + a + (-0.1);
    return 2.7 * c;
}

template <typename T>
inline T shape(T s)
{
    return shapeHarmonics(shapeTanh(s));
}

// A block of host samples: two channels, or one (then `right` is `left`).
struct Block
{
    float* left;
    float* right;
    int count;
    bool stereo;

    Pair read(int i, float scale) const
    {
        return Pair{static_cast<double>(scale * left[i]), static_cast<double>(scale * right[i])};
    }

    void write(int i, Pair v) const
    {
        left[i] = static_cast<float>(v[0]);
        if (stereo)
            right[i] = static_cast<float>(v[1]);
    }

    bool isLast(int i) const { return i == count - 1; }
};

template <typename T>
const T& rightSource(const T& left, const T& right, bool stereo)
{
    return stereo ? right : left;
}

// Mixes a section's result in while its fade runs: one fade step for both channels.
inline Pair mixSection(SectionFade& fade, bool& active, bool last, Pair dry, Pair wet)
{
    const double weight = stepFade(fade, active, last);
    return dry * (1.0 - weight) + wet * weight;
}

// The equalisers' 2x interpolator (HalfBand_12p_104dB_001, one instance per channel), fed with one
// host sample and the zero that follows it.
struct HalfBandLanes
{
    static constexpr int kSections = HalfBand_12p_104dB_001::sectionsPerChain;
    using AllPass = HalfBand_12p_104dB_001::AllPassSection;

    struct Section
    {
        Pair x1, x2, y1, y2;
    };

    Section chainA[kSections];
    Section chainB[kSections];
    Pair previousB;

    void load(const HalfBand_12p_104dB_001& left, const HalfBand_12p_104dB_001& right)
    {
        for (int i = 0; i < kSections; ++i)
        {
            loadSection(chainA[i], left.chainA[i], right.chainA[i]);
            loadSection(chainB[i], left.chainB[i], right.chainB[i]);
        }
        previousB = Pair{left.previousB, right.previousB};
    }

    void store(HalfBand_12p_104dB_001& left, HalfBand_12p_104dB_001& right, bool stereo) const
    {
        for (int i = 0; i < kSections; ++i)
        {
            storeSection(chainA[i], 0, left.chainA[i]);
            storeSection(chainB[i], 0, left.chainB[i]);
        }
        left.previousB = previousB[0];
        if (!stereo)
            return;
        for (int i = 0; i < kSections; ++i)
        {
            storeSection(chainA[i], 1, right.chainA[i]);
            storeSection(chainB[i], 1, right.chainB[i]);
        }
        right.previousB = previousB[1];
    }

    // Two calls of the filter, with `input` and then 0.0.
    void process(Pair input, Pair& first, Pair& second)
    {
        Pair a0, a1, b0, b1;
        runChain(chainA, HalfBand_12p_104dB_001::coeffsA, input, a0, a1);
        runChain(chainB, HalfBand_12p_104dB_001::coeffsB, input, b0, b1);
        first = (a0 + previousB) * 0.5;
        second = (a1 + b0) * 0.5;
        previousB = b1;
    }

private:
    static void loadSection(Section& s, const AllPass& l, const AllPass& r)
    {
        s.x1 = Pair{l.x1, r.x1};
        s.x2 = Pair{l.x2, r.x2};
        s.y1 = Pair{l.y1, r.y1};
        s.y2 = Pair{l.y2, r.y2};
    }

    static void storeSection(const Section& s, int lane, AllPass& out)
    {
        out.x1 = s.x1[lane];
        out.x2 = s.x2[lane];
        out.y1 = s.y1[lane];
        out.y2 = s.y2[lane];
    }

    // Each all-pass section takes u (the sample) and then v (the zero's path); its two-sample
    // memory makes the second call use the state from before the first.
    static void runChain(Section (&chain)[kSections], const double (&coeffs)[kSections], Pair input,
                         Pair& first, Pair& second)
    {
        Pair u = input;
        Pair v = both(0.0);
#pragma GCC unroll 6
        for (int i = 0; i < kSections; ++i)
        {
            Section& s = chain[i];
            const Pair c = both(coeffs[i]);
            const Pair yu = (u - s.y2) * c + s.x2;
            const Pair yv = (v - s.y1) * c + s.x1;
            s.x2 = u;
            s.x1 = v;
            s.y2 = yu;
            s.y1 = yv;
            u = yu;
            v = yv;
        }
        first = u;
        second = v;
    }
};

// The coefficient glide of the analog-prototype sections, one step per call, on the section's own
// coefficients (both channels share them).
template <typename Section>
bool stepGlide(Section& section)
{
    if (section.rampCounter >= section.rampLength)
        return false;
    ++section.rampCounter;
    for (int i = 1; i < Section::numCoeffs; ++i)
        section.currentCoeffs[i] += section.stepCoeffs[i];
    if (section.rampCounter != section.rampLength)
        return false;
    for (int i = 1; i < Section::numCoeffs; ++i)
        section.currentCoeffs[i] = section.targetCoeffs[i];
    return true;
}

// A mid-range band: the glide with the bands' zero-amount rule, then direct form I of order 2.
template <typename Band>
struct BandLanes
{
    // At or below this amount a band ends its glide as the pure gain b0.
    static constexpr float kPureGainAmount = 1e-7f;

    Band* band = nullptr;
    Pair c[SZBase2x::numCoeffs];
    Pair x1, x2, y1, y2;

    void load(Band& section, bool stereo)
    {
        band = &section;
        takeCoeffs();
        const double* l = section.historyL;
        const double* r = stereo ? section.historyR : section.historyL;
        x1 = Pair{l[0], r[0]};
        x2 = Pair{l[1], r[1]};
        y1 = Pair{l[2], r[2]};
        y2 = Pair{l[3], r[3]};
    }

    void store(bool stereo) const
    {
        storeLane(band->historyL, 0);
        if (stereo)
            storeLane(band->historyR, 1);
    }

    Pair process(Pair x)
    {
        if (band->rampCounter < band->rampLength)
            glide();
        // Feed-forward from the oldest input towards b0 x, feedback from the oldest output.
        Pair feedForward = c[5] * x2;
        feedForward = c[4] * x1 + feedForward;
        Pair y = c[3] * x + feedForward;
        y = y - c[2] * y2;
        y = y - c[1] * y1;
        y = y + -1e-20;
        y = y + 1e-20;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

private:
    void storeLane(double* history, int lane) const
    {
        history[0] = x1[lane];
        history[1] = x2[lane];
        history[2] = y1[lane];
        history[3] = y2[lane];
    }

    void takeCoeffs()
    {
        for (int i = 1; i < SZBase2x::numCoeffs; ++i)
            c[i] = both(band->currentCoeffs[i]);
    }

    void glide()
    {
        if (stepGlide(*band) && band->amount <= kPureGainAmount)
        {
            double* coeffs = band->currentCoeffs;
            coeffs[1] = coeffs[2] = coeffs[4] = coeffs[5] = 0.0;
        }
        takeCoeffs();
    }
};

// The program equaliser network: the glide, then direct form I of order 5.
struct NetworkLanes
{
    static constexpr int N = SZBase5x::order;

    HolvanDrelk* network = nullptr;
    Pair c[SZBase5x::numCoeffs]; // a0..a5, b0..b5; a0 unused
    Pair xs[N];                  // x[n-1]..x[n-5]
    Pair ys[N];                  // y[n-1]..y[n-5]

    void load(HolvanDrelk& section, bool stereo)
    {
        network = &section;
        takeCoeffs();
        const double* l = section.historyL;
        const double* r = stereo ? section.historyR : section.historyL;
        for (int k = 0; k < N; ++k)
        {
            xs[k] = Pair{l[k], r[k]};
            ys[k] = Pair{l[N + k], r[N + k]};
        }
    }

    void store(bool stereo) const
    {
        storeLane(network->historyL, 0);
        if (stereo)
            storeLane(network->historyR, 1);
    }

    Pair process(Pair x)
    {
        if (network->rampCounter < network->rampLength)
        {
            stepGlide(*network);
            takeCoeffs();
        }
        const Pair* a = c;
        const Pair* b = c + N + 1;
        Pair feedForward = b[5] * xs[4];
#pragma GCC unroll 4
        for (int k = 4; k >= 1; --k)
            feedForward = b[k] * xs[k - 1] + feedForward;
        Pair y = b[0] * x + feedForward;
#pragma GCC unroll 5
        for (int k = N; k >= 1; --k)
            y = y - a[k] * ys[k - 1];
        y = y + -1e-20;
        y = y + 1e-20;
#pragma GCC unroll 4
        for (int k = N - 1; k > 0; --k)
        {
            xs[k] = xs[k - 1];
            ys[k] = ys[k - 1];
        }
        xs[0] = x;
        ys[0] = y;
        return y;
    }

private:
    void storeLane(double* history, int lane) const
    {
        for (int k = 0; k < N; ++k)
        {
            history[k] = xs[k][lane];
            history[N + k] = ys[k][lane];
        }
    }

    void takeCoeffs()
    {
        for (int i = 1; i < SZBase5x::numCoeffs; ++i)
            c[i] = both(network->currentCoeffs[i]);
    }
};

// The mid-range section and the program equaliser, each with its make-up gain and its fade.
struct EqualiserLanes
{
    BandLanes<HolvanVurnLow> low;
    BandLanes<HolvanVurnMid> mid;
    BandLanes<HolvanVurnHigh> high;
    NetworkLanes network;

    void load(TarvelXeth& dsp, bool stereo)
    {
        low.load(dsp.tolmLow, stereo);
        mid.load(dsp.tolmMid, stereo);
        high.load(dsp.tolmHigh, stereo);
        network.load(dsp.braskEq, stereo);
    }

    void store(bool stereo) const
    {
        low.store(stereo);
        mid.store(stereo);
        high.store(stereo);
        network.store(stereo);
    }

    // One host-rate value through both sections.
    Pair process(TarvelXeth& dsp, Pair v, bool last)
    {
        if (dsp.tolmActive)
        {
            const Pair wet = tolm(v * kTolmGain);
            v = dsp.tolmFade.running ? mixSection(dsp.tolmFade, dsp.tolmActive, last, v, wet) : wet;
        }
        if (dsp.braskActive)
        {
            const Pair wet = network.process(v * kBraskGain);
            v = dsp.braskFade.running ? mixSection(dsp.braskFade, dsp.braskActive, last, v, wet) : wet;
        }
        return v;
    }

    // A pair of values at twice the host rate. Each band takes one value after the other, so the
    // result is that of each band taking both values in turn. Whether a fade runs is decided once
    // for the pair: a fade that ends on the first value still mixes the second.
    void process(TarvelXeth& dsp, Pair& u0, Pair& u1, bool last)
    {
        if (dsp.tolmActive)
        {
            const Pair w0 = tolm(u0 * kTolmGain);
            const Pair w1 = tolm(u1 * kTolmGain);
            mixPair(dsp.tolmFade, dsp.tolmActive, last, u0, u1, w0, w1);
        }
        if (dsp.braskActive)
        {
            const Pair w0 = network.process(u0 * kBraskGain);
            const Pair w1 = network.process(u1 * kBraskGain);
            mixPair(dsp.braskFade, dsp.braskActive, last, u0, u1, w0, w1);
        }
    }

private:
    Pair tolm(Pair v)
    {
        return high.process(mid.process(low.process(v)));
    }

    static void mixPair(SectionFade& fade, bool& active, bool last, Pair& u0, Pair& u1, Pair w0, Pair w1)
    {
        if (fade.running)
        {
            u0 = mixSection(fade, active, last, u0, w0);
            u1 = mixSection(fade, active, last, u1, w1);
        }
        else
        {
            u0 = w0;
            u1 = w1;
        }
    }
};

// An elliptic oversampling filter (HalfBandElliptic, QuarterBandElliptic) over a run of values.
// Inputs and outputs are appended to two straight arrays whose first N entries hold the history
// from before the run, oldest first, so every past value sits at a fixed distance from the current
// one; rewind() moves the last N values back to the front for the next run. The filter's own ring
// takes the history back at the end of a block.
template <typename Filter, int Capacity>
struct EllipticLanes
{
    static constexpr int N = Filter::order;
    static constexpr int kFolded = N / 2 + 1; // b0..b(N/2); the rest mirror them

    Pair b[kFolded];
    Pair a[N + 1];
    Pair xs[N + Capacity];
    Pair ys[N + Capacity];
    int taken = 0; // values since the last rewind
    static constexpr int kMaxGroup = 4;
    Pair acc[kMaxGroup]; // sums of the group begun and not yet finished

    void load(const Filter& f, bool stereo)
    {
        for (int i = 0; i < kFolded; ++i)
            b[i] = both(f.b[i]);
        for (int i = 1; i <= N; ++i)
            a[i] = both(f.a[i]);
        // The channels' rings may stand at different places (a mono block moves only the left).
        const typename Filter::History& l = f.left;
        const typename Filter::History& r = rightSource(f.left, f.right, stereo);
        for (int k = 0; k < N; ++k)
        {
            xs[N - 1 - k] = Pair{l.x[l.newest + k], r.x[r.newest + k]};
            ys[N - 1 - k] = Pair{l.y[l.newest + k], r.y[r.newest + k]};
        }
        taken = 0;
    }

    void store(Filter& f, bool stereo) const
    {
        storeLane(f.left, 0);
        if (stereo)
            storeLane(f.right, 1);
    }

    void rewind()
    {
        for (int k = 0; k < N; ++k)
        {
            xs[k] = xs[taken + k];
            ys[k] = ys[taken + k];
        }
        taken = 0;
    }

    // Where the next group's inputs go; beginGroup() reads them from there.
    Pair* nextInputs() { return xs + N + taken; }
    const Pair* output(int value) const { return ys + N + value; }

    // A group of M consecutive calls gives the same sums as M calls of the filter's process().
    // When `Stuffed`, the inputs after the first are the interpolator's inserted +0.0 (beginGroup()
    // writes them), and so is every older input that did not start a group of M. Their products are left
    // out: each is a zero, and adding a zero changes a sum at most in the sign of a zero result,
    // which the denormal guard (-1e-20 then +1e-20) turns into +0.0 on every path.
    // The M feedback sums run side by side: every term on an output from before the group is
    // subtracted first, interleaved across the M sums, and only the last j terms of call j wait for
    // the group's own outputs. Each sum keeps its own order, oldest output first. The two halves
    // are separate calls so that other work can go between them.
    //
    // Starts a group: the numerators and every feedback term on outputs from before the group.
    template <int M, bool Stuffed>
    void beginGroup()
    {
        static_assert(M <= N && M <= kMaxGroup, "the history must cover the group");
        Pair* x = xs + N + taken; // x[j - age]: input `age` calls before call j
        const Pair* y = ys + N + taken; // y[j - age]: output `age` calls before call j
        if (Stuffed)
            for (int j = 1; j < M; ++j)
                x[j] = both(0.0);
#pragma GCC unroll 4
        for (int j = 0; j < M; ++j)
            acc[j] = numerator<M, Stuffed>(j, x);
#pragma GCC unroll 16
        for (int i = N; i >= 1; --i)
        {
#pragma GCC unroll 4
            for (int j = 0; j < M; ++j)
                if (i > j)
                    acc[j] = acc[j] - a[i] * y[j - i];
        }
    }

    // Ends the group: the terms on the group's own outputs, the denormal guard, the outputs.
    template <int M>
    void finishGroup()
    {
        Pair* y = ys + N + taken;
        Pair sums[M];
        for (int j = 0; j < M; ++j)
            sums[j] = acc[j];
        Pair out[M];
#pragma GCC unroll 4
        for (int j = 0; j < M; ++j)
        {
            const Pair v = sums[j] + -1e-20;
            out[j] = v + 1e-20;
            // out[j] is the output `later - j` calls before call `later`: its next term in order.
#pragma GCC unroll 4
            for (int later = j + 1; later < M; ++later)
                sums[later] = sums[later] - a[later - j] * out[j];
        }
        for (int j = 0; j < M; ++j)
            y[j] = out[j];
        taken += M;
    }

private:
    // Whether the input `age` calls before call j of a group is an inserted zero.
    template <int M, bool Stuffed>
    static constexpr bool insertedZero(int j, int age)
    {
        return Stuffed && ((j - age) % M + M) % M != 0;
    }

    // The folded numerator of call j, summed from b0 on, without the terms of inserted zeros.
    template <int M, bool Stuffed>
    Pair numerator(int j, const Pair* x) const
    {
        Pair sum = both(0.0);
        bool started = false;
#pragma GCC unroll 8
        for (int k = 0; k < kFolded; ++k)
        {
            const int older = N - k;
            const bool single = older == k; // the middle coefficient of an even order
            const bool skipNewer = insertedZero<M, Stuffed>(j, k);
            const bool skipOlder = single || insertedZero<M, Stuffed>(j, older);
            if (skipNewer && skipOlder)
                continue;
            Pair term;
            if (skipOlder)
                term = b[k] * x[j - k];
            else if (skipNewer)
                term = b[k] * x[j - older];
            else
                term = b[k] * (x[j - k] + x[j - older]);
            sum = started ? sum + term : term;
            started = true;
        }
        return sum;
    }

    void storeLane(typename Filter::History& h, int lane) const
    {
        for (int k = 0; k < N; ++k)
        {
            h.x[k] = h.x[k + N] = xs[taken + N - 1 - k][lane];
            h.y[k] = h.y[k + N] = ys[taken + N - 1 - k][lane];
        }
        h.newest = 0;
    }
};

// One stage (the shelf or its inverse) of an EmphasisFilter.
struct EmphasisStageLanes
{
    Pair b0, b1, b2, a1, a2;
    Pair y1, y2, x1, x2;

    void load(const EmphasisFilter::Stage& s, bool stereo)
    {
        b0 = both(s.b0), b1 = both(s.b1), b2 = both(s.b2), a1 = both(s.a1), a2 = both(s.a2);
        const EmphasisFilter::History& r = rightSource(s.left, s.right, stereo);
        y1 = Pair{s.left.y1, r.y1};
        y2 = Pair{s.left.y2, r.y2};
        x1 = Pair{s.left.x1, r.x1};
        x2 = Pair{s.left.x2, r.x2};
    }

    void store(EmphasisFilter::Stage& s, bool stereo) const
    {
        storeLane(s.left, 0);
        if (stereo)
            storeLane(s.right, 1);
    }

    Pair process(Pair x)
    {
        Pair out = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        out = out + -1e-20;
        out = out + 1e-20;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = out;
        return out;
    }

private:
    void storeLane(EmphasisFilter::History& h, int lane) const
    {
        h.y1 = y1[lane];
        h.y2 = y2[lane];
        h.x1 = x1[lane];
        h.x2 = x2[lane];
    }
};

struct HighPassLanes
{
    Pair g, norm, state;

    void load(const TarvelHighPass& hp, bool stereo)
    {
        g = both(hp.tanCoeff);
        norm = both(hp.normCoeff);
        state = Pair{hp.stateL, stereo ? hp.stateR : hp.stateL};
    }

    void store(TarvelHighPass& hp, bool stereo) const
    {
        hp.stateL = state[0];
        if (stereo)
            hp.stateR = state[1];
    }

    Pair process(Pair x)
    {
        const Pair lowPassed = (g * x + state) * norm;
        state = (x - lowPassed) * g + lowPassed;
        return x - lowPassed;
    }
};

// The saturator at M times the host rate: interpolation, emphasis, waveshaper, de-emphasis,
// high-pass and decimation.
//
// It works on runs of host samples one stage at a time: each stage takes all values of the run
// before the next stage starts. Every filter still sees its values in their order, so the results
// are those of running the chain value by value; but the processor now finds the next values'
// independent work close by, where it can overlap it with each filter's serial recurrence, instead
// of waiting for one value to travel through the whole chain.
template <typename Filter, int M>
struct SaturatorLanes
{
    // Host samples per run. The run's values and both filters' arrays take about 13 kB of stack
    // at four times the host rate; longer runs were not faster.
    static constexpr int kRun = 32;

    EllipticLanes<Filter, kRun * M> up;
    EllipticLanes<Filter, kRun * M> down;
    EmphasisStageLanes lowShelf, highShelf, lowInverse, highInverse;
    HighPassLanes highPass;

    void load(TarvelXeth& dsp, const Filter& upFilter, const Filter& downFilter, bool stereo)
    {
        up.load(upFilter, stereo);
        down.load(downFilter, stereo);
        lowShelf.load(dsp.emphasisLow.forward, stereo);
        highShelf.load(dsp.emphasisHigh.forward, stereo);
        lowInverse.load(dsp.emphasisLow.inverse, stereo);
        highInverse.load(dsp.emphasisHigh.inverse, stereo);
        highPass.load(dsp.highPass, stereo);
    }

    void store(TarvelXeth& dsp, Filter& upFilter, Filter& downFilter, bool stereo) const
    {
        up.store(upFilter, stereo);
        down.store(downFilter, stereo);
        lowShelf.store(dsp.emphasisLow.forward, stereo);
        highShelf.store(dsp.emphasisHigh.forward, stereo);
        lowInverse.store(dsp.emphasisLow.inverse, stereo);
        highInverse.store(dsp.emphasisHigh.inverse, stereo);
        highPass.store(dsp.highPass, stereo);
    }

    // Saturates `count` (at most kRun) driven host samples into `wet`.
    //
    // Software pipeline: in one step the stages work on different values, each stage one value
    // behind the stage before it; the stages work on the values the interpolator made one host
    // sample earlier, and the decimator kDecimatorLag host samples behind the interpolator. The
    // pieces of work in a step are then independent of one another, and every filter's recurrence
    // runs alongside the others. Each stage still takes its values in order, after the stage
    // before it, so the results are those of running the chain value by value.
    void process(const Pair* driven, Pair* wet, int count)
    {
        const int values = count * M;
        const Pair* raised = up.output(0);
        Pair* decimatorInputs = down.nextInputs();
        for (int i = 0; i < count + kDecimatorLag; ++i)
        {
            const bool interpolating = i < count;
            const int decimated = i - kDecimatorLag;
            if (interpolating)
            {
                up.nextInputs()[0] = driven[i];
                up.template beginGroup<M, true>();
            }
            if (decimated >= 0)
                down.template beginGroup<M, false>();
            // Only the first and last steps of a run have stages without a value.
            const int firstStep = M * (i - 1);
            if (i >= kFirstFullSample && i <= count)
                for (int step = firstStep; step < firstStep + M; ++step)
                    pipelineStep<false>(raised, decimatorInputs, step, values);
            else
                for (int step = firstStep; step < firstStep + M; ++step)
                    pipelineStep<true>(raised, decimatorInputs, step, values);
            if (interpolating)
                up.template finishGroup<M>();
            if (decimated >= 0)
            {
                down.template finishGroup<M>();
                // Decimation keeps the first output of each group of M.
                wet[decimated] = *down.output(M * decimated);
            }
        }
        up.rewind();
        down.rewind();
    }

private:
    static constexpr int kStages = 7;
    // Host samples between a sample's interpolation and the first step whose every stage has a
    // value.
    static constexpr int kFirstFullSample = 1 + (kStages - 1 + M - 1) / M;
    // The last stage is done with a host sample's M values in the step after this many host samples.
    static constexpr int kDecimatorLag = 1 + kFirstFullSample;

    Pair v[kRun * M]; // values between the first and the last stage

    template <bool Checked>
    static bool inRange(int index, int values)
    {
        return !Checked || static_cast<unsigned>(index) < static_cast<unsigned>(values);
    }

    template <bool Checked>
    void pipelineStep(const Pair* raised, Pair* decimatorInputs, int step, int values)
    {
        if (inRange<Checked>(step, values))
            v[step] = lowShelf.process(raised[step]);
        if (inRange<Checked>(step - 1, values))
            v[step - 1] = highShelf.process(v[step - 1]);
        if (inRange<Checked>(step - 2, values))
            v[step - 2] = shapeTanh(v[step - 2]);
        if (inRange<Checked>(step - 3, values))
            v[step - 3] = shapeHarmonics(v[step - 3]);
        if (inRange<Checked>(step - 4, values))
            v[step - 4] = lowInverse.process(v[step - 4]);
        if (inRange<Checked>(step - 5, values))
            v[step - 5] = highInverse.process(v[step - 5]);
        if (inRange<Checked>(step - 6, values))
            decimatorInputs[step - 6] = highPass.process(v[step - 6]);
    }
};

inline Pair mixSaturation(TarvelXeth& dsp, Pair dry, Pair wet, bool last)
{
    if (!dsp.saturationFade.running)
        return wet;
    return mixSection(dsp.saturationFade, dsp.saturationActive, last, dry, wet);
}

// The saturator over a block whose equalised host samples `equalised(i)` delivers; the mix with the
// unsaturated value of the same host sample, then the output. Without the saturator the equalised
// samples go straight out. Equalisers, saturator and mix each keep their own order of samples.
template <typename Filter, int M, typename Equalised>
void saturateAndWrite(TarvelXeth& dsp, const Block& block, double drive, Filter& upFilter,
                      Filter& downFilter, Equalised equalised)
{
    if (!dsp.saturationActive)
    {
        for (int i = 0; i < block.count; ++i)
            block.write(i, equalised(i));
        return;
    }
    using Saturator = SaturatorLanes<Filter, M>;
    Saturator saturator;
    saturator.load(dsp, upFilter, downFilter, block.stereo);
    for (int first = 0; first < block.count; first += Saturator::kRun)
    {
        const int count = block.count - first < Saturator::kRun ? block.count - first : Saturator::kRun;
        Pair dry[Saturator::kRun];
        Pair driven[Saturator::kRun];
        Pair wet[Saturator::kRun];
        for (int i = 0; i < count; ++i)
        {
            dry[i] = equalised(first + i);
            driven[i] = drive * dry[i];
        }
        saturator.process(driven, wet, count);
        for (int i = 0; i < count; ++i)
            block.write(first + i, mixSaturation(dsp, dry[i], wet[i], block.isLast(first + i)));
    }
    saturator.store(dsp, upFilter, downFilter, block.stereo);
}

// Below 68100 Hz: equalisers at twice and the saturator at four times the host rate. The
// equaliser path returns to the host rate by keeping the first value of each pair.
void lowRateChain(TarvelXeth& dsp, const Block& block)
{
    HalfBand_12p_104dB_001& rightInterpolator = block.stereo ? dsp.eqUp2xR : dsp.eqUp2xL;
    HalfBandLanes interpolator;
    interpolator.load(dsp.eqUp2xL, rightInterpolator);
    EqualiserLanes equalisers;
    equalisers.load(dsp, block.stereo);
    auto equalised = [&](int i) {
        Pair u0, u1;
        interpolator.process(block.read(i, 2.0f), u0, u1);
        equalisers.process(dsp, u0, u1, block.isLast(i));
        return u0;
    };
    saturateAndWrite<QuarterBandElliptic, 4>(dsp, block, kSaturationGainLowRate, dsp.satUp4x, dsp.satDown4x,
                                             equalised);
    equalisers.store(block.stereo);
    interpolator.store(dsp.eqUp2xL, rightInterpolator, block.stereo);
}

// From 68100 Hz up: equalisers at the host rate, the saturator at twice.
void highRateChain(TarvelXeth& dsp, const Block& block)
{
    EqualiserLanes equalisers;
    equalisers.load(dsp, block.stereo);
    auto equalised = [&](int i) { return equalisers.process(dsp, block.read(i, 1.0f), block.isLast(i)); };
    saturateAndWrite<HalfBandElliptic, 2>(dsp, block, kSaturationGainHighRate, dsp.satUp2x, dsp.satDown2x,
                                          equalised);
    equalisers.store(block.stereo);
}
} // namespace

namespace TarvelXethKernel
{
void runLowRatePath(TarvelXeth& dsp, float* left, float* right, int numSamples, bool stereo)
{
    lowRateChain(dsp, Block{left, right, numSamples, stereo});
}

void runHighRatePath(TarvelXeth& dsp, float* left, float* right, int numSamples, bool stereo)
{
    highRateChain(dsp, Block{left, right, numSamples, stereo});
}

double waveshape(double s)
{
    return shape(s);
}
} // namespace TarvelXethKernel
