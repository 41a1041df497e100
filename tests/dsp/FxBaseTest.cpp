#include "dsp/FxBase.h"

#include <gtest/gtest.h>

namespace
{
class BareFx : public FxBase
{
public:
    void setParameter(int, float) override {}
    void process(float*, int) override {}
    void process(float*, float*, int) override {}
    void process(double*, int) override {}
    void process(double*, double*, int) override {}
};
} // namespace

TEST(FxBase, ReadsZeroWithoutAParameterStoreAndTheStoreOtherwise)
{
    BareFx fx;
    EXPECT_EQ(fx.getParameter(3), 0.0f);
    EXPECT_EQ(fx.getAllParameters(), nullptr);

    float store[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    fx.params = store;
    EXPECT_EQ(fx.getParameter(3), 0.4f);
    EXPECT_EQ(fx.getAllParameters(), store);
}

TEST(DspBase, StartsAt44100WithoutANameAndStoresTheRate)
{
    BareFx fx;
    EXPECT_EQ(fx.sampleRate, 44100.0f);
    EXPECT_EQ(fx.getName(), nullptr);
    fx.setSampleRate(96000.0f);
    EXPECT_EQ(fx.sampleRate, 96000.0f);
}
