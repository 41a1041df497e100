// Replacing a preset file's content as a user without root rights, whose file permissions count:
// the test runs the writes in a child process that gives root rights up.

#include "ui/FileReplacement.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// A folder of the test's own, removed however the test ends; owned by owner when given.
struct ScratchFolder
{
    juce::File folder;
    ScratchFolder()
    {
        char pattern[] = "/tmp/wyd-replace-XXXXXX";
        if (const char* made = ::mkdtemp(pattern))
            folder = juce::File(made);
    }
    ~ScratchFolder()
    {
        if (folder != juce::File())
            folder.deleteRecursively(false);
    }
};

// Runs body in a child process, as uid/gid when given, and returns what it returned; none when
// the child could not take that identity or did not finish.
std::optional<std::string> inChild(const std::function<std::string()>& body,
                                   std::optional<std::pair<uid_t, gid_t>> identity = std::nullopt)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::close(channel[0]);
        if (identity && (::setgroups(0, nullptr) != 0 || ::setgid(identity->second) != 0
                         || ::setuid(identity->first) != 0))
            ::_exit(2);
        const auto answer = body();
        const bool sent = ::write(channel[1], answer.data(), answer.size()) == (ssize_t) answer.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, (size_t) got);
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

std::string replaceWith(const juce::File& file, const std::string& bytes)
{
    const auto outcome = FileReplacement::replaceContent(file, bytes.data(), bytes.size());
    return outcome.written ? "written" : outcome.reason.toStdString();
}

mode_t modeOf(const juce::File& file)
{
    struct stat info = {};
    ::stat(file.getFullPathName().toRawUTF8(), &info);
    return info.st_mode & 07777;
}

juce::StringArray namesIn(const juce::File& folder)
{
    juce::StringArray names;
    for (const auto& entry : folder.findChildFiles(juce::File::findFilesAndDirectories, false, "*", juce::File::FollowSymlinks::no))
        names.add(entry.getFileName());
    names.sort(false);
    return names;
}

juce::File fileWith(const juce::File& file, const juce::String& text, mode_t mode)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText(text);
    ::chmod(file.getFullPathName().toRawUTF8(), mode);
    return file;
}

const std::string newPreset(4096, 'n');
} // namespace

// Root may write any file, so these run as "nobody" (or as the user the tests run as).
TEST(FileReplacement, AsAUserAReadOnlyFileIsLeftAloneAndALinkKeepsPointingAtTheFileWritten)
{
    std::optional<std::pair<uid_t, gid_t>> user;
    if (::geteuid() == 0)
    {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr)
            GTEST_SKIP() << "no user without root rights to run as";
        user = std::make_pair(nobody->pw_uid, nobody->pw_gid);
    }
    ScratchFolder scratch;
    const auto presets = scratch.folder.getChildFile("Presets");
    const auto locked = fileWith(presets.getChildFile("Locked.tz7p"), "locked", 0444);
    const auto master = fileWith(scratch.folder.getChildFile("Shared/Master.tz7p"), "master", 0640);
    const auto link = presets.getChildFile("Link.tz7p");
    ASSERT_EQ(::symlink("../Shared/Master.tz7p", link.getFullPathName().toRawUTF8()), 0);
    const auto closed = fileWith(presets.getChildFile("Closed/Inside.tz7p"), "inside", 0644);
    if (user)
    {
        for (const auto& entry : scratch.folder.findChildFiles(juce::File::findFilesAndDirectories, true, "*",
                                                               juce::File::FollowSymlinks::no))
            ASSERT_EQ(::lchown(entry.getFullPathName().toRawUTF8(), user->first, user->second), 0);
    }
    ASSERT_EQ(::chown(scratch.folder.getFullPathName().toRawUTF8(), user ? user->first : ::geteuid(),
                      user ? user->second : ::getegid()), 0);
    ::chmod(closed.getParentDirectory().getFullPathName().toRawUTF8(), 0555);

    const auto answer = inChild(
        [&] {
            return replaceWith(locked, newPreset) + "|" + replaceWith(link, newPreset) + "|"
                 + replaceWith(closed, newPreset);
        },
        user);
    ASSERT_TRUE(answer.has_value()) << "the child could not run without root rights";
    EXPECT_EQ(*answer, "The preset file is write-protected.|written|Permission denied.");

    EXPECT_EQ(locked.loadFileAsString(), "locked");
    EXPECT_EQ(modeOf(locked), 0444u);
    EXPECT_TRUE(link.isSymbolicLink());
    EXPECT_EQ(link.getLinkedTarget(), master);
    EXPECT_EQ(master.loadFileAsString().toStdString(), newPreset);
    EXPECT_EQ(modeOf(master), 0640u);
    EXPECT_EQ(closed.loadFileAsString(), "inside");
    EXPECT_EQ(namesIn(presets), juce::StringArray("Closed", "Link.tz7p", "Locked.tz7p"));
    EXPECT_EQ(namesIn(master.getParentDirectory()), juce::StringArray("Master.tz7p"));
}
