#include "ui/widgets/TarvelAlertComponent.h"

#include "ui/images/BinaryImages.h"
#include "ui/widgets/EmbeddedImage.h"
#include "ui/widgets/EditorModalScope.h"
#include "ui/widgets/FittedMessage.h"

TarvelAlertComponent::TarvelAlertComponent(const juce::String& componentName, int iconTypeToUse,
                                           int okButtonTypeToUse, int cancelButtonTypeToUse)
    : juce::Component(componentName)
{
    backgroundImage = decodeEmbeddedImage(WydDialogBox::dialog_box_small_png,
                                          WydDialogBox::dialog_box_small_pngSize);
    setSize(backgroundImage.getWidth(), backgroundImage.getHeight());

    iconType = iconTypeToUse;
    okButtonType = okButtonTypeToUse;
    cancelButtonType = cancelButtonTypeToUse;
    iconImage = loadIconImage(iconType);
    needChangeParentModal(false);

    titleText_ = std::make_unique<juce::Label>("titleText_", juce::String());
    addAndMakeVisible(*titleText_);
    titleText_->setJustificationType(juce::Justification::centred);
    titleText_->setColour(juce::Label::textColourId, juce::Colours::black);

    okButton_ = std::make_unique<Tarvel2StateKickButton>("OK");
    addAndMakeVisible(*okButton_);
    okButton_->setImage(loadButtonImage(okButtonType));
    okButton_->addListener(this);

    cancelButton_ = std::make_unique<Tarvel2StateKickButton>("CANCEL");
    addAndMakeVisible(*cancelButton_);
    cancelButton_->setImage(loadButtonImage(cancelButtonType));
    cancelButton_->addListener(this);
}

TarvelAlertComponent::~TarvelAlertComponent()
{
    titleText_.reset();
    okButton_.reset();
    cancelButton_.reset();
}

juce::Image TarvelAlertComponent::loadButtonImage(int code)
{
    using namespace dialogbrowser;
    switch (code)
    {
    case 3:
    case 4: return decodeEmbeddedImage(cancelbutton_png, cancelbutton_pngSize);
    case 5: return decodeEmbeddedImage(savebutton_png, savebutton_pngSize);
    case 6: return decodeEmbeddedImage(loadbutton_png, loadbutton_pngSize);
    case 7: return decodeEmbeddedImage(importbutton_png, importbutton_pngSize);
    case 8: return decodeEmbeddedImage(newfolderbutton_png, newfolderbutton_pngSize);
    case 9: return decodeEmbeddedImage(downloadbutton_png, downloadbutton_pngSize);
    case 10: return decodeEmbeddedImage(overwritebutton_png, overwritebutton_pngSize);
    default: return decodeEmbeddedImage(okbutton_png, okbutton_pngSize);
    }
}

juce::Image TarvelAlertComponent::loadIconImage(int iconCode)
{
    using namespace dialogbrowser;
    switch (iconCode)
    {
    case 2: return decodeEmbeddedImage(okbutton_png, okbutton_pngSize);
    case 3: return decodeEmbeddedImage(smileicon_png, smileicon_pngSize);
    case 4: return decodeEmbeddedImage(frownicon_png, frownicon_pngSize);
    default: return decodeEmbeddedImage(exclamationicon_png, exclamationicon_pngSize);
    }
}

void TarvelAlertComponent::buttonClicked(juce::Button* button)
{
    // A click JUCE delivers after the box has closed (triggerClick is asynchronous) is stale.
    if (!isVisible())
        return;
    if (button == okButton_.get())
        okButtonClicked();
    else if (button == cancelButton_.get())
        cancelButtonClicked();
}

void TarvelAlertComponent::setTitle(const juce::String& text)
{
    message = text;
    showFittedMessage();
    juce::Component::setTitle(text); // what screen readers announce, whole
}

void TarvelAlertComponent::showFittedMessage()
{
    titleText_->setText(FittedMessage::fitInto(message, *titleText_), juce::dontSendNotification);
}

void TarvelAlertComponent::showMessage(const juce::String& text, int iconCode)
{
    setTitle(text);
    show(1, iconCode);
}

juce::String TarvelAlertComponent::getTitleText() const
{
    return titleText_->getText();
}

void TarvelAlertComponent::show(int numButtons, int iconCode)
{
    if ((numButtons != 1 && numButtons != 2) || !EditorModalScope::parentIsShowing(*this))
        return;
    if (changesParentModal)
        EditorModalScope::takeModalStateFromParent(*this);
    enterModalState(true, nullptr, false);

    if (iconCode != iconType)
    {
        iconType = iconCode;
        iconImage = loadIconImage(iconType);
    }
    titleText_->setBoundsRelative(0.1f, 0.3f, 0.8f, 0.4f);
    showFittedMessage();
    if (numButtons == 1)
    {
        okButton_->setBounds(189, 154, 108, 30);
        cancelButton_->setVisible(false);
    }
    else
    {
        okButton_->setBounds(129, 154, 108, 30);
        cancelButton_->setBounds(248, 154, 108, 30);
        cancelButton_->setVisible(true);
    }
    setVisible(true);
}

void TarvelAlertComponent::hide()
{
    exitModalState(1);
    if (changesParentModal)
        EditorModalScope::giveModalStateBackToParent(*this);
    setVisible(false);
}

void TarvelAlertComponent::okButtonClicked()
{
    hide();
}

void TarvelAlertComponent::cancelButtonClicked()
{
    hide();
}

void TarvelAlertComponent::needChangeParentModal(bool shouldChangeParentModal)
{
    changesParentModal = shouldChangeParentModal;
}

void TarvelAlertComponent::paint(juce::Graphics& g)
{
    g.drawImage(backgroundImage, 0, 0, proportionOfWidth(1.0f), proportionOfHeight(1.0f), 0, 0,
                backgroundImage.getWidth(), backgroundImage.getHeight());
    if (iconImage.isValid())
        g.drawImageAt(iconImage, proportionOfWidth(0.5f) - iconImage.getWidth() / 2, 12);
}

bool TarvelAlertComponent::canModalEventBeSentToComponent(const juce::Component* target)
{
    return EditorModalScope::allowsEventTo(*this, target);
}
