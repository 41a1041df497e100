#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include "ui/widgets/Tarvel2StateKickButton.h"

// The message box drawn inside the editor: a 486 x 200 panel with an icon at the top centre, a
// centred text and one or two image buttons. While shown it is the modal component of its editor;
// a box inside another modal dialog takes the modal state over from it and hands it back.
class TarvelAlertComponent : public juce::Component, public juce::Button::Listener
{
public:
    // Icon codes: 1 exclamation, 2 the OK button strip, 3 smile, 4 frown, others exclamation.
    // Button image codes: see loadButtonImage.
    TarvelAlertComponent(const juce::String& componentName, int iconType, int okButtonType,
                         int cancelButtonType);
    ~TarvelAlertComponent() override;

    void buttonClicked(juce::Button* button) override;
    // The message; may hold "\n" line breaks. Lines after the first that would push it out of
    // view are shortened in their middle (FittedMessage).
    virtual void setTitle(const juce::String& text);
    // One (OK) or two (OK, CANCEL) buttons with the given icon; any other count does nothing.
    // Nothing happens either while the owner is not on screen.
    virtual void show(int numButtons, int iconCode);
    // A message with the OK button alone: setTitle, then show(1, iconCode).
    void showMessage(const juce::String& text, int iconCode);
    virtual void hide();
    virtual void okButtonClicked();
    virtual void cancelButtonClicked();
    // True for a box shown over another modal dialog (its parent).
    virtual void needChangeParentModal(bool shouldChangeParentModal);

    void paint(juce::Graphics& g) override;
    bool canModalEventBeSentToComponent(const juce::Component* target) override;

    // 3 and 4 cancel, 5 save, 6 load, 7 import, 8 new folder, 9 download, 10 overwrite, any other
    // code OK: each a two-frame 108 x 60 strip.
    static juce::Image loadButtonImage(int code);
    static juce::Image loadIconImage(int iconCode);

    // The message as shown.
    juce::String getTitleText() const;
    int getIconType() const { return iconType; }
    const juce::Image& getIconImage() const { return iconImage; }
    juce::Button& getOkButton() { return *okButton_; }
    juce::Button& getCancelButton() { return *cancelButton_; }

protected:
    juce::Image backgroundImage;
    juce::Image iconImage;
    bool changesParentModal = false;
    int iconType = 0;
    int okButtonType = 0;
    int cancelButtonType = 0;
    std::unique_ptr<juce::Label> titleText_;
    std::unique_ptr<Tarvel2StateKickButton> okButton_;
    std::unique_ptr<Tarvel2StateKickButton> cancelButton_;

private:
    void showFittedMessage();

    juce::String message;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelAlertComponent)
};
