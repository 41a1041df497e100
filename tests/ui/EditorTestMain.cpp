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
template <typename T>
bool is(juce::Component* c)
{
    return dynamic_cast<T*>(c) != nullptr;
}

struct ChildRow
{
    const char* name;
    bool (*hasClass)(juce::Component*);
    juce::Rectangle<int> bounds;
    int parameter;      // -1: none
    double doubleClick; // knobs and selectors
    int steps;          // selectors
    bool hidden;        // the dialogs
};

using PushButton = Tarvel2StateKickButton;
using Switch = Tarvel2StateButton;
using Selector = TarvelWydKnob;

// The editor's children in z-order, bottom first.
const ChildRow layout[] = {
    {"fileButton_", is<PushButton>, {47, 0, 78, 33}, -1, 0, 0, false},
    {"presetDecButton_", is<PushButton>, {190, 0, 32, 33}, -1, 0, 0, false},
    {"presetIncButton_", is<PushButton>, {488, 0, 33, 33}, -1, 0, 0, false},
    {"presetMenu_", is<TarvelWydKX7PresetMenu>, {228, 5, 254, 19}, -1, 0, 0, false},
    {"abButton_", is<Switch>, {603, 7, 46, 26}, -1, 0, 0, false},
    {"abCopyButton_", is<PushButton>, {670, 0, 67, 33}, -1, 0, 0, false},
    {"bypassButton_", is<Switch>, {750, 0, 50, 33}, kBypass, 0, 0, false},
    {"saturationOnButton_", is<Switch>, {28, 295, 29, 21}, kSaturationOn, 0, 0, false},
    {"saturationAutoLevelOnButton_", is<Switch>, {58, 295, 28, 21}, kSaturationAutoLevelOn, 0, 0, false},
    {"phaseOnButton_", is<Switch>, {130, 241, 33, 35}, kPhaseOn, 0, 0, false},
    {"inputVolKnob_", is<TarvelKnob>, {35, 232, 49, 49}, kInputVol, 0.5, 0, false},
    {"tolmLowPeakKnob_", is<TarvelKnob>, {161, 96, 58, 57}, kTolmLowPeak, 0.0, 0, false},
    {"tolmMidDipKnob_", is<TarvelKnob>, {434, 75, 58, 57}, kTolmMidDip, 0.0, 0, false},
    {"tolmHighPeakKnob_", is<TarvelKnob>, {694, 96, 58, 57}, kTolmHighPeak, 0.0, 0, false},
    {"braskLowBoostKnob_", is<TarvelKnob>, {173, 336, 58, 58}, kBraskLowBoost, 0.0, 0, false},
    {"braskLowAttenKnob_", is<TarvelKnob>, {283, 336, 58, 58}, kBraskLowAtten, 0.0, 0, false},
    {"braskHighBoostKnob_", is<TarvelKnob>, {459, 336, 58, 58}, kBraskHighBoost, 0.0, 0, false},
    {"braskHighBoostBandwidthKnob_", is<TarvelKnob>, {569, 336, 59, 58}, kBraskHighBoostBandwidth, 0.5, 0, false},
    {"braskHighAttenKnob_", is<TarvelKnob>, {705, 347, 59, 58}, kBraskHighAtten, 0.0, 0, false},
    {"outputVolKnob_", is<TarvelKnob>, {35, 353, 49, 49}, kOutputVol, 0.5, 0, false},
    {"tolmLowFreqKnob_", is<Selector>, {0, 80, 127, 118}, kTolmLowFreq, 0.0, 5, false},
    {"tolmMidFreqKnob_", is<Selector>, {273, 54, 123, 140}, kTolmMidFreq, 0.0, 11, false},
    {"tolmHighFreqKnob_", is<Selector>, {535, 77, 132, 118}, kTolmHighFreq, 0.0, 5, false},
    {"braskLowFreqKnob_", is<Selector>, {199, 218, 115, 118}, kBraskLowFreq, 0.0, 4, false},
    {"braskHighBoostFreqKnob_", is<Selector>, {488, 217, 110, 119}, kBraskHighBoostFreq, 0.0, 7, false},
    {"braskHighAttenFreqKnob_", is<Selector>, {680, 222, 118, 122}, kBraskHighAttenFreq, 0.0, 3, false},
    {"tolmOnButton_", is<Switch>, {382, 170, 36, 17}, kTolmOn, 0, 0, false},
    {"braskOnButton_", is<Switch>, {380, 365, 40, 22}, kBraskOn, 0, 0, false},
    {"aboutShowButton_", is<PushButton>, {11, 4, 24, 24}, -1, 0, 0, false},
    {"aboutContainer_", is<TarvelSplashScreen>, {186, 106, 430, 240}, -1, 0, 0, true},
    {"savePresetBrowser_", is<TarvelWydKX7PresetBrowser>, {0, 0, 800, 450}, -1, 0, 0, true},
    {"overwritePresetComponent_", is<TarvelWydKX7OverwriteComponent>, {158, 126, 486, 200}, -1, 0, 0, true},
    {"alert_", is<TarvelAlertComponent>, {158, 126, 486, 200}, -1, 0, 0, true},
};
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
        EXPECT_TRUE(row.hasClass(c));
        EXPECT_EQ(c->getBounds(), row.bounds);
        EXPECT_EQ(c->isVisible(), !row.hidden);
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
