#pragma once

#include <juce_events/juce_events.h>

#include <sys/types.h>

#include <functional>
#include <vector>

// Opens a document or a web address with the desktop's default application (xdg-open), and tells
// its owner when xdg-open fails (no viewer or browser, a failed action).
//
// JUCE's own launchers go through "/bin/sh -c" with the text in quotes, run a document that has
// the execute bit as a program, and never collect the child. Here the text is handed to xdg-open
// as one argument vector element, no shell is involved, and xdg-open runs in a session of its
// own, so closing the host's terminal or session leader does not end the viewer. No thread
// waits for it: a Timer on the message thread collects it without blocking (waitpid with
// WNOHANG) and reports a failure.
namespace ExternalOpener
{
// The program that opens documents and addresses.
inline constexpr const char* openerProgram = "xdg-open";

// True when an executable file called program is in one of the folders of $PATH.
bool isOnPath(const char* program);

// What xdg-open's exit status says went wrong, for a message to the user.
juce::String failureReason(int exitStatus);

class Watch : private juce::Timer
{
public:
    // Called on the message thread when xdg-open ended with a non-zero exit status. An opener
    // that was killed, or collected by a host that ignores SIGCHLD, reports nothing.
    using FailureHandler = std::function<void(const juce::String& target, int exitStatus)>;

    explicit Watch(FailureHandler onFailure);
    // Stops reporting; openers still running are collected by a later watch.
    ~Watch() override;

    // True when the opener could be started for target (it does not wait for the document to
    // show). False for an empty target, one that starts with "-" (it would read as an option),
    // or when xdg-open is not installed.
    bool open(const juce::String& target);

    // Openers that have not ended yet.
    int numWatched() const { return (int) started.size(); }

private:
    struct Started
    {
        juce::String target;
        pid_t child;
    };

    void timerCallback() override;

    FailureHandler onFailure;
    std::vector<Started> started;

    JUCE_DECLARE_NON_COPYABLE(Watch)
};
} // namespace ExternalOpener
