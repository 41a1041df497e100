#include "ui/widgets/FolderTree.h"

#include "processor/StorableText.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <wctype.h>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

// The 64-bit listing and stat calls throughout: the 32-bit build would otherwise stop a listing at
// the first entry whose inode number needs more than 32 bits.

namespace
{
// ".", ".." and names made only of dots are no documents and no folders to show.
bool isOnlyDots(const char* name)
{
    return name[std::strspn(name, ".")] == '\0';
}

// A name that is not UTF-8 cannot be turned into a path that opens the same entry again, and one
// that a preset document cannot carry would make the host's copy of the state unreadable.
bool isUsableName(const char* name)
{
    return !isOnlyDots(name) && StorableText::isStorableFileName(name);
}

bool isLinkAt(int dirFd, const char* name)
{
    struct stat64 info;
    return ::fstatat64(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
}

// C.UTF-8's character classes, freed with the library: a host may load and unload it many times.
struct UnicodeLocale
{
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", (locale_t) nullptr);
    ~UnicodeLocale()
    {
        if (locale != (locale_t) nullptr)
            ::freelocale(locale);
    }
};

// Letter case folded alike whatever locale the host has set: by C.UTF-8's mapping, or by ASCII's
// where the C library has no such locale.
std::wstring foldedCase(const juce::String& text)
{
    static const UnicodeLocale unicodeLocale;
    const locale_t unicode = unicodeLocale.locale;
    std::wstring folded;
    for (auto c = text.getCharPointer(); !c.isEmpty();)
    {
        const auto character = (wint_t) c.getAndAdvance();
        if (unicode != (locale_t) nullptr)
            folded += (wchar_t) ::towlower_l(character, unicode);
        else
            folded += (wchar_t) (character >= 'A' && character <= 'Z' ? character + 32 : character);
    }
    return folded;
}

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};
} // namespace

struct FolderTreeReader::Entry
{
    juce::String name;
    std::wstring folded;
    FolderId id;
    bool isFolder = false;
    bool isLink = false;

    bool operator<(const Entry& other) const
    {
        return folded != other.folded ? folded < other.folded : name.compare(other.name) < 0;
    }
};

juce::String fileNameWithoutExtension(const juce::String& fileName)
{
    const int dot = fileName.lastIndexOfChar('.');
    return dot > 0 ? fileName.substring(0, dot) : fileName;
}

FolderTreeReader::FolderTreeReader(const juce::String& wildcard, bool shouldListSubFolders,
                                   int maxFoldersToRead)
    : listSubFolders(shouldListSubFolders), maxFolders(maxFoldersToRead)
{
    for (const auto& pattern : juce::StringArray::fromTokens(wildcard, ";", ""))
        if (pattern.trim().isNotEmpty())
            patterns.push_back(pattern.trim().toStdString());
}

bool FolderTreeReader::matchesWildcard(const char* name) const
{
    return std::any_of(patterns.begin(), patterns.end(), [name](const std::string& pattern) {
        return ::fnmatch(pattern.c_str(), name, FNM_CASEFOLD) == 0;
    });
}

// Where a folder is opened from. Opening by full path would make the kernel walk every folder
// above it again, which costs the square of the depth over a deep tree; keeping every folder on
// the way open would use a file descriptor per level. So every anchorSpacing-th folder on the way
// stays open, and a folder is opened by its few names below the nearest such anchor.
struct FolderTreeReader::Place
{
    static constexpr int anchorSpacing = 32;

    int anchorFd;
    std::string pathFromAnchor;
    int levelsBelowAnchor;
    std::string fullPath;

    static Place atFullPath(const std::string& path) { return { AT_FDCWD, path, anchorSpacing, path }; }

    bool isAnchor() const { return levelsBelowAnchor >= anchorSpacing; }

    // fd: this folder's own descriptor, used when it is an anchor.
    Place below(int fd, const std::string& name) const
    {
        const auto path = fullPath + "/" + name;
        return isAnchor() ? Place { fd, name, 1, path }
                          : Place { anchorFd, pathFromAnchor + "/" + name, levelsBelowAnchor + 1, path };
    }
};

FolderTree FolderTreeReader::read(const juce::String& path)
{
    FolderTree tree;
    tree.name = path.fromLastOccurrenceOf("/", false, false);
    const std::string fullPath = path.toStdString();
    struct stat64 info;
    if (::stat64(fullPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)
        || !visited.insert({ info.st_dev, info.st_ino }).second)
        return tree;
    readInto(tree, Place::atFullPath(fullPath));
    std::set<const FolderTree*> leftOut;
    // Reading a linked folder can find further links: the queue grows while it is worked off.
    for (size_t i = 0; i < linkedFolders.size(); ++i)
    {
        const auto linked = linkedFolders[i];
        if (claim(linked.id))
            readInto(*linked.tree, Place::atFullPath(linked.fullPath));
        else
            leftOut.insert(linked.tree);
    }
    linkedFolders.clear();
    removeFolders(tree, leftOut);
    return tree;
}

bool FolderTreeReader::claim(const FolderId& id)
{
    if (subFoldersRead >= maxFolders || !visited.insert(id).second)
        return false;
    ++subFoldersRead;
    return true;
}

void FolderTreeReader::removeFolders(FolderTree& tree, const std::set<const FolderTree*>& leftOut)
{
    for (auto& sub : tree.subFolders)
        removeFolders(sub, leftOut);
    auto& subs = tree.subFolders;
    subs.erase(std::remove_if(subs.begin(), subs.end(),
                              [&leftOut](const FolderTree& sub) { return leftOut.count(&sub) > 0; }),
               subs.end());
}

// Recursion as deep as the tree: every level adds at least two bytes to a full path that stays
// below PATH_MAX, so the depth stays in the low thousands.
void FolderTreeReader::readInto(FolderTree& tree, const Place& place)
{
    const int fd = ::openat(place.anchorFd, place.pathFromAnchor.c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // The listing takes its descriptor over; an anchor's own stays open for its sub-folders.
    const auto entries =
        listSorted(place.isAnchor() ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : fd, place.fullPath.size());
    // Reserved once, so the linked folders waiting in the queue keep their addresses.
    tree.subFolders.reserve((size_t) std::count_if(
        entries.begin(), entries.end(), [](const Entry& entry) { return entry.isFolder; }));
    for (const auto& entry : entries)
    {
        if (!entry.isFolder)
        {
            tree.fileNames.add(entry.name);
            continue;
        }
        if (!entry.isLink && !claim(entry.id))
            continue;
        tree.subFolders.emplace_back();
        auto& sub = tree.subFolders.back();
        sub.name = entry.name;
        const auto subPlace = place.below(fd, entry.name.toStdString());
        if (entry.isLink)
            linkedFolders.push_back({ &sub, entry.id, subPlace.fullPath });
        else
            readInto(sub, subPlace);
    }
    if (place.isAnchor())
        ::close(fd);
}

std::vector<FolderTreeReader::Entry> FolderTreeReader::listSorted(int folderFd,
                                                                  size_t pathBytes) const
{
    std::vector<Entry> entries;
    std::unique_ptr<DIR, DirCloser> dir(folderFd >= 0 ? ::fdopendir(folderFd) : nullptr);
    if (dir == nullptr)
    {
        if (folderFd >= 0)
            ::close(folderFd);
        return entries;
    }
    while (const auto* found = ::readdir64(dir.get()))
        if (pathBytes + 1 + std::strlen(found->d_name) < PATH_MAX)
            if (auto entry = entryFor(::dirfd(dir.get()), found->d_name, found->d_type))
                entries.push_back(std::move(*entry));
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::optional<FolderTreeReader::Entry> FolderTreeReader::entryFor(int dirFd, const char* name,
                                                                  unsigned char type) const
{
    if (!isUsableName(name))
        return std::nullopt;
    const bool matches = matchesWildcard(name);
    Entry entry;
    if (type != DT_REG)
    {
        // A folder needs a stat for its identity, a link or an unknown type to learn what it is.
        // Devices, FIFOs and sockets are never documents.
        const bool mayBeWanted = type == DT_DIR ? listSubFolders
                                                : (type == DT_LNK || type == DT_UNKNOWN)
                                                      && (matches || listSubFolders);
        struct stat64 info;
        if (!mayBeWanted || ::fstatat64(dirFd, name, &info, 0) != 0) // a dangling link fails
            return std::nullopt;
        entry.isFolder = S_ISDIR(info.st_mode);
        entry.isLink = type == DT_LNK || (type == DT_UNKNOWN && isLinkAt(dirFd, name));
        entry.id = { info.st_dev, info.st_ino };
        if (entry.isFolder ? !listSubFolders : !S_ISREG(info.st_mode))
            return std::nullopt;
    }
    if (!entry.isFolder && !matches)
        return std::nullopt;
    entry.name = juce::String::fromUTF8(name);
    entry.folded = foldedCase(entry.isFolder ? entry.name : fileNameWithoutExtension(entry.name));
    return entry;
}
