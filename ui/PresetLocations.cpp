#include "ui/PresetLocations.h"

#include "processor/StateBlock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PresetLocations
{
namespace
{
juce::String audioMusicAppsText()
{
    return juce::File::getSpecialLocation(juce::File::userMusicDirectory)
        .getChildFile("Audio Music Apps")
        .getFullPathName();
}

bool hasParentReference(const juce::String& path)
{
    juce::StringArray parts;
    parts.addTokens(path, "/", "");
    return parts.contains("..");
}

bool isSmallRegularFile(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_size >= 0 && info.st_size <= maxPresetFileBytes;
}

// Closes the descriptor whatever way the reader leaves.
struct FileDescriptor
{
    explicit FileDescriptor(int d) : fd(d) {}
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int fd;
};

// The whole file, or false when it is not a small regular file or reading fails. Opening without
// blocking keeps a FIFO put in the file's place from stopping the caller's thread.
bool readSmallRegularFile(const juce::File& file, juce::MemoryBlock& bytes)
{
    FileDescriptor descriptor(::open(file.getFullPathName().toRawUTF8(),
                                     O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info = {};
    if (descriptor.fd < 0 || ::fstat(descriptor.fd, &info) != 0 || !isSmallRegularFile(info))
        return false;

    // One byte more than allowed shows a file that grew past the limit since it was measured.
    bytes.setSize((size_t) maxPresetFileBytes + 1);
    size_t total = 0;
    while (total < bytes.getSize())
    {
        const auto got = ::read(descriptor.fd, static_cast<char*>(bytes.getData()) + total,
                                bytes.getSize() - total);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        total += (size_t) got;
    }
    if (total > (size_t) maxPresetFileBytes)
        return false;
    bytes.setSize(total);
    return true;
}

std::unique_ptr<juce::XmlElement> parseBytes(const juce::MemoryBlock& bytes)
{
    const auto* text = static_cast<const char*>(bytes.getData());
    auto size = bytes.getSize();
    // A byte-order mark is not part of the document.
    if (size >= 3 && (juce::uint8) text[0] == 0xef && (juce::uint8) text[1] == 0xbb
        && (juce::uint8) text[2] == 0xbf)
    {
        text += 3;
        size -= 3;
    }
    if (size == 0 || !juce::CharPointer_UTF8::isValidString(text, (int) size))
        return {};
    return StateBlock::parseText(
        juce::String(juce::CharPointer_UTF8(text), juce::CharPointer_UTF8(text + size)));
}
} // namespace

juce::String presetFolderText()
{
    return audioMusicAppsText() + "/" + "Tarvel/Presets/WYD-KX7";
}

juce::File userManual()
{
    return juce::File(audioMusicAppsText() + "/" + "Tarvel/User Manuals" + "/"
                      + "WYD-KX7 Manual.pdf");
}

bool isInside(const juce::String& fullPath, const juce::String& folderPath)
{
    return folderPath.isNotEmpty() && fullPath.startsWith(folderPath + "/")
        && fullPath.length() > folderPath.length() + 1;
}

juce::String withSeparators(const juce::String& folderPath, const juce::String& presetPath)
{
    // Only the part below the folder is read: the folder's own path may hold a "\".
    const bool full = isInside(presetPath, folderPath);
    const auto below = full ? presetPath.substring(folderPath.length() + 1) : presetPath;
    if (!below.containsChar('\\') || folderPath.isEmpty()
        || juce::File(folderPath + "/" + below).exists())
        return presetPath;
    const auto converted = below.replaceCharacter('\\', '/');
    return full ? folderPath + "/" + converted : converted;
}

juce::File resolveInside(const juce::String& folderPath, const juce::String& presetPath)
{
    const auto path = withSeparators(folderPath, presetPath);
    if (path.isEmpty() || folderPath.isEmpty() || hasParentReference(path))
        return {};
    const auto full = path.startsWithChar('/') ? path : folderPath + "/" + path;
    if (!isInside(full, folderPath))
        return {};
    const juce::File file(full);
    return isInside(file.getFullPathName(), folderPath) ? file : juce::File();
}

bool isUsableName(const juce::String& name)
{
    return name.trim().isNotEmpty() && !name.containsOnly(" .");
}

juce::String relativePath(const juce::File& file, const juce::String& folderPath)
{
    const auto full = file.getFullPathName();
    return isInside(full, folderPath) ? full.substring(folderPath.length() + 1) : juce::String();
}

PresetFileContent readPresetFile(const juce::File& file)
{
    PresetFileContent content;
    juce::MemoryBlock bytes;
    if (file == juce::File() || !readSmallRegularFile(file, bytes))
        return content;
    content.readable = true;
    content.document = parseBytes(bytes);
    return content;
}
} // namespace PresetLocations
