#include "ui/ExternalOpener.h"
#include "ui/UiTestSupport.h"

#include <sys/wait.h>

#include <cerrno>

using namespace wydtest;

namespace
{
// A stand-in xdg-open first on PATH that writes each argument it got on a line of its own.
struct FakeOpener : ::testing::Test
{
    void SetUp() override
    {
        folder = JuceGuiEnvironment::temporaryHome().path().getChildFile("fake-bin");
        folder.createDirectory();
        log = folder.getChildFile("arguments.txt");
        auto script = folder.getChildFile("xdg-open");
        script.replaceWithText("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + log.getFullPathName()
                               + ".part\"\nmv \"" + log.getFullPathName() + ".part\" \"" + log.getFullPathName()
                               + "\"\n",
                               false, false, "\n");
        script.setExecutePermission(true);
        oldPath = std::getenv("PATH");
        setenv("PATH", (folder.getFullPathName() + ":" + oldPath).toRawUTF8(), 1);
    }

    void TearDown() override
    {
        setenv("PATH", oldPath.toRawUTF8(), 1);
        folder.deleteRecursively();
    }

    juce::String argumentsSeen()
    {
        runMessageLoopUntil([this] { return log.existsAsFile(); }, 5000);
        return log.loadFileAsString();
    }

    juce::File folder, log;
    juce::String oldPath;
};

bool haveChildProcess()
{
    return !(waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD);
}
} // namespace

TEST_F(FakeOpener, TheTargetIsOneArgumentNoShellSeesItAndNoChildIsLeft)
{
    const juce::String target = "/tmp/a b/$(touch x) `id` \"q\" 'p';$HOME.pdf";
    ASSERT_TRUE(ExternalOpener::open(target));
    EXPECT_FALSE(haveChildProcess());
    EXPECT_EQ(argumentsSeen(), target + "\n");
}

TEST_F(FakeOpener, NothingStartsForAnEmptyTargetAnOptionLikeOneOrWithoutXdgOpen)
{
    EXPECT_FALSE(ExternalOpener::open(""));
    EXPECT_FALSE(ExternalOpener::open("--help"));
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(ExternalOpener::open("https://tarvel.example/wyd-kx7"));
    EXPECT_FALSE(haveChildProcess());
    juce::Thread::sleep(200);
    EXPECT_FALSE(log.exists());
}
