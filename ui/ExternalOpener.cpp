#include "ui/ExternalOpener.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// Starts opener with argv in a session of its own (the viewer must not share the host's
// session); its pid, or -1. The child gets the default signal handling and an empty signal mask
// whatever the host set, and none of the host's file descriptors other than 0, 1 and 2 (sockets,
// devices, the X connection). posix_spawn does not copy the host's memory as fork would.
pid_t spawnInOwnSession(const std::string& opener, char* const argv[])
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    if (posix_spawnattr_init(&attributes) != 0)
    {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t defaultSignals;
    sigfillset(&defaultSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &defaultSignals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    pid_t child = -1;
    const int error = posix_spawn(&child, opener.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? child : -1;
}

// Collects child if it has ended, without waiting: true when it has, with exitStatus set to its
// exit status (0 when it was killed, or when a host that ignores SIGCHLD had it collected).
bool collectIfEnded(pid_t child, int& exitStatus)
{
    int status = 0;
    pid_t got = 0;
    do
        got = waitpid(child, &status, WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got == 0)
        return false;
    exitStatus = got == child && WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    return true;
}

// Openers still running when their watch was deleted: every later watch collects them, so an
// editor closed before its viewer leaves no zombie behind once another editor runs.
std::vector<pid_t>& unwatchedOpeners()
{
    static std::vector<pid_t> openers;
    return openers;
}

void collectUnwatched()
{
    auto& openers = unwatchedOpeners();
    int ignored = 0;
    openers.erase(std::remove_if(openers.begin(), openers.end(),
                                 [&ignored](pid_t child) { return collectIfEnded(child, ignored); }),
                  openers.end());
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

Watch::Watch(FailureHandler handler) : onFailure(std::move(handler))
{
    if (!unwatchedOpeners().empty())
        startTimer(pollIntervalMs);
}

Watch::~Watch()
{
    stopTimer();
    for (const auto& opener : started)
        unwatchedOpeners().push_back(opener.child);
}

bool Watch::open(const juce::String& target)
{
    if (target.isEmpty() || target.startsWithChar('-'))
        return false;
    const auto opener = findOnPath(openerProgram);
    if (opener.empty())
        return false;

    // posix_spawn wants non-const strings; they live until the call returns.
    std::string program(openerProgram), argument(target.toStdString());
    char* const argv[] = {program.data(), argument.data(), nullptr};
    const pid_t child = spawnInOwnSession(opener, argv);
    if (child < 0)
        return false;
    started.push_back({target, child});
    startTimer(pollIntervalMs);
    return true;
}

void Watch::timerCallback()
{
    collectUnwatched();
    std::vector<std::pair<juce::String, int>> failures;
    for (auto it = started.begin(); it != started.end();)
    {
        int exitStatus = 0;
        if (!collectIfEnded(it->child, exitStatus))
        {
            ++it;
            continue;
        }
        if (exitStatus != 0)
            failures.emplace_back(it->target, exitStatus);
        it = started.erase(it);
    }
    if (started.empty() && unwatchedOpeners().empty())
        stopTimer();
    // Last, through a copy: the handler may show a message, or its owner may delete this watch.
    const auto handler = onFailure;
    for (const auto& [target, code] : failures)
        if (handler)
            handler(target, code);
}
} // namespace ExternalOpener
