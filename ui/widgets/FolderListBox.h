#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <sys/types.h>
#include <vector>

// The file `name` names inside `folder`, joined as text: File::getChildFile would read "~user"
// as a home folder and "a/../b" as a path of its own.
juce::File childAsText(const juce::File& folder, const juce::String& name);

// The file dialog's list of its browser's current folder, in place of the browser's own list.
// Every entry is kept by its name and joined to the folder's path as text: JUCE's own list joins
// with File::getChildFile, which reads a name such as "~news" as the home folder of user "news",
// so such a folder showed as "news" and opened somewhere else entirely.
class FolderListBox : public juce::ListBox, private juce::ListBoxModel, private juce::ComponentListener
{
public:
    struct Entry
    {
        juce::String name;
        bool isFolder = false;
        juce::int64 size = 0;
        juce::Time modified;
    };

    // Sits over the browser's own list, which it hides, and lists the folders and the files that
    // the browser's flags and filter accept.
    FolderListBox(juce::FileBrowserComponent& browser, int browserFlags, const juce::FileFilter& filter);
    ~FolderListBox() override;

    // Lists the browser's current folder again.
    void refresh();
    // Lists it again when the folder is another one or changed on disk since the last listing.
    void refreshIfChanged();

    const std::vector<Entry>& getEntries() const { return entries; }
    // The entry of a row as a file: the folder's path and the name joined as text.
    juce::File fileOfRow(int row) const;
    // The first selected entry, or no file.
    juce::File getSelectedFile() const;

    // A file double-clicked or chosen with Return.
    std::function<void(const juce::File&)> onFileChosen;

private:
    struct FolderStamp
    {
        juce::String path;
        dev_t device = 0;
        ino_t inode = 0;
        long long changedNs = -1;
        bool operator==(const FolderStamp& other) const;
    };
    static FolderStamp stampOf(const juce::String& path);

    int getNumRows() override;
    void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
    void listBoxItemClicked(int row, const juce::MouseEvent& event) override;
    void listBoxItemDoubleClicked(int row, const juce::MouseEvent& event) override;
    void returnKeyPressed(int row) override;
    void componentMovedOrResized(juce::Component& component, bool wasMoved, bool wasResized) override;

    void open(int row);
    // The entry of a row, or nullptr for a row outside the listing.
    const Entry* entryAt(int row) const;
    juce::Component* browsersOwnList() const;

    juce::FileBrowserComponent& browser;
    const int flags;
    const juce::FileFilter& filter;
    std::vector<Entry> entries;
    FolderStamp listed;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(FolderListBox)
};
