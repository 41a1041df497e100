#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include "ui/widgets/FolderListBox.h"
#include "ui/widgets/Tarvel2StateKickButton.h"
#include "ui/widgets/TarvelNewFolderComponent.h"

// A modal file dialog drawn inside the editor around JUCE's FileBrowserComponent, with image
// buttons OK and CANCEL (and New Folder with its prompt in save mode). Modes: 1 open a file,
// 2 open files, 3 open files or folders, 4 open a folder, 5 save a file. OK and CANCEL only close
// the dialog here; a subclass gives OK its action.
class TarvelFileBrowser : public juce::Component,
                          public juce::Button::Listener,
                          private juce::FileBrowserListener,
                          public juce::Timer
{
public:
    TarvelFileBrowser(const juce::String& componentName, const juce::String& title,
                      const juce::File& initialDirectory, const juce::String& wildcardPattern,
                      int mode, int titleType, int okButtonType, int cancelButtonType,
                      int newFolderButtonType);
    ~TarvelFileBrowser() override;

    void paint(juce::Graphics& g) override;
    void timerCallback() override;
    void buttonClicked(juce::Button* button) override;
    // Makes the dialog modal and visible; nothing happens while its owner is not on screen.
    virtual void show();
    virtual void hide();
    virtual void createBrowser(int flags, const juce::String& title);
    void selectionChanged() override;
    void fileClicked(const juce::File& file, const juce::MouseEvent& event) override;
    void fileDoubleClicked(const juce::File& file) override;
    void browserRootChanged(const juce::File& newRoot) override;
    virtual void okButtonClicked();
    virtual void cancelButtonClicked();
    virtual void createNewFolder();
    virtual void needChangeParentModal(bool shouldChangeParentModal);

    bool canModalEventBeSentToComponent(const juce::Component* target) override;

    // The button strip for an image code (as the message box's codes).
    juce::Image loadButtonImage(int code);

    juce::FileBrowserComponent* getFileBrowser() { return fileBrowser_.get(); }
    FolderListBox* getFolderList() { return folderList_.get(); }
    TarvelNewFolderComponent* getNewFolderComponent() { return newFolderComponent_.get(); }
    juce::Button* getOkButton() { return okButton_.get(); }
    juce::Button* getCancelButton() { return cancelButton_.get(); }
    juce::Button* getNewFolderButton() { return newFolderButton_.get(); }
    const juce::String& getWildcardPattern() const { return wildcardPattern; }

protected:
    // The file the browser would choose: in save mode its current folder joined with the typed
    // name as text, the folder itself while no name is typed; else the entry selected in the list.
    juce::File selectedFile() const;

    juce::String wildcardPattern;
    juce::File initialDirectory;
    int mode = 0;
    int titleType = 0;
    int okButtonType = 0;
    int cancelButtonType = 0;
    int newFolderButtonType = 0;
    bool changesParentModal = false;
    juce::Image backgroundImage;
    juce::Image titleImage;
    std::unique_ptr<Tarvel2StateKickButton> okButton_;
    std::unique_ptr<Tarvel2StateKickButton> cancelButton_;
    std::unique_ptr<Tarvel2StateKickButton> newFolderButton_;
    std::unique_ptr<juce::WildcardFileFilter> fileFilter_;
    std::unique_ptr<juce::FileBrowserComponent> fileBrowser_;
    std::unique_ptr<TarvelNewFolderComponent> newFolderComponent_;
    // Lies over the browser's own list; made after the browser, deleted before it.
    std::unique_ptr<FolderListBox> folderList_;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelFileBrowser)
};
