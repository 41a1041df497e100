#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// Where presets and the user manual live, and the checks every reader and writer of a preset file
// goes through. Preset paths arrive from host state blocks, that is from project files users
// exchange, so a path is only ever resolved to a file inside the preset folder, and a preset file
// is only read when it is a small regular file.
namespace PresetLocations
{
// Largest preset file that is read; real presets are about 2 KB.
constexpr juce::int64 maxPresetFileBytes = 1024 * 1024;

// "<Music>/Audio Music Apps/Tarvel/Presets/WYD-KX7" as text, "/" separators.
juce::String presetFolderText();
// "<Music>/Audio Music Apps/Tarvel/User Manuals/WYD-KX7 Manual.pdf".
juce::File userManual();

// True when fullPath names something below folderPath: it starts with folderPath followed by "/"
// (letter case counts, as it does for the file system). The folder itself is not inside.
bool isInside(const juce::String& fullPath, const juce::String& folderPath);

// A preset path (relative to folderPath, or a full path below it) with each "\" read as a folder
// separator, as paths from the original platform's state blocks and names typed that way mean it;
// unchanged when it names an existing file or folder as it stands, so a file whose name holds a
// "\" is found by the path it was listed with.
juce::String withSeparators(const juce::String& folderPath, const juce::String& presetPath);

// The file a preset path stands for, read by withSeparators. An empty path, a path with a ".."
// component, or an absolute path outside the folder yields juce::File() (no file), so no caller
// can reach outside the folder.
juce::File resolveInside(const juce::String& folderPath, const juce::String& presetPath);

// Whether a name typed for one file or folder can be used: not empty after trimming and not made
// only of spaces and dots ("", ".", "..", "   ", "..."), which name no new entry, a hidden one or
// one that can't be seen in a list.
bool isUsableName(const juce::String& name);

// The path of file relative to folderPath with "/" separators, or an empty text when the file is
// not inside the folder.
juce::String relativePath(const juce::File& file, const juce::String& folderPath);

// Result of reading a preset file: whether it could be read at all, and its document (null when
// the text is no XML the guarded parser accepts).
struct PresetFileContent
{
    bool readable = false;
    std::unique_ptr<juce::XmlElement> document;
};

// Reads a regular file (after following links) of at most maxPresetFileBytes, without ever
// blocking on a FIFO, and parses the text with the guarded XML reader. A device, a FIFO, a folder
// or a larger file is not readable: callers treat it as missing.
PresetFileContent readPresetFile(const juce::File& file);
} // namespace PresetLocations
