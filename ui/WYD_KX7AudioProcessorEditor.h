#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstdint>
#include <memory>

#include "ui/ParameterGestures.h"

class WYD_KX7AudioProcessor;
struct ProgramSlot;
class Tarvel2StateButton;
class Tarvel2StateKickButton;
class TarvelKnob;
class TarvelWydKnob;
class TarvelWydKX7PresetMenu;
class TarvelWydKX7PresetBrowser;
class TarvelWydKX7OverwriteComponent;
class TarvelAlertComponent;
class TarvelSplashScreen;
namespace ExternalOpener
{
class Watch;
}

// The plug-in's window: a fixed bitmap layout of knobs, stepped selectors, switches and push
// buttons over one background image, the preset selector, and the hidden in-editor dialogs.
// A 50 ms timer follows the processor's change flags; the controls send their changes through
// setParameterNotifyingHost, each inside a host gesture: a drag from press to release, a click or
// a double-click reset on its own. Every child carries its member name as component name.
//
// Keys: neither the editor nor its controls take keyboard focus and no key has a meaning here,
// so Return or space never repeat a click and the host keeps its keyboard shortcuts.
class WYD_KX7AudioProcessorEditor : public juce::AudioProcessorEditor,
                                    public juce::Timer,
                                    public juce::Button::Listener,
                                    public juce::Slider::Listener,
                                    public juce::Label::Listener
{
public:
    explicit WYD_KX7AudioProcessorEditor(WYD_KX7AudioProcessor* owner);
    ~WYD_KX7AudioProcessorEditor() override;

    void paint(juce::Graphics& g) override;
    void timerCallback() override;
    void buttonClicked(juce::Button* button) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void sliderDragStarted(juce::Slider* slider) override;
    void sliderDragEnded(juce::Slider* slider) override;
    void labelTextChanged(juce::Label* label) override;

    // Acts on the file menu's item id (0: dismissed).
    void fileMenuResult(int result);
    // Makes sure the preset folder exists; a failure is left to the save dialog.
    void createPresetFolder();

    // Where "Tarvel Website" leads, and the download page the newer-version message names.
    static const char* const websiteAddress;
    static const char* const downloadAddress;
    // "1.0.5" followed by the build's word size, as the about box shows it.
    static juce::String versionText();

    enum FileMenuItem
    {
        savePresetItem = 1,
        savePresetAsItem = 2,
        userManualItem = 3,
        websiteItem = 4
    };

private:
    friend struct EditorLayout;

    WYD_KX7AudioProcessor& kx7Processor();
    ProgramSlot& currentSlot();
    int activeSetting();

    void buildControls();
    void buildPresetMenu();
    void buildDialogs();
    void raiseAllChangeFlags();

    void showParameterValues();
    void showActiveSetting();
    void refreshPresetName();

    void showFileMenu();
    void loadSelectedPreset();
    void reportPresetNotLoaded(const juce::String& path, int result, bool listed);
    void switchSetting();
    void copySetting();
    void showAboutBox();
    void savePreset();
    void openUserManual();
    void openWebsite();
    void openExternally(const juce::String& target);
    void showMessage(const juce::String& text, int iconCode);

    juce::LookAndFeel_V3 lookAndFeel;
    ParameterGestures gestures;
    // Resolved once, when the editor opens: the menu, the save dialog, the overwrite question and
    // the comparison all work in this folder, even when the Music folder's setting changes while
    // the editor is open.
    const juce::String presetFolderPath;
    juce::Image backgroundImage;
    bool presetNameRefreshPending = false;
    int32_t presetNameRefreshCount = 0;

    std::unique_ptr<Tarvel2StateKickButton> fileButton_;
    std::unique_ptr<Tarvel2StateKickButton> presetDecButton_;
    std::unique_ptr<Tarvel2StateKickButton> presetIncButton_;
    std::unique_ptr<TarvelWydKX7PresetMenu> presetMenu_;
    std::unique_ptr<Tarvel2StateButton> abButton_;
    std::unique_ptr<Tarvel2StateKickButton> abCopyButton_;
    std::unique_ptr<Tarvel2StateButton> bypassButton_;
    std::unique_ptr<Tarvel2StateButton> saturationOnButton_;
    std::unique_ptr<Tarvel2StateButton> saturationAutoLevelOnButton_;
    std::unique_ptr<Tarvel2StateButton> tolmOnButton_;
    std::unique_ptr<Tarvel2StateButton> braskOnButton_;
    std::unique_ptr<Tarvel2StateButton> phaseOnButton_;
    std::unique_ptr<TarvelKnob> inputVolKnob_;
    std::unique_ptr<TarvelKnob> tolmLowPeakKnob_;
    std::unique_ptr<TarvelKnob> tolmMidDipKnob_;
    std::unique_ptr<TarvelKnob> tolmHighPeakKnob_;
    std::unique_ptr<TarvelKnob> braskLowBoostKnob_;
    std::unique_ptr<TarvelKnob> braskLowAttenKnob_;
    std::unique_ptr<TarvelKnob> braskHighBoostBandwidthKnob_;
    std::unique_ptr<TarvelKnob> braskHighBoostKnob_;
    std::unique_ptr<TarvelKnob> braskHighAttenKnob_;
    std::unique_ptr<TarvelKnob> outputVolKnob_;
    std::unique_ptr<TarvelWydKnob> tolmLowFreqKnob_;
    std::unique_ptr<TarvelWydKnob> tolmMidFreqKnob_;
    std::unique_ptr<TarvelWydKnob> tolmHighFreqKnob_;
    std::unique_ptr<TarvelWydKnob> braskLowFreqKnob_;
    std::unique_ptr<TarvelWydKnob> braskHighBoostFreqKnob_;
    std::unique_ptr<TarvelWydKnob> braskHighAttenFreqKnob_;
    std::unique_ptr<TarvelWydKX7PresetBrowser> savePresetBrowser_;
    std::unique_ptr<TarvelWydKX7OverwriteComponent> overwritePresetComponent_;
    std::unique_ptr<TarvelAlertComponent> alert_;
    std::unique_ptr<Tarvel2StateKickButton> aboutShowButton_;
    std::unique_ptr<TarvelSplashScreen> aboutContainer_;
    // Reports a manual or web page that xdg-open failed to open.
    std::unique_ptr<ExternalOpener::Watch> openerWatch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(WYD_KX7AudioProcessorEditor)
};
