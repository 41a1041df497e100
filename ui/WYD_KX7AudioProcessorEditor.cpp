#include "ui/WYD_KX7AudioProcessorEditor.h"

#include <algorithm>

#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/ExternalOpener.h"
#include "ui/PresetLocations.h"
#include "ui/images/BinaryImages.h"
#include "ui/widgets/EditorPopups.h"
#include "ui/widgets/EmbeddedImage.h"
#include "ui/widgets/Tarvel2StateButton.h"
#include "ui/widgets/Tarvel2StateKickButton.h"
#include "ui/widgets/TarvelAlertComponent.h"
#include "ui/widgets/TarvelKnob.h"
#include "ui/widgets/TarvelSplashScreen.h"
#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"
#include "ui/widgets/TarvelWydKX7PresetBrowser.h"
#include "ui/widgets/TarvelWydKX7PresetMenu.h"
#include "ui/widgets/TarvelWydKnob.h"

using Editor = WYD_KX7AudioProcessorEditor;
using namespace ParameterTable;

const char* const Editor::websiteAddress = "https://tarvel.example/wyd-kx7";
const char* const Editor::downloadAddress = "https://tarvel.example/wyd-kx7/download";

juce::AudioProcessorEditor* WYD_KX7AudioProcessor::createEditor()
{
    return new WYD_KX7AudioProcessorEditor(this);
}

namespace
{
struct EmbeddedImage
{
    const char* const* data;
    int size;

    juce::Image decode() const { return decodeEmbeddedImage(*data, size); }
};

struct Box
{
    int x, y, w, h;

    juce::Rectangle<int> rectangle() const { return {x, y, w, h}; }
};

constexpr int presetNameRefreshTicks = 3;
constexpr int timerIntervalMs = 50;
const char* const presetWildcard = "*.tz7p";
const char* const productName = "WYD-KX7";

juce::Image copyButtonImage(bool settingBActive)
{
    return settingBActive ? decodeEmbeddedImage(KX7BinImg::btoa_png, KX7BinImg::btoa_pngSize)
                          : decodeEmbeddedImage(KX7BinImg::atob_png, KX7BinImg::atob_pngSize);
}

juce::String quoted(const juce::String& text)
{
    return "\"" + text + "\"";
}

// Files are named by their path in quotes, as in the other messages; addresses stand plain.
juce::String shownTarget(const juce::String& target)
{
    return target.startsWithChar('/') ? quoted(target) : target;
}

// What a knob or selector shows for its parameter's value. A selector shows the step the value
// plays: its slider would round a value between two steps to the nearer one.
double shownValue(int parameter, float value)
{
    const int steps = selectorSteps(parameter);
    if (steps < 2)
        return value;
    return selectorStep(parameter, value) / (steps - 1.0);
}
} // namespace

// The fixed layout: every control with its member, name, strip, bounds and parameter.
struct EditorLayout
{
    struct Switch
    {
        std::unique_ptr<Tarvel2StateButton> Editor::*member;
        const char* name;
        EmbeddedImage image;
        Box bounds;
        int parameter;
    };

    struct Knob
    {
        std::unique_ptr<TarvelKnob> Editor::*member;
        const char* name;
        EmbeddedImage image;
        Box bounds;
        int parameter;
        double doubleClickValue;
    };

    struct Selector
    {
        std::unique_ptr<TarvelWydKnob> Editor::*member;
        const char* name;
        EmbeddedImage image;
        Box bounds;
        int parameter;
        int steps;
        Box knobArea;
        Box stepAreas[11];
    };

    static constexpr int knobFrames = 101;

    // Switches below the knobs (z-order 7 to 10) and the two section switches above the
    // selectors (z-order 27 and 28).
    static constexpr Switch lowerSwitches[] = {
        {&Editor::bypassButton_, "bypassButton_", {&KX7BinImg::bypass_png, KX7BinImg::bypass_pngSize},
         {750, 0, 50, 33}, kBypass},
        {&Editor::saturationOnButton_, "saturationOnButton_",
         {&KX7BinImg::saturationon_png, KX7BinImg::saturationon_pngSize}, {28, 295, 29, 21},
         kSaturationOn},
        {&Editor::saturationAutoLevelOnButton_, "saturationAutoLevelOnButton_",
         {&KX7BinImg::saturationautolevelon_png, KX7BinImg::saturationautolevelon_pngSize},
         {58, 295, 28, 21}, kSaturationAutoLevelOn},
        {&Editor::phaseOnButton_, "phaseOnButton_", {&KX7BinImg::phase_png, KX7BinImg::phase_pngSize},
         {130, 241, 33, 35}, kPhaseOn},
    };
    static constexpr Switch sectionSwitches[] = {
        {&Editor::tolmOnButton_, "tolmOnButton_", {&KX7BinImg::tolmon_png, KX7BinImg::tolmon_pngSize},
         {382, 170, 36, 17}, kTolmOn},
        {&Editor::braskOnButton_, "braskOnButton_", {&KX7BinImg::braskon_png, KX7BinImg::braskon_pngSize},
         {380, 365, 40, 22}, kBraskOn},
    };

    static constexpr Knob knobs[] = {
        {&Editor::inputVolKnob_, "inputVolKnob_", {&KX7BinImg::inputvol_png, KX7BinImg::inputvol_pngSize},
         {35, 232, 49, 49}, kInputVol, 0.5},
        {&Editor::tolmLowPeakKnob_, "tolmLowPeakKnob_",
         {&KX7BinImg::tolmlowpeak_png, KX7BinImg::tolmlowpeak_pngSize}, {161, 96, 58, 57}, kTolmLowPeak, 0.0},
        {&Editor::tolmMidDipKnob_, "tolmMidDipKnob_",
         {&KX7BinImg::tolmmiddip_png, KX7BinImg::tolmmiddip_pngSize}, {434, 75, 58, 57}, kTolmMidDip, 0.0},
        {&Editor::tolmHighPeakKnob_, "tolmHighPeakKnob_",
         {&KX7BinImg::tolmhighpeak_png, KX7BinImg::tolmhighpeak_pngSize}, {694, 96, 58, 57}, kTolmHighPeak,
         0.0},
        {&Editor::braskLowBoostKnob_, "braskLowBoostKnob_",
         {&KX7BinImg::brasklowboost_png, KX7BinImg::brasklowboost_pngSize}, {173, 336, 58, 58},
         kBraskLowBoost, 0.0},
        {&Editor::braskLowAttenKnob_, "braskLowAttenKnob_",
         {&KX7BinImg::brasklowatten_png, KX7BinImg::brasklowatten_pngSize}, {283, 336, 58, 58},
         kBraskLowAtten, 0.0},
        {&Editor::braskHighBoostKnob_, "braskHighBoostKnob_",
         {&KX7BinImg::braskhighboost_png, KX7BinImg::braskhighboost_pngSize}, {459, 336, 58, 58},
         kBraskHighBoost, 0.0},
        {&Editor::braskHighBoostBandwidthKnob_, "braskHighBoostBandwidthKnob_",
         {&KX7BinImg::braskhighboostbandwidth_png, KX7BinImg::braskhighboostbandwidth_pngSize},
         {569, 336, 59, 58}, kBraskHighBoostBandwidth, 0.5},
        {&Editor::braskHighAttenKnob_, "braskHighAttenKnob_",
         {&KX7BinImg::braskhighatten_png, KX7BinImg::braskhighatten_pngSize}, {705, 347, 59, 58},
         kBraskHighAtten, 0.0},
        {&Editor::outputVolKnob_, "outputVolKnob_", {&KX7BinImg::outputvol_png, KX7BinImg::outputvol_pngSize},
         {35, 353, 49, 49}, kOutputVol, 0.5},
    };

    // Step k of a selector has the value k / (steps - 1); its click area is stepAreas[k].
    static constexpr Selector selectors[] = {
        {&Editor::tolmLowFreqKnob_, "tolmLowFreqKnob_",
         {&KX7BinImg::tolmlowfreq_png, KX7BinImg::tolmlowfreq_pngSize}, {0, 80, 127, 118}, kTolmLowFreq, 5,
         {0, 0, 109, 118},
         {{79, 4, 29, 10}, {92, 20, 29, 10}, {97, 39, 30, 10}, {92, 60, 28, 10}, {79, 74, 36, 13}}},
        {&Editor::tolmMidFreqKnob_, "tolmMidFreqKnob_",
         {&KX7BinImg::tolmmidfreq_png, KX7BinImg::tolmmidfreq_pngSize}, {273, 54, 123, 140}, kTolmMidFreq, 11,
         {0, 3, 123, 137},
         {{25, 79, 22, 13}, {10, 66, 23, 10}, {3, 43, 25, 10}, {9, 23, 24, 10}, {35, 7, 11, 13},
          {55, 0, 16, 14}, {79, 6, 13, 13}, {91, 24, 12, 9}, {96, 44, 12, 9}, {92, 65, 10, 11},
          {79, 78, 11, 13}}},
        {&Editor::tolmHighFreqKnob_, "tolmHighFreqKnob_",
         {&KX7BinImg::tolmhighfreq_png, KX7BinImg::tolmhighfreq_pngSize}, {535, 77, 132, 118}, kTolmHighFreq,
         5, {0, 0, 132, 118},
         {{77, 7, 19, 10}, {90, 23, 13, 9}, {95, 43, 11, 8}, {90, 63, 12, 10}, {77, 77, 11, 13}}},
        {&Editor::braskLowFreqKnob_, "braskLowFreqKnob_",
         {&KX7BinImg::brasklowfreq_png, KX7BinImg::brasklowfreq_pngSize}, {199, 218, 115, 118}, kBraskLowFreq,
         4, {0, 5, 115, 113}, {{1, 43, 22, 11}, {10, 22, 19, 10}, {26, 4, 15, 14}, {47, 0, 21, 14}}},
        {&Editor::braskHighBoostFreqKnob_, "braskHighBoostFreqKnob_",
         {&KX7BinImg::braskhighboostfreq_png, KX7BinImg::braskhighboostfreq_pngSize}, {488, 217, 110, 119},
         kBraskHighBoostFreq, 7, {0, 2, 110, 117},
         {{6, 44, 14, 10}, {12, 24, 13, 9}, {29, 7, 9, 12}, {51, 0, 8, 14}, {72, 8, 17, 10},
          {86, 24, 17, 10}, {91, 44, 18, 9}}},
        {&Editor::braskHighAttenFreqKnob_, "braskHighAttenFreqKnob_",
         {&KX7BinImg::braskhighattenfreq_png, KX7BinImg::braskhighattenfreq_pngSize}, {680, 222, 118, 122},
         kBraskHighAttenFreq, 3, {2, 0, 118, 122}, {{25, 75, 12, 13}, {0, 38, 19, 10}, {18, 2, 19, 12}}},
    };

    static void addSwitch(Editor& editor, const Switch& layout)
    {
        auto& button = editor.*layout.member;
        button = std::make_unique<Tarvel2StateButton>(layout.name);
        editor.addAndMakeVisible(*button);
        button->setImage(layout.image.decode());
        button->setBounds(layout.bounds.rectangle());
        button->setToggleState(editor.kx7Processor().getParameter(layout.parameter) > 0.0f,
                               juce::dontSendNotification);
        button->addListener(&editor);
    }

    static void addKnob(Editor& editor, const Knob& layout)
    {
        auto& knob = editor.*layout.member;
        knob = std::make_unique<TarvelKnob>(layout.name);
        editor.addAndMakeVisible(*knob);
        knob->setImage(layout.image.decode(), knobFrames);
        knob->setBounds(layout.bounds.rectangle());
        knob->setValue((double) editor.kx7Processor().getParameter(layout.parameter),
                       juce::dontSendNotification);
        knob->setDoubleClickReturnValue(true, layout.doubleClickValue);
        knob->addListener(&editor);
    }

    static void addSelector(Editor& editor, const Selector& layout)
    {
        auto& selector = editor.*layout.member;
        selector = std::make_unique<TarvelWydKnob>(layout.name);
        editor.addAndMakeVisible(*selector);
        selector->setRange(0.0, 1.0, 1.0 / (layout.steps - 1));
        selector->setBounds(layout.bounds.rectangle());
        const Box& area = layout.knobArea;
        selector->setImage(layout.image.decode(), layout.steps, area.x, area.y, area.w, area.h);
        for (int step = 0; step < layout.steps; ++step)
        {
            const Box& r = layout.stepAreas[step];
            selector->addFreqSelection(r.x, r.y, r.w, r.h, step);
        }
        selector->setValue(shownValue(layout.parameter, editor.kx7Processor().getParameter(layout.parameter)),
                           juce::dontSendNotification);
        selector->setDoubleClickReturnValue(true, 0.0);
        selector->addListener(&editor);
    }

    static std::unique_ptr<Tarvel2StateKickButton> makePushButton(Editor& editor, const char* name)
    {
        auto button = std::make_unique<Tarvel2StateKickButton>(name);
        editor.addAndMakeVisible(*button);
        return button;
    }

    template <typename Function>
    static void forEachSwitch(Editor& editor, Function&& function)
    {
        for (const auto& s : lowerSwitches)
            function(*(editor.*s.member), s.parameter);
        for (const auto& s : sectionSwitches)
            function(*(editor.*s.member), s.parameter);
    }

    template <typename Function>
    static void forEachKnob(Editor& editor, Function&& function)
    {
        for (const auto& k : knobs)
            function(static_cast<juce::Slider&>(*(editor.*k.member)), k.parameter);
        for (const auto& s : selectors)
            function(static_cast<juce::Slider&>(*(editor.*s.member)), s.parameter);
    }

    // The parameter a switch, knob or selector stands for; -1 for any other component.
    static int parameterOf(Editor& editor, const juce::Component* control)
    {
        int parameter = -1;
        forEachSwitch(editor, [&](juce::Button& button, int index) {
            if (&button == control)
                parameter = index;
        });
        forEachKnob(editor, [&](juce::Slider& slider, int index) {
            if (&slider == control)
                parameter = index;
        });
        return parameter;
    }
};

// ---- Construction and destruction ----

WYD_KX7AudioProcessorEditor::WYD_KX7AudioProcessorEditor(WYD_KX7AudioProcessor* owner)
    : juce::AudioProcessorEditor(owner), gestures(*owner), presetFolderPath(PresetLocations::presetFolderText())
{
    setLookAndFeel(&lookAndFeel);

    backgroundImage = decodeEmbeddedImage(KX7BinImg::background_png, KX7BinImg::background_pngSize);
    setSize(backgroundImage.getWidth(), backgroundImage.getHeight());

    buildControls();
    buildDialogs();

    raiseAllChangeFlags();
    presetNameRefreshPending = true;
    presetNameRefreshCount = 0;
    startTimer(timerIntervalMs);
}

void WYD_KX7AudioProcessorEditor::buildControls()
{
    fileButton_ = EditorLayout::makePushButton(*this, "fileButton_");
    fileButton_->setImage(decodeEmbeddedImage(KX7BinImg::file_png, KX7BinImg::file_pngSize));
    fileButton_->setBounds(47, 0, 78, 33);
    fileButton_->addListener(this);

    presetDecButton_ = EditorLayout::makePushButton(*this, "presetDecButton_");
    presetDecButton_->setImage(decodeEmbeddedImage(KX7BinImg::presetleft_png, KX7BinImg::presetleft_pngSize));
    presetDecButton_->setBounds(190, 0, 32, 33);
    presetDecButton_->addListener(this);

    presetIncButton_ = EditorLayout::makePushButton(*this, "presetIncButton_");
    presetIncButton_->setImage(decodeEmbeddedImage(KX7BinImg::presetright_png, KX7BinImg::presetright_pngSize));
    presetIncButton_->setBounds(488, 0, 33, 33);
    presetIncButton_->addListener(this);

    buildPresetMenu();

    // The A/B switch and the copy button take their state from the first timer tick.
    abButton_ = std::make_unique<Tarvel2StateButton>("abButton_");
    addAndMakeVisible(*abButton_);
    abButton_->setImage(decodeEmbeddedImage(KX7BinImg::ab_png, KX7BinImg::ab_pngSize));
    abButton_->setBounds(603, 7, 46, 26);
    abButton_->addListener(this);

    abCopyButton_ = EditorLayout::makePushButton(*this, "abCopyButton_");
    abCopyButton_->setBounds(670, 0, 67, 33);
    abCopyButton_->setImage(copyButtonImage(false));
    abCopyButton_->addListener(this);

    for (const auto& layout : EditorLayout::lowerSwitches)
        EditorLayout::addSwitch(*this, layout);
    for (const auto& layout : EditorLayout::knobs)
        EditorLayout::addKnob(*this, layout);
    for (const auto& layout : EditorLayout::selectors)
        EditorLayout::addSelector(*this, layout);
    for (const auto& layout : EditorLayout::sectionSwitches)
        EditorLayout::addSwitch(*this, layout);

    // No strip: an invisible click area over the maker's logo.
    aboutShowButton_ = EditorLayout::makePushButton(*this, "aboutShowButton_");
    aboutShowButton_->setBounds(11, 4, 24, 24);
    aboutShowButton_->addListener(this);
}

void WYD_KX7AudioProcessorEditor::buildPresetMenu()
{
    presetMenu_ = std::make_unique<TarvelWydKX7PresetMenu>("presetMenu_");
    addAndMakeVisible(*presetMenu_);
    presetMenu_->setDirectoryPath(presetFolderPath);
    presetMenu_->setFileExtension(presetWildcard);
    presetMenu_->setSelectedFilePath(currentSlot().presetPath[activeSetting()]);
    presetMenu_->setBounds(228, 5, 254, 19);
    presetMenu_->setColour(juce::Label::textColourId, juce::Colours::black);
    presetMenu_->addListener(this);
}

void WYD_KX7AudioProcessorEditor::buildDialogs()
{
    const juce::Image aboutImage =
        decodeEmbeddedImage(aboutboxBinImg::about_box_kx7_png, aboutboxBinImg::about_box_kx7_pngSize);
    aboutContainer_ = std::make_unique<TarvelSplashScreen>("aboutContainer_");
    addChildComponent(*aboutContainer_);
    aboutContainer_->setBounds(186, 106, aboutImage.getWidth(), aboutImage.getHeight());

    auto& owner = kx7Processor();
    savePresetBrowser_ = std::make_unique<TarvelWydKX7PresetBrowser>(
        "savePresetBrowser_", "Save", juce::File(presetFolderPath), presetWildcard, 5, 1, 5, 3, 8,
        &owner, presetMenu_.get());
    addChildComponent(*savePresetBrowser_);
    savePresetBrowser_->needChangeParentModal(false);
    savePresetBrowser_->setBounds(0, 0, 800, 450);

    overwritePresetComponent_ = std::make_unique<TarvelWydKX7OverwriteComponent>(
        "overwritePresetComponent_", &owner, presetMenu_.get());
    addChildComponent(*overwritePresetComponent_);
    overwritePresetComponent_->needChangeParentModal(false);
    overwritePresetComponent_->setBounds(158, 126, 486, 200);

    alert_ = std::make_unique<TarvelAlertComponent>("alert_", 1, 1, 3);
    addChildComponent(*alert_);
    alert_->needChangeParentModal(false);
    alert_->setBounds(158, 126, 486, 200);

    // Made with the editor, so that it also collects openers an earlier editor left running.
    openerWatch = std::make_unique<ExternalOpener::Watch>([this](const juce::String& failed, int exitStatus) {
        showMessage("Could not open " + shownTarget(failed) + ":\n" + ExternalOpener::failureReason(exitStatus), 4);
    });
}

WYD_KX7AudioProcessorEditor::~WYD_KX7AudioProcessorEditor()
{
    stopTimer();
    // An open menu closes with its editor (other editors' menus stay); its answer then finds the
    // editor gone.
    EditorPopups::dismissMenusOf(*this);
    // A control deleted in the middle of a drag would report its end to an editor half gone.
    gestures.endAll();
    EditorLayout::forEachKnob(*this, [this](juce::Slider& slider, int) { slider.removeListener(this); });

    fileButton_.reset();
    presetDecButton_.reset();
    presetIncButton_.reset();
    abButton_.reset();
    abCopyButton_.reset();
    bypassButton_.reset();
    saturationOnButton_.reset();
    saturationAutoLevelOnButton_.reset();
    tolmOnButton_.reset();
    braskOnButton_.reset();
    phaseOnButton_.reset();
    for (const auto& knob : EditorLayout::knobs)
        (this->*knob.member).reset();
    for (const auto& selector : EditorLayout::selectors)
        (this->*selector.member).reset();
    aboutShowButton_.reset();
    aboutContainer_.reset();
    savePresetBrowser_.reset();
    overwritePresetComponent_.reset();
    openerWatch.reset(); // its reports go to alert_
    alert_.reset();
    // Last: the two dialogs above keep pointers to it.
    presetMenu_.reset();

    setLookAndFeel(nullptr);
}

void WYD_KX7AudioProcessorEditor::paint(juce::Graphics& g)
{
    g.drawImage(backgroundImage, 0, 0, proportionOfWidth(1.0f), proportionOfHeight(1.0f), 0, 0,
                backgroundImage.getWidth(), backgroundImage.getHeight(), false);
}

// ---- Processor access ----

WYD_KX7AudioProcessor& WYD_KX7AudioProcessorEditor::kx7Processor()
{
    return static_cast<WYD_KX7AudioProcessor&>(processor);
}

ProgramSlot& WYD_KX7AudioProcessorEditor::currentSlot()
{
    auto& owner = kx7Processor();
    const int program = juce::jlimit(0, WYD_KX7AudioProcessor::kNumPrograms - 1, (int) owner.currentProgram);
    return owner.programs[program];
}

int WYD_KX7AudioProcessorEditor::activeSetting()
{
    return currentSlot().activeChannel != 0 ? 1 : 0;
}

void WYD_KX7AudioProcessorEditor::raiseAllChangeFlags()
{
    auto& owner = kx7Processor();
    owner.programChanged = true;
    owner.parametersChanged = true;
    owner.channelChanged = true;
}

// ---- Timer ----

void WYD_KX7AudioProcessorEditor::timerCallback()
{
    auto& owner = kx7Processor();
    // Each flag is taken before the values are read: a change that lands after the read raises
    // its flag again and is shown on the next tick. The writers raise parametersChanged together
    // with the other two, so a tick that sees any of them refreshes.
    const bool parameters = owner.parametersChanged.exchange(false);
    const bool channel = owner.channelChanged.exchange(false);
    const bool program = owner.programChanged.exchange(false);

    if (parameters || channel || program)
    {
        showParameterValues();
        if (channel)
            showActiveSetting();
        if (program)
        {
            presetNameRefreshPending = true;
            presetNameRefreshCount = 0;
        }
        else
        {
            presetMenu_->setPresetHasChanged();
        }
    }

    if (presetNameRefreshPending && presetNameRefreshCount < presetNameRefreshTicks)
    {
        refreshPresetName();
        ++presetNameRefreshCount;
    }
}

void WYD_KX7AudioProcessorEditor::showParameterValues()
{
    auto& owner = kx7Processor();
    EditorLayout::forEachSwitch(*this, [&owner](juce::Button& button, int parameter) {
        button.setToggleState(owner.getParameter(parameter) > 0.0f, juce::dontSendNotification);
    });
    EditorLayout::forEachKnob(*this, [&owner](juce::Slider& slider, int parameter) {
        slider.setValue(shownValue(parameter, owner.getParameter(parameter)), juce::dontSendNotification);
    });
}

void WYD_KX7AudioProcessorEditor::showActiveSetting()
{
    abButton_->setToggleState(activeSetting() != 0, juce::dontSendNotification);
    abCopyButton_->setImage(copyButtonImage(abButton_->getToggleState()));
}

void WYD_KX7AudioProcessorEditor::refreshPresetName()
{
    presetMenu_->setSelectedFilePath(currentSlot().presetPath[activeSetting()]);
    presetMenu_->compareAndMarkPreset(&kx7Processor());
}

// ---- Listeners ----

void WYD_KX7AudioProcessorEditor::buttonClicked(juce::Button* button)
{
    if (button == fileButton_.get())
        showFileMenu();
    else if (button == presetDecButton_.get())
    {
        presetMenu_->previousResult();
        loadSelectedPreset();
    }
    else if (button == presetIncButton_.get())
    {
        presetMenu_->nextResult();
        loadSelectedPreset();
    }
    else if (button == abButton_.get())
        switchSetting();
    else if (button == abCopyButton_.get())
        copySetting();
    else if (button == aboutShowButton_.get())
        showAboutBox();
    else if (const int parameter = EditorLayout::parameterOf(*this, button); parameter >= 0)
    {
        gestures.begin(parameter);
        processor.setParameterNotifyingHost(parameter, button->getToggleState() ? 1.0f : 0.0f);
        gestures.end(parameter);
    }
}

void WYD_KX7AudioProcessorEditor::sliderValueChanged(juce::Slider* slider)
{
    if (const int parameter = EditorLayout::parameterOf(*this, slider); parameter >= 0)
        processor.setParameterNotifyingHost(parameter, (float) slider->getValue());
}

void WYD_KX7AudioProcessorEditor::sliderDragStarted(juce::Slider* slider)
{
    gestures.begin(EditorLayout::parameterOf(*this, slider));
}

void WYD_KX7AudioProcessorEditor::sliderDragEnded(juce::Slider* slider)
{
    gestures.end(EditorLayout::parameterOf(*this, slider));
}

void WYD_KX7AudioProcessorEditor::labelTextChanged(juce::Label* label)
{
    if (label == presetMenu_.get())
        loadSelectedPreset();
}

// ---- Presets and settings ----

// Only a file that loaded becomes the setting's preset: after a failure the slot, the shown name
// and the host's program name stay those of the values still loaded.
void WYD_KX7AudioProcessorEditor::loadSelectedPreset()
{
    auto& owner = kx7Processor();
    const juce::String path = presetMenu_->getSelectedFilePath();
    // A listed file may have gone (or become a folder) since the scan that listed it.
    const bool listed = presetMenu_->isSelectionListed();
    const int result = presetMenu_->readPreset(&owner, path);
    if (result != 1 && result != 4)
    {
        presetMenu_->showLoadedPresetAfterFailedLoad(&owner, currentSlot().presetPath[activeSetting()]);
        reportPresetNotLoaded(path, result, listed);
        return;
    }

    currentSlot().presetPath[activeSetting()] = path;
    if (result == 4)
        showMessage(quoted(path) + "\nwas made using a newer version of " + productName
                        + ".\nTo use this preset correctly, please install the newest version from: "
                        + downloadAddress,
                    1);

    owner.programChanged = true;
    owner.parametersChanged = true;
    owner.updateHostDisplay();
}

// A file that is there, or was listed, but gave nothing would otherwise look loaded; a path that
// was never listed and names no file (the "Init.tz7p" of a fresh program) stays silent.
void WYD_KX7AudioProcessorEditor::reportPresetNotLoaded(const juce::String& path, int result, bool listed)
{
    if (!listed && !PresetLocations::resolveInside(presetFolderPath, path).existsAsFile())
        return;
    if (result == 2)
        showMessage(quoted(path) + "\nis a preset of another product.\nNothing was loaded.", 1);
    else
        showMessage(quoted(path) + "\nis not a " + productName
                        + " preset or could not be read.\nNothing was loaded.",
                    1);
}

void WYD_KX7AudioProcessorEditor::switchSetting()
{
    auto& owner = kx7Processor();
    const bool settingB = abButton_->getToggleState();
    auto& slot = currentSlot();
    slot.activeChannel = settingB ? 1 : 0;
    presetMenu_->setSelectedFilePath(slot.presetPath[activeSetting()]);
    abCopyButton_->setImage(copyButtonImage(settingB));

    // getParameter reads the new setting now: its values go live and to the host.
    for (int i = 0; i < kNumParameters; ++i)
        owner.setParameterNotifyingHost(i, owner.getParameter(i));

    owner.programChanged = true;
    owner.parametersChanged = true;
    owner.updateHostDisplay();
}

// Copies the active setting onto the other one. The active setting is the processor's, not the
// switch's: before the first tick the switch shows A whatever is active.
void WYD_KX7AudioProcessorEditor::copySetting()
{
    auto& slot = currentSlot();
    const int from = activeSetting();
    std::copy(std::begin(slot.values[from]), std::end(slot.values[from]), std::begin(slot.values[1 - from]));
}

void WYD_KX7AudioProcessorEditor::showAboutBox()
{
    aboutContainer_->setVersion(versionText());
    aboutContainer_->show();
}

juce::String WYD_KX7AudioProcessorEditor::versionText()
{
#if WYD_BUILD_BITS == 64
    return "1.0.5 (64bit)";
#elif WYD_BUILD_BITS == 32
    return "1.0.5 (32bit)";
#else
    return "1.0.5";
#endif
}

void WYD_KX7AudioProcessorEditor::showMessage(const juce::String& text, int iconCode)
{
    alert_->showMessage(text, iconCode);
}

// ---- File menu ----

void WYD_KX7AudioProcessorEditor::showFileMenu()
{
    juce::PopupMenu menu;
    menu.addItem(savePresetItem, "Save Preset");
    menu.addItem(savePresetAsItem, "Save Preset As...");
    menu.addSeparator();
    menu.addItem(userManualItem, "User Manual");
    menu.addSeparator();
    menu.addItem(websiteItem, "Tarvel Website");

    // Shown without waiting: the host's thread that runs the editor must not stay inside while
    // the menu is open. The host may close the editor meanwhile.
    juce::Component::SafePointer<WYD_KX7AudioProcessorEditor> self(this);
    EditorPopups::showMenu(menu, *fileButton_, [self](int result) {
        if (self != nullptr)
            self->fileMenuResult(result);
    });
}

void WYD_KX7AudioProcessorEditor::fileMenuResult(int result)
{
    switch (result)
    {
    case savePresetItem: savePreset(); break;
    case savePresetAsItem:
        createPresetFolder();
        savePresetBrowser_->show();
        break;
    case userManualItem: openUserManual(); break;
    case websiteItem: openWebsite(); break;
    default: break;
    }
}

void WYD_KX7AudioProcessorEditor::savePreset()
{
    // A path from a host state block that leads outside the preset folder counts as missing.
    const juce::File file = PresetLocations::resolveInside(presetFolderPath, currentSlot().presetPath[activeSetting()]);
    if (file.existsAsFile())
    {
        overwritePresetComponent_->presetFile = file;
        overwritePresetComponent_->setTitle("Are you sure you want to overwrite " + quoted(file.getFileName())
                                            + "?");
        overwritePresetComponent_->show(2, 1);
        return;
    }
    createPresetFolder();
    savePresetBrowser_->show();
}

void WYD_KX7AudioProcessorEditor::openUserManual()
{
    const juce::File manual = PresetLocations::userManual();
    if (!manual.existsAsFile())
        showMessage("User manual on: " + quoted(manual.getFullPathName()) + " is not available.", 4);
    else
        openExternally(manual.getFullPathName());
}

void WYD_KX7AudioProcessorEditor::openWebsite()
{
    openExternally(websiteAddress);
}

// A missing xdg-open is known at once; whether it could open the target arrives later, through
// the watch.
void WYD_KX7AudioProcessorEditor::openExternally(const juce::String& target)
{
    if (!openerWatch->open(target))
        showMessage("Could not open " + shownTarget(target) + ":\n" + ExternalOpener::openerProgram
                        + " (package xdg-utils) is not installed.",
                    4);
}

void WYD_KX7AudioProcessorEditor::createPresetFolder()
{
    const juce::File folder(presetFolderPath);
    if (!folder.isDirectory())
        folder.createDirectory(); // a failure shows in the save dialog
}
