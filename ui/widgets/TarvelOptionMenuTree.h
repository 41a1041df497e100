#pragma once

#include "ui/widgets/FolderTree.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

// A label showing the selected file's name; a click scans a folder tree and pops up nested menus,
// one per folder, one item per matching file, the selected file ticked. The selection is kept as
// a path relative to the root folder with "/" separators. Label listeners hear of every file
// picked from the popup.
class TarvelOptionMenuTree : public juce::Label
{
public:
    explicit TarvelOptionMenuTree(const juce::String& componentName);
    ~TarvelOptionMenuTree() override;

    virtual void setDirectoryPath(const juce::String& path);
    // Selects a file by relative path and shows its name; rescans.
    virtual void setSelectedFilePath(const juce::String& path);
    // Selects item n (1-based) of the last scan without rescanning or notifying.
    virtual void setSelectedFileIndex(int itemNumber);
    virtual void setAsRecursive(bool shouldListSubFolders);
    virtual void setFileExtension(const juce::String& wildcard);
    virtual juce::String getSelectedFilePath() const;
    virtual int getSelectedFileIndex() const;
    // Entry i (0-based) of the last scan; empty when out of range.
    virtual juce::String getFilePath(int index) const;
    virtual juce::String getFileName(int index) const;
    // The number of listed files plus one.
    virtual int getNumOfFiles() const;
    // True when the last scan listed the file at this path relative to the root folder.
    bool isListed(const juce::String& relativePath) const;
    // True when the selection was taken from a listing (a pick, a step, or a path the last scan
    // found), so its file was there when listed; false for a path that was never found.
    bool isSelectionListed() const { return selectionListed; }
    const juce::String& getDirectoryPath() const { return directoryPath; }
    // Step through the last scan's items, wrapping around at either end.
    virtual void nextResult();
    virtual void previousResult();

    void mouseDown(const juce::MouseEvent& event) override;

    // Rescans the tree; true when the selected file was found.
    bool createMenuTree();
    // Fills the menu of one folder (after those of its sub-folders) and returns its number; -1
    // when the menus left cannot hold its tree.
    int createSubMenu(const juce::String& path, bool isRoot, bool& found);

    // The menus of the last scan; the root folder's menu is the last one filled.
    int getNumMenusFilled() const { return menuCount; }
    int getNumMenusAllocated() const { return (int) menus.size(); }
    const juce::PopupMenu* getRootMenu() const;

protected:
    // Rescans and pops up the root menu, without waiting for it: the host's thread that runs the
    // editor must not stay inside. When the menu closes on an item, the item is picked and then
    // afterPick runs; nothing happens when it was dismissed or this selector is gone.
    void popUpAndPick(std::function<void()> afterPick = {});
    // Opens the menu at this label and returns at once; `chosen` hears the item number when the
    // menu closes (0 when dismissed), also after this selector is gone.
    virtual void showPopup(const juce::PopupMenu& menu, std::function<void(int)> chosen);
    // What a choice from the popup does to the selection, the text and the listeners.
    // Announces the pick; false when this selector went meanwhile or a listener selected
    // something else (a file that loaded nothing gives way to the preset still loaded).
    bool pickItem(int itemNumber);
    // The same by the listed file's full path and shown name; the item number stays as it was
    // when a rescan since the menu was shown no longer lists the file.
    bool pickListedFile(const juce::String& fullPath, const juce::String& name);
    // A path given to select a file, with "\" read as "/" unless a file is listed by the path
    // as it stands.
    juce::String selectionPathOf(const juce::String& path) const;
    // The path below directoryPath of a listed file.
    juce::String relativePathOf(const juce::String& fullPath) const;
    bool acceptSelectedIndex(int itemNumber);
    void showNameOfPath(const juce::String& path, bool found);

    std::vector<juce::PopupMenu> menus;
    int menuCount = 0;
    int nextItemId = 1;
    juce::StringArray filePaths;
    juce::StringArray fileNames;
    juce::String directoryPath;
    juce::String selectedFilePath;
    int selectedFileIndex = 0;
    bool selectionListed = false;
    juce::String fileExtension = "*";
    bool recursive = true;

private:
    int fillMenuOf(const FolderTree& tree, const juce::String& folderPath, bool& found);
    void addFileItems(const FolderTree& tree, const juce::String& folderPath, bool& found);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelOptionMenuTree)
};
