#pragma once

#include "ui/widgets/SaveTarget.h"
#include "ui/widgets/TarvelAlertComponent.h"
#include "ui/widgets/TarvelFileBrowser.h"
#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"

class WYD_KX7AudioProcessor;
class TarvelWydKX7PresetMenu;

// The save-preset dialog: a save-mode file dialog that accepts names inside the preset folder
// only, appends ".tz7p", asks before overwriting, writes through the preset menu and makes the
// written file the current setting's preset path. A failed write or a name of only spaces and dots
// is reported in a message box and the dialog stays open for another name; a preset folder that
// can't be created is reported when the dialog opens. The dialog saves the program and setting
// current when it opened: when the host switches program or the setting changes meanwhile, it
// closes without writing.
class TarvelWydKX7PresetBrowser : public TarvelFileBrowser
{
public:
    TarvelWydKX7PresetBrowser(const juce::String& componentName, const juce::String& title,
                              const juce::File& initialDirectory,
                              const juce::String& wildcardPattern, int mode, int titleType,
                              int okButtonType, int cancelButtonType, int newFolderButtonType,
                              WYD_KX7AudioProcessor* processor, TarvelWydKX7PresetMenu* presetMenu);
    ~TarvelWydKX7PresetBrowser() override;

    // Opens on the folder last browsed; on the preset folder when that is gone or outside it.
    void show() override;
    void timerCallback() override;
    void okButtonClicked() override;
    void cancelButtonClicked() override;

    void savePreset();

    TarvelWydKX7OverwriteComponent2& getOverwriteComponent() { return *overwriteComponent_; }
    TarvelAlertComponent& getFailureAlert() { return *alertComponent_; }

private:
    // The preset file the typed name stands for: inside the preset folder with ".tz7p", or no
    // file when the name is empty or leads outside.
    juce::File presetFileForTypedName() const;
    // The preset menu's folder, which the editor resolved when it opened.
    juce::String presetFolderText() const;
    // True when the dialog was closed because what it was opened for is no longer current.
    bool closedAsOutdated();

    TarvelWydKX7PresetMenu* presetMenu = nullptr;
    WYD_KX7AudioProcessor* processor = nullptr;
    std::unique_ptr<TarvelWydKX7OverwriteComponent2> overwriteComponent_;
    std::unique_ptr<TarvelAlertComponent> alertComponent_;
    SaveTarget openedFor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelWydKX7PresetBrowser)
};
