#include "ui/widgets/TarvelOptionMenuTree.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <set>

namespace
{
// Bounds the menus of one scan however large the tree on disk.
constexpr int maxFoldersPerScan = 10000;

// The folder's real path with every link resolved; empty when it cannot be resolved.
juce::String realPathOf(const juce::File& folder)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(folder.getFullPathName().toRawUTF8(), nullptr), &std::free);
    return resolved != nullptr ? juce::String::fromUTF8(resolved.get()) : juce::String();
}

// What JUCE's File::getFileNameWithoutExtension gives for the last component of a path.
juce::String nameWithoutExtension(const juce::String& path)
{
    const auto name = path.fromLastOccurrenceOf("/", false, false);
    const int dot = name.lastIndexOfChar('.');
    return dot >= 0 ? name.substring(0, dot) : name;
}

juce::File folderAt(const juce::String& path)
{
    return juce::File::isAbsolutePath(path) ? juce::File(path) : juce::File();
}

juce::Array<juce::File> subFoldersOf(const juce::File& folder)
{
    return folder.isDirectory() ? folder.findChildFiles(juce::File::findDirectories, false, "*")
                                : juce::Array<juce::File>();
}
} // namespace

// Every real folder is visited at most once per scan: a link back to a folder already visited
// (a cycle, or a second way to the same folder) is not listed. The count that sizes the menus
// follows the same rule, and a folder that appears after the count finds no menu left and is left
// out, so a scan never fills more menus than it allocated.
struct TarvelOptionMenuTree::ScanState
{
    std::set<juce::String> visited;
    int menusReserved = 0;

    bool visit(const juce::File& folder)
    {
        const auto real = realPathOf(folder);
        return real.isNotEmpty() && visited.insert(real).second;
    }
};

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
    juce::PopupMenu::dismissAllActiveMenus();
    menus.clear();
}

void TarvelOptionMenuTree::setDirectoryPath(const juce::String& path)
{
    directoryPath = path.replaceCharacter('\\', '/');
    // A trailing "/" would make every listed path differ from directoryPath + "/" + name.
    while (directoryPath.length() > 1 && directoryPath.endsWithChar('/'))
        directoryPath = directoryPath.dropLastCharacters(1);
}

void TarvelOptionMenuTree::setSelectedFilePath(const juce::String& path)
{
    selectedFilePath = path.replaceCharacter('\\', '/');
    showNameOfPath(selectedFilePath, createMenuTree());
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

juce::String TarvelOptionMenuTree::relativePathOf(const juce::String& fullPath) const
{
    const auto prefix = directoryPath + "/";
    return fullPath.startsWith(prefix) ? fullPath.substring(prefix.length()) : fullPath;
}

bool TarvelOptionMenuTree::createMenuTree()
{
    bool found = false;
    ScanState state;
    scan = &state;
    createSubMenu(directoryPath, true, found);
    scan = nullptr;
    return found;
}

int TarvelOptionMenuTree::countFoldersToScan(const juce::File& folder, ScanState& counting) const
{
    int count = 0;
    for (const auto& child : subFoldersOf(folder))
    {
        if (count >= maxFoldersPerScan)
            break;
        if (counting.visit(child))
            count += 1 + countFoldersToScan(child, counting);
    }
    return juce::jmin(count, maxFoldersPerScan);
}

int TarvelOptionMenuTree::createSubMenu(const juce::String& path, bool isRoot, bool& found)
{
    // Called on its own (not through createMenuTree), a scan still needs its bookkeeping; the
    // menus filled so far stay taken.
    ScanState ownState;
    if (scan == nullptr)
    {
        ownState.menusReserved = menuCount;
        scan = &ownState;
    }
    const auto result = fillMenuOf(path, isRoot, found);
    if (scan == &ownState)
        scan = nullptr;
    return result;
}

int TarvelOptionMenuTree::fillMenuOf(const juce::String& path, bool isRoot, bool& found)
{
    const auto dir = folderAt(path);
    if (isRoot)
    {
        filePaths.clear();
        fileNames.clear();
        menuCount = 0;
        nextItemId = 1;
        scan->visited.clear();
        scan->menusReserved = 0;
        int numFolders = 0;
        if (recursive)
        {
            ScanState counting;
            counting.visit(dir);
            numFolders = countFoldersToScan(dir, counting);
        }
        menus.clear();
        menus.resize((size_t) numFolders + 1);
        scan->visit(dir);
    }
    if (scan->menusReserved >= (int) menus.size())
        return -1;
    ++scan->menusReserved;

    if (recursive)
    {
        juce::Array<std::pair<juce::String, int>> subMenus;
        for (const auto& child : subFoldersOf(dir))
        {
            if (!scan->visit(child))
                continue;
            const auto name = child.getFileName();
            const int index = fillMenuOf(path + "/" + name, false, found);
            if (index >= 0)
                subMenus.add({ name, index });
        }
        for (const auto& [name, index] : subMenus)
            menus[(size_t) menuCount].addSubMenu(name, menus[(size_t) index], true);
    }

    addFileItems(dir, found);
    return menuCount++;
}

void TarvelOptionMenuTree::addFileItems(const juce::File& dir, bool& found)
{
    if (!dir.isDirectory())
        return;
    const auto target = directoryPath + "/" + selectedFilePath;
    for (const auto& file : dir.findChildFiles(juce::File::findFiles, false, fileExtension))
    {
        const auto fullPath = file.getFullPathName();
        const bool ticked = fullPath == target;
        if (ticked)
        {
            found = true;
            selectedFileIndex = nextItemId;
        }
        menus[(size_t) menuCount].addItem(nextItemId, file.getFileName(), true, ticked);
        filePaths.add(fullPath);
        fileNames.add(file.getFileNameWithoutExtension());
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
        // The editor's timer may have rescanned meanwhile: the number belongs to the shown listing.
        const int now = safeThis->filePaths.indexOf(listedWhenShown[chosen - 1]) + 1;
        if (now < 1)
            return;
        safeThis->pickItem(now);
        if (safeThis != nullptr && afterPick)
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
    if (auto* peer = getPeer())
        peer->grabFocus();
    popup.showMenuAsync(juce::PopupMenu::Options().withTargetComponent(this), std::move(chosen));
}

void TarvelOptionMenuTree::pickItem(int itemNumber)
{
    selectedFileIndex = itemNumber;
    selectedFilePath = relativePathOf(filePaths[itemNumber - 1]);
    const auto name = fileNames[itemNumber - 1];
    // Every pick is announced, also of the file whose name is shown: the user may have stepped
    // away from it or changed values since. The listeners still see the old name.
    juce::Component::SafePointer<TarvelOptionMenuTree> safeThis(this);
    callChangeListeners();
    if (safeThis != nullptr)
        setText(name, juce::dontSendNotification);
}
