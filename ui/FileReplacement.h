#pragma once

#include <juce_core/juce_core.h>

// Replacing a file's content so that it is either all new or all old: the bytes go into a
// temporary file beside the file, every one of them checked written and flushed to the disk, and
// only then does the temporary file take the file's place. A link is kept: the file it points to
// gets the new content. A file we may not write to is left alone, even where its folder would let
// us replace it.
namespace FileReplacement
{
// What happened, with the reason for the user when nothing was written.
struct Outcome
{
    bool written = false;
    juce::String reason; // one sentence; empty when written

    explicit operator bool() const { return written; }
};

// The reason to show for a failed file system call's error number ("Permission denied.").
juce::String reasonFor(int errorNumber);
// The reason given for an existing file we may not write to.
juce::String writeProtectedReason();

// The temporary file's name: short and of one length whatever the file's name, so that any name
// the file system takes can be saved, and no preset list shows it.
bool isTemporaryName(const juce::String& fileName);

// Writes size bytes to file (missing folders above it are made). On failure the file, or the
// file a link at its place points to, keeps its old content and no temporary file is left.
Outcome replaceContent(const juce::File& file, const void* data, size_t size);
} // namespace FileReplacement
