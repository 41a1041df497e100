#pragma once

#include "ui/widgets/TarvelAlertComponent.h"

class WYD_KX7AudioProcessor;
class TarvelWydKX7PresetMenu;

// The question before a preset file is overwritten. OK writes the current setting into
// presetFile through the preset menu and makes it the setting's preset path. When the file cannot
// be written, a message naming it is shown over the question and nothing is recorded; the question
// stays open so the user can try again or cancel.
class TarvelWydKX7OverwriteComponent : public TarvelAlertComponent
{
public:
    TarvelWydKX7OverwriteComponent(const juce::String& componentName,
                                   WYD_KX7AudioProcessor* processor,
                                   TarvelWydKX7PresetMenu* presetMenu);
    ~TarvelWydKX7OverwriteComponent() override;

    void okButtonClicked() override;
    void cancelButtonClicked() override;

    // The file to overwrite; the owner sets it before show.
    juce::File presetFile;

    TarvelAlertComponent& getFailureAlert() { return *alertComponent_; }

    // The message shown when a preset file could not be written: the reason under the headline,
    // then the file's name.
    static juce::String failedSaveMessage(const juce::File& file, const juce::String& reason);

protected:
    // Writes presetFile and records its path; false (with the message shown) when it failed.
    bool writeAndRecord();

    WYD_KX7AudioProcessor* processor = nullptr;
    TarvelWydKX7PresetMenu* presetMenu = nullptr;
    std::unique_ptr<TarvelAlertComponent> alertComponent_;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelWydKX7OverwriteComponent)
};

// The same question inside the save-preset dialog: a successful OK also closes that dialog.
class TarvelWydKX7OverwriteComponent2 : public TarvelWydKX7OverwriteComponent
{
public:
    TarvelWydKX7OverwriteComponent2(const juce::String& componentName,
                                    WYD_KX7AudioProcessor* processor,
                                    TarvelWydKX7PresetMenu* presetMenu);

    void okButtonClicked() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelWydKX7OverwriteComponent2)
};
