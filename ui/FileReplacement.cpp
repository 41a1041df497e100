#include "ui/FileReplacement.h"

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The 64-bit stat calls: in the 32-bit build the plain ones fail on files with large inode numbers.

namespace FileReplacement
{
namespace
{
const char* const temporaryPrefix = ".wyd-";
const char* const temporarySuffix = ".tmp";
constexpr int temporaryHexDigits = 8;
// As many hops as the kernel follows before it gives up with ELOOP.
constexpr int maxLinkHops = 40;

struct Failure
{
    int errorNumber = 0;
};

bool fail(Failure& failure, int errorNumber)
{
    failure.errorNumber = errorNumber;
    return false;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file the path finally names: links followed one by one, a relative target read from the
// link's own folder. A link to a missing file names that file, which the save then creates.
bool followLinks(std::string& path, Failure& failure)
{
    for (int hop = 0; hop < maxLinkHops; ++hop)
    {
        struct stat64 info;
        if (::lstat64(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::string target(PATH_MAX, '\0');
        const auto length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || (size_t) length >= target.size())
            return fail(failure, length < 0 ? errno : ENAMETOOLONG);
        target.resize((size_t) length);
        path = target.front() == '/' ? target : folderOf(path) + target;
    }
    return fail(failure, ELOOP);
}

// A name no other save uses at the same time: another one is tried when it is taken.
std::string temporaryPathBeside(const std::string& path)
{
    char digits[temporaryHexDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", (unsigned) juce::Random::getSystemRandom().nextInt());
    return folderOf(path) + temporaryPrefix + digits + temporarySuffix;
}

// Opens a new temporary file with the permissions a new file gets (0666 less the umask).
int createTemporary(const std::string& path, std::string& temporaryPath, Failure& failure)
{
    for (int attempt = 0; attempt < 16; ++attempt)
    {
        temporaryPath = temporaryPathBeside(path);
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    fail(failure, errno);
    return -1;
}

bool writeAll(int fd, const char* data, size_t size, Failure& failure)
{
    while (size > 0)
    {
        const auto written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(failure, written < 0 ? errno : EIO);
        data += written;
        size -= (size_t) written;
    }
    return true;
}

bool flushToDisk(int fd, Failure& failure)
{
    while (::fsync(fd) != 0)
        if (errno != EINTR)
            return fail(failure, errno);
    return true;
}

// The new content, complete on the disk, in the temporary file; the existing file's permissions
// carried over so a replaced preset keeps them.
bool fillTemporary(int fd, const void* data, size_t size, const struct stat64* existing, Failure& failure)
{
    bool filled = writeAll(fd, static_cast<const char*>(data), size, failure) && flushToDisk(fd, failure);
    if (filled && existing != nullptr && ::fchmod(fd, existing->st_mode & 07777) != 0)
        filled = fail(failure, errno);
    // Network file systems may report a failed write only when the file is closed.
    if (::close(fd) != 0 && errno != EINTR && filled)
        filled = fail(failure, errno);
    return filled;
}

bool renameOver(const std::string& from, const std::string& to, Failure& failure)
{
    return ::rename(from.c_str(), to.c_str()) == 0 || fail(failure, errno);
}

Outcome failed(const Failure& failure)
{
    return { false, reasonFor(failure.errorNumber) };
}
} // namespace

juce::String reasonFor(int errorNumber)
{
    const char* description = errorNumber != 0 ? ::strerrordesc_np(errorNumber) : nullptr;
    return juce::String(description != nullptr ? description : "Unknown error") + ".";
}

juce::String writeProtectedReason()
{
    return "The preset file is write-protected.";
}

bool isTemporaryName(const juce::String& fileName)
{
    const auto prefix = juce::String(temporaryPrefix), suffix = juce::String(temporarySuffix);
    return fileName.length() == prefix.length() + temporaryHexDigits + suffix.length()
        && fileName.startsWith(prefix) && fileName.endsWith(suffix);
}

Outcome replaceContent(const juce::File& file, const void* data, size_t size)
{
    Failure failure;
    std::string path = file.getFullPathName().toStdString();
    if (path.empty() || !followLinks(path, failure))
        return failed(failure);

    struct stat64 existing;
    const bool exists = ::stat64(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failed({ EISDIR });
    // Replacing needs only the folder's permission; a file marked read-only is the user's word.
    if (exists && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return { false, errno == EACCES || errno == EPERM ? writeProtectedReason() : reasonFor(errno) };
    if (!exists)
        juce::File(juce::String::fromUTF8(folderOf(path).c_str())).createDirectory();

    std::string temporaryPath;
    const int fd = createTemporary(path, temporaryPath, failure);
    if (fd < 0)
        return failed(failure);
    if (!fillTemporary(fd, data, size, exists ? &existing : nullptr, failure)
        || !renameOver(temporaryPath, path, failure))
    {
        ::unlink(temporaryPath.c_str());
        return failed(failure);
    }
    return { true, {} };
}
} // namespace FileReplacement
