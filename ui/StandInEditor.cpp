// A stand-in for the plug-in's editor while the real one is being written: the window size and a
// few controls at their real places, enough to drive the wrapper's editor side from a host.

#include "processor/WYD_KX7AudioProcessor.h"

namespace
{

void notifyHost(juce::AudioProcessor& processor, int index, float value)
{
    processor.setParameterNotifyingHost(index, value);
}

// The low-frequency selector's click target for its middle step.
class StandInSelector : public juce::Component
{
public:
    explicit StandInSelector(juce::AudioProcessor& p) : processor(p) {}

    void mouseDown(const juce::MouseEvent& e) override
    {
        if (juce::Rectangle<int>(97, 39, 30, 10).contains(e.getPosition()))
            notifyHost(processor, 5, 0.5f);
    }
    void paint(juce::Graphics& g) override { g.fillAll(juce::Colours::darkgrey); }

private:
    juce::AudioProcessor& processor;
};

// A label that opens a menu on a press, as the preset selector does.
class StandInPresetLabel : public juce::Label
{
public:
    explicit StandInPresetLabel(juce::AudioProcessor& p) : juce::Label("presetMenu_", "Init"), processor(p) {}

    void mouseDown(const juce::MouseEvent&) override
    {
        juce::PopupMenu menu;
        menu.addItem(1, "Quiet");
        menu.addItem(2, "Loud");
        const int chosen = menu.show();
        if (chosen > 0)
            notifyHost(processor, 20, chosen == 1 ? 0.25f : 0.75f);
    }

private:
    juce::AudioProcessor& processor;
};

class StandInEditor : public juce::AudioProcessorEditor
{
public:
    explicit StandInEditor(juce::AudioProcessor& p)
        : juce::AudioProcessorEditor(p), selector(p), presetLabel(p)
    {
        bypass.setClickingTogglesState(true);
        bypass.setToggleState(p.getParameter(0) > 0.0f, juce::dontSendNotification);
        bypass.onClick = [this] { notifyHost(processor, 0, bypass.getToggleState() ? 1.0f : 0.0f); };
        bypass.setBounds(750, 0, 50, 33);
        addAndMakeVisible(bypass);

        inputVol.setSliderStyle(juce::Slider::RotaryVerticalDrag);
        inputVol.setTextBoxStyle(juce::Slider::NoTextBox, false, 0, 0);
        inputVol.setRange(0.0, 1.0);
        inputVol.setValue(p.getParameter(1), juce::dontSendNotification);
        inputVol.onValueChange = [this] { notifyHost(processor, 1, static_cast<float>(inputVol.getValue())); };
        inputVol.setBounds(35, 232, 49, 49);
        addAndMakeVisible(inputVol);

        selector.setBounds(0, 80, 127, 118);
        addAndMakeVisible(selector);

        fileButton.onClick = [] {
            juce::PopupMenu menu;
            menu.addItem(1, "Save Preset");
            menu.addItem(2, "Save Preset As...");
            menu.addItem(3, "User Manual");
            menu.addItem(4, "Tarvel Website");
            menu.show();
        };
        fileButton.setBounds(47, 0, 78, 33);
        addAndMakeVisible(fileButton);

        presetLabel.setBounds(228, 5, 254, 19);
        addAndMakeVisible(presetLabel);

        // As the real editor's strip buttons: clicks give them no keyboard focus.
        bypass.setWantsKeyboardFocus(false);
        fileButton.setWantsKeyboardFocus(false);
        setSize(800, 450);
    }

    void paint(juce::Graphics& g) override { g.fillAll(juce::Colours::lightgrey); }

private:
    juce::TextButton bypass{"bypass"};
    juce::Slider inputVol;
    StandInSelector selector;
    juce::TextButton fileButton{"File"};
    StandInPresetLabel presetLabel;
};

} // namespace

juce::AudioProcessorEditor* WYD_KX7AudioProcessor::createEditor()
{
    return new StandInEditor(*this);
}
