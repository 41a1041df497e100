#pragma once

#include <algorithm>
#include <cstdint>

// Per-sample linear glide of a gain or polarity factor. Idle once `counter` has reached `length`.
struct SampleRamp
{
    float target = 0.0f;
    float current = 0.0f;
    float step = 0.0f;
    int32_t length = 0;
    int32_t counter = 0;

    // Starts a glide when the wanted value is new; a NaN on either side counts as new.
    void retarget(float wanted)
    {
        if (!(wanted == target))
        {
            step = (wanted - current) * (1.0f / static_cast<float>(length));
            counter = 0;
            target = wanted;
        }
    }

    void advance()
    {
        if (counter < length)
        {
            ++counter;
            current += step;
        }
    }

    // As advance(), kept within lowest..highest: a polarity factor glides through 0 and never
    // overshoots its end.
    void advanceWithin(float lowest, float highest)
    {
        if (counter < length)
        {
            ++counter;
            current = std::max(lowest, current + step);
            if (current > highest)
                current = highest;
        }
    }

    // Stands idle at the value, with nothing left to glide.
    void settle(float value)
    {
        step = 0.0f;
        counter = length;
        target = value;
        current = value;
    }
};

// Per-block linear glide of an equaliser amount, over a fixed number of blocks.
struct BlockRamp
{
    float target = 0.0f;
    float step = 0.0f;
    float current = 0.0f;
    int32_t counter = 0;

    void retarget(float wanted, int32_t blocks)
    {
        if (!(wanted == target))
        {
            target = wanted;
            step = (wanted - current) / static_cast<float>(blocks);
            counter = 0;
        }
    }

    // True when the block moved the glide: the caller hands `current` over.
    bool advance(int32_t blocks)
    {
        if (counter >= blocks)
            return false;
        ++counter;
        current += step;
        return true;
    }

    // Restarts at the value with a zero step, so the next blocks hand it over again unchanged.
    void restartAt(float value)
    {
        target = value;
        current = value;
        step = 0.0f;
        counter = 0;
    }

    // A glide that has ended hands its value over again, unchanged, for the next blocks; one under
    // way goes on.
    void resendIfIdle(int32_t blocks)
    {
        if (counter < blocks)
            return;
        step = 0.0f;
        counter = 0;
    }
};
