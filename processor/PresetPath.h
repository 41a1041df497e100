#pragma once

// Preset paths as the programs keep them: relative to the preset folder, "/" separators.

#include <juce_core/juce_core.h>

#include <climits>

namespace PresetPath
{
// The longest path a file system takes, in UTF-8 bytes (PATH_MAX without its terminating zero).
constexpr int longestBytes = PATH_MAX - 1;

// A path as a document gives it; a longer one than any file system takes (a corrupt or crafted
// project) becomes the empty path, which names no file.
juce::String fromDocument(const juce::String& text);

// The name without extension of the file that folder + "/" + path names, as juce::File gives it
// for a path without "." or ".." components: runs of "/" count as one and a trailing "/" is
// dropped; "." and ".." are resolved. Linear in the text's length; juce::File takes quadratic time
// over a long run of "/".
juce::String fileNameWithoutExtension(const juce::String& folder, const juce::String& path);
} // namespace PresetPath
