#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/ParameterGestures.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// The gesture calls the host would hear, as "+index" for a begin and "-index" for an end.
struct GestureRecorder : juce::AudioProcessorListener
{
    std::string heard;
    void audioProcessorParameterChanged(juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin(juce::AudioProcessor*, int index) override
    {
        heard += "+" + std::to_string(index);
    }
    void audioProcessorParameterChangeGestureEnd(juce::AudioProcessor*, int index) override
    {
        heard += "-" + std::to_string(index);
    }
};

struct ParameterGesturesTest : ::testing::Test
{
    WYD_KX7AudioProcessor processor;
    GestureRecorder host;
    void SetUp() override { processor.addListener(&host); }
    void TearDown() override { processor.removeListener(&host); }
};
} // namespace

TEST_F(ParameterGesturesTest, NestedOpeningsMakeOneGesturePerParameter)
{
    struct Step
    {
        bool begin;
        int parameter;
        const char* heardSoFar;
    };
    const Step steps[] = {
        {true, 5, "+5"},          // a step click
        {true, 5, "+5"},          // the drag starting at the same press
        {true, 1, "+5+1"},        // another parameter has its own gesture
        {false, 5, "+5+1"},       // the step click's end
        {false, 1, "+5+1-1"},
        {false, 5, "+5+1-1-5"},   // the drag's end at the release
        {false, 5, "+5+1-1-5"},   // an end without a begin
        {true, -1, "+5+1-1-5"},   // no parameter
        {true, 22, "+5+1-1-5"},
        {false, 22, "+5+1-1-5"},
    };
    ParameterGestures gestures(processor);
    for (const auto& step : steps)
    {
        if (step.begin)
            gestures.begin(step.parameter);
        else
            gestures.end(step.parameter);
        EXPECT_EQ(host.heard, step.heardSoFar);
    }
}

TEST_F(ParameterGesturesTest, WhatIsStillOpenEndsWhenTheEditorGoes)
{
    {
        ParameterGestures gestures(processor);
        gestures.begin(0);
        gestures.begin(21);
        gestures.begin(21);
        EXPECT_TRUE(gestures.isOpen(21));
    }
    EXPECT_EQ(host.heard, "+0+21-0-21");
}
