#include "ui/widgets/TarvelOptionMenuTree.h"

#include "ui/PresetLocations.h"
#include "ui/widgets/EditorPopups.h"

namespace
{
// Bounds the menus of one scan however large the tree on disk.
constexpr int maxFoldersPerScan = 10000;

// What JUCE's File::getFileNameWithoutExtension gives for the last component of a path.
juce::String nameWithoutExtension(const juce::String& path)
{
    return fileNameWithoutExtension(path.fromLastOccurrenceOf("/", false, false));
}

int numFoldersIn(const FolderTree& tree)
{
    int count = 1;
    for (const auto& sub : tree.subFolders)
        count += numFoldersIn(sub);
    return count;
}
} // namespace

TarvelOptionMenuTree::TarvelOptionMenuTree(const juce::String& componentName)
    : juce::Label(componentName, juce::String()),
      directoryPath(juce::File::getSpecialLocation(juce::File::userMusicDirectory)
                        .getChildFile("Audio Music Apps")
                        .getFullPathName())
{
    setJustificationType(juce::Justification::centred);
    setColour(juce::Label::textColourId, juce::Colours::white);
    setEditable(false, false, false);
}

TarvelOptionMenuTree::~TarvelOptionMenuTree()
{
    EditorPopups::dismissMenusOf(*this);
    menus.clear();
}

void TarvelOptionMenuTree::setDirectoryPath(const juce::String& path)
{
    // Taken as it stands: a backslash in the folder's own path is part of a name on this system.
    directoryPath = path;
    // A trailing "/" would make every listed path differ from directoryPath + "/" + name.
    while (directoryPath.length() > 1 && directoryPath.endsWithChar('/'))
        directoryPath = directoryPath.dropLastCharacters(1);
}

void TarvelOptionMenuTree::setSelectedFilePath(const juce::String& path)
{
    selectedFilePath = selectionPathOf(path);
    selectionListed = createMenuTree();
    showNameOfPath(selectedFilePath, selectionListed);
}

void TarvelOptionMenuTree::showNameOfPath(const juce::String& path, bool found)
{
    if (found)
        setText(fileNames[selectedFileIndex - 1], juce::dontSendNotification);
    else
        setText(nameWithoutExtension(path), juce::dontSendNotification);
}

void TarvelOptionMenuTree::setSelectedFileIndex(int itemNumber)
{
    acceptSelectedIndex(itemNumber);
}

bool TarvelOptionMenuTree::acceptSelectedIndex(int itemNumber)
{
    if (itemNumber < 1 || itemNumber >= nextItemId || filePaths[0].isEmpty())
        return false;
    selectedFileIndex = itemNumber;
    selectedFilePath = relativePathOf(filePaths[itemNumber - 1]);
    selectionListed = true;
    setText(fileNames[itemNumber - 1], juce::dontSendNotification);
    return true;
}

void TarvelOptionMenuTree::setAsRecursive(bool shouldListSubFolders)
{
    recursive = shouldListSubFolders;
}

void TarvelOptionMenuTree::setFileExtension(const juce::String& wildcard)
{
    fileExtension = wildcard;
}

juce::String TarvelOptionMenuTree::getSelectedFilePath() const
{
    return selectedFilePath;
}

int TarvelOptionMenuTree::getSelectedFileIndex() const
{
    return selectedFileIndex;
}

juce::String TarvelOptionMenuTree::getFilePath(int index) const
{
    return filePaths[index];
}

juce::String TarvelOptionMenuTree::getFileName(int index) const
{
    return fileNames[index];
}

int TarvelOptionMenuTree::getNumOfFiles() const
{
    return nextItemId;
}

bool TarvelOptionMenuTree::isListed(const juce::String& relativePath) const
{
    return relativePath.isNotEmpty() && filePaths.contains(directoryPath + "/" + relativePath);
}

void TarvelOptionMenuTree::nextResult()
{
    setSelectedFileIndex(selectedFileIndex >= nextItemId - 1 ? 1 : selectedFileIndex + 1);
}

void TarvelOptionMenuTree::previousResult()
{
    setSelectedFileIndex(selectedFileIndex > 1 ? selectedFileIndex - 1 : nextItemId - 1);
}

const juce::PopupMenu* TarvelOptionMenuTree::getRootMenu() const
{
    return menuCount > 0 ? &menus[(size_t) menuCount - 1] : nullptr;
}

juce::String TarvelOptionMenuTree::selectionPathOf(const juce::String& path) const
{
    return PresetLocations::withSeparators(directoryPath, path);
}

juce::String TarvelOptionMenuTree::relativePathOf(const juce::String& fullPath) const
{
    const auto prefix = directoryPath + "/";
    return fullPath.startsWith(prefix) ? fullPath.substring(prefix.length()) : fullPath;
}

bool TarvelOptionMenuTree::createMenuTree()
{
    bool found = false;
    createSubMenu(directoryPath, true, found);
    return found;
}

// The whole tree is read before any menu is filled, so the menus are sized from the very listings
// they are filled from: folders that appear or vanish meanwhile cannot make a scan fill more menus
// than it allocated, and every folder is listed once per scan.
int TarvelOptionMenuTree::createSubMenu(const juce::String& path, bool isRoot, bool& found)
{
    const auto folderPath = juce::File::isAbsolutePath(path) ? juce::File(path).getFullPathName()
                                                              : juce::String();
    const auto tree = FolderTreeReader(fileExtension, recursive, maxFoldersPerScan).read(folderPath);
    const int numFolders = numFoldersIn(tree);
    if (isRoot)
    {
        filePaths.clear();
        fileNames.clear();
        menuCount = 0;
        nextItemId = 1;
        menus.clear();
        menus.resize((size_t) numFolders);
    }
    if (numFolders > (int) menus.size() - menuCount)
        return -1;
    return fillMenuOf(tree, folderPath, found);
}

int TarvelOptionMenuTree::fillMenuOf(const FolderTree& tree, const juce::String& folderPath,
                                     bool& found)
{
    std::vector<int> subMenuIndices;
    for (const auto& sub : tree.subFolders)
        subMenuIndices.push_back(fillMenuOf(sub, folderPath + "/" + sub.name, found));
    // Each sub-menu moves into its parent: a copy would cost the depth of the tree at every level.
    auto& menu = menus[(size_t) menuCount];
    for (size_t i = 0; i < subMenuIndices.size(); ++i)
        menu.addSubMenu(tree.subFolders[i].name, std::move(menus[(size_t) subMenuIndices[i]]), true);
    addFileItems(tree, folderPath, found);
    return menuCount++;
}

void TarvelOptionMenuTree::addFileItems(const FolderTree& tree, const juce::String& folderPath,
                                        bool& found)
{
    const auto target = directoryPath + "/" + selectedFilePath;
    for (const auto& name : tree.fileNames)
    {
        const auto fullPath = folderPath + "/" + name;
        const bool ticked = fullPath == target;
        if (ticked)
        {
            found = true;
            selectedFileIndex = nextItemId;
        }
        menus[(size_t) menuCount].addItem(nextItemId, name, true, ticked);
        filePaths.add(fullPath);
        fileNames.add(fileNameWithoutExtension(name));
        ++nextItemId;
    }
}

void TarvelOptionMenuTree::mouseDown(const juce::MouseEvent&)
{
    popUpAndPick();
}

void TarvelOptionMenuTree::popUpAndPick(std::function<void()> afterPick)
{
    createMenuTree();
    const auto* root = getRootMenu();
    if (root == nullptr || root->getNumItems() == 0)
        return;

    juce::Component::SafePointer<TarvelOptionMenuTree> safeThis(this);
    auto whenClosed = [safeThis, listedWhenShown = filePaths, afterPick = std::move(afterPick)](int chosen) {
        // The editor may have been closed while the menu was open.
        if (safeThis == nullptr || chosen < 1 || chosen > listedWhenShown.size())
            return;
        // The editor's timer may have rescanned meanwhile: the number belongs to the shown listing,
        // and a file gone since is still picked, so that its loss is reported.
        const auto& path = listedWhenShown[chosen - 1];
        const int now = safeThis->filePaths.indexOf(path) + 1;
        const bool picked = now > 0 ? safeThis->pickItem(now)
                                    : safeThis->pickListedFile(path, nameWithoutExtension(path));
        if (picked && afterPick)
            afterPick();
    };
    showPopup(*root, std::move(whenClosed));
}

void TarvelOptionMenuTree::showPopup(const juce::PopupMenu& menu, std::function<void(int)> chosen)
{
    // JUCE 7 draws a menu with the default look unless the menu is given one: use the label's.
    juce::PopupMenu popup(menu);
    popup.setLookAndFeel(&getLookAndFeel());
    // A menu closes itself at once unless one of our windows has the X keyboard focus, which a
    // click on a label does not give it.
    EditorPopups::takeInputFocus(*this);
    EditorPopups::showMenu(popup, *this, std::move(chosen));
}

bool TarvelOptionMenuTree::pickItem(int itemNumber)
{
    selectedFileIndex = itemNumber;
    return pickListedFile(filePaths[itemNumber - 1], fileNames[itemNumber - 1]);
}

bool TarvelOptionMenuTree::pickListedFile(const juce::String& fullPath, const juce::String& name)
{
    selectedFilePath = relativePathOf(fullPath);
    selectionListed = true;
    const auto picked = selectedFilePath;
    // Every pick is announced, also of the file whose name is shown: the user may have stepped
    // away from it or changed values since. The listeners still see the old name.
    juce::Component::SafePointer<TarvelOptionMenuTree> safeThis(this);
    callChangeListeners();
    if (safeThis == nullptr || selectedFilePath != picked)
        return false;
    setText(name, juce::dontSendNotification);
    return true;
}
