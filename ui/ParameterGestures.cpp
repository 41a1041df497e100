#include "ui/ParameterGestures.h"

ParameterGestures::ParameterGestures(juce::AudioProcessor& processorIn)
    : processor(processorIn), depth((size_t) juce::jmax(0, processorIn.getNumParameters()), 0)
{
}

ParameterGestures::~ParameterGestures()
{
    endAll();
}

void ParameterGestures::begin(int parameter)
{
    if (!juce::isPositiveAndBelow(parameter, (int) depth.size()))
        return;
    if (depth[(size_t) parameter]++ == 0)
        processor.beginParameterChangeGesture(parameter);
}

void ParameterGestures::end(int parameter)
{
    if (!isOpen(parameter))
        return;
    if (--depth[(size_t) parameter] == 0)
        processor.endParameterChangeGesture(parameter);
}

bool ParameterGestures::isOpen(int parameter) const
{
    return juce::isPositiveAndBelow(parameter, (int) depth.size()) && depth[(size_t) parameter] > 0;
}

void ParameterGestures::endAll()
{
    for (int parameter = 0; parameter < (int) depth.size(); ++parameter)
        if (isOpen(parameter))
        {
            depth[(size_t) parameter] = 0;
            processor.endParameterChangeGesture(parameter);
        }
}
