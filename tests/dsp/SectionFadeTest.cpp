#include "dsp/SectionFade.h"

#include <gtest/gtest.h>

namespace
{
// A fade armed at `from` and started towards the other end.
SectionFade fadeFrom(bool fromOn, int32_t length)
{
    SectionFade fade;
    fade.setLength(length);
    fade.setTarget(fromOn);
    fade.jumpIfFirst();
    fade.setTarget(!fromOn);
    fade.start();
    return fade;
}

// Steps a fade `steps` times in the middle of a block.
void advanceMidBlock(SectionFade& fade, int steps)
{
    for (int i = 0; i < steps; ++i)
        EXPECT_FALSE(fade.advance(false));
}
} // namespace

TEST(SectionFade, FirstStartJumpsToTheTargetOnce)
{
    SectionFade fade;
    fade.setTarget(true);
    EXPECT_TRUE(fade.jumpIfFirst());
    EXPECT_EQ(fade.value, 1.0);
    EXPECT_FALSE(fade.first);

    fade.setTarget(false);
    EXPECT_FALSE(fade.jumpIfFirst());
    EXPECT_EQ(fade.value, 1.0);

    fade.rearm();
    EXPECT_TRUE(fade.first);
    EXPECT_EQ(fade.value, 0.0);
    EXPECT_EQ(fade.target, 0.0);
}

TEST(SectionFade, StartsFromTheCurrentValueWithAFullLength)
{
    SectionFade fade = fadeFrom(false, 8);
    EXPECT_EQ(fade.step, 0.125);
    EXPECT_TRUE(fade.running);
    advanceMidBlock(fade, 3);
    EXPECT_EQ(fade.counter, 3);
    EXPECT_EQ(fade.value, 0.375);

    // Reversing half-way restarts the count and spreads the way back over all 8 steps.
    fade.setTarget(false);
    fade.start();
    EXPECT_EQ(fade.counter, 0);
    EXPECT_EQ(fade.step, -0.375 / 8.0);

    // The step is the remaining way times the reciprocal of the length, not a quotient: the two
    // round differently from here on.
    SectionFade saturator = fadeFrom(false, 1102);
    advanceMidBlock(saturator, 7);
    saturator.setTarget(false);
    saturator.start();
    EXPECT_EQ(saturator.step, (0.0 - saturator.value) * (1.0 / 1102.0));
}

TEST(SectionFade, EndsOnlyOnTheLastSampleOfABlock)
{
    SectionFade in = fadeFrom(false, 4);
    advanceMidBlock(in, 10);
    EXPECT_EQ(in.value, 1.0);
    EXPECT_EQ(in.counter, 4);
    EXPECT_TRUE(in.running);
    EXPECT_FALSE(in.advance(true));
    EXPECT_FALSE(in.running);

    SectionFade out = fadeFrom(true, 4);
    advanceMidBlock(out, 10);
    EXPECT_EQ(out.value, 0.0);
    EXPECT_TRUE(out.running);
    EXPECT_TRUE(out.advance(true)); // the owner takes the section out now
    EXPECT_FALSE(out.running);
}

TEST(SectionFade, EndTestsUseTheirExactThresholds)
{
    // Stand at a value with the counter used up, then take one step at a block's end.
    auto endsAt = [](double value) {
        SectionFade fade;
        fade.setLength(10);
        fade.value = value;
        fade.counter = 10;
        fade.running = true;
        fade.advance(true);
        return !fade.running;
    };
    EXPECT_TRUE(endsAt(1.0 - 1e-16));
    EXPECT_FALSE(endsAt(0.999999999999999));
    EXPECT_FALSE(endsAt(1.0 - 5e-15));
    EXPECT_TRUE(endsAt(1e-15));
    EXPECT_FALSE(endsAt(2e-15));
}

TEST(SectionFade, PassingAnEndTestUsesUpTheCounter)
{
    // The zero-step fade a first start leaves running, at either end.
    for (bool on : {true, false})
    {
        SCOPED_TRACE(on);
        SectionFade fade;
        fade.setLength(50);
        fade.setTarget(on);
        fade.jumpIfFirst();
        fade.start();
        advanceMidBlock(fade, 1);
        EXPECT_EQ(fade.counter, 50);
        EXPECT_EQ(fade.value, on ? 1.0 : 0.0);
    }
}

// The step is accumulated by repeated addition: some lengths land within the end tests after
// `length` steps, others stop just short and keep running at that value.
class FadeLength : public ::testing::TestWithParam<std::pair<int32_t, bool>>
{
};

TEST_P(FadeLength, FullFadesPassOrStopShortOfTheirEndTests)
{
    const int32_t length = GetParam().first;
    const bool reachesEnd = GetParam().second;

    SectionFade in = fadeFrom(false, length);
    advanceMidBlock(in, length - 1);
    in.advance(true);
    EXPECT_EQ(in.running, !reachesEnd);

    SectionFade out = fadeFrom(true, length);
    advanceMidBlock(out, length - 1);
    EXPECT_EQ(out.advance(true), reachesEnd);
    EXPECT_EQ(out.running, !reachesEnd);

    if (!reachesEnd)
    {
        EXPECT_LT(in.value, 1.0);
        EXPECT_GT(in.value, 1.0 - 1e-12);
        EXPECT_GT(out.value, 1e-15);
        EXPECT_LT(out.value, 1e-12);
        // The counter is used up: further steps leave the weight where it stopped.
        const double stuck = out.value;
        advanceMidBlock(out, 100);
        EXPECT_FALSE(out.advance(true));
        EXPECT_EQ(out.value, stuck);
    }
    else
    {
        EXPECT_EQ(in.value, 1.0);
        EXPECT_EQ(out.value, 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(SectionFade, FadeLength,
                         ::testing::Values(std::make_pair(1102, false), std::make_pair(2400, false),
                                           std::make_pair(1200, true), std::make_pair(2205, true),
                                           std::make_pair(4410, true), std::make_pair(4800, true)));

TEST(SectionFade, LengthsBelowOneStepBecomeOneStep)
{
    SectionFade fade;
    fade.setLength(0);
    EXPECT_EQ(fade.length, 1);
    EXPECT_EQ(fade.lengthDouble, 1.0);
    fade.setTarget(true);
    fade.start();
    EXPECT_FALSE(fade.advance(true));
    EXPECT_EQ(fade.value, 1.0);
}
