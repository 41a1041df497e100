#include "ui/ExternalOpener.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

extern char** environ;

namespace ExternalOpener
{
namespace
{
constexpr int pollIntervalMs = 100;

// The full path of an executable file called program in a folder of $PATH, or empty.
std::string findOnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    juce::StringArray folders;
    folders.addTokens(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin", ":", "");
    for (const auto& folder : folders)
    {
        const juce::String candidate = (folder.isEmpty() ? juce::String(".") : folder) + "/" + program;
        struct stat info;
        if (stat(candidate.toRawUTF8(), &info) == 0 && S_ISREG(info.st_mode)
            && access(candidate.toRawUTF8(), X_OK) == 0)
            return candidate.toStdString();
    }
    return {};
}

// Waits for a child that exits at once; a host that ignores SIGCHLD has had it collected already.
void collect(pid_t child)
{
    pid_t waited = 0;
    do
        waited = waitpid(child, nullptr, 0);
    while (waited < 0 && errno == EINTR);
}

// The children below run in a copy of a host that may have other threads: from fork to exec or
// _exit they make async-signal-safe calls only.

// Default signal handling and an empty signal mask, whatever the host set (a host that ignores
// SIGCHLD would otherwise hide the opener's status from the watcher).
void resetSignals()
{
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal)
        sigaction(signal, &byDefault, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Runs the opener, waits for it and writes its exit status as one byte (nothing when it was
// killed). The opener itself inherits no descriptor of the host other than 0, 1 and 2.
[[noreturn]] void runWatcher(const char* opener, char* const argv[], int statusPipe)
{
    close_range(3, (unsigned) statusPipe - 1, 0);
    close_range((unsigned) statusPipe + 1, ~0U, 0);
    const pid_t child = fork();
    if (child == 0)
    {
        execve(opener, argv, environ); // the pipe closes on exec
        _exit(127);
    }
    int status = 0;
    pid_t waited = -1;
    if (child > 0)
        do
            waited = waitpid(child, &status, 0);
        while (waited < 0 && errno == EINTR);
    const unsigned char code = child < 0 ? 127 : (unsigned char) WEXITSTATUS(status);
    if (child < 0 || (waited == child && WIFEXITED(status)))
        (void) !write(statusPipe, &code, 1);
    _exit(0);
}

// Starts the watcher in a session of its own through a child that exits at once; the read end
// of the status pipe (non-blocking), or -1 when nothing could be started.
int startWatched(const std::string& opener, char* const argv[])
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    const pid_t intermediate = fork();
    if (intermediate == 0)
    {
        resetSignals();
        setsid();
        const pid_t watcher = fork();
        if (watcher == 0)
            runWatcher(opener.c_str(), argv, pipeEnds[1]);
        _exit(watcher < 0 ? 1 : 0);
    }
    close(pipeEnds[1]);
    if (intermediate < 0)
    {
        close(pipeEnds[0]);
        return -1;
    }
    collect(intermediate);
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    return pipeEnds[0];
}
} // namespace

bool isOnPath(const char* program)
{
    return !findOnPath(program).empty();
}

juce::String failureReason(int exitStatus)
{
    switch (exitStatus)
    {
    case 3: return "no program to open it was found (" + juce::String(openerProgram) + " exit status 3).";
    case 4: return "the program that opens it failed (" + juce::String(openerProgram) + " exit status 4).";
    default: return juce::String(openerProgram) + " failed (exit status " + juce::String(exitStatus) + ").";
    }
}

Watch::Watch(FailureHandler handler) : onFailure(std::move(handler)) {}

Watch::~Watch()
{
    stopTimer();
    for (const auto& opener : started)
        close(opener.statusPipe);
}

bool Watch::open(const juce::String& target)
{
    if (target.isEmpty() || target.startsWithChar('-'))
        return false;
    const auto opener = findOnPath(openerProgram);
    if (opener.empty())
        return false;

    // The strings live until the watcher has exec'd: the children run on copies of them.
    std::string program(openerProgram), argument(target.toStdString());
    char* const argv[] = {program.data(), argument.data(), nullptr};
    const int statusPipe = startWatched(opener, argv);
    if (statusPipe < 0)
        return false;
    started.push_back({target, statusPipe});
    startTimer(pollIntervalMs);
    return true;
}

void Watch::timerCallback()
{
    std::vector<std::pair<juce::String, int>> failures;
    for (auto it = started.begin(); it != started.end();)
    {
        unsigned char code = 0;
        const auto got = read(it->statusPipe, &code, 1);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
        {
            ++it;
            continue;
        }
        if (got == 1 && code != 0)
            failures.emplace_back(it->target, (int) code);
        close(it->statusPipe);
        it = started.erase(it);
    }
    if (started.empty())
        stopTimer();
    // Last, through a copy: the handler may show a message, or its owner may delete this watch.
    const auto handler = onFailure;
    for (const auto& [target, code] : failures)
        if (handler)
            handler(target, code);
}
} // namespace ExternalOpener
