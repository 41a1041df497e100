#include "ui/widgets/FolderListBox.h"

#include <sys/stat.h>

#include <algorithm>

namespace
{
using Flags = juce::FileBrowserComponent::FileChooserFlags;
} // namespace

juce::File childAsText(const juce::File& folder, const juce::String& name)
{
    const auto path = folder.getFullPathName();
    return juce::File(path.endsWithChar('/') ? path + name : path + "/" + name);
}

bool FolderListBox::FolderStamp::operator==(const FolderStamp& other) const
{
    return path == other.path && device == other.device && inode == other.inode
        && changedNs == other.changedNs;
}

FolderListBox::FolderStamp FolderListBox::stampOf(const juce::String& path)
{
    FolderStamp stamp;
    stamp.path = path;
    struct stat info = {};
    if (::stat(path.toRawUTF8(), &info) == 0)
    {
        stamp.device = info.st_dev;
        stamp.inode = info.st_ino;
        // An entry added, removed or renamed changes the folder's modification time.
        stamp.changedNs = (long long) info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    }
    return stamp;
}

FolderListBox::FolderListBox(juce::FileBrowserComponent& browserToCover, int browserFlags,
                             const juce::FileFilter& fileFilter)
    : juce::ListBox("folderList_", nullptr), browser(browserToCover), flags(browserFlags), filter(fileFilter)
{
    setModel(this);
    setMultipleSelectionEnabled((flags & Flags::canSelectMultipleItems) != 0);
    browser.addAndMakeVisible(*this);
    if (auto* own = browsersOwnList())
    {
        own->setVisible(false);
        own->addComponentListener(this);
        setBounds(own->getBounds());
    }
    refresh();
}

FolderListBox::~FolderListBox()
{
    if (auto* own = browsersOwnList())
        own->removeComponentListener(this);
}

juce::Component* FolderListBox::browsersOwnList() const
{
    return dynamic_cast<juce::Component*>(browser.getDisplayComponent());
}

void FolderListBox::componentMovedOrResized(juce::Component& component, bool, bool)
{
    setBounds(component.getBounds());
}

void FolderListBox::refresh()
{
    const auto folder = browser.getRoot();
    listed = stampOf(folder.getFullPathName());
    entries.clear();
    for (const auto& found : juce::RangedDirectoryIterator(
             folder, false, "*", juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles))
    {
        const auto file = found.getFile();
        const bool isFolder = found.isDirectory();
        if (!isFolder && ((flags & Flags::canSelectFiles) == 0 || !filter.isFileSuitable(file)))
            continue;
        entries.push_back({file.getFileName(), isFolder, found.getFileSize(), found.getModificationTime()});
    }
    // The order of the browser's own list.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name.compareNatural(b.name) < 0; });
    deselectAllRows();
    updateContent();
    repaint();
}

void FolderListBox::refreshIfChanged()
{
    if (!(stampOf(browser.getRoot().getFullPathName()) == listed))
        refresh();
}

const FolderListBox::Entry* FolderListBox::entryAt(int row) const
{
    return row >= 0 && row < (int) entries.size() ? &entries[(size_t) row] : nullptr;
}

juce::File FolderListBox::fileOfRow(int row) const
{
    const auto* entry = entryAt(row);
    return entry != nullptr ? childAsText(browser.getRoot(), entry->name) : juce::File();
}

juce::File FolderListBox::getSelectedFile() const
{
    return fileOfRow(getSelectedRow(0));
}

int FolderListBox::getNumRows()
{
    return (int) entries.size();
}

void FolderListBox::paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected)
{
    const auto* entry = entryAt(row);
    auto* own = browser.getDisplayComponent();
    if (entry == nullptr || own == nullptr)
        return;
    // Drawn as the browser's own list draws its rows, with its colours.
    getLookAndFeel().drawFileBrowserRow(
        g, width, height, fileOfRow(row), entry->name, nullptr,
        entry->isFolder ? juce::String() : juce::File::descriptionOfSizeInBytes(entry->size),
        entry->modified.formatted("%d %b '%y %H:%M"), entry->isFolder, selected, row, *own);
}

// A click on a file puts its name into the name field, as the browser's own list does.
void FolderListBox::listBoxItemClicked(int row, const juce::MouseEvent&)
{
    const auto* entry = entryAt(row);
    if (entry != nullptr && !entry->isFolder && (flags & Flags::saveMode) != 0)
        browser.setFileName(entry->name);
}

void FolderListBox::listBoxItemDoubleClicked(int row, const juce::MouseEvent&)
{
    open(row);
}

void FolderListBox::returnKeyPressed(int row)
{
    open(row);
}

void FolderListBox::open(int row)
{
    const auto* entry = entryAt(row);
    if (entry == nullptr)
        return;
    const auto file = fileOfRow(row);
    if (entry->isFolder)
    {
        browser.setRoot(file); // the dialog hears of it and lists the new folder
        return;
    }
    if ((flags & Flags::saveMode) != 0)
        browser.setFileName(entry->name);
    if (onFileChosen)
        onFileChosen(file);
}
