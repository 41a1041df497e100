#pragma once

#include <cstdint>

// The crossfade that switches one section of the chain in or out. The chain mixes
// unprocessed x (1 - value) + processed x value while the fade runs. A fade can only end on a
// block's last sample, so a section never drops out of the chain in the middle of a block.
class SectionFade
{
public:
    // Sets the fade length in steps; at least one step, so the step size stays finite.
    void setLength(int32_t steps);

    // Back to the armed state: the next start jumps straight to the target.
    void rearm();

    // The switch setter's part: on means the target 1.0, off the target 0.0.
    void setTarget(bool on);

    // First start after rearm(): jumps to the target. Returns true when it did so; the owner then
    // sets its active flag from isTargetOn().
    bool jumpIfFirst();

    bool isTargetOn() const { return target > 0.5; }

    // Starts a fade from the current value towards the target over `length` steps.
    void start();

    // One fade step. Returns true when the fade has just finished at 0 on a block's last sample:
    // the owner then takes its section out of the chain.
    bool advance(bool lastSampleOfBlock)
    {
        if (counter < length)
        {
            ++counter;
            value += step;
        }
        if (value > 0.999999999999999)
        {
            value = 1.0;
            counter = length;
            if (lastSampleOfBlock)
                running = false;
        }
        else if (value <= 1e-15)
        {
            value = 0.0;
            counter = length;
            if (lastSampleOfBlock)
            {
                running = false;
                return true;
            }
        }
        return false;
    }

    int32_t length = 220;
    double lengthDouble = 220.0;
    double value = 0.0;
    double target = 0.0;
    double step = 0.0;
    bool running = false;
    int32_t counter = 0;
    bool first = true;
};
