#pragma once

#include "dsp/ModuleBase.h"

// A shelving biquad (low or high shelf) that can also apply its exact inverse. The saturator runs
// its signal through the shelf before the waveshaper and through the inverse after it, so without
// the waveshaper in between the two cancel. The shelf is designed in single precision and filtered
// in double precision.
class EmphasisFilter final : public ModuleBase
{
public:
    // Signal history of one channel of one stage: outputs first, then inputs.
    struct History
    {
        double y1 = 0.0;
        double y2 = 0.0;
        double x1 = 0.0;
        double x2 = 0.0;
    };

    // One biquad: its own left (or mono) and right histories and its normalised coefficients.
    // The defaults are the identity.
    struct Stage
    {
        History left;
        History right;
        double b0 = 1.0;
        double b1 = 0.0;
        double b2 = 0.0;
        double a1 = 0.0;
        double a2 = 0.0;
    };

    EmphasisFilter();

    void resetBuffer() override;
    void resetCoeffs() override;
    // Designs the shelf and its inverse from the stored settings; the histories are kept.
    void calc() override;

    void process(double& sample) override { filter(forward, forward.left, sample); }
    void process(double& left, double& right) override
    {
        filter(forward, forward.left, left);
        filter(forward, forward.right, right);
    }

    void deprocess(double& sample) { filter(inverse, inverse.left, sample); }
    void deprocess(double& left, double& right)
    {
        filter(inverse, inverse.left, left);
        filter(inverse, inverse.right, right);
    }

    // false: low shelf, true: high shelf.
    void setShelfType(bool highShelf);
    void setFreq(float newFreq);
    void setQ(float newQ);
    void setGain(float newGainDb);

    bool shelfType = false;
    float freq = 100.0f;
    float q = 0.4f;
    float gain = 12.0f;
    Stage forward;
    Stage inverse;

private:
    static void filter(const Stage& stage, History& history, double& sample)
    {
        const double x = sample;
        double y = stage.b0 * x + stage.b1 * history.x1 + stage.b2 * history.x2
                   - stage.a1 * history.y1 - stage.a2 * history.y2;
        // Two separate additions flush values that would otherwise decay into subnormals.
        y += -1e-20;
        y += 1e-20;
        history.x2 = history.x1;
        history.x1 = x;
        history.y2 = history.y1;
        history.y1 = y;
        sample = y;
    }
};
