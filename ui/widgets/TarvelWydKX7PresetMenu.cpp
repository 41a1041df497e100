#include "ui/widgets/TarvelWydKX7PresetMenu.h"

#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/FileReplacement.h"
#include "ui/PresetLocations.h"

namespace
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
// The processor's readers take their document as a ScopedPointer and delete it.
juce::ScopedPointer<juce::XmlElement> handOver(std::unique_ptr<juce::XmlElement> document)
{
    return juce::ScopedPointer<juce::XmlElement>(document.release());
}
#pragma GCC diagnostic pop

// UTF-8 with the XML declaration, lines wrapped at 60 columns, no DTD.
juce::XmlElement::TextFormat presetFileFormat()
{
    juce::XmlElement::TextFormat format;
    format.dtd = {};
    format.customEncoding = "UTF-8";
    format.lineWrapLength = 60;
    return format;
}

// The document as the file's bytes.
FileReplacement::Outcome writeDocument(const juce::XmlElement& document, const juce::File& file)
{
    const auto text = document.toString(presetFileFormat());
    return FileReplacement::replaceContent(file, text.toRawUTF8(), text.getNumBytesAsUTF8());
}
} // namespace

TarvelWydKX7PresetMenu::TarvelWydKX7PresetMenu(const juce::String& componentName)
    : TarvelOptionMenuTree(componentName)
{
}

TarvelWydKX7PresetMenu::~TarvelWydKX7PresetMenu() = default;

void TarvelWydKX7PresetMenu::mouseDown(const juce::MouseEvent&)
{
    popUpAndPick([this] { markedAsChange = false; });
}

void TarvelWydKX7PresetMenu::setSelectedFilePath(const juce::String& path)
{
    selectedFilePath = selectionPathOf(path);
    const bool found = createMenuTree();
    selectionListed = found;
    showNameOfPath(selectedFilePath, found);
    if (!found)
        setText(getText() + "*", juce::dontSendNotification);
    markedAsChange = !found;
}

void TarvelWydKX7PresetMenu::setSelectedFileIndex(int itemNumber)
{
    if (acceptSelectedIndex(itemNumber))
        markedAsChange = false;
}

void TarvelWydKX7PresetMenu::setPresetHasChanged()
{
    if (markedAsChange)
        return;
    setText(getText() + "*", juce::dontSendNotification);
    markedAsChange = true;
}

void TarvelWydKX7PresetMenu::setMarkedAsChange(bool isMarked)
{
    markedAsChange = isMarked;
}

void TarvelWydKX7PresetMenu::compareAndMarkPreset(WYD_KX7AudioProcessor* processor)
{
    if (processor == nullptr)
        return;
    auto content = PresetLocations::readPresetFile(
        PresetLocations::resolveInside(directoryPath, selectedFilePath));
    if (content.readable && processor->comparePreset(handOver(std::move(content.document))))
        setPresetHasChanged();
}

int TarvelWydKX7PresetMenu::readPreset(WYD_KX7AudioProcessor* processor, const juce::String& path)
{
    if (processor == nullptr)
        return 0;
    auto content =
        PresetLocations::readPresetFile(PresetLocations::resolveInside(directoryPath, path));
    if (!content.readable)
        return 0;
    return processor->readPreset(handOver(std::move(content.document)), true);
}

bool TarvelWydKX7PresetMenu::writePreset(WYD_KX7AudioProcessor* processor, const juce::String& path)
{
    return writePresetFile(processor, PresetLocations::resolveInside(directoryPath, path)).written;
}

FileReplacement::Outcome TarvelWydKX7PresetMenu::writePresetFile(WYD_KX7AudioProcessor* processor,
                                                                 const juce::File& file)
{
    if (processor == nullptr || !PresetLocations::isInside(file.getFullPathName(), directoryPath))
        return {};
    auto outcome = writeDocument(processor->writePreset(true), file);
    if (outcome)
        setSelectedFilePath(PresetLocations::relativePath(file, directoryPath));
    return outcome;
}

void TarvelWydKX7PresetMenu::showLoadedPresetAfterFailedLoad(WYD_KX7AudioProcessor* processor,
                                                              const juce::String& loadedPath)
{
    const auto failedFile = filePaths[selectedFileIndex - 1];
    setSelectedFilePath(loadedPath);
    if (const int failedIndex = filePaths.indexOf(failedFile) + 1; failedIndex > 0)
        selectedFileIndex = failedIndex;
    compareAndMarkPreset(processor);
}
