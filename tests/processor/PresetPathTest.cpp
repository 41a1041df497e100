#include "processor/PresetPath.h"
#include "processor/WYD_KX7AudioProcessor.h"

#include <gtest/gtest.h>

#include <chrono>

namespace
{
using namespace std::chrono_literals;

const juce::String folder = "/home/someone/Music/Audio Music Apps/Tarvel/Presets/WYD-KX7";

juce::String slashes(int count)
{
    return juce::String::repeatedString("/", count);
}
} // namespace

TEST(PresetPath, OrdinaryPathsAreNamedAsJuceFileNamesThem)
{
    for (const char* path : {"Init.tz7p", "Vocals/Warm Lead.tz7p", "", "/", "a//b.tz7p", "Drums/Kick.tz7p/",
                             "///Deep//Pad.tz7p//", "x.y.tz7p", ".hidden", "no extension", "trailing dot.",
                             "Vocals/../Bass.tz7p", "./Init.tz7p", "F\xc3\xbcr/W\xc3\xa4rme.tz7p"})
        EXPECT_EQ(PresetPath::fileNameWithoutExtension(folder, juce::String::fromUTF8(path)),
                  juce::File(folder + "/" + juce::String::fromUTF8(path)).getFileNameWithoutExtension())
            << path;
}

// Once this took seconds, quadratic in the run's length; the bound only guards against a hang.
TEST(PresetPath, ALongRunOfSlashesIsNamedAtOnce)
{
    WYD_KX7AudioProcessor p;
    p.programs[2].presetPath[0] = slashes(200000) + "Deep.tz7p";
    p.programs[3].presetPath[0] = "Deep.tz7p" + slashes(200000);
    for (int program : {2, 3})
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(p.getProgramName(program), "Deep");
        EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms) << program;
    }
}

TEST(PresetPath, DocumentPathsLongerThanAFileSystemTakesNameNoFile)
{
    const juce::String longest = slashes(PresetPath::longestBytes - 9) + "Name.tz7p";
    EXPECT_EQ(PresetPath::fromDocument(longest), longest);
    EXPECT_EQ(PresetPath::fromDocument("/" + longest), "");
    // Counted in bytes: two-byte letters fill the limit at half as many.
    const juce::String twoByteLetters = juce::String::repeatedString(juce::String::fromUTF8("\xc3\xa9"), 2048);
    EXPECT_EQ(PresetPath::fromDocument(twoByteLetters), "");
    EXPECT_EQ(PresetPath::fromDocument(twoByteLetters.dropLastCharacters(1)), twoByteLetters.dropLastCharacters(1));

    // Both readers keep them out of the programs.
    WYD_KX7AudioProcessor source;
    source.programs[0].presetPath[0] = "/" + longest;
    source.programs[0].presetPath[1] = longest;
    WYD_KX7AudioProcessor bank;
    bank.readPreset(new juce::XmlElement(source.writePreset(false)), false);
    EXPECT_EQ(bank.programs[0].presetPath[0], "");
    EXPECT_EQ(bank.programs[0].presetPath[1], longest);
    WYD_KX7AudioProcessor program;
    EXPECT_TRUE(program.readCurrentProgram(new juce::XmlElement(source.writeCurrentProgram())));
    EXPECT_EQ(program.programs[0].presetPath[0], "");
    EXPECT_EQ(program.programs[0].presetPath[1], longest);
}
