#include "dsp/TarvelXeth.h"

#include "TarvelXethTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
using tarveltest::kSettings;
using tarveltest::prepared;

std::vector<float> tone(int count, float amplitude = 0.5f)
{
    std::vector<float> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<size_t>(i)] = amplitude * std::sin(0.031f * static_cast<float>(i))
                                          + 0.2f * std::sin(0.77f * static_cast<float>(i));
    return samples;
}

void processMono(TarvelXeth& dsp, int count)
{
    std::vector<float> samples = tone(count);
    dsp.process(samples.data(), count);
}

template <size_t N>
bool allZero(const double (&values)[N])
{
    return std::all_of(std::begin(values), std::end(values), [](double v) { return v == 0.0; });
}
} // namespace

TEST(TarvelXeth, ConstructsOnTheLowRatePathWithShortArmedFades)
{
    TarvelXeth dsp;
    EXPECT_STREQ(dsp.getName(), "Tarvel Holvan");
    EXPECT_EQ(dsp.sampleRate, 44100.0f);
    EXPECT_TRUE(dsp.lowRatePath);
    for (const SectionFade* fade : {&dsp.tolmFade, &dsp.braskFade, &dsp.saturationFade})
    {
        EXPECT_EQ(fade->length, 220);
        EXPECT_EQ(fade->lengthDouble, 220.0);
        EXPECT_TRUE(fade->first);
    }
    for (int i = 0; i < TarvelXeth::kNumParameters; ++i)
        EXPECT_EQ(dsp.getParameter(i), 0.0f);
    EXPECT_FALSE(dsp.tolmActive || dsp.braskActive || dsp.saturationActive);
}

TEST(TarvelXeth, SampleRateChoosesThePathModuleRatesAndFadeLengths)
{
    struct Row
    {
        float rate;
        bool lowRate;
        int32_t equaliserSteps;
        int32_t saturatorSteps;
    };
    for (const Row& row : {Row{44100.0f, true, 2205, 1102}, Row{48000.0f, true, 2400, 1200},
                           Row{88200.0f, false, 2205, 2205}, Row{96000.0f, false, 2400, 2400}})
    {
        SCOPED_TRACE(row.rate);
        TarvelXeth dsp;
        dsp.setSampleRate(row.rate);
        EXPECT_EQ(dsp.sampleRate, row.rate);
        EXPECT_EQ(dsp.lowRatePath, row.lowRate);
        const float equaliserRate = row.lowRate ? 2.0f * row.rate : row.rate;
        const float saturatorRate = row.lowRate ? 4.0f * row.rate : 2.0f * row.rate;
        EXPECT_EQ(dsp.tolmLow.sampleRate, equaliserRate);
        EXPECT_EQ(dsp.tolmMid.sampleRate, equaliserRate);
        EXPECT_EQ(dsp.tolmHigh.sampleRate, equaliserRate);
        EXPECT_EQ(dsp.braskEq.sampleRate, equaliserRate);
        EXPECT_EQ(dsp.highPass.sampleRate, saturatorRate);
        EXPECT_EQ(dsp.emphasisLow.sampleRate, saturatorRate);
        EXPECT_EQ(dsp.emphasisHigh.sampleRate, saturatorRate);
        EXPECT_EQ(dsp.highPass.frequency, 10.0f);
        EXPECT_EQ(dsp.tolmFade.length, row.equaliserSteps);
        EXPECT_EQ(dsp.braskFade.length, row.equaliserSteps);
        EXPECT_EQ(dsp.saturationFade.length, row.saturatorSteps);
        EXPECT_EQ(dsp.saturationFade.lengthDouble, static_cast<double>(row.saturatorSteps));
    }
}

TEST(TarvelXeth, The68100BoundaryBelongsToTheHighRatePath)
{
    TarvelXeth dsp;
    dsp.setSampleRate(68100.0f);
    EXPECT_FALSE(dsp.lowRatePath);
    EXPECT_EQ(dsp.braskEq.sampleRate, 68100.0f);
    dsp.setSampleRate(68099.0f);
    EXPECT_TRUE(dsp.lowRatePath);
    EXPECT_EQ(dsp.braskEq.sampleRate, 136198.0f);
}

TEST(TarvelXeth, EmphasisShelvesAreDesignedWhenTheRateIsSet)
{
    TarvelXeth dsp;
    dsp.setSampleRate(48000.0f);
    EXPECT_FALSE(dsp.emphasisLow.shelfType);
    EXPECT_EQ(dsp.emphasisLow.freq, 100.0f);
    EXPECT_EQ(dsp.emphasisLow.gain, 3.0f);
    EXPECT_TRUE(dsp.emphasisHigh.shelfType);
    EXPECT_EQ(dsp.emphasisHigh.freq, 10000.0f);
    EXPECT_EQ(dsp.emphasisHigh.q, 0.4f);
    EXPECT_EQ(dsp.emphasisHigh.gain, 6.0f);
    // Designed at the new saturator rate (4 x 48000), not left as constructed at 44100.
    auto designedAt = [](float rate, bool highShelf, float freq, float gain) {
        EmphasisFilter shelf;
        shelf.setSampleRate(rate);
        shelf.setShelfType(highShelf);
        shelf.setFreq(freq);
        shelf.setQ(0.4f);
        shelf.setGain(gain);
        shelf.calc();
        return shelf;
    };
    const EmphasisFilter low = designedAt(192000.0f, false, 100.0f, 3.0f);
    const EmphasisFilter high = designedAt(192000.0f, true, 10000.0f, 6.0f);
    for (auto [actual, expected] : {std::make_pair(&dsp.emphasisLow, &low), std::make_pair(&dsp.emphasisHigh, &high)})
    {
        EXPECT_EQ(actual->forward.b0, expected->forward.b0);
        EXPECT_EQ(actual->forward.a1, expected->forward.a1);
        EXPECT_EQ(actual->inverse.b2, expected->inverse.b2);
        EXPECT_EQ(actual->inverse.a2, expected->inverse.a2);
    }
    EXPECT_NE(low.forward.b0, 1.0);
    EXPECT_EQ(dsp.highPass.tanCoeff, std::tan(10.0 * 3.14159265358979323846 / 192000.0));
}

TEST(TarvelXeth, NonsenseSampleRatesStillGiveFadesOfAtLeastOneStep)
{
    TarvelXeth dsp;
    dsp.setSampleRate(10.0f);
    EXPECT_EQ(dsp.saturationFade.length, 1);
    dsp.setSampleRate(std::nanf(""));
    EXPECT_GE(dsp.tolmFade.length, 1);
    EXPECT_GE(dsp.saturationFade.length, 1);
}

TEST(TarvelXeth, SetParameterDoesWhatTheNamedSetterDoes)
{
    using Setter = void (TarvelXeth::*)(float);
    const Setter named[TarvelXeth::kNumParameters] = {
        &TarvelXeth::setTolmOn, &TarvelXeth::setTolmLowFreq, &TarvelXeth::setTolmLowPeak,
        &TarvelXeth::setTolmMidFreq, &TarvelXeth::setTolmMidDip, &TarvelXeth::setTolmHighFreq,
        &TarvelXeth::setTolmHighPeak, &TarvelXeth::setBraskOn, &TarvelXeth::setBraskLowFreq,
        &TarvelXeth::setBraskLowBoost, &TarvelXeth::setBraskLowAtten, &TarvelXeth::setBraskHighBoostFreq,
        &TarvelXeth::setBraskHighBoost, &TarvelXeth::setBraskHighBoostBandwidth,
        &TarvelXeth::setBraskHighAttenFreq, &TarvelXeth::setBraskHighAtten, &TarvelXeth::setSaturationOn};
    TarvelXeth byIndex;
    TarvelXeth byName;
    for (int i = 0; i < TarvelXeth::kNumParameters; ++i)
    {
        byIndex.setParameter(i, kSettings[i]);
        (byName.*named[i])(kSettings[i]);
    }

    for (TarvelXeth* dsp : {&byIndex, &byName})
    {
        for (int i = 0; i < TarvelXeth::kNumParameters; ++i)
            EXPECT_EQ(dsp->getParameter(i), kSettings[i]) << i;
        EXPECT_EQ(dsp->tolmLow.freq, 0.5f);
        EXPECT_EQ(dsp->tolmLow.amount, 0.6f);
        EXPECT_EQ(dsp->tolmMid.freq, 0.4f);
        EXPECT_EQ(dsp->tolmMid.amount, 0.3f);
        EXPECT_EQ(dsp->tolmHigh.freq, 0.75f);
        EXPECT_EQ(dsp->tolmHigh.amount, 0.5f);
        EXPECT_EQ(dsp->braskEq.lowFreq, 0.33333334f);
        EXPECT_EQ(dsp->braskEq.lowBoost, 0.5f);
        EXPECT_EQ(dsp->braskEq.lowAtten, 0.2f);
        EXPECT_EQ(dsp->braskEq.highBoostFreq, 0.5f);
        EXPECT_EQ(dsp->braskEq.highBoost, 0.6f);
        EXPECT_EQ(dsp->braskEq.highBoostBandwidth, 0.5f);
        EXPECT_EQ(dsp->braskEq.highAttenFreq, 0.5f);
        EXPECT_EQ(dsp->braskEq.highAtten, 0.3f);
        EXPECT_TRUE(dsp->tolmActive && dsp->braskActive && dsp->saturationActive);
        EXPECT_EQ(dsp->saturationFade.target, 1.0);
    }
}

TEST(TarvelXeth, ParameterIndicesOutsideTheStoreChangeNothing)
{
    auto dsp = prepared(44100.0f, {true, false, true});
    const std::vector<float> before(dsp->params, dsp->params + TarvelXeth::kNumParameters);
    const float guard = dsp->params[TarvelXeth::kNumParameters - 1];
    for (int index : {17, -1, 100, -17})
        dsp->setParameter(index, 0.25f);
    EXPECT_EQ(std::vector<float>(dsp->params, dsp->params + TarvelXeth::kNumParameters), before);
    EXPECT_EQ(dsp->params[TarvelXeth::kNumParameters - 1], guard);
    EXPECT_EQ(dsp->tolmLow.freq, 0.5f);
    EXPECT_EQ(dsp->braskEq.highAtten, 0.3f);
    EXPECT_TRUE(dsp->tolmActive);
    EXPECT_FALSE(dsp->braskActive);
    EXPECT_EQ(dsp->braskFade.target, 0.0);
    EXPECT_EQ(dsp->saturationFade.target, 1.0);
}

TEST(TarvelXeth, SwitchingOnActivatesAtOnceAndSwitchingOffOnlySetsTheTarget)
{
    TarvelXeth dsp;
    dsp.setBraskOn(0.001f);
    EXPECT_TRUE(dsp.braskActive);
    EXPECT_EQ(dsp.braskFade.target, 1.0);
    EXPECT_FALSE(dsp.braskFade.running); // the setter starts nothing

    dsp.setBraskOn(0.0f);
    EXPECT_TRUE(dsp.braskActive);
    EXPECT_EQ(dsp.braskFade.target, 0.0);
    dsp.setBraskOn(-1.0f);
    EXPECT_EQ(dsp.braskFade.target, 0.0);
}

TEST(TarvelXeth, AfterResetEachSectionStartsAtItsTargetWithoutAFade)
{
    auto dsp = prepared(48000.0f, {true, false, true});
    EXPECT_TRUE(dsp->tolmActive);
    EXPECT_EQ(dsp->tolmFade.value, 1.0);
    EXPECT_EQ(dsp->tolmFade.step, 0.0);
    EXPECT_TRUE(dsp->tolmFade.running);
    EXPECT_FALSE(dsp->braskActive);
    EXPECT_EQ(dsp->braskFade.value, 0.0);
    EXPECT_TRUE(dsp->saturationActive);

    // The zero-step fades end at the first block's last sample; the off section stays out.
    processMono(*dsp, 64);
    EXPECT_FALSE(dsp->tolmFade.running);
    EXPECT_FALSE(dsp->braskActive);
    EXPECT_EQ(dsp->braskFade.value, 0.0);
    EXPECT_FALSE(dsp->saturationFade.running);
    EXPECT_EQ(dsp->saturationFade.value, 1.0);
}

TEST(TarvelXeth, ResetRearmsTheFadesButKeepsTargetsAndRunning)
{
    auto dsp = prepared(44100.0f, {true, true, true});
    processMono(*dsp, 16);
    dsp->setTolmOn(0.0f);
    dsp->calcTolmOn();
    processMono(*dsp, 16);
    ASSERT_TRUE(dsp->tolmFade.running);

    dsp->reset();
    EXPECT_TRUE(dsp->tolmFade.first);
    EXPECT_EQ(dsp->tolmFade.counter, 0);
    EXPECT_EQ(dsp->tolmFade.value, 0.0);
    EXPECT_EQ(dsp->tolmFade.step, 0.0);
    EXPECT_EQ(dsp->tolmFade.target, 0.0);
    EXPECT_TRUE(dsp->tolmFade.running);
    EXPECT_TRUE(dsp->saturationFade.first);
    EXPECT_EQ(dsp->saturationFade.target, 1.0);
    // Coefficients back to the silent start state, histories clear.
    EXPECT_TRUE(dsp->tolmLow.firstCalc);
    EXPECT_EQ(dsp->braskEq.currentCoeffs[6], 0.0);
    EXPECT_TRUE(allZero(dsp->satUp4x.left.y));
    EXPECT_NEAR(dsp->highPass.tanCoeff, std::tan(M_PI * 10.0 / 176400.0), 1e-18);
}

TEST(TarvelXeth, EqualiserFadesStepTwicePerHostSampleOnlyOnTheLowRatePath)
{
    for (float rate : {44100.0f, 96000.0f})
    {
        SCOPED_TRACE(rate);
        auto dsp = prepared(rate, {true, true, true});
        processMono(*dsp, 8);
        dsp->setTolmOn(0.0f);
        dsp->calcTolmOn();
        dsp->setBraskOn(0.0f);
        dsp->calcBraskOn();
        dsp->setSaturationOn(0.0f);
        dsp->calcSaturationOn();
        processMono(*dsp, 100);
        const int equaliserSteps = rate < 68100.0f ? 200 : 100;
        EXPECT_EQ(dsp->tolmFade.counter, equaliserSteps);
        EXPECT_EQ(dsp->braskFade.counter, equaliserSteps);
        EXPECT_EQ(dsp->saturationFade.counter, 100);
        EXPECT_NEAR(dsp->tolmFade.value, 1.0 - equaliserSteps / dsp->tolmFade.lengthDouble, 1e-12);
    }
}

TEST(TarvelXeth, AFadeOutTakesTheSectionOutOnlyAtTheEndOfABlock)
{
    auto dsp = prepared(44100.0f, {true, true, false});
    processMono(*dsp, 32);
    dsp->setTolmOn(0.0f);
    dsp->calcTolmOn();
    EXPECT_TRUE(dsp->tolmActive);

    // 2205 steps at two per host sample: the weight reaches 0 within 1103 samples.
    processMono(*dsp, 1000);
    EXPECT_TRUE(dsp->tolmActive);
    EXPECT_GT(dsp->tolmFade.value, 0.0);
    processMono(*dsp, 1000);
    EXPECT_FALSE(dsp->tolmActive);
    EXPECT_FALSE(dsp->tolmFade.running);
    EXPECT_EQ(dsp->tolmFade.value, 0.0);
}

TEST(TarvelXeth, FadesThatStopShortKeepTheSectionRunningAtATinyWeight)
{
    // The 1102-step saturator fade at 44100 Hz and the 2400-step equaliser fades at 48000 Hz.
    auto at44 = prepared(44100.0f, {true, false, true});
    processMono(*at44, 32);
    at44->setSaturationOn(0.0f);
    at44->calcSaturationOn();
    at44->setTolmOn(0.0f);
    at44->calcTolmOn();
    processMono(*at44, 3000);
    EXPECT_TRUE(at44->saturationActive);
    EXPECT_TRUE(at44->saturationFade.running);
    EXPECT_GT(at44->saturationFade.value, 1e-15);
    EXPECT_LT(at44->saturationFade.value, 1e-13);
    EXPECT_FALSE(at44->tolmActive); // 2205 steps pass their test

    auto at48 = prepared(48000.0f, {false, true, false});
    processMono(*at48, 32);
    at48->setBraskOn(0.0f);
    at48->calcBraskOn();
    processMono(*at48, 3000);
    EXPECT_TRUE(at48->braskActive);
    EXPECT_TRUE(at48->braskFade.running);
    EXPECT_EQ(at48->braskFade.counter, 2400);

    // The next start moves on from the stuck value.
    at48->calcBraskOn();
    EXPECT_EQ(at48->braskFade.counter, 0);
    EXPECT_LT(at48->braskFade.step, 0.0);
}

TEST(TarvelXeth, BlocksOfOneSampleEndAFadeOnTheStepThatPassesItsTest)
{
    auto dsp = prepared(96000.0f, {false, false, true});
    float sample = 0.25f;
    dsp->process(&sample, 1);
    dsp->setSaturationOn(0.0f);
    dsp->calcSaturationOn();
    const int32_t length = dsp->saturationFade.length;
    int steps = 0;
    while (dsp->saturationActive && steps < 10 * length)
    {
        sample = 0.25f;
        dsp->process(&sample, 1);
        ++steps;
    }
    // 2400 steps stop short of 1e-15: the fade-out never ends.
    EXPECT_EQ(steps, 10 * length);

    auto eq = prepared(88200.0f, {true, false, false});
    eq->process(&sample, 1);
    eq->setTolmOn(0.0f);
    eq->calcTolmOn();
    steps = 0;
    while (eq->tolmActive && steps < 10000)
    {
        sample = 0.25f;
        eq->process(&sample, 1);
        ++steps;
    }
    EXPECT_EQ(steps, eq->tolmFade.length); // 2205 steps pass the test on the last one
}

TEST(TarvelXeth, SwitchingASectionOnRebuildsItFromTheStoreWithEmptyHistoryEveryTime)
{
    auto dsp = prepared(44100.0f, {true, true, true});
    processMono(*dsp, 300);
    ASSERT_FALSE(allZero(dsp->tolmLow.historyL));
    ASSERT_FALSE(allZero(dsp->braskEq.historyL));
    ASSERT_NE(dsp->highPass.stateL, 0.0);

    // Store changes without a recalculation; switching on picks them up.
    dsp->setTolmLowPeak(0.9f);
    dsp->tolmLow.setLowPeak(0.1f);
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        dsp->setTolmOn(1.0f);
        dsp->calcTolmOn();
        dsp->setBraskOn(1.0f);
        dsp->calcBraskOn();
        dsp->setSaturationOn(1.0f);
        dsp->calcSaturationOn();

        EXPECT_TRUE(allZero(dsp->tolmLow.historyL));
        EXPECT_TRUE(allZero(dsp->tolmHigh.historyR));
        EXPECT_TRUE(allZero(dsp->braskEq.historyL));
        EXPECT_EQ(dsp->tolmLow.amount, 0.9f);
        EXPECT_FALSE(dsp->tolmLow.firstCalc);
        EXPECT_EQ(dsp->tolmLow.currentCoeffs[3], dsp->tolmLow.targetCoeffs[3]); // no glide
        EXPECT_EQ(dsp->braskEq.currentCoeffs[6], dsp->braskEq.targetCoeffs[6]);
        EXPECT_EQ(dsp->highPass.stateL, 0.0);
        EXPECT_EQ(dsp->emphasisLow.forward.left.y1, 0.0);
        EXPECT_EQ(dsp->emphasisHigh.inverse.left.x1, 0.0);
        // The oversampling filters also carry the dry signal and keep their state.
        EXPECT_FALSE(allZero(dsp->satUp4x.left.x));
        EXPECT_EQ(dsp->tolmFade.step, 0.0);
        EXPECT_TRUE(dsp->tolmFade.running);

        processMono(*dsp, 300);
        EXPECT_FALSE(allZero(dsp->tolmLow.historyL));
        EXPECT_NE(dsp->highPass.stateL, 0.0);
    }
}

TEST(TarvelXeth, SwitchingASectionOffKeepsItsCoefficientsAndHistoryForTheFadeOut)
{
    auto dsp = prepared(44100.0f, {true, true, true});
    processMono(*dsp, 300);
    dsp->setTolmLowPeak(0.9f); // stored without a recalculation: a fade-out must not design it
    const TarvelXeth& state = *dsp;
    auto copy = [](const double* values, int n) { return std::vector<double>(values, values + n); };
    const std::vector<double> lowHistory = copy(state.tolmLow.historyL, 4);
    const std::vector<double> lowCoeffs = copy(state.tolmLow.currentCoeffs, 6);
    const std::vector<double> networkHistory = copy(state.braskEq.historyL, 10);
    const std::vector<double> networkCoeffs = copy(state.braskEq.currentCoeffs, 12);
    const double highPassState = state.highPass.stateL;
    const double shelfHistory = state.emphasisLow.forward.left.y1;
    const double inverseHistory = state.emphasisHigh.inverse.left.x1;

    dsp->setTolmOn(0.0f);
    dsp->calcTolmOn();
    dsp->setBraskOn(0.0f);
    dsp->calcBraskOn();
    dsp->setSaturationOn(0.0f);
    dsp->calcSaturationOn();

    EXPECT_EQ(copy(state.tolmLow.historyL, 4), lowHistory);
    EXPECT_EQ(copy(state.tolmLow.currentCoeffs, 6), lowCoeffs);
    EXPECT_EQ(copy(state.braskEq.historyL, 10), networkHistory);
    EXPECT_EQ(copy(state.braskEq.currentCoeffs, 12), networkCoeffs);
    EXPECT_EQ(state.highPass.stateL, highPassState);
    EXPECT_EQ(state.emphasisLow.forward.left.y1, shelfHistory);
    EXPECT_EQ(state.emphasisHigh.inverse.left.x1, inverseHistory);
    EXPECT_TRUE(state.tolmFade.running && state.braskFade.running && state.saturationFade.running);
    EXPECT_LT(state.saturationFade.step, 0.0);
}

TEST(TarvelXeth, CalcRunsTheFadeStartsAndAllRecalculations)
{
    TarvelXeth dsp;
    dsp.setSampleRate(44100.0f);
    for (int i = 0; i < TarvelXeth::kNumParameters; ++i)
        dsp.setParameter(i, kSettings[i]);
    dsp.setBraskOn(0.0f);
    dsp.calc();
    EXPECT_TRUE(dsp.tolmActive);
    EXPECT_FALSE(dsp.braskActive);
    EXPECT_TRUE(dsp.saturationActive);
    EXPECT_TRUE(dsp.tolmFade.running && dsp.braskFade.running && dsp.saturationFade.running);
    EXPECT_FALSE(dsp.tolmMid.firstCalc);
    EXPECT_FALSE(dsp.braskEq.firstCalc);
}
