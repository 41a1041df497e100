#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The about box: the about picture with the version text on it. It starts hidden, is modal
// while shown (the rest of its editor gets no clicks or keys; other editors of the process do)
// and closes on a click anywhere but on the version text.
class TarvelSplashScreen : public juce::Component
{
public:
    explicit TarvelSplashScreen(const juce::String& componentName);
    ~TarvelSplashScreen() override;

    virtual void show();
    virtual void hide();

    void setVersion(const juce::String& text);

    void mouseDown(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    bool canModalEventBeSentToComponent(const juce::Component* target) override;

private:
    juce::Image aboutImage;
    std::unique_ptr<juce::Label> versionLabel_;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TarvelSplashScreen)
};
