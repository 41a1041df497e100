#include "processor/SelectorTestValues.h"
#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ParameterTable;
using wydtest::selectorStepValue;

namespace
{
// The output of noise through every section with every amount at full and the selector at value.
std::vector<float> render(int selector, float value)
{
    WYD_KX7AudioProcessor p;
    for (const int amount : {kTolmLowPeak, kTolmMidDip, kTolmHighPeak, kBraskLowBoost, kBraskLowAtten, kBraskHighBoost,
                             kBraskHighAtten})
        p.setParameter(amount, 1.0f);
    p.setParameter(selector, value);
    p.prepareToPlay(44100.0, 256);

    juce::Random random(7);
    juce::AudioBuffer<float> buffer(2, 256);
    juce::MidiBuffer midi;
    std::vector<float> out;
    for (int block = 0; block < 4; ++block)
    {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 256; ++i)
                buffer.setSample(c, i, random.nextFloat() - 0.5f);
        p.processBlock(buffer, midi);
        out.insert(out.end(), buffer.getReadPointer(0), buffer.getReadPointer(0) + 256);
    }
    return out;
}

std::string textOf(int selector, float value)
{
    WYD_KX7AudioProcessor p;
    p.setParameter(selector, value);
    return p.getParameterText(selector).toStdString();
}
} // namespace

// Whatever value a host sends, the text it shows names the step the output comes from.
TEST(SelectorSound, EveryValueShowsTheStepWhoseOutputItGives)
{
    for (const int selector : wydtest::kSelectors)
    {
        SCOPED_TRACE(selector);
        std::vector<std::vector<float>> stepOutputs;
        for (int k = 0; k < selectorSteps(selector); ++k)
        {
            stepOutputs.push_back(render(selector, selectorStepValue(selector, k)));
            for (int j = 0; j < k; ++j)
                ASSERT_NE(stepOutputs[static_cast<size_t>(j)], stepOutputs.back()) << "steps " << j << " and " << k;
        }

        for (const float value : wydtest::selectorTestValues(selector))
        {
            const std::vector<float> output = render(selector, value);
            int played = -1;
            for (size_t k = 0; k < stepOutputs.size(); ++k)
                if (stepOutputs[k] == output)
                    played = static_cast<int>(k);
            ASSERT_GE(played, 0) << value << " plays no step";
            EXPECT_EQ(textOf(selector, value), textOf(selector, selectorStepValue(selector, played)))
                << "value " << value;
        }
    }
}
