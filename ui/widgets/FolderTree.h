#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A folder as read from disk: its sub-folders and the names of the files in it that can be opened
// as documents (regular files, or links to them) and match a wildcard, each group in name order.
struct FolderTree
{
    juce::String name;
    std::vector<FolderTree> subFolders;
    juce::StringArray fileNames;
};

// A file name without its extension, as JUCE's File::getFileNameWithoutExtension has it: a leading
// dot belongs to the name.
juce::String fileNameWithoutExtension(const juce::String& fileName);

// Name order: files by their names without extension ("Bass" before "Bass 2"), folders by their
// names, ignoring letter case as people read names; names equal but for case then come in
// code-point order, so the order never depends on the order the file system returns them in.
//
// Reads folder trees with one listing per folder, and a stat only for entries whose type the
// listing leaves open (folders, links). Folders are known by device and inode, so a folder reached
// a second time (a cycle, or a second link to it) is read once only: where it really is when that
// lies below the starting folder, otherwise at the first link the name order reaches. Everything listed can be opened again by its full path: entries whose full
// path would reach PATH_MAX are left out, and so are names that are not UTF-8 or hold a character
// a preset document cannot carry (StorableText).
class FolderTreeReader
{
public:
    // wildcard: one or more patterns separated by ";", matched ignoring case. At most maxFolders
    // folders below the starting folders are read; sub-folders are read only when listSubFolders.
    FolderTreeReader(const juce::String& wildcard, bool listSubFolders, int maxFolders);

    // The tree below an absolute path; an empty tree for a folder that cannot be listed or was
    // read before by this reader.
    FolderTree read(const juce::String& path);

private:
    using FolderId = std::pair<unsigned long long, unsigned long long>; // device, inode
    struct Entry;
    struct Place;
    // A folder reached through a link waits until every folder reachable without one has been
    // read, so a link never takes a folder away from the place where it really is.
    struct LinkedFolder
    {
        FolderTree* tree;
        FolderId id;
        std::string fullPath;
    };

    void readInto(FolderTree& tree, const Place& place);
    bool claim(const FolderId& id);
    static void removeFolders(FolderTree& tree, const std::set<const FolderTree*>& leftOut);
    // Lists and closes folderFd.
    std::vector<Entry> listSorted(int folderFd, size_t pathBytes) const;
    std::optional<Entry> entryFor(int dirFd, const char* name, unsigned char type) const;
    bool matchesWildcard(const char* name) const;

    std::vector<std::string> patterns;
    bool listSubFolders;
    int maxFolders;
    int subFoldersRead = 0;
    std::set<FolderId> visited;
    std::vector<LinkedFolder> linkedFolders;
};
