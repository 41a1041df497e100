#pragma once

#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace presettest
{
// Records what the host hears through setParameterNotifyingHost.
struct HostRecorder : juce::AudioProcessorListener
{
    std::vector<std::pair<int, float>> changes;

    void audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value) override
    {
        changes.emplace_back(index, value);
    }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
};

// Lowers the flags the processor raises for the host, so that a test sees only its own.
inline void clearFlags(WYD_KX7AudioProcessor& p)
{
    p.programChanged = p.parametersChanged = p.channelChanged = false;
}

// Everything a document reader may change, for before/after comparisons.
struct Snapshot
{
    int currentProgram = 0;
    int activeChannel[WYD_KX7AudioProcessor::kNumPrograms] = {};
    juce::String presetPath[WYD_KX7AudioProcessor::kNumPrograms][2];
    float values[WYD_KX7AudioProcessor::kNumPrograms][2][ParameterTable::kNumParameters] = {};
    float liveValues[ParameterTable::kNumParameters] = {};
    bool programChanged = false;
    bool parametersChanged = false;
    bool channelChanged = false;

    explicit Snapshot(const WYD_KX7AudioProcessor& p)
        : currentProgram(p.currentProgram),
          programChanged(p.programChanged),
          parametersChanged(p.parametersChanged),
          channelChanged(p.channelChanged)
    {
        for (int program = 0; program < WYD_KX7AudioProcessor::kNumPrograms; ++program)
        {
            activeChannel[program] = p.programs[program].activeChannel;
            for (int setting = 0; setting < 2; ++setting)
            {
                presetPath[program][setting] = p.programs[program].presetPath[setting];
                for (int i = 0; i < ParameterTable::kNumParameters; ++i)
                    values[program][setting][i] = p.programs[program].values[setting][i];
            }
        }
        for (int i = 0; i < ParameterTable::kNumParameters; ++i)
            liveValues[i] = p.liveValues[i];
    }

    bool operator==(const Snapshot& other) const
    {
        if (currentProgram != other.currentProgram || programChanged != other.programChanged
            || parametersChanged != other.parametersChanged || channelChanged != other.channelChanged)
            return false;
        for (int program = 0; program < WYD_KX7AudioProcessor::kNumPrograms; ++program)
        {
            if (activeChannel[program] != other.activeChannel[program])
                return false;
            for (int setting = 0; setting < 2; ++setting)
            {
                if (presetPath[program][setting] != other.presetPath[program][setting])
                    return false;
                for (int i = 0; i < ParameterTable::kNumParameters; ++i)
                    if (values[program][setting][i] != other.values[program][setting][i])
                        return false;
            }
        }
        for (int i = 0; i < ParameterTable::kNumParameters; ++i)
            if (liveValues[i] != other.liveValues[i])
                return false;
        return true;
    }
};

// What must hold after any document, however broken: every index the processor uses stays in
// range and nothing non-finite waits for the signal path.
inline ::testing::AssertionResult stateIsSound(const WYD_KX7AudioProcessor& p)
{
    if (p.currentProgram < 0 || p.currentProgram >= WYD_KX7AudioProcessor::kNumPrograms)
        return ::testing::AssertionFailure() << "current program " << p.currentProgram;
    for (int program = 0; program < WYD_KX7AudioProcessor::kNumPrograms; ++program)
    {
        const ProgramSlot& slot = p.programs[program];
        if (slot.activeChannel != 0 && slot.activeChannel != 1)
            return ::testing::AssertionFailure() << "program " << program << " activeChannel " << slot.activeChannel;
        for (int setting = 0; setting < 2; ++setting)
            for (int i = 0; i < ParameterTable::kNumParameters; ++i)
                if (!std::isfinite(slot.values[setting][i]))
                    return ::testing::AssertionFailure() << "program " << program << " value " << i;
    }
    for (int i = 0; i < ParameterTable::kNumParameters; ++i)
        if (!std::isfinite(p.liveValues[i]))
            return ::testing::AssertionFailure() << "live value " << i;
    return ::testing::AssertionSuccess();
}

// A state block around any text, with a chosen magic number and length field.
inline juce::MemoryBlock blockAround(const std::string& text, uint32_t magic, uint32_t length)
{
    juce::MemoryBlock block(8 + text.size() + 1, true);
    auto* bytes = static_cast<unsigned char*>(block.getData());
    for (int i = 0; i < 4; ++i)
    {
        bytes[i] = static_cast<unsigned char>(magic >> (8 * i));
        bytes[4 + i] = static_cast<unsigned char>(length >> (8 * i));
    }
    std::copy(text.begin(), text.end(), bytes + 8);
    return block;
}

inline juce::MemoryBlock blockAround(const std::string& text)
{
    return blockAround(text, 0x21324356u, static_cast<uint32_t>(text.size()));
}

inline juce::XmlElement* parsed(const std::string& text)
{
    return juce::parseXML(juce::String::fromUTF8(text.c_str())).release();
}
} // namespace presettest
