#include "EditorTestSupport.h"
#include "processor/SelectorTestValues.h"
#include "ui/widgets/TarvelWydKnob.h"

using namespace wydtest;
using namespace ParameterTable;

namespace
{
juce::String selectorName(int selector)
{
    return juce::String(identifiers[selector]) + "Knob_";
}
} // namespace

// A selector shows the frame of the step its value plays, the step whose text the host shows (the
// processor's tests tie that text to the output), whether the value came before the editor opened
// or from the host while it is open.
TEST_F(EditorTest, SelectorFramesShowTheStepTheHostsTextNames)
{
    for (const int selector : kSelectors)
        processor->setParameter(selector, 0.02f);
    openEditor();
    for (const int selector : kSelectors)
    {
        SCOPED_TRACE(identifiers[selector]);
        EXPECT_EQ(child<TarvelWydKnob>(selectorName(selector)).shownFrame(), 1);
    }

    for (const int selector : kSelectors)
    {
        SCOPED_TRACE(identifiers[selector]);
        auto& knob = child<TarvelWydKnob>(selectorName(selector));
        for (const float value : selectorTestValues(selector))
        {
            processor->setParameter(selector, value);
            tick();
            const int frame = knob.shownFrame();
            EXPECT_EQ(displayText(selector, selectorStepValue(selector, frame)), processor->getParameterText(selector))
                << "value " << value;
        }
    }
    EXPECT_TRUE(host.parameterChanges.empty()) << "showing a step sends nothing back";
}
