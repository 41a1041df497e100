#pragma once

#include "ui/FileReplacement.h"
#include "ui/widgets/TarvelOptionMenuTree.h"

class WYD_KX7AudioProcessor;

// The preset selector: the preset folder's tree of ".tz7p" files, a "*" after the shown name when
// the processor's values no longer match the selected file, and reading, writing and comparing
// preset files through the processor.
class TarvelWydKX7PresetMenu : public TarvelOptionMenuTree
{
public:
    explicit TarvelWydKX7PresetMenu(const juce::String& componentName);
    ~TarvelWydKX7PresetMenu() override;

    void mouseDown(const juce::MouseEvent& event) override;
    void setSelectedFilePath(const juce::String& path) override;
    void setSelectedFileIndex(int itemNumber) override;

    // Appends "*" to the shown name, once.
    virtual void setPresetHasChanged();
    // Marks the name when the selected file's values differ from the processor's.
    virtual void compareAndMarkPreset(WYD_KX7AudioProcessor* processor);
    // Loads a preset file (relative path or full path inside the folder) into the processor's
    // current setting; the processor's result code, 0 when the file is missing or unreadable.
    virtual int readPreset(WYD_KX7AudioProcessor* processor, const juce::String& path);
    // Writes the processor's current setting as a preset file and selects it. False when nothing
    // was written (no processor, a path outside the folder, a failed write): the previous
    // selection and any older file at the path stay as they were.
    virtual bool writePreset(WYD_KX7AudioProcessor* processor, const juce::String& path);
    // The same for a file already resolved (PresetLocations::resolveInside): the file that was
    // checked and asked about is the file written, whatever its name holds. A failed write says
    // why (FileReplacement).
    FileReplacement::Outcome writePresetFile(WYD_KX7AudioProcessor* processor, const juce::File& file);
    // After a pick or step that loaded nothing: shows and selects the preset of the values still
    // loaded, marked when they differ from it, while stepping goes on from the file that failed.
    void showLoadedPresetAfterFailedLoad(WYD_KX7AudioProcessor* processor,
                                         const juce::String& loadedPath);
    virtual void setMarkedAsChange(bool isMarked);

    bool isMarkedAsChange() const { return markedAsChange; }

protected:
    bool markedAsChange = false;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelWydKX7PresetMenu)
};
