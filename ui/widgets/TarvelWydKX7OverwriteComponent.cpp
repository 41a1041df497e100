#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"

#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/PresetLocations.h"
#include "ui/widgets/TarvelFileBrowser.h"
#include "ui/widgets/TarvelWydKX7PresetMenu.h"

juce::String TarvelWydKX7OverwriteComponent::failedSaveMessage(const juce::File& file,
                                                              const juce::String& presetFolderText,
                                                              const juce::String& reason)
{
    // The name the user knows the file by: its path below the preset folder, else the full path.
    auto shownName = PresetLocations::relativePath(file, presetFolderText);
    if (shownName.isEmpty())
        shownName = file.getFullPathName();
    const auto reasonLine = reason.isEmpty() ? juce::String() : "\n" + reason;
    return "Couldn't save the preset!" + reasonLine + "\n\n\"" + shownName + "\"";
}

TarvelWydKX7OverwriteComponent::TarvelWydKX7OverwriteComponent(
    const juce::String& componentName, WYD_KX7AudioProcessor* processorToUse,
    TarvelWydKX7PresetMenu* presetMenuToUse)
    : TarvelAlertComponent(componentName, 1, 1, 3),
      processor(processorToUse),
      presetMenu(presetMenuToUse)
{
    setTitle(juce::String());

    // Reports a failed write over the question, which keeps the modal state underneath.
    alertComponent_ = std::make_unique<TarvelAlertComponent>("alertComponent_", 1, 1, 3);
    addChildComponent(*alertComponent_);
    alertComponent_->setBounds(0, 0, 486, 200);
    alertComponent_->needChangeParentModal(true);
}

TarvelWydKX7OverwriteComponent::~TarvelWydKX7OverwriteComponent()
{
    stopTimer();
    processor = nullptr;
    presetMenu = nullptr;
    alertComponent_.reset();
}

bool TarvelWydKX7OverwriteComponent::writeAndRecord()
{
    if (presetMenu == nullptr || processor == nullptr)
        return true; // nothing to write with: the question only closes

    const auto outcome = presetMenu->writePresetFile(processor, presetFile);
    if (!outcome)
    {
        alertComponent_->showMessage(
            failedSaveMessage(presetFile, presetMenu->getDirectoryPath(), outcome.reason), 1);
        return false;
    }
    auto& slot = processor->programs[processor->currentProgram];
    slot.presetPath[slot.activeChannel == 1 ? 1 : 0] = presetMenu->getSelectedFilePath();
    processor->updateHostDisplay();
    return true;
}

void TarvelWydKX7OverwriteComponent::show(int numButtons, int iconCode)
{
    askedFor = SaveTarget::of(processor);
    TarvelAlertComponent::show(numButtons, iconCode);
    if (isVisible())
        startTimer(200);
}

void TarvelWydKX7OverwriteComponent::hide()
{
    stopTimer();
    TarvelAlertComponent::hide();
}

// A failure message over the question waits for its OK first.
void TarvelWydKX7OverwriteComponent::timerCallback()
{
    if (isCurrentlyModal(false))
        closedAsOutdated();
}

bool TarvelWydKX7OverwriteComponent::closedAsOutdated()
{
    if (askedFor.isCurrentIn(processor))
        return false;
    closeQuestion();
    return true;
}

void TarvelWydKX7OverwriteComponent::closeQuestion()
{
    hide();
}

// After a failed write the question stays open (the save dialog too) behind its message.
void TarvelWydKX7OverwriteComponent::okButtonClicked()
{
    if (!closedAsOutdated() && writeAndRecord())
        closeQuestion();
}

void TarvelWydKX7OverwriteComponent::cancelButtonClicked()
{
    hide();
}

TarvelWydKX7OverwriteComponent2::TarvelWydKX7OverwriteComponent2(
    const juce::String& componentName, WYD_KX7AudioProcessor* processorToUse,
    TarvelWydKX7PresetMenu* presetMenuToUse)
    : TarvelWydKX7OverwriteComponent(componentName, processorToUse, presetMenuToUse)
{
}

void TarvelWydKX7OverwriteComponent2::closeQuestion()
{
    hide();
    if (auto* saveDialog = dynamic_cast<TarvelFileBrowser*>(getParentComponent()))
        saveDialog->hide();
}
