#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include "ui/widgets/Tarvel2StateKickButton.h"
#include "ui/widgets/TarvelAlertComponent.h"

// The prompt for a new folder's name inside a file dialog. OK creates the folder in the current
// folder of the dialog's browser; a name that exists, a name of only spaces and dots, or a folder
// that cannot be created is reported in a message box over the prompt, which stays open.
class TarvelNewFolderComponent : public juce::Component,
                                 public juce::Button::Listener,
                                 public juce::TextEditor::Listener,
                                 public juce::Timer
{
public:
    TarvelNewFolderComponent(const juce::String& componentName, juce::FileBrowserComponent* browser,
                             const juce::String& promptText);
    ~TarvelNewFolderComponent() override;

    void paint(juce::Graphics& g) override;
    void buttonClicked(juce::Button* button) override;
    void timerCallback() override;
    virtual void needChangeParentModal(bool shouldChangeParentModal);
    virtual void show();
    virtual void hide();
    void textEditorTextChanged(juce::TextEditor& editor) override;
    void textEditorReturnKeyPressed(juce::TextEditor& editor) override;
    void textEditorEscapeKeyPressed(juce::TextEditor& editor) override;
    void textEditorFocusLost(juce::TextEditor& editor) override;

    bool canModalEventBeSentToComponent(const juce::Component* target) override;

    juce::TextEditor& getTextEditor() { return *textEditor_; }
    juce::Button& getOkButton() { return *okButton_; }
    juce::Button& getCancelButton() { return *cancelButton_; }
    TarvelAlertComponent& getAlert() { return *alertComponent_; }

private:
    void createFolder();

    juce::Image backgroundImage;
    bool changesParentModal = false;
    std::unique_ptr<juce::Label> titleText_;
    std::unique_ptr<juce::TextEditor> textEditor_;
    std::unique_ptr<Tarvel2StateKickButton> okButton_;
    std::unique_ptr<Tarvel2StateKickButton> cancelButton_;
    std::unique_ptr<TarvelAlertComponent> alertComponent_;
    juce::FileBrowserComponent* fileBrowser = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelNewFolderComponent)
};
