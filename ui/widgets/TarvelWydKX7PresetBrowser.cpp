#include "ui/widgets/TarvelWydKX7PresetBrowser.h"

#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/NameRules.h"
#include "ui/PresetLocations.h"
#include "ui/widgets/EditorModalScope.h"
#include "ui/widgets/TarvelWydKX7PresetMenu.h"

namespace
{
const juce::String presetExtension = ".tz7p";

bool isAtOrInside(const juce::File& file, const juce::String& folderText)
{
    const auto path = file.getFullPathName();
    return path == folderText || PresetLocations::isInside(path, folderText);
}

// Every folder and file name that the typed text adds below the folder shown passes the name
// rule; the extension does not count as a name.
bool addsOnlyUsableNames(const juce::File& presetFile, const juce::File& folderShown)
{
    auto added = PresetLocations::relativePath(presetFile, folderShown.getFullPathName());
    if (added.isEmpty())
        added = presetFile.getFileName();
    // A name that is the extension alone is an empty name (a hidden ".tz7p").
    juce::StringArray names;
    names.addTokens(added.dropLastCharacters(presetExtension.length()), "/", "");
    if (names.isEmpty())
        return false;
    for (const auto& name : names)
        if (!PresetLocations::isUsableName(name))
            return false;
    return true;
}
} // namespace

TarvelWydKX7PresetBrowser::TarvelWydKX7PresetBrowser(
    const juce::String& componentName, const juce::String& title, const juce::File& initialDir,
    const juce::String& wildcard, int modeToUse, int titleTypeToUse, int okButtonTypeToUse,
    int cancelButtonTypeToUse, int newFolderButtonTypeToUse, WYD_KX7AudioProcessor* processorToUse,
    TarvelWydKX7PresetMenu* presetMenuToUse)
    : TarvelFileBrowser(componentName, title, initialDir, wildcard, modeToUse, titleTypeToUse,
                        okButtonTypeToUse, cancelButtonTypeToUse, newFolderButtonTypeToUse),
      presetMenu(presetMenuToUse),
      processor(processorToUse)
{
    overwriteComponent_ = std::make_unique<TarvelWydKX7OverwriteComponent2>(
        "overwriteComponent_", processor, presetMenu);
    addChildComponent(*overwriteComponent_);
    overwriteComponent_->needChangeParentModal(true);

    alertComponent_ = std::make_unique<TarvelAlertComponent>("alertComponent_", 1, 1, 3);
    addChildComponent(*alertComponent_);
    alertComponent_->setBounds(157, 125, 486, 200);
    alertComponent_->needChangeParentModal(true);
}

TarvelWydKX7PresetBrowser::~TarvelWydKX7PresetBrowser()
{
    presetMenu = nullptr;
    processor = nullptr;
    overwriteComponent_.reset();
    alertComponent_.reset();
}

void TarvelWydKX7PresetBrowser::show()
{
    // On a fresh system the browser was built before the preset folder existed and started in a
    // folder where nothing can be saved.
    if (fileBrowser_ != nullptr && EditorModalScope::parentIsShowing(*this))
    {
        const juce::File folder(presetFolderText());
        const auto root = fileBrowser_->getRoot();
        if (folder.isDirectory()
            && (!root.isDirectory() || !isAtOrInside(root, folder.getFullPathName())))
            fileBrowser_->setRoot(folder);
    }
    openedFor = SaveTarget::of(processor);
    TarvelFileBrowser::show();

    // Saving can only work once the folder exists; say why the dialog opens elsewhere.
    if (isVisible() && !juce::File(presetFolderText()).isDirectory())
        alertComponent_->showMessage("Couldn't create the preset folder!\n\n\"" + presetFolderText() + "\"",
                                     1);
}

juce::File TarvelWydKX7PresetBrowser::presetFileForTypedName() const
{
    if (fileBrowser_ == nullptr)
        return {};
    auto path = selectedFile().getFullPathName();
    if (path == fileBrowser_->getRoot().getFullPathName())
        return {};
    if (!path.endsWith(presetExtension))
        path += presetExtension;
    return PresetLocations::resolveInside(presetFolderText(), path);
}

juce::String TarvelWydKX7PresetBrowser::presetFolderText() const
{
    return presetMenu != nullptr ? presetMenu->getDirectoryPath() : PresetLocations::presetFolderText();
}

bool TarvelWydKX7PresetBrowser::closedAsOutdated()
{
    if (openedFor.isCurrentIn(processor))
        return false;
    hide();
    return true;
}

void TarvelWydKX7PresetBrowser::timerCallback()
{
    if (mode != 5 || fileBrowser_ == nullptr)
        return;
    // A prompt or message over the dialog closes first; an open overwrite question closes itself
    // and the dialog.
    if (isCurrentlyModal(false) && closedAsOutdated())
        return;
    folderList_->refreshIfChanged();
    const bool inside = isAtOrInside(selectedFile(), presetFolderText());
    EditorModalScope::setButtonEnabled(*newFolderButton_, inside);
    EditorModalScope::setButtonEnabled(*okButton_, inside && fileBrowser_->currentFileIsValid()
                                                       && presetFileForTypedName() != juce::File());
}

void TarvelWydKX7PresetBrowser::okButtonClicked()
{
    if (mode != 5)
        return;
    savePreset();
    if (processor != nullptr)
        processor->updateHostDisplay();
}

void TarvelWydKX7PresetBrowser::cancelButtonClicked()
{
    hide();
}

void TarvelWydKX7PresetBrowser::savePreset()
{
    if (presetMenu == nullptr || processor == nullptr || fileBrowser_ == nullptr || closedAsOutdated())
        return;
    // The typed name becomes its file once; the check, the question and the write all use it.
    const auto file = presetFileForTypedName();
    if (file == juce::File())
        return;
    if (!addsOnlyUsableNames(file, fileBrowser_->getRoot()))
    {
        alertComponent_->showMessage("The preset name is empty or only spaces and dots!\nTry different name.", 1);
        return;
    }
    // The path goes into the host's copy of the state, which must stay readable.
    const auto refused = NameRules::charactersPresetPathsCannotHold(
        PresetLocations::relativePath(file, presetFolderText()));
    if (!refused.isEmpty())
    {
        alertComponent_->showMessage(NameRules::refusalMessage("preset name", refused), 1);
        return;
    }

    if (file.existsAsFile())
    {
        overwriteComponent_->setBounds(157, 125, 486, 200);
        overwriteComponent_->presetFile = file;
        overwriteComponent_->setTitle("Are you sure you want to overwrite this preset?\n\n\""
                                      + PresetLocations::relativePath(file, presetFolderText())
                                      + "\"");
        overwriteComponent_->show(2, 1);
        return;
    }

    const auto outcome = presetMenu->writePresetFile(processor, file);
    if (!outcome)
    {
        alertComponent_->showMessage(
            TarvelWydKX7OverwriteComponent::failedSaveMessage(file, presetFolderText(), outcome.reason), 1);
        return;
    }
    auto& slot = processor->programs[processor->currentProgram];
    slot.presetPath[slot.activeChannel == 1 ? 1 : 0] = presetMenu->getSelectedFilePath();
    fileBrowser_->refresh();
    hide();
}
