// The library's entry points: the only symbols it exports.

#include "wrapper/JuceVSTWrapper.h"

#include <juce_audio_processors/juce_audio_processors.h>

// The processor's factory, one processor per instance; the caller owns the result.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();

namespace
{

// Processors created while this lives learn that they run inside a VST 2.4 host.
class CreatingForVst
{
public:
    CreatingForVst()
    {
        juce::PluginHostType::jucePlugInClientCurrentWrapperType = juce::AudioProcessor::wrapperType_VST;
        juce::AudioProcessor::setTypeOfNextNewPlugin(juce::AudioProcessor::wrapperType_VST);
    }
    ~CreatingForVst()
    {
        juce::AudioProcessor::setTypeOfNextNewPlugin(juce::AudioProcessor::wrapperType_Undefined);
    }
};

AEffect* createInstance(audioMasterCallback audioMaster)
{
    // A host without a callback, or one that answers no VST version, gets no instance.
    if (audioMaster == nullptr || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    try
    {
        wydvst::JuceRuntime::Use juce; // JUCE's GUI and message system, once per process
        std::unique_ptr<juce::AudioProcessor> processor;
        {
            CreatingForVst forVst;
            processor.reset(createPluginFilter());
        }
        if (processor == nullptr)
            return nullptr;
        auto* wrapper = new wydvst::JuceVSTWrapper(audioMaster, std::move(processor), std::move(juce));
        return wrapper->getAeffect();
    }
    catch (...)
    {
        return nullptr;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    return createInstance(audioMaster);
}

extern "C" __attribute__((visibility("default"))) AEffect* main_macho(audioMasterCallback audioMaster)
{
    return createInstance(audioMaster);
}
