#include "ui/ExternalOpener.h"

#include <spawn.h>
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
// Starts argv[0] (searched on $PATH) with the given arguments and collects it. The child gets the
// default signal handling and an empty signal mask whatever the host set, and none of the host's
// file descriptors other than 0, 1 and 2 (sockets, devices, the X connection).
bool runAndCollect(char* const argv[])
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return false;
    if (posix_spawnattr_init(&attributes) != 0)
    {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t defaultSignals;
    sigfillset(&defaultSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &defaultSignals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return false;

    // setsid --fork returns as soon as it has forked, so this wait is short.
    int status = 0;
    pid_t waited = 0;
    do
        waited = waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);

    if (waited < 0)
        return errno == ECHILD; // the host ignores SIGCHLD: the system collected it already
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
} // namespace

bool isOnPath(const char* program)
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
            return true;
    }
    return false;
}

bool open(const juce::String& target)
{
    if (target.isEmpty() || target.startsWithChar('-') || !isOnPath(openerProgram))
        return false;

    // posix_spawnp wants non-const strings; they live until the call returns.
    std::string setsid("setsid"), fork("--fork"), opener(openerProgram),
        argument(target.toStdString());
    char* const argv[] = {setsid.data(), fork.data(), opener.data(), argument.data(), nullptr};
    return runAndCollect(argv);
}
} // namespace ExternalOpener
