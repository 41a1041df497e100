#include "dsp/HolvanVurnHigh.h"
#include "dsp/HolvanVurnLow.h"
#include "dsp/HolvanVurnMid.h"

#include "DspTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <math.h>
#include <complex>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace
{
using dsptest::noise;
using dsptest::pi;
using dsptest::Complex;
using dsptest::digitalResponse;

// Keeps the analog prototype each calc() hands to the section machinery.
template <class Band>
class Recording : public Band
{
public:
    void setCoeffs(double* den, double* num) override
    {
        for (int i = 0; i < 3; ++i)
        {
            analogDen[i] = den[i];
            analogNum[i] = num[i];
        }
        Band::setCoeffs(den, num);
    }

    double analogDen[3] = {};
    double analogNum[3] = {};
};

// The three bands behind one interface, so that every case runs on each of them.
struct BandCase
{
    std::string name;
    std::function<SZBase2x*()> make;
    std::function<void(SZBase2x*, float, float)> set; // freq, amount
    std::function<const double*(SZBase2x*)> den;
    std::function<const double*(SZBase2x*)> num;
    std::vector<double> positionHz;
    std::vector<float> columnRates; // a design rate inside each capacitance column
    double dcGain;
    double pureGain; // b0 once the band has become a pure gain, to four places
};

template <class Band>
BandCase makeCase(std::string name, void (Band::*setFreq)(float), void (Band::*setAmount)(float),
                  std::vector<double> positionHz, std::vector<float> rates, double dcGain, double pureGain)
{
    BandCase c;
    c.name = std::move(name);
    c.make = [] { return new Recording<Band>(); };
    c.set = [setFreq, setAmount](SZBase2x* s, float f, float a) {
        auto* band = static_cast<Recording<Band>*>(s);
        (band->*setFreq)(f);
        (band->*setAmount)(a);
    };
    c.den = [](SZBase2x* s) { return static_cast<const double*>(static_cast<Recording<Band>*>(s)->analogDen); };
    c.num = [](SZBase2x* s) { return static_cast<const double*>(static_cast<Recording<Band>*>(s)->analogNum); };
    c.positionHz = std::move(positionHz);
    c.columnRates = std::move(rates);
    c.dcGain = dcGain;
    c.pureGain = pureGain;
    return c;
}

std::vector<BandCase> allBands()
{
    return {
        makeCase<HolvanVurnLow>("low", &HolvanVurnLow::setLowFreq, &HolvanVurnLow::setLowPeak,
                                {200, 300, 500, 700, 1000}, {44100.0f, 48000.0f, 88200.0f}, 1000.0 / 3500.0,
                                0.2857),
        makeCase<HolvanVurnMid>("mid", &HolvanVurnMid::setMidFreq, &HolvanVurnMid::setMidDip,
                                {200, 300, 500, 700, 1000, 1500, 2000, 3000, 4000, 5000, 7000},
                                {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f}, 2500.0 / 3010.0, 0.8306),
        makeCase<HolvanVurnHigh>("high", &HolvanVurnHigh::setHighFreq, &HolvanVurnHigh::setHighPeak,
                                 {1500, 2000, 3000, 4000, 5000}, {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f},
                                 5100.0 / 15100.0, 0.3377),
    };
}

float selectorValue(int position, int count)
{
    return static_cast<float>(position) / static_cast<float>(count - 1);
}

Complex analogResponse(const double* den, const double* num, double omega)
{
    const Complex s(0.0, omega);
    return dsptest::polynomialAt(num, 3, s) / dsptest::polynomialAt(den, 3, s);
}

double dB(double gain)
{
    return 20.0 * std::log10(gain);
}

// Runs a band set up by `setup` at `rate` and returns it designed.
std::unique_ptr<SZBase2x> designed(const BandCase& band, float rate, float freq, float amount)
{
    std::unique_ptr<SZBase2x> s(band.make());
    s->setSampleRate(rate);
    band.set(s.get(), freq, amount);
    s->calc();
    return s;
}
} // namespace

TEST(HolvanVurnBands, SettersClampToUnitRange)
{
    HolvanVurnLow low;
    HolvanVurnMid mid;
    HolvanVurnHigh high;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float in : {-0.5f, 1.5f, 0.3f, nan})
    {
        const float expected = std::isnan(in) ? 1.0f : std::min(1.0f, std::max(0.0f, in));
        low.setLowFreq(in);
        low.setLowPeak(in);
        mid.setMidFreq(in);
        mid.setMidDip(in);
        high.setHighFreq(in);
        high.setHighPeak(in);
        for (float stored : {low.freq, low.amount, mid.freq, mid.amount, high.freq, high.amount})
            EXPECT_EQ(stored, expected) << in;
    }
}

TEST(HolvanVurnBands, DigitalResponseIsTheWarpedAnalogPrototype)
{
    // Without prewarping the bilinear transform maps analog 2 fs tan(w / 2) onto digital w
    // exactly, and frequencies well below Nyquist almost onto themselves.
    for (const BandCase& band : allBands())
        for (float rate : band.columnRates)
            for (size_t position = 0; position < band.positionHz.size(); ++position)
                for (float amount : {0.1f, 0.5f, 1.0f})
                {
                    auto s = designed(band, rate, selectorValue(int(position), int(band.positionHz.size())), amount);
                    const double fs = rate;
                    for (double hz = 20.0; hz < 0.45 * fs; hz *= 1.3)
                    {
                        const Complex digital = digitalResponse<2>(s->targetCoeffs, hz, fs);
                        const double warped = 2.0 * fs * std::tan(pi * hz / fs);
                        const Complex analog = analogResponse(band.den(s.get()), band.num(s.get()), warped);
                        ASSERT_NEAR(std::abs(digital - analog), 0.0, 1e-7 * std::abs(analog))
                            << band.name << " " << rate << " pos " << position << " " << hz << " Hz";
                        if (hz < fs / 80.0)
                        {
                            const Complex unwarped = analogResponse(band.den(s.get()), band.num(s.get()), 2.0 * pi * hz);
                            ASSERT_NEAR(dB(std::abs(digital)), dB(std::abs(unwarped)), 0.1)
                                << band.name << " " << rate << " pos " << position << " " << hz << " Hz";
                        }
                    }
                }
}

TEST(HolvanVurnBands, ExtremeSitsAtTheNamedFrequencyInEveryRateColumn)
{
    // At full amount each band's peak or dip is where the analog resonance 1/sqrt(LC) lands after
    // the transform; the capacitance columns exist to put it on the named frequency at each rate.
    for (const BandCase& band : allBands())
        for (float rate : band.columnRates)
            for (size_t position = 0; position < band.positionHz.size(); ++position)
            {
                auto s = designed(band, rate, selectorValue(int(position), int(band.positionHz.size())), 1.0f);
                const double named = band.positionHz[position];
                double bestHz = 0.0;
                double bestDistance = -1.0;
                for (double hz = 0.7 * named; hz < 1.3 * named; hz *= 1.0002)
                {
                    const double distance =
                        std::fabs(dB(std::abs(digitalResponse<2>(s->targetCoeffs, hz, rate))) - dB(band.dcGain));
                    if (distance > bestDistance)
                    {
                        bestDistance = distance;
                        bestHz = hz;
                    }
                }
                EXPECT_NEAR(bestHz / named, 1.0, 0.02) << band.name << " " << rate << " pos " << position;
            }
}

TEST(HolvanVurnBands, DcGainIsFixedByTheNetwork)
{
    for (const BandCase& band : allBands())
        for (size_t position = 0; position < band.positionHz.size(); ++position)
            for (float amount : {0.0f, 0.3f, 0.5f, 1.0f})
            {
                auto s = designed(band, 88200.0f, selectorValue(int(position), int(band.positionHz.size())), amount);
                // The mid band's pot halves are rounded to single precision, so Ra + Rb can miss 2500.
                EXPECT_NEAR(band.num(s.get())[0] / band.den(s.get())[0], band.dcGain, 1e-7) << band.name;
                EXPECT_NEAR(std::abs(digitalResponse<2>(s->targetCoeffs, 0.0, 88200.0)), band.dcGain, 1e-6)
                    << band.name << " pos " << position << " amount " << amount;
            }
}

TEST(HolvanVurnBands, PrototypeHitsTheQuotedGainsAtResonance)
{
    struct Expect
    {
        int band;
        double gain;
        double hz;
        double aboveDcDb;
    };
    const Expect rows[] = {
        {0, 1.0, 199.0, 10.88},
        {1, 675000.0 / (137700.0 + 675000.0 + 1275000.0), 199.5, -8.19},
        {2, 1.0, 1500.0, 9.43},
    };
    const std::vector<BandCase> bands = allBands();
    for (const Expect& row : rows)
    {
        const BandCase& band = bands[row.band];
        auto s = designed(band, 44100.0f, 0.0f, 1.0f);
        const double* den = band.den(s.get());
        const double* num = band.num(s.get());
        const double w0 = std::sqrt(den[0] / den[2]);
        const double gain = std::abs(analogResponse(den, num, w0));
        EXPECT_NEAR(gain, row.gain, 1e-9) << band.name;
        EXPECT_NEAR(w0 / (2.0 * pi), row.hz, 1.0) << band.name;
        EXPECT_NEAR(dB(gain) - dB(band.dcGain), row.aboveDcDb, 0.005) << band.name;
    }
    EXPECT_NEAR(dB(rows[1].gain), -9.81, 0.005);
}

TEST(HolvanVurnBands, AmountTapers)
{
    const std::vector<BandCase> bands = allBands();
    // Low and high: linear pots, den1 / num1 = (Ra + R) / R.
    for (int index : {0, 2})
    {
        const double R = index == 0 ? 1000.0 : 5100.0;
        const double pot = index == 0 ? 2500.0 : 10000.0;
        for (float amount : {0.25f, 0.5f, 1.0f})
        {
            auto s = designed(bands[index], 44100.0f, 0.5f, amount);
            const double ratio = bands[index].den(s.get())[1] / bands[index].num(s.get())[1];
            EXPECT_NEAR(ratio, ((1.0 - amount) * pot + R) / R, 1e-12) << bands[index].name << " " << amount;
        }
    }
    // The pot halves are single-precision results, widened only afterwards.
    for (float amount : {0.1f, 0.3f, 0.7f})
    {
        const float linearRa = (1.0f - amount) * 2500.0f;
        const float linearRb = amount * 2500.0f;
        auto low = designed(bands[0], 44100.0f, 0.5f, amount);
        EXPECT_EQ(bands[0].den(low.get())[0], double(linearRa) + double(linearRb) + 1000.0) << amount;
        const float highRa = (1.0f - amount) * 10000.0f;
        const float highRb = amount * 10000.0f;
        auto high = designed(bands[2], 44100.0f, 0.5f, amount);
        EXPECT_EQ(bands[2].den(high.get())[0], double(highRa) + double(highRb) + 5100.0) << amount;

        const float t = 1.0f + (powf(81.0f, 1.0f - amount) - 1.0f) * -0.0125f;
        const float logRa = (1.0f - t) * 2500.0f;
        const float logRb = t * 2500.0f;
        auto mid = designed(bands[1], 44100.0f, 0.5f, amount);
        EXPECT_EQ(bands[1].num(mid.get())[0], double(logRa) + double(logRb)) << amount;
    }

    // Mid: logarithmic pot; num1 / (den1 - num1) = (Ra Rb + 270 (Ra + Rb)) / (137700 + 510 Rb).
    const struct
    {
        float amount;
        double Ra, Rb;
    } mid[] = {{0.0f, 2500.0, 0.0}, {0.5f, 250.0, 2250.0}, {1.0f, 0.0, 2500.0}};
    for (const auto& row : mid)
    {
        auto s = designed(bands[1], 44100.0f, 0.5f, row.amount);
        const double* den = bands[1].den(s.get());
        const double* num = bands[1].num(s.get());
        EXPECT_NEAR(num[0], row.Ra + row.Rb, 1e-3);
        const double expected = (row.Ra * row.Rb + 270.0 * (row.Ra + row.Rb)) / (137700.0 + 510.0 * row.Rb);
        EXPECT_NEAR(num[1] / (den[1] - num[1]), expected, 1e-6) << row.amount;
    }
}

TEST(HolvanVurnBands, SelectorThresholdsPickPositions)
{
    const std::vector<BandCase> bands = allBands();
    auto sameNetwork = [](const BandCase& band, float a, float b) {
        auto x = designed(band, 88200.0f, a, 1.0f);
        auto y = designed(band, 88200.0f, b, 1.0f);
        return band.den(x.get())[2] == band.den(y.get())[2];
    };
    for (int index : {0, 2})
    {
        const BandCase& band = bands[index];
        EXPECT_FALSE(sameNetwork(band, 0.0f, 1e-9f)) << band.name;
        EXPECT_TRUE(sameNetwork(band, 0.25f, 1e-9f)) << band.name;
        EXPECT_TRUE(sameNetwork(band, std::nextafter(0.25f, 1.0f), 0.5f)) << band.name;
        EXPECT_TRUE(sameNetwork(band, 1.0f, std::nextafter(0.75f, 1.0f))) << band.name;
        EXPECT_FALSE(sameNetwork(band, 1.0f, 0.75f)) << band.name;
    }
    const BandCase& mid = bands[1];
    EXPECT_TRUE(sameNetwork(mid, 0.3f, 0.25f));
    EXPECT_FALSE(sameNetwork(mid, 0.3f, std::nextafter(0.3f, 1.0f)));
    EXPECT_TRUE(sameNetwork(mid, 1.0f, std::nextafter(0.9f, 1.0f)));
    // Every selector value k / (n - 1) is a different network.
    for (const BandCase& band : bands)
    {
        const int count = int(band.positionHz.size());
        for (int k = 1; k < count; ++k)
            EXPECT_FALSE(sameNetwork(band, selectorValue(k - 1, count), selectorValue(k, count))) << band.name << k;
    }
}

TEST(HolvanVurnBands, RateColumnBoundariesBelongToTheLowerColumn)
{
    const std::vector<BandCase> bands = allBands();
    auto sameNetwork = [](const BandCase& band, float position, float rateA, float rateB) {
        auto x = designed(band, rateA, position, 1.0f);
        auto y = designed(band, rateB, position, 1.0f);
        return band.den(x.get())[2] == band.den(y.get())[2];
    };
    auto above = [](float rate) { return std::nextafter(rate, 1e9f); };
    // Positions whose capacitance differs between the columns compared.
    const BandCase& low = bands[0];
    EXPECT_TRUE(sameNetwork(low, 0.25f, 46000.0f, 44100.0f));
    EXPECT_FALSE(sameNetwork(low, 0.25f, 46000.0f, above(46000.0f)));
    EXPECT_TRUE(sameNetwork(low, 0.25f, 68100.0f, above(46000.0f)));
    EXPECT_FALSE(sameNetwork(low, 0.25f, 68100.0f, above(68100.0f)));
    EXPECT_TRUE(sameNetwork(low, 0.25f, above(68100.0f), 384000.0f));

    for (int index : {1, 2})
    {
        const BandCase& band = bands[index];
        const float position = index == 1 ? 0.9f : 0.75f; // 5 kHz, 4 kHz: five distinct columns but C = D
        EXPECT_TRUE(sameNetwork(band, position, 46000.0f, 44100.0f)) << band.name;
        EXPECT_FALSE(sameNetwork(band, position, 46000.0f, above(46000.0f))) << band.name;
        EXPECT_FALSE(sameNetwork(band, position, 68100.0f, above(68100.0f))) << band.name;
        EXPECT_TRUE(sameNetwork(band, position, above(68100.0f), 92100.0f)) << band.name;
        EXPECT_TRUE(sameNetwork(band, position, 92100.0f, 136200.0f)) << band.name;
        EXPECT_FALSE(sameNetwork(band, position, 136200.0f, above(136200.0f))) << band.name;
        EXPECT_TRUE(sameNetwork(band, position, above(136200.0f), 384000.0f)) << band.name;
    }
}

TEST(HolvanVurnBands, ZeroAmountEndsTheGlideAsPureGain)
{
    for (const BandCase& band : allBands())
    {
        auto s = designed(band, 88200.0f, 0.5f, 0.0f);
        ASSERT_EQ(s->rampLength, 128);
        const double b0 = s->targetCoeffs[3];
        EXPECT_NEAR(b0, band.pureGain, 1e-4) << band.name;
        EXPECT_NEAR(b0, band.dcGain, 1e-12) << band.name;

        const std::vector<double> input = noise(200, 7);
        for (int n = 0; n < 127; ++n)
        {
            double x = input[n];
            s->process(x);
        }
        EXPECT_EQ(s->currentCoeffs[1], s->targetCoeffs[1]) << band.name;
        EXPECT_NE(s->currentCoeffs[1], 0.0) << band.name;
        // The 128th sample already runs on the gain alone.
        for (int n = 127; n < 200; ++n)
        {
            double x = input[n];
            s->process(x);
            ASSERT_EQ(x, b0 * input[n]) << band.name << " sample " << n;
        }
        EXPECT_EQ(s->currentCoeffs[2], 0.0);
        EXPECT_EQ(s->currentCoeffs[4], 0.0);
        EXPECT_EQ(s->currentCoeffs[5], 0.0);

        // The next design glides away from the pure gain, not from the network it replaced.
        band.set(s.get(), 0.5f, 0.5f);
        s->calc();
        for (int i : {1, 2, 4, 5})
            EXPECT_EQ(s->stepCoeffs[i], s->targetCoeffs[i] * (1.0 / 128.0)) << band.name;
    }
}

TEST(HolvanVurnBands, PureGainThresholdIsOneTenMillionth)
{
    for (const BandCase& band : allBands())
    {
        auto atThreshold = designed(band, 44100.0f, 0.5f, 1e-7f);
        auto justAbove = designed(band, 44100.0f, 0.5f, std::nextafter(1e-7f, 1.0f));
        for (int n = 0; n < atThreshold->rampLength; ++n)
        {
            double x = 0.25, y = -0.25;
            atThreshold->process(x, y);
            justAbove->process(x);
        }
        EXPECT_EQ(atThreshold->rampCounter, atThreshold->rampLength);
        EXPECT_EQ(atThreshold->currentCoeffs[1], 0.0) << band.name;
        EXPECT_NE(justAbove->currentCoeffs[1], 0.0) << band.name;
        EXPECT_EQ(justAbove->currentCoeffs[1], justAbove->targetCoeffs[1]) << band.name;
    }
}

TEST(HolvanVurnBands, GlideLengthFollowsTheBandRate)
{
    const struct
    {
        float rate;
        int32_t length;
    } rows[] = {{33999.0f, 32}, {34050.0f, 64}, {67999.0f, 64}, {88200.0f, 128}, {135999.0f, 128}, {136000.0f, 256}};
    for (const BandCase& band : allBands())
        for (const auto& row : rows)
        {
            std::unique_ptr<SZBase2x> s(band.make());
            s->setSampleRate(row.rate);
            EXPECT_EQ(s->sampleRate, row.rate);
            EXPECT_EQ(s->rampLength, row.length) << band.name << " " << row.rate;
            EXPECT_EQ(s->rampLengthDouble, double(row.length));
        }
}

TEST(HolvanVurnBands, OneUlpComponentValuesAreExact)
{
    // The calibrated capacitors one ulp off their decimal names reach the prototype unrounded:
    // den[2] / den[0] is L C for the low and high bands (and the mid band).
    const std::vector<BandCase> bands = allBands();
    const struct
    {
        int band;
        float freq;
        float rate;
        double L;
        double C;
    } rows[] = {
        {0, 0.0f, 44100.0f, 0.52, std::nextafter(1.23e-6, 0.0)},
        {0, 0.25f, 44100.0f, 0.42, std::nextafter(6.7456e-7, 0.0)},
        {1, 0.0f, 88200.0f, 0.42, std::nextafter(1.515e-6, 1.0)},
        {1, 0.3f, 44100.0f, 0.145, std::nextafter(3.564e-7, 1.0)},
        {1, 1.0f, 48000.0f, 0.034, std::nextafter(1.312e-8, 1.0)},
        {2, 0.5f, 44100.0f, 0.625, std::nextafter(4.3914e-9, 0.0)},
        {2, 1.0f, 96000.0f, 0.477, std::nextafter(2.08e-9, 1.0)},
    };
    for (const auto& row : rows)
    {
        // Amount 0 with R folded into den0 exactly: den2 = L C den0 with one rounding each way.
        auto s = designed(bands[row.band], row.rate, row.freq, 0.0f);
        const double* den = bands[row.band].den(s.get());
        const double lc = row.L * row.C;
        EXPECT_EQ(den[2], lc * den[0]) << bands[row.band].name << " " << row.freq;
    }
}
