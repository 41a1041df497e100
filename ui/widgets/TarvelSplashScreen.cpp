#include "ui/widgets/TarvelSplashScreen.h"

#include "ui/images/BinaryImages.h"
#include "ui/widgets/EditorModalScope.h"
#include "ui/widgets/EmbeddedImage.h"

TarvelSplashScreen::TarvelSplashScreen(const juce::String& componentName)
    : juce::Component(componentName)
{
    aboutImage = decodeEmbeddedImage(aboutboxBinImg::about_box_kx7_png,
                                     aboutboxBinImg::about_box_kx7_pngSize);
    setSize(aboutImage.getWidth(), aboutImage.getHeight());

    versionLabel_ = std::make_unique<juce::Label>("versionLabel_", juce::String());
    addAndMakeVisible(versionLabel_.get());
    versionLabel_->setBounds(75, 18, 360, 16);
    versionLabel_->setJustificationType(juce::Justification::bottomLeft);
    versionLabel_->setColour(juce::Label::textColourId, juce::Colour(50, 50, 50));

    // Hidden until asked, whatever the owner does when adding it.
    setVisible(false);
}

TarvelSplashScreen::~TarvelSplashScreen() = default;

void TarvelSplashScreen::setVersion(const juce::String& text)
{
    versionLabel_->setText(text, juce::dontSendNotification);
}

void TarvelSplashScreen::show()
{
    enterModalState(true, nullptr, false);
    setVisible(true);
}

void TarvelSplashScreen::hide()
{
    exitModalState(1);
    setVisible(false);
}

void TarvelSplashScreen::mouseDown(const juce::MouseEvent&)
{
    // Presses on the version label stay with the label, so only the picture closes the box.
    hide();
}

void TarvelSplashScreen::paint(juce::Graphics& g)
{
    g.drawImage(aboutImage, 0, 0, proportionOfWidth(1.0f), proportionOfHeight(1.0f), 0, 0,
                aboutImage.getWidth(), aboutImage.getHeight(), false);
}

bool TarvelSplashScreen::canModalEventBeSentToComponent(const juce::Component* target)
{
    return EditorModalScope::allowsEventTo(*this, target);
}
