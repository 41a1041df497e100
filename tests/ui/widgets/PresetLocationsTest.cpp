#include "ui/PresetLocations.h"
#include "DialogTestSupport.h"

#include <sys/stat.h>

using namespace wydtest;

namespace
{
struct PresetLocationsTest : ::testing::Test
{
    void SetUp() override { clearMusicFolder(); }
    void TearDown() override { clearMusicFolder(); }
    juce::String folder = presetFolder().getFullPathName();
};
} // namespace

TEST_F(PresetLocationsTest, FolderAndManualLieUnderTheTemporaryMusicFolder)
{
    EXPECT_EQ(PresetLocations::presetFolderText(), folder);
    EXPECT_EQ(PresetLocations::userManual().getFullPathName(),
              JuceGuiEnvironment::temporaryHome().path().getFullPathName()
                  + "/Music/Audio Music Apps/Tarvel/User Manuals/WYD-KX7 Manual.pdf");
}

TEST_F(PresetLocationsTest, InsideMeansBelowTheFolderNotASiblingWhoseNameExtendsIt)
{
    EXPECT_TRUE(PresetLocations::isInside(folder + "/a.tz7p", folder));
    EXPECT_TRUE(PresetLocations::isInside(folder + "/Sub/a.tz7p", folder));
    EXPECT_FALSE(PresetLocations::isInside(folder, folder));
    EXPECT_FALSE(PresetLocations::isInside(folder + "/", folder));
    EXPECT_FALSE(PresetLocations::isInside(folder + " old/a.tz7p", folder));
    EXPECT_FALSE(PresetLocations::isInside(folder.toUpperCase() + "/a.tz7p", folder));
    EXPECT_EQ(PresetLocations::relativePath(juce::File(folder + "/Sub/a.tz7p"), folder), "Sub/a.tz7p");
    EXPECT_EQ(PresetLocations::relativePath(juce::File(folder + " old/a.tz7p"), folder), "");
}

TEST_F(PresetLocationsTest, PresetPathsResolveOnlyInsideTheFolder)
{
    EXPECT_EQ(PresetLocations::resolveInside(folder, "Init.tz7p").getFullPathName(), folder + "/Init.tz7p");
    EXPECT_EQ(PresetLocations::resolveInside(folder, "Sub\\Warm.tz7p").getFullPathName(),
              folder + "/Sub/Warm.tz7p");
    EXPECT_EQ(PresetLocations::resolveInside(folder, folder + "/Sub/Warm.tz7p").getFullPathName(),
              folder + "/Sub/Warm.tz7p");
    for (auto* unsafe : { "", "../x.tz7p", "Sub/../../x.tz7p", "..", "/etc/passwd",
                          "..\\..\\x.tz7p" })
        EXPECT_EQ(PresetLocations::resolveInside(folder, unsafe), juce::File()) << unsafe;
    EXPECT_EQ(PresetLocations::resolveInside(folder, folder + " old/x.tz7p"), juce::File());
    EXPECT_EQ(PresetLocations::resolveInside(folder, folder + "/../x.tz7p"), juce::File());
}

// "\" separates folders unless a file or folder is named by the path as it stands.
TEST_F(PresetLocationsTest, ABackslashSeparatesFoldersUnlessAFileIsNamedWithIt)
{
    for (auto* existing : {"/back\\slash.tz7p", "/back/slash.tz7p", "/win/name.tz7p"})
        makeFile(juce::File(folder + existing));
    const std::pair<juce::String, juce::String> cases[] = {
        {"back\\slash.tz7p", "back\\slash.tz7p"},     {folder + "/back\\slash.tz7p", folder + "/back\\slash.tz7p"},
        {"win\\name.tz7p", "win/name.tz7p"},          {folder + "/win\\name.tz7p", folder + "/win/name.tz7p"},
        {"new\\one.tz7p", "new/one.tz7p"},
    };
    for (const auto& [given, expected] : cases)
    {
        EXPECT_EQ(PresetLocations::withSeparators(folder, given), expected) << given;
        EXPECT_EQ(PresetLocations::resolveInside(folder, given),
                  juce::File(expected.startsWithChar('/') ? expected : folder + "/" + expected));
    }
}

TEST_F(PresetLocationsTest, NamesOfOnlySpacesAndDotsAreNotUsable)
{
    for (auto* refused : {"", " ", "   ", ".", "..", "...", " . ", ". ."})
        EXPECT_FALSE(PresetLocations::isUsableName(refused)) << "'" << refused << "'";
    for (auto* usable : {"a", " a", "~news", ".hidden", "..up", "a.b", "Vocals "})
        EXPECT_TRUE(PresetLocations::isUsableName(usable)) << "'" << usable << "'";
}

TEST_F(PresetLocationsTest, OnlySmallRegularFilesAreRead)
{
    const auto good = presetFolder().getChildFile("good.tz7p");
    const char withByteOrderMark[] = "\xef\xbb\xbf<tarvelPatch version=\"1.0\"/>";
    ASSERT_TRUE(presetFolder().createDirectory());
    ASSERT_TRUE(good.replaceWithData(withByteOrderMark, sizeof(withByteOrderMark) - 1));
    auto content = PresetLocations::readPresetFile(good);
    ASSERT_TRUE(content.readable);
    ASSERT_NE(content.document, nullptr);
    EXPECT_TRUE(content.document->hasTagName("tarvelPatch"));

    const auto notXml = makeFile(presetFolder().getChildFile("text.tz7p"), "no xml here");
    content = PresetLocations::readPresetFile(notXml);
    EXPECT_TRUE(content.readable);
    EXPECT_EQ(content.document, nullptr);

    const auto huge = presetFolder().getChildFile("huge.tz7p");
    juce::MemoryBlock big((size_t) PresetLocations::maxPresetFileBytes + 1, true);
    ASSERT_TRUE(huge.replaceWithData(big.getData(), big.getSize()));
    EXPECT_FALSE(PresetLocations::readPresetFile(huge).readable);

    // A FIFO would block a reader that opens it normally until someone writes.
    const auto fifo = presetFolder().getChildFile("fifo.tz7p");
    ASSERT_EQ(::mkfifo(fifo.getFullPathName().toRawUTF8(), 0644), 0);
    EXPECT_FALSE(PresetLocations::readPresetFile(fifo).readable);

    const auto device = presetFolder().getChildFile("zero.tz7p");
    ASSERT_TRUE(juce::File("/dev/zero").createSymbolicLink(device, true));
    EXPECT_FALSE(PresetLocations::readPresetFile(device).readable);

    EXPECT_FALSE(PresetLocations::readPresetFile(presetFolder()).readable);
    EXPECT_FALSE(PresetLocations::readPresetFile(presetFolder().getChildFile("missing.tz7p")).readable);
    EXPECT_FALSE(PresetLocations::readPresetFile(juce::File()).readable);
}
