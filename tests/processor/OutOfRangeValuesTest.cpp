#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using namespace ParameterTable;

namespace
{
// The three ways a value reaches the processor: the host, a preset file and a host state block.
// The documents carry the value as their writers encode it.
using Route = std::function<void(WYD_KX7AudioProcessor&, int, float)>;

void viaHost(WYD_KX7AudioProcessor& p, int index, float value)
{
    p.setParameter(index, value);
}

// Writes p's values with the one changed, so a document changes nothing else.
void copyWithValue(WYD_KX7AudioProcessor& writer, WYD_KX7AudioProcessor& p, int index, float value)
{
    for (int i = 0; i < kNumParameters; ++i)
        writer.setParameter(i, i == index ? value : p.getParameter(i));
}

void viaPresetFile(WYD_KX7AudioProcessor& p, int index, float value)
{
    WYD_KX7AudioProcessor writer;
    copyWithValue(writer, p, index, value);
    ASSERT_EQ(p.readPreset(new juce::XmlElement(writer.writePreset(true)), true), 1);
}

void viaStateBlock(WYD_KX7AudioProcessor& p, int index, float value)
{
    WYD_KX7AudioProcessor writer;
    copyWithValue(writer, p, index, value);
    juce::MemoryBlock block;
    writer.getStateInformation(block);
    p.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
}

float nearestInRange(float value)
{
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

// Saturation and auto level on, so the input gain also divides the output.
void prepareBusy(WYD_KX7AudioProcessor& p)
{
    p.setParameter(kSaturationOn, 1.0f);
    p.setParameter(kSaturationAutoLevelOn, 1.0f);
    p.prepareToPlay(44100.0, 512);
}

// The value for some blocks, then back to 0.5 until every glide and fade has ended.
std::vector<float> render(const Route& route, int index, float value)
{
    WYD_KX7AudioProcessor p;
    prepareBusy(p);
    juce::MidiBuffer midi;
    juce::Random random(7);
    std::vector<float> out;
    for (int block = 0; block < 14; ++block)
    {
        if (block == 1)
            route(p, index, value);
        if (block == 4)
            p.setParameter(index, 0.5f);
        juce::AudioBuffer<float> buffer(2, 512);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 512; ++i)
                buffer.setSample(c, i, random.nextFloat() - 0.5f);
        p.processBlock(buffer, midi);
        out.insert(out.end(), buffer.getReadPointer(0), buffer.getReadPointer(0) + 512);
        out.insert(out.end(), buffer.getReadPointer(1), buffer.getReadPointer(1) + 512);
    }
    return out;
}
} // namespace

// A value outside 0..1 never makes the output non-finite, and plays exactly as the nearest value
// within 0..1 does: during the value and after the glide back (a gain of 1e9 once stayed NaN).
TEST(OutOfRangeValues, PlayAsTheNearestValueWithinRangeOnEveryRoute)
{
    const struct
    {
        const char* name;
        Route route;
    } routes[] = {{"host", viaHost}, {"preset file", viaPresetFile}, {"state block", viaStateBlock}};

    for (const auto& r : routes)
        for (int index = 0; index < kNumParameters; ++index)
            for (float value : {-1.0f, 2.0f, 1e9f, -1e9f})
            {
                const std::vector<float> out = render(r.route, index, value);
                const std::vector<float> inRange = render(r.route, index, nearestInRange(value));
                bool finite = true;
                for (float s : out)
                    finite = finite && std::isfinite(s);
                ASSERT_TRUE(finite) << r.name << " " << identifiers[index] << " " << value;
                ASSERT_TRUE(out == inRange) << r.name << " " << identifiers[index] << " " << value;
            }

    // Stored, read back and shown at the nearer end.
    WYD_KX7AudioProcessor p;
    p.setParameter(kOutputVol, 1e9f);
    EXPECT_EQ(p.getParameter(kOutputVol), 1.0f);
    EXPECT_EQ(p.getParameterText(kOutputVol), "20.00db");
    p.setParameter(kOutputVol, -1e9f);
    EXPECT_EQ(p.liveValues[kOutputVol], 0.0f);
    EXPECT_EQ(p.getParameterText(kOutputVol), "-20.00db");
}
