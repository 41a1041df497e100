#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

// The host's touch and latch automation record a control only between a gesture's begin and end.
// A control can open a gesture while one of its own is open (a selector's step click inside its
// knob area, JUCE's double-click reset), so the openings are counted per parameter: the host
// hears one begin when the first opens and one end when the last closes.
class ParameterGestures
{
public:
    explicit ParameterGestures(juce::AudioProcessor& processor);
    // Ends what is still open: a gesture the host never hears end keeps its lane in touch.
    ~ParameterGestures();

    void begin(int parameter);
    void end(int parameter);
    bool isOpen(int parameter) const;
    void endAll();

private:
    juce::AudioProcessor& processor;
    std::vector<int> depth;

    JUCE_DECLARE_NON_COPYABLE(ParameterGestures)
};
