#include "tools/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vsthost
{

namespace
{

constexpr double kTwoPi = 6.283185307179586;
constexpr double kBeatSeconds = 0.25; // 120 beats per minute, eighth notes
constexpr double kLevel = 0.5;

// Decaying plucked tone with a few harmonics.
double pluck(double t, double frequency)
{
    double sum = 0.0;
    for (int h = 1; h <= 6; ++h)
        sum += std::sin(kTwoPi * frequency * h * t) / h;
    return sum * std::exp(-t * 6.0);
}

double chord(double t)
{
    static const double notes[] = {220.0, 261.63, 329.63, 440.0};
    double sum = 0.0;
    for (double f : notes)
        sum += std::sin(kTwoPi * f * t) + 0.3 * std::sin(kTwoPi * 2.0 * f * t);
    return sum;
}

class Noise
{
public:
    double next()
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) / 9007199254740992.0 * 2.0 - 1.0;
    }

private:
    uint64_t state = 0x5eed;
};

} // namespace

std::vector<std::vector<float>> makeDemoSignal(int sampleRate, double seconds)
{
    const auto frames = static_cast<size_t>(std::max(0.0, seconds * sampleRate));
    std::vector<std::vector<float>> out(2, std::vector<float>(frames));
    static const double bassLine[] = {55.0, 55.0, 82.41, 73.42, 55.0, 65.41, 82.41, 98.0};
    Noise noise;

    for (size_t i = 0; i < frames; ++i)
    {
        const double t = static_cast<double>(i) / sampleRate;
        const auto beat = static_cast<size_t>(t / kBeatSeconds);
        const double sinceBeat = t - static_cast<double>(beat) * kBeatSeconds;

        const double bass = 0.35 * pluck(sinceBeat, bassLine[beat % 8]);
        const double pad = 0.06 * chord(t) * std::min(1.0, t * 2.0);
        const double hat = 0.15 * noise.next() * std::exp(-sinceBeat * 60.0);
        const bool left = (beat % 2) == 0;

        out[0][i] = static_cast<float>(kLevel * (bass + pad * 1.1 + (left ? hat : 0.3 * hat)));
        out[1][i] = static_cast<float>(kLevel * (bass + pad * 0.9 + (left ? 0.3 * hat : hat)));
    }
    return out;
}

} // namespace vsthost
