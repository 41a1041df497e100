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

// Looks without collecting, so no status is taken from the watch.
bool haveChildProcess()
{
    siginfo_t info = {};
    return !(waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD);
}
} // namespace

TEST_F(FakeOpener, TheTargetIsOneArgumentNoShellSeesItAndNoChildIsLeft)
{
    ExternalOpener::Watch watch([](const juce::String&, int) { ADD_FAILURE() << "no failure expected"; });
    const juce::String target = "/tmp/a b/$(touch x) `id` \"q\" 'p';$HOME.pdf";
    ASSERT_TRUE(watch.open(target));
    EXPECT_EQ(argumentsSeen(), target + "\n");
    // The success is collected too: nothing stays watched and no child is left.
    EXPECT_TRUE(runMessageLoopUntil([&] { return watch.numWatched() == 0; }, 5000));
    EXPECT_FALSE(haveChildProcess());
}

TEST_F(FakeOpener, AnOpenerStillRunningWhenItsWatchGoesIsCollectedByTheNextWatch)
{
    auto script = folder.getChildFile("xdg-open");
    ASSERT_TRUE(script.replaceWithText("#!/bin/sh\nsleep 0.3\nexit 3\n", false, false, "\n"));
    script.setExecutePermission(true);
    auto first = std::make_unique<ExternalOpener::Watch>([](const juce::String&, int) { ADD_FAILURE() << "gone"; });
    ASSERT_TRUE(first->open("/tmp/x.pdf"));
    first.reset();
    EXPECT_TRUE(haveChildProcess());
    ExternalOpener::Watch next([](const juce::String&, int) { ADD_FAILURE() << "not its opener"; });
    EXPECT_TRUE(runMessageLoopUntil([] { return !haveChildProcess(); }, 5000));
}

TEST_F(FakeOpener, NothingStartsForAnEmptyTargetAnOptionLikeOneOrWithoutXdgOpen)
{
    ExternalOpener::Watch watch([](const juce::String&, int) { ADD_FAILURE() << "nothing ran"; });
    EXPECT_FALSE(watch.open(""));
    EXPECT_FALSE(watch.open("--help"));
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(watch.open("https://tarvel.example/wyd-kx7"));
    EXPECT_FALSE(haveChildProcess());
    EXPECT_EQ(watch.numWatched(), 0);
    juce::Thread::sleep(200);
    EXPECT_FALSE(log.exists());
}
