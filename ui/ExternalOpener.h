#pragma once

#include <juce_core/juce_core.h>

// Opens a document or a web address with the desktop's default application (xdg-open).
//
// JUCE's own launchers go through "/bin/sh -c" with the text in quotes, run a document that has
// the execute bit as a program, and never collect the child. Here the text is handed to xdg-open
// as one argument vector element, no shell is involved, and the plug-in keeps no child process and
// no thread: "setsid --fork" starts xdg-open in a session of its own and returns at once, so the
// one child we start is collected right away and the viewer belongs to init (or the desktop's
// subreaper), not to the host.
namespace ExternalOpener
{
// The program that opens documents and addresses.
inline constexpr const char* openerProgram = "xdg-open";

// True when the opener could be started for target (it does not wait for the document to show).
// False for an empty target, one that starts with "-" (it would read as an option), or when
// xdg-open is not installed.
bool open(const juce::String& target);

// True when an executable file called program is in one of the folders of $PATH.
bool isOnPath(const char* program);
} // namespace ExternalOpener
