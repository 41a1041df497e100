#include "ui/widgets/TarvelFileBrowser.h"

#include "ui/images/BinaryImages.h"
#include "ui/widgets/EmbeddedImage.h"
#include "ui/widgets/EditorModalScope.h"
#include "ui/widgets/TarvelAlertComponent.h"

namespace
{
using Flags = juce::FileBrowserComponent::FileChooserFlags;

int browserFlagsForMode(int mode)
{
    switch (mode)
    {
    case 1: return Flags::openMode | Flags::canSelectFiles;
    case 2: return Flags::openMode | Flags::canSelectFiles | Flags::canSelectMultipleItems;
    case 3:
        return Flags::openMode | Flags::canSelectFiles | Flags::canSelectDirectories
             | Flags::canSelectMultipleItems;
    case 4: return Flags::openMode | Flags::canSelectDirectories;
    case 5: return Flags::saveMode | Flags::canSelectFiles | Flags::warnAboutOverwriting;
    default: return 0;
    }
}

juce::Image titleImageFor(int titleType)
{
    using namespace dialogbrowser;
    switch (titleType)
    {
    case 1: return decodeEmbeddedImage(saveastitle_png, saveastitle_pngSize);
    case 2: return decodeEmbeddedImage(loadtitle_png, loadtitle_pngSize);
    case 3: return decodeEmbeddedImage(importtitle_png, importtitle_pngSize);
    default: return {};
    }
}

juce::TextEditor* fileNameBoxOf(const juce::FileBrowserComponent& browser)
{
    for (auto* child : browser.getChildren())
        if (auto* editor = dynamic_cast<juce::TextEditor*>(child))
            return editor;
    return nullptr;
}
} // namespace

TarvelFileBrowser::TarvelFileBrowser(const juce::String& componentName, const juce::String& title,
                                     const juce::File& initialDirectoryToUse,
                                     const juce::String& wildcard, int modeToUse,
                                     int titleTypeToUse, int okButtonTypeToUse,
                                     int cancelButtonTypeToUse, int newFolderButtonTypeToUse)
    : juce::Component(componentName),
      wildcardPattern(wildcard),
      initialDirectory(initialDirectoryToUse),
      mode(modeToUse),
      titleType(titleTypeToUse),
      okButtonType(okButtonTypeToUse),
      cancelButtonType(cancelButtonTypeToUse),
      newFolderButtonType(newFolderButtonTypeToUse)
{
    needChangeParentModal(false);
    if (!wildcardPattern.containsNonWhitespaceChars())
        wildcardPattern = "*";
    if (mode >= 1 && mode <= 5)
        createBrowser(browserFlagsForMode(mode), title);
}

TarvelFileBrowser::~TarvelFileBrowser()
{
    stopTimer();
    folderList_.reset();
    okButton_.reset();
    cancelButton_.reset();
    newFolderButton_.reset();
    fileBrowser_.reset();
    fileFilter_.reset(); // only after the browser that uses it
    newFolderComponent_.reset();
}

juce::Image TarvelFileBrowser::loadButtonImage(int code)
{
    return TarvelAlertComponent::loadButtonImage(code);
}

void TarvelFileBrowser::createBrowser(int flags, const juce::String& title)
{
    // The title is not drawn (the title image stands for it) but screen readers announce it.
    setTitle(title);
    fileFilter_ = std::make_unique<juce::WildcardFileFilter>(
        (flags & Flags::canSelectFiles) != 0 ? wildcardPattern : juce::String(),
        (flags & Flags::canSelectDirectories) != 0 ? "*" : juce::String(), juce::String());

    backgroundImage = decodeEmbeddedImage(WydDialogBox::file_browser_clean_png,
                                          WydDialogBox::file_browser_clean_pngSize);
    setSize(800, 300);
    titleImage = titleImageFor(titleType);

    fileBrowser_ = std::make_unique<juce::FileBrowserComponent>(flags, initialDirectory,
                                                                fileFilter_.get(), nullptr);
    addAndMakeVisible(*fileBrowser_);
    fileBrowser_->setBounds(13, 7, 560, 433);
    fileBrowser_->addListener(this);
    folderList_ = std::make_unique<FolderListBox>(*fileBrowser_, flags, *fileFilter_);
    folderList_->onFileChosen = [this](const juce::File& file) { fileDoubleClicked(file); };

    auto makeButton = [this](const char* name, int imageCode, juce::Rectangle<int> bounds) {
        auto button = std::make_unique<Tarvel2StateKickButton>(name);
        addAndMakeVisible(*button);
        button->setImage(loadButtonImage(imageCode));
        button->setBounds(bounds);
        button->addListener(this);
        return button;
    };
    okButton_ = makeButton("OK", okButtonType, { 639, 366, 108, 30 });
    cancelButton_ = makeButton("CANCEL", cancelButtonType, { 639, 404, 108, 30 });

    if (mode == 5)
    {
        newFolderButton_ = makeButton("New Folder", newFolderButtonType, { 639, 328, 108, 30 });
        newFolderComponent_ = std::make_unique<TarvelNewFolderComponent>(
            "newFolderComponent_", fileBrowser_.get(), "Please enter the name of the new folder:");
        addChildComponent(*newFolderComponent_);
        newFolderComponent_->needChangeParentModal(true);
    }
}

void TarvelFileBrowser::paint(juce::Graphics& g)
{
    g.drawImage(backgroundImage, 0, 0, proportionOfWidth(1.0f), proportionOfHeight(1.0f), 0, 0,
                backgroundImage.getWidth(), backgroundImage.getHeight());
    if (titleImage.isValid())
        g.drawImageAt(titleImage, 686 - titleImage.getWidth() / 2, 17);
}

juce::File TarvelFileBrowser::selectedFile() const
{
    if (fileBrowser_ == nullptr)
        return {};
    if (!fileBrowser_->isSaveMode())
        return folderList_->getSelectedFile();
    const auto* nameBox = fileNameBoxOf(*fileBrowser_);
    const auto typed = nameBox != nullptr ? nameBox->getText() : juce::String();
    const auto root = fileBrowser_->getRoot();
    if (typed.isEmpty())
        return root;
    // Joined as text, as the list joins names.
    return typed.startsWithChar('/') ? juce::File(typed) : childAsText(root, typed);
}

void TarvelFileBrowser::timerCallback()
{
    if (fileBrowser_ == nullptr)
        return;
    folderList_->refreshIfChanged();
    if (mode == 1)
        EditorModalScope::setButtonEnabled(*okButton_, selectedFile().existsAsFile());
    else if (mode == 5)
        EditorModalScope::setButtonEnabled(*okButton_, fileBrowser_->currentFileIsValid());
}

void TarvelFileBrowser::buttonClicked(juce::Button* button)
{
    // Double-clicks and Return reach OK through triggerClick, which JUCE delivers later: a click
    // that arrives after the dialog has closed is stale.
    if (!isVisible() || button == nullptr)
        return;
    if (button == okButton_.get())
        okButtonClicked();
    else if (button == cancelButton_.get())
        cancelButtonClicked();
    else if (button == newFolderButton_.get())
        createNewFolder();
}

void TarvelFileBrowser::show()
{
    if (fileBrowser_ == nullptr || !EditorModalScope::parentIsShowing(*this))
        return;
    if (changesParentModal)
        EditorModalScope::takeModalStateFromParent(*this);
    enterModalState(true, nullptr, false);
    fileBrowser_->refresh();
    folderList_->refresh();
    fileBrowser_->setFileName(juce::String());
    if (mode == 5)
        newFolderComponent_->setBounds(77, 80, 486, 200);
    setVisible(true);
    timerCallback();
    startTimer(200);
    if (mode == 5)
        if (auto* nameBox = fileNameBoxOf(*fileBrowser_))
            EditorModalScope::giveKeyboardTo(*nameBox);
}

void TarvelFileBrowser::hide()
{
    exitModalState(1);
    if (changesParentModal)
        EditorModalScope::giveModalStateBackToParent(*this);
    setVisible(false);
    stopTimer();
}

void TarvelFileBrowser::selectionChanged() {}

void TarvelFileBrowser::fileClicked(const juce::File&, const juce::MouseEvent&) {}

void TarvelFileBrowser::fileDoubleClicked(const juce::File&)
{
    if (!isVisible() || okButton_ == nullptr)
        return;
    // Also Return in the name field, maybe right after the last character and before the timer's
    // next tick: OK is first brought up to date, or the click would find it disabled and be lost.
    timerCallback();
    okButton_->triggerClick();
}

void TarvelFileBrowser::browserRootChanged(const juce::File&)
{
    if (folderList_ != nullptr)
        folderList_->refresh();
}

void TarvelFileBrowser::okButtonClicked()
{
    hide();
}

void TarvelFileBrowser::cancelButtonClicked()
{
    hide();
}

void TarvelFileBrowser::createNewFolder()
{
    if (newFolderComponent_ != nullptr && fileBrowser_->getRoot().isDirectory())
        newFolderComponent_->show();
}

void TarvelFileBrowser::needChangeParentModal(bool shouldChangeParentModal)
{
    changesParentModal = shouldChangeParentModal;
}

bool TarvelFileBrowser::canModalEventBeSentToComponent(const juce::Component* target)
{
    return EditorModalScope::allowsEventTo(*this, target);
}
