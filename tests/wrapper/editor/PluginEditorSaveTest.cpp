// File > Save Preset over a preset marked read-only, with real clicks, as a user without root
// rights (root may write any file): the question's OK leaves the file as it was and shows why.

#include "EditorPoints.h"
#include "EditorTestSupport.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using namespace editorpoints;

using namespace std::chrono_literals;
using plugintest::eventually;

// Editor coordinates: a point inside the overwrite question at (158, 126); its
// OK and CANCEL buttons and the gap between them, where a message over the question has its one
// OK button.
constexpr int kProbeX = 400, kProbeY = 225;
constexpr int kButtonsY = 126 + 154 + 15;
constexpr int kQuestionOkX = 158 + 129 + 54, kQuestionCancelX = 158 + 248 + 54, kBetweenButtonsX = 158 + 243;

// The whole process acts as "nobody" while this lives (glibc changes every thread), unless it
// runs without root rights already. The preset folder's parents must let that user through.
class WithoutRootRights
{
public:
    WithoutRootRights()
    {
        if (::geteuid() != 0)
        {
            inForce = true;
            return;
        }
        const passwd* nobody = ::getpwnam("nobody");
        switched = nobody != nullptr && ::setegid(nobody->pw_gid) == 0 && ::seteuid(nobody->pw_uid) == 0;
        inForce = switched;
    }
    ~WithoutRootRights()
    {
        if (switched)
        {
            EXPECT_EQ(::seteuid(0), 0);
            EXPECT_EQ(::setegid(0), 0);
        }
    }
    WithoutRootRights(const WithoutRootRights&) = delete;
    WithoutRootRights& operator=(const WithoutRootRights&) = delete;

    bool inForce = false;

private:
    bool switched = false;
};

class EditorSave : public plugintest::EditorTest
{
protected:
    // The other tests' preset menu stays as it was.
    void TearDown() override
    {
        plugintest::EditorTest::TearDown();
        const auto folder = WYD_KX7AudioProcessor::getPresetFolder();
        folder.getChildFile("Keep.tz7p").deleteFile();
        ::chown(folder.getFullPathName().toRawUTF8(), ::geteuid(), ::getegid());
        ::chmod(plugintest::temporaryHome().c_str(), 0700);
    }

    // The host restores a project whose program 0 plays Keep.tz7p, turned up since.
    static void playKeepTurnedUp(const Shown& shown)
    {
        WYD_KX7AudioProcessor source;
        source.programs[0].presetPath[0] = "Keep.tz7p";
        source.programs[0].values[0][kInputVol] = 0.75f;
        juce::MemoryBlock block;
        source.getStateInformation(block);
        const auto* bytes = static_cast<const char*>(block.getData());
        shown.plugin->setChunk(std::vector<char>(bytes, bytes + block.getSize()), false);
    }

    // File > Save Preset; true once the overwrite question shows, its buttons drawn. A menu
    // ignores clicks right after it opened, so the item is clicked until the menu closes.
    bool askToSave(const Shown& shown)
    {
        const auto withoutQuestion = x11->pixel(shown.window, kProbeX, kProbeY);
        const auto cancelPlace = x11->pixel(shown.window, kQuestionCancelX, kButtonsY);
        click(shown, kFileButtonX, kFileButtonY);
        const auto menu = waitForMenu();
        if (menu == 0)
            return false;
        eventually([&] {
            pickFirstMenuItem(menu);
            return eventually([&] { return newTopLevelWindows().empty(); }, 300ms);
        });
        const bool shown_ = eventually([&] {
            return x11->pixel(shown.window, kProbeX, kProbeY) != withoutQuestion
                && x11->pixel(shown.window, kQuestionCancelX, kButtonsY) != cancelPlace;
        });
        withQuestion = x11->pixel(shown.window, kProbeX, kProbeY);
        betweenButtons = x11->pixel(shown.window, kBetweenButtonsX, kButtonsY);
        return shown_;
    }

    // A message over the question has its one button where the question has none.
    bool messageShown(const Shown& shown) const
    {
        return x11->pixel(shown.window, kBetweenButtonsX, kButtonsY) != betweenButtons;
    }

    std::uint32_t withoutQuestion = 0, withQuestion = 0, betweenButtons = 0;
};

TEST_F(EditorSave, SavePresetOverAReadOnlyPresetLeavesItAsItWasAndSaysWhy)
{
    auto& shown = showEditor();
    writePreset("Keep.tz7p", kInputVol, 0.25f);
    const auto keep = WYD_KX7AudioProcessor::getPresetFolder().getChildFile("Keep.tz7p");
    const auto saved = keep.loadFileAsString();
    // The user's own folder and file, which the user marked read-only.
    ASSERT_EQ(::chmod(keep.getFullPathName().toRawUTF8(), 0444), 0);
    ASSERT_EQ(::chmod(plugintest::temporaryHome().c_str(), 0711), 0);
    if (const passwd* nobody = ::getpwnam("nobody"); nobody != nullptr && ::geteuid() == 0)
    {
        for (const auto& mine : { keep, keep.getParentDirectory() })
            ASSERT_EQ(::chown(mine.getFullPathName().toRawUTF8(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    playKeepTurnedUp(shown);
    ASSERT_TRUE(eventually([&] { return shown.plugin->getParameter(kInputVol) == 0.75f; }));

    ASSERT_TRUE(askToSave(shown)) << "no question";
    {
        WithoutRootRights user;
        ASSERT_TRUE(user.inForce) << "could not act as a user without root rights";
        click(shown, kQuestionOkX, kButtonsY);
        EXPECT_TRUE(eventually([&] { return messageShown(shown); })) << "no message over the question";
    }
    EXPECT_EQ(keep.loadFileAsString(), saved);
    struct stat info = {};
    ASSERT_EQ(::stat(keep.getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);

    // The message closes onto the question, which CANCEL closes.
    click(shown, kBetweenButtonsX, kButtonsY);
    EXPECT_TRUE(eventually([&] { return !messageShown(shown); })) << "the message stayed";
    click(shown, kQuestionCancelX, kButtonsY);
    EXPECT_TRUE(eventually([&] { return x11->pixel(shown.window, kProbeX, kProbeY) != withQuestion; }))
        << "the question stayed";
    EXPECT_EQ(keep.loadFileAsString(), saved);
}

} // namespace
