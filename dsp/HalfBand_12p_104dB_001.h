#pragma once

// Polyphase half-band low-pass, 0.5 (A(z^2) + z^-1 B(z^2)), with A and B chains of six
// second-order all-pass sections each: -3.01 dB at a quarter of its rate, over 103.9 dB of
// attenuation from 0.255 up. Twelve multiplications per sample.
class HalfBand_12p_104dB_001
{
public:
    static constexpr int sectionsPerChain = 6;

    // One all-pass section (c + z^-2) / (1 + c z^-2): its last two inputs and outputs.
    struct AllPassSection
    {
        double x1 = 0.0;
        double x2 = 0.0;
        double y1 = 0.0;
        double y2 = 0.0;
    };

    static constexpr double coeffsA[sectionsPerChain] = {
        0.036681502163648017, 0.2746317593794541, 0.5610989697879195,
        0.769741833862266,    0.8922608180038789, 0.962094548378084};
    static constexpr double coeffsB[sectionsPerChain] = {
        0.13654762463195771, 0.42313861743656667, 0.6775400499741616,
        0.839889624849638,   0.9315419599631839,  0.9878163707328971};

    HalfBand_12p_104dB_001();

    void reset();

    double process(double input)
    {
        const double a = runChain(chainA, coeffsA, input);
        const double b = runChain(chainB, coeffsB, input);
        // Chain B reaches the output one sample late: that delay interleaves the two phases.
        const double output = (a + previousB) * 0.5;
        previousB = b;
        return output;
    }

    AllPassSection chainA[sectionsPerChain];
    AllPassSection chainB[sectionsPerChain];
    double previousB = 0.0;

private:
    static double runChain(AllPassSection (&chain)[sectionsPerChain],
                           const double (&coeffs)[sectionsPerChain], double input)
    {
        double u = input;
        for (int i = 0; i < sectionsPerChain; ++i)
        {
            AllPassSection& s = chain[i];
            const double y = (u - s.y2) * coeffs[i] + s.x2;
            s.x2 = s.x1;
            s.x1 = u;
            s.y2 = s.y1;
            s.y1 = y;
            u = y;
        }
        return u;
    }
};
