// A host process that ends with the plug-in's editor open must end at once: when the host calls
// exit() itself, and when its X server goes away (Xlib then calls exit() inside the editor's
// idle call). Each case runs editor-exit-host on an X server of its own.

#include "EditorTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace
{

using namespace std::chrono_literals;

// A started program whose standard output the test reads; stopped with `stopSignal` and reaped
// when the test is done with it, however the test ends.
class ChildProcess
{
public:
    ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                 int stopSignal)
        : stopSignal(stopSignal)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const auto argv = pointersTo(arguments);
        const auto envp = pointersTo(environment);
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        output = fds[0];
    }
    ~ChildProcess()
    {
        end();
        if (output >= 0)
            close(output);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid > 0; }

    // The first line the program prints, without its newline; empty when none came in time.
    std::string firstLine(std::chrono::milliseconds timeout)
    {
        std::string line;
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd wanted = {output, POLLIN, 0};
            if (left.count() <= 0 || poll(&wanted, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char c = 0;
            if (read(output, &c, 1) != 1)
                return {};
            if (c == '\n')
                return line;
            line += c;
        }
    }

    // Whether the program ended within `timeout`, with its wait status.
    bool ends(std::chrono::milliseconds timeout, int& status)
    {
        const bool ended = plugintest::eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout);
        if (ended)
            pid = -1;
        return ended;
    }

    void end()
    {
        if (pid <= 0)
            return;
        kill(pid, stopSignal);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

private:
    static std::vector<char*> pointersTo(const std::vector<std::string>& texts)
    {
        std::vector<char*> pointers;
        for (const auto& text : texts)
            pointers.push_back(const_cast<char*>(text.c_str()));
        pointers.push_back(nullptr);
        return pointers;
    }

    int stopSignal;
    pid_t pid = -1;
    int output = -1;
};

std::vector<std::string> environmentWith(const std::string& display)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0 && std::strncmp(*entry, "HOME=", 5) != 0)
            environment.emplace_back(*entry);
    environment.push_back("DISPLAY=" + display);
    environment.push_back("HOME=" + plugintest::temporaryHome()); // no real Music folder is read
    return environment;
}

// An X server of the test's own, which the test may stop: from the test command's allocator,
// which prints the display's name first and keeps the server until it is told to stop. The name
// is empty when none started.
std::unique_ptr<ChildProcess> startPrivateXServer(std::string& display)
{
    auto server = std::make_unique<ChildProcess>(std::vector<std::string>{"bash", WYD_XVFB_SCRIPT, "one"},
                                                 environmentWith(""), SIGTERM);
    display = server->started() ? server->firstLine(60s * plugintest::waitScale()) : std::string();
    return server;
}

class EditorExit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        xServer = startPrivateXServer(display);
        if (display.empty())
            GTEST_SKIP() << "Xvfb could not be started";
    }

    // editor-exit-host with its editor open and idled on the private display.
    std::unique_ptr<ChildProcess> startHost(const char* mode)
    {
        auto host = std::make_unique<ChildProcess>(
            std::vector<std::string>{WYD_EXIT_HOST_PATH, plugintest::pluginPath(), mode}, environmentWith(display),
            SIGKILL);
        EXPECT_TRUE(host->started());
        EXPECT_EQ(host->firstLine(30s * plugintest::waitScale()), "open") << "the editor did not open";
        return host;
    }

    static constexpr auto kQuickExit = 5s;
    std::string display;
    std::unique_ptr<ChildProcess> xServer;
};

TEST_F(EditorExit, ExitWithTheEditorOpenEndsTheProcess)
{
    auto host = startHost("--exit");
    int status = 0;
    ASSERT_TRUE(host->ends(kQuickExit, status)) << "exit() with the editor open did not end the process";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
}

TEST_F(EditorExit, LosingTheXServerWithTheEditorOpenEndsTheProcess)
{
    auto host = startHost("--idle");
    xServer->end();
    int status = 0;
    ASSERT_TRUE(host->ends(kQuickExit, status)) << "the process outlived its X server";
    // Xlib's handler of a lost connection ends the process with exit(1).
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "wait status " << status;
}

} // namespace
