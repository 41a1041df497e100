#define WYD_REGISTER_GUI_ENVIRONMENT
#include "ui/UiTestSupport.h"

#include "EditorTestSupport.h"
#include "ui/widgets/Tarvel2StateButton.h"
#include "ui/widgets/Tarvel2StateKickButton.h"
#include "ui/widgets/TarvelKnob.h"
#include "ui/widgets/TarvelSplashScreen.h"
#include "ui/widgets/TarvelWydKX7OverwriteComponent.h"
#include "ui/widgets/TarvelWydKX7PresetBrowser.h"
#include "ui/widgets/TarvelWydKnob.h"

using namespace wydtest;
using namespace ParameterTable;

namespace
{
enum Kind
{
    pushButton,
    switchButton,
    knob,
    selector,
    presetLabel,
    aboutBox,
    saveDialog,
    overwriteQuestion,
    messageBox
};

struct ChildRow
{
    const char* name;
    Kind kind;
    juce::Rectangle<int> bounds;
    int parameter;        // -1: none
    double doubleClick;   // knobs and selectors
    int steps;            // selectors
};

// The editor's children in z-order, bottom first.
const ChildRow layout[] = {
    {"fileButton_", pushButton, {47, 0, 78, 33}, -1, 0, 0},
    {"presetDecButton_", pushButton, {190, 0, 32, 33}, -1, 0, 0},
    {"presetIncButton_", pushButton, {488, 0, 33, 33}, -1, 0, 0},
    {"presetMenu_", presetLabel, {228, 5, 254, 19}, -1, 0, 0},
    {"abButton_", switchButton, {603, 7, 46, 26}, -1, 0, 0},
    {"abCopyButton_", pushButton, {670, 0, 67, 33}, -1, 0, 0},
    {"bypassButton_", switchButton, {750, 0, 50, 33}, kBypass, 0, 0},
    {"saturationOnButton_", switchButton, {28, 295, 29, 21}, kSaturationOn, 0, 0},
    {"saturationAutoLevelOnButton_", switchButton, {58, 295, 28, 21}, kSaturationAutoLevelOn, 0, 0},
    {"phaseOnButton_", switchButton, {130, 241, 33, 35}, kPhaseOn, 0, 0},
    {"inputVolKnob_", knob, {35, 232, 49, 49}, kInputVol, 0.5, 0},
    {"tolmLowPeakKnob_", knob, {161, 96, 58, 57}, kTolmLowPeak, 0.0, 0},
    {"tolmMidDipKnob_", knob, {434, 75, 58, 57}, kTolmMidDip, 0.0, 0},
    {"tolmHighPeakKnob_", knob, {694, 96, 58, 57}, kTolmHighPeak, 0.0, 0},
    {"braskLowBoostKnob_", knob, {173, 336, 58, 58}, kBraskLowBoost, 0.0, 0},
    {"braskLowAttenKnob_", knob, {283, 336, 58, 58}, kBraskLowAtten, 0.0, 0},
    {"braskHighBoostKnob_", knob, {459, 336, 58, 58}, kBraskHighBoost, 0.0, 0},
    {"braskHighBoostBandwidthKnob_", knob, {569, 336, 59, 58}, kBraskHighBoostBandwidth, 0.5, 0},
    {"braskHighAttenKnob_", knob, {705, 347, 59, 58}, kBraskHighAtten, 0.0, 0},
    {"outputVolKnob_", knob, {35, 353, 49, 49}, kOutputVol, 0.5, 0},
    {"tolmLowFreqKnob_", selector, {0, 80, 127, 118}, kTolmLowFreq, 0.0, 5},
    {"tolmMidFreqKnob_", selector, {273, 54, 123, 140}, kTolmMidFreq, 0.0, 11},
    {"tolmHighFreqKnob_", selector, {535, 77, 132, 118}, kTolmHighFreq, 0.0, 5},
    {"braskLowFreqKnob_", selector, {199, 218, 115, 118}, kBraskLowFreq, 0.0, 4},
    {"braskHighBoostFreqKnob_", selector, {488, 217, 110, 119}, kBraskHighBoostFreq, 0.0, 7},
    {"braskHighAttenFreqKnob_", selector, {680, 222, 118, 122}, kBraskHighAttenFreq, 0.0, 3},
    {"tolmOnButton_", switchButton, {382, 170, 36, 17}, kTolmOn, 0, 0},
    {"braskOnButton_", switchButton, {380, 365, 40, 22}, kBraskOn, 0, 0},
    {"aboutShowButton_", pushButton, {11, 4, 24, 24}, -1, 0, 0},
    {"aboutContainer_", aboutBox, {186, 106, 430, 240}, -1, 0, 0},
    {"savePresetBrowser_", saveDialog, {0, 0, 800, 450}, -1, 0, 0},
    {"overwritePresetComponent_", overwriteQuestion, {158, 126, 486, 200}, -1, 0, 0},
    {"alert_", messageBox, {158, 126, 486, 200}, -1, 0, 0},
};

bool hasClass(juce::Component* c, Kind kind)
{
    switch (kind)
    {
    case pushButton: return dynamic_cast<Tarvel2StateKickButton*>(c) != nullptr;
    case switchButton: return dynamic_cast<Tarvel2StateButton*>(c) != nullptr;
    case knob: return dynamic_cast<TarvelKnob*>(c) != nullptr && dynamic_cast<TarvelWydKnob*>(c) == nullptr;
    case selector: return dynamic_cast<TarvelWydKnob*>(c) != nullptr;
    case presetLabel: return dynamic_cast<TarvelWydKX7PresetMenu*>(c) != nullptr;
    case aboutBox: return dynamic_cast<TarvelSplashScreen*>(c) != nullptr;
    case saveDialog: return dynamic_cast<TarvelWydKX7PresetBrowser*>(c) != nullptr;
    case overwriteQuestion: return dynamic_cast<TarvelWydKX7OverwriteComponent*>(c) != nullptr;
    case messageBox:
        return dynamic_cast<TarvelAlertComponent*>(c) != nullptr
               && dynamic_cast<TarvelWydKX7OverwriteComponent*>(c) == nullptr;
    }
    return false;
}

bool isDialog(Kind kind)
{
    return kind >= aboutBox;
}
} // namespace

TEST_F(EditorTest, ChildrenHaveTheirNamesClassesBoundsAndZOrder)
{
    openEditor();
    EXPECT_EQ(editor->getBounds(), juce::Rectangle<int>(0, 0, 800, 450));
    ASSERT_EQ(editor->getNumChildComponents(), (int) std::size(layout));
    for (int z = 0; z < (int) std::size(layout); ++z)
    {
        const auto& row = layout[z];
        auto* c = editor->getChildComponent(z);
        SCOPED_TRACE(row.name);
        EXPECT_EQ(c->getName(), row.name);
        EXPECT_TRUE(hasClass(c, row.kind));
        EXPECT_EQ(c->getBounds(), row.bounds);
        EXPECT_EQ(c->isVisible(), !isDialog(row.kind));
        // Keys reach the host: no control takes keyboard focus.
        EXPECT_FALSE(c->getWantsKeyboardFocus());
        if (auto* slider = dynamic_cast<juce::Slider*>(c))
        {
            EXPECT_EQ(slider->getDoubleClickReturnValue(), row.doubleClick);
            EXPECT_DOUBLE_EQ(slider->getMaximum() - slider->getMinimum(), 1.0);
            if (row.steps > 0)
            {
                EXPECT_DOUBLE_EQ(slider->getInterval(), 1.0 / (row.steps - 1));
            }
        }
    }
    EXPECT_FALSE(editor->getWantsKeyboardFocus());
    EXPECT_FALSE(editor->keyPressed(juce::KeyPress(juce::KeyPress::returnKey)));
    EXPECT_FALSE(editor->keyPressed(juce::KeyPress(juce::KeyPress::spaceKey)));
}

// Moving each control sends exactly its own parameter to the processor and the host.
TEST_F(EditorTest, EachControlSendsItsParameter)
{
    openEditor();
    for (const auto& row : layout)
    {
        if (row.parameter < 0)
            continue;
        SCOPED_TRACE(row.name);
        forgetChanges();
        float expected = 1.0f;
        if (auto* slider = dynamic_cast<juce::Slider*>(&child(row.name)))
        {
            slider->setValue(1.0, juce::sendNotificationSync);
            slider->setValue(slider->getDoubleClickReturnValue(), juce::sendNotificationSync);
            expected = (float) row.doubleClick;
            ASSERT_EQ(host.parameterChanges.size(), 2u);
        }
        else
        {
            auto& button = child<juce::Button>(row.name);
            button.setToggleState(!button.getToggleState(), juce::sendNotificationSync);
            expected = button.getToggleState() ? 1.0f : 0.0f;
            ASSERT_EQ(host.parameterChanges.size(), 1u);
        }
        EXPECT_EQ(host.parameterChanges.back(), std::make_pair(row.parameter, expected));
        EXPECT_EQ(processor->getParameter(row.parameter), expected);
        EXPECT_EQ(host.displayUpdates, 0);
    }
}

TEST_F(EditorTest, ControlsShowTheProcessorsValuesAndTheActiveSettingAfterTheFirstTick)
{
    slot().activeChannel = 1;
    processor->setParameter(kTolmMidDip, 0.25f);
    processor->setParameter(kPhaseOn, 1.0f);
    processor->setParameter(kBraskHighAttenFreq, 0.5f);
    forgetChanges();
    openEditor();

    // Before the first tick: setting B's values, but the A/B switch still shows A.
    EXPECT_EQ(child<juce::Slider>("tolmMidDipKnob_").getValue(), (double) 0.25f);
    EXPECT_TRUE(child<juce::Button>("phaseOnButton_").getToggleState());
    EXPECT_EQ(child<juce::Slider>("braskHighAttenFreqKnob_").getValue(), 0.5);
    EXPECT_FALSE(child<juce::Button>("abButton_").getToggleState());
    EXPECT_TRUE(processor->programChanged && processor->parametersChanged && processor->channelChanged);
    EXPECT_TRUE(host.parameterChanges.empty());

    tick();
    EXPECT_TRUE(child<juce::Button>("abButton_").getToggleState());
    EXPECT_FALSE(processor->programChanged || processor->parametersChanged || processor->channelChanged);
    EXPECT_EQ(presetMenu().getText(), "Init*"); // the default preset file does not exist
    EXPECT_TRUE(host.parameterChanges.empty());
}
