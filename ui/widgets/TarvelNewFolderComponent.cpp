#include "ui/widgets/TarvelNewFolderComponent.h"

#include "ui/FileReplacement.h"
#include "ui/NameRules.h"
#include "ui/PresetLocations.h"
#include "ui/images/BinaryImages.h"
#include "ui/widgets/EmbeddedImage.h"
#include "ui/widgets/EditorModalScope.h"
#include "ui/widgets/FolderListBox.h"

#include <cerrno>

#include <sys/stat.h>

TarvelNewFolderComponent::TarvelNewFolderComponent(const juce::String& componentName,
                                                   juce::FileBrowserComponent* browser,
                                                   const juce::String& promptText)
    : juce::Component(componentName),
      fileBrowser(browser)
{
    needChangeParentModal(false);
    backgroundImage = decodeEmbeddedImage(WydDialogBox::dialog_box_small_png,
                                          WydDialogBox::dialog_box_small_pngSize);
    setSize(backgroundImage.getWidth(), backgroundImage.getHeight());

    titleText_ = std::make_unique<juce::Label>("titleText_", promptText);
    addAndMakeVisible(*titleText_);
    titleText_->setJustificationType(juce::Justification::centred);
    titleText_->setColour(juce::Label::textColourId, juce::Colours::black.withAlpha((juce::uint8) 250));
    titleText_->setBoundsRelative(0.0f, 0.2f, 1.0f, 0.3f);

    textEditor_ = std::make_unique<juce::TextEditor>("textEditor_", (juce::juce_wchar) 0);
    addAndMakeVisible(*textEditor_);
    textEditor_->setBounds(20, 88, 446, 24);
    textEditor_->addListener(this);

    okButton_ = std::make_unique<Tarvel2StateKickButton>("OK");
    addAndMakeVisible(*okButton_);
    okButton_->setImage(TarvelAlertComponent::loadButtonImage(1));
    okButton_->setBounds(129, 154, 108, 30);
    okButton_->addListener(this);

    cancelButton_ = std::make_unique<Tarvel2StateKickButton>("CANCEL");
    addAndMakeVisible(*cancelButton_);
    cancelButton_->setImage(TarvelAlertComponent::loadButtonImage(3));
    cancelButton_->setBounds(248, 154, 108, 30);
    cancelButton_->addListener(this);

    alertComponent_ = std::make_unique<TarvelAlertComponent>("alertComponent_", 1, 1, 3);
    addChildComponent(*alertComponent_);
    alertComponent_->setBounds(0, 0, 486, 200);
    alertComponent_->needChangeParentModal(true);
}

TarvelNewFolderComponent::~TarvelNewFolderComponent()
{
    titleText_.reset();
    textEditor_.reset();
    okButton_.reset();
    cancelButton_.reset();
    alertComponent_.reset();
    fileBrowser = nullptr;
}

void TarvelNewFolderComponent::paint(juce::Graphics& g)
{
    g.drawImage(backgroundImage, 0, 0, proportionOfWidth(1.0f), proportionOfHeight(1.0f), 0, 0,
                backgroundImage.getWidth(), backgroundImage.getHeight());
}

void TarvelNewFolderComponent::buttonClicked(juce::Button* button)
{
    // Return and Escape click through triggerClick, which JUCE delivers later: a click that
    // arrives after the prompt has closed is stale.
    if (!isVisible())
        return;
    if (button == okButton_.get())
        createFolder();
    else if (button == cancelButton_.get())
        hide();
}

// The name is always one folder directly inside the folder shown: joined as text, since
// File::getChildFile would read "~user", "a/b" or ".." as paths of their own. A name is taken as
// typed or refused with the reason, never changed behind the user's back.
void TarvelNewFolderComponent::createFolder()
{
    if (fileBrowser == nullptr)
        return;
    const auto name = textEditor_->getText();
    if (!PresetLocations::isUsableName(name))
    {
        alertComponent_->showMessage("The folder name is empty or only spaces and dots!\nTry different name.", 1);
        return;
    }
    if (const auto refused = NameRules::charactersFolderNamesCannotHold(name); !refused.isEmpty())
    {
        alertComponent_->showMessage(NameRules::refusalMessage("folder name", refused), 1);
        return;
    }
    const juce::File target = childAsText(fileBrowser->getRoot(), name);
    if (target.exists())
    {
        alertComponent_->showMessage("The folder name already exist! Try different name.", 1);
        return;
    }
    if (::mkdir(target.getFullPathName().toRawUTF8(), 0777) != 0)
    {
        alertComponent_->showMessage("Couldn't create the folder! Try different name.\n"
                                         + FileReplacement::reasonFor(errno),
                                     1);
        return;
    }
    fileBrowser->refresh();
    hide();
}

void TarvelNewFolderComponent::timerCallback()
{
    EditorModalScope::setButtonEnabled(*okButton_, textEditor_->getText().isNotEmpty());
}

void TarvelNewFolderComponent::needChangeParentModal(bool shouldChangeParentModal)
{
    changesParentModal = shouldChangeParentModal;
}

void TarvelNewFolderComponent::show()
{
    if (!EditorModalScope::parentIsShowing(*this))
        return;
    if (changesParentModal)
        EditorModalScope::takeModalStateFromParent(*this);
    textEditor_->clear();
    enterModalState(true, nullptr, false);
    setVisible(true);
    timerCallback();
    startTimer(200);
    // Typing goes to the name field at once, whatever had the keyboard before.
    EditorModalScope::giveKeyboardTo(*textEditor_);
}

void TarvelNewFolderComponent::hide()
{
    exitModalState(1);
    if (changesParentModal)
        EditorModalScope::giveModalStateBackToParent(*this);
    setVisible(false);
    stopTimer();
}

void TarvelNewFolderComponent::textEditorTextChanged(juce::TextEditor&) {}

void TarvelNewFolderComponent::textEditorReturnKeyPressed(juce::TextEditor&)
{
    // Return may follow the last character before the timer's next tick: OK is first brought up
    // to date with the text, or the click would find it still disabled and be lost.
    timerCallback();
    okButton_->triggerClick();
}

void TarvelNewFolderComponent::textEditorEscapeKeyPressed(juce::TextEditor&)
{
    cancelButton_->triggerClick();
}

void TarvelNewFolderComponent::textEditorFocusLost(juce::TextEditor&) {}

bool TarvelNewFolderComponent::canModalEventBeSentToComponent(const juce::Component* target)
{
    return EditorModalScope::allowsEventTo(*this, target);
}
