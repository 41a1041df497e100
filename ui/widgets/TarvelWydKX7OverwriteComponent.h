#pragma once

#include "ui/widgets/SaveTarget.h"
#include "ui/widgets/TarvelAlertComponent.h"

class WYD_KX7AudioProcessor;
class TarvelWydKX7PresetMenu;

// The question before a preset file is overwritten. OK writes the current setting into
// presetFile through the preset menu and makes it the setting's preset path. When the file cannot
// be written, a message naming it is shown over the question and nothing is recorded; the question
// stays open so the user can try again or cancel. The question is about the program and setting
// current when it was shown: when the host switches program or the setting changes before the
// answer, the question closes without writing.
class TarvelWydKX7OverwriteComponent : public TarvelAlertComponent, private juce::Timer
{
public:
    TarvelWydKX7OverwriteComponent(const juce::String& componentName,
                                   WYD_KX7AudioProcessor* processor,
                                   TarvelWydKX7PresetMenu* presetMenu);
    ~TarvelWydKX7OverwriteComponent() override;

    void show(int numButtons, int iconCode) override;
    void hide() override;
    void okButtonClicked() override;
    void cancelButtonClicked() override;

    // The file to overwrite; the owner sets it before show.
    juce::File presetFile;

    TarvelAlertComponent& getFailureAlert() { return *alertComponent_; }

    // The message shown when a preset file could not be written: the reason under the headline,
    // then the file's name by its path below the preset folder.
    static juce::String failedSaveMessage(const juce::File& file, const juce::String& presetFolderText,
                                          const juce::String& reason);

protected:
    // Writes presetFile and records its path; false (with the message shown) when it failed.
    bool writeAndRecord();
    // True when the program and setting asked about are no longer current; the question is then
    // closed without writing.
    bool closedAsOutdated();
    // Closes the question; the variant inside the save dialog closes that dialog too.
    virtual void closeQuestion();

    WYD_KX7AudioProcessor* processor = nullptr;
    TarvelWydKX7PresetMenu* presetMenu = nullptr;
    std::unique_ptr<TarvelAlertComponent> alertComponent_;

private:
    void timerCallback() override;

    SaveTarget askedFor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelWydKX7OverwriteComponent)
};

// The same question inside the save-preset dialog: a successful OK, or a question that went out of
// date, also closes that dialog.
class TarvelWydKX7OverwriteComponent2 : public TarvelWydKX7OverwriteComponent
{
public:
    TarvelWydKX7OverwriteComponent2(const juce::String& componentName,
                                    WYD_KX7AudioProcessor* processor,
                                    TarvelWydKX7PresetMenu* presetMenu);

protected:
    void closeQuestion() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelWydKX7OverwriteComponent2)
};
