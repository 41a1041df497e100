#pragma once

// An editor on a fresh processor, with a host stand-in that records what the processor reports,
// and access to the editor's children by component name.

#include "ui/WYD_KX7AudioProcessorEditor.h"
#include "ui/widgets/DialogTestSupport.h"
#include "ui/widgets/TarvelAlertComponent.h"
#include "ui/widgets/TarvelWydKX7PresetMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace wydtest
{

// What the host would hear: parameter changes (index, value) and display updates.
struct HostRecorder : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value) override
    {
        parameterChanges.emplace_back(index, value);
    }
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override { ++displayUpdates; }

    std::vector<std::pair<int, float>> parameterChanges;
    int displayUpdates = 0;
};

struct EditorTest : ::testing::Test
{
    void SetUp() override
    {
        clearMusicFolder();
        processor = makeProcessor();
        processor->addListener(&host);
    }

    void TearDown() override
    {
        closeEditor();
        processor->removeListener(&host);
        processor.reset();
        clearMusicFolder();
    }

    virtual std::unique_ptr<WYD_KX7AudioProcessor> makeProcessor()
    {
        return std::make_unique<WYD_KX7AudioProcessor>();
    }

    void openEditor()
    {
        editor.reset(dynamic_cast<WYD_KX7AudioProcessorEditor*>(processor->createEditorIfNeeded()));
        ASSERT_NE(editor, nullptr);
        editor->stopTimer(); // the tests tick it themselves, also while a click is delivered
    }

    void closeEditor()
    {
        if (editor == nullptr)
            return;
        processor->editorBeingDeleted(editor.get());
        editor.reset();
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            editor->timerCallback();
    }

    // The processor's flags and the host record start empty.
    void forgetChanges()
    {
        processor->programChanged = false;
        processor->parametersChanged = false;
        processor->channelChanged = false;
        host.parameterChanges.clear();
        host.displayUpdates = 0;
    }

    template <typename T = juce::Component>
    T& child(const juce::String& name)
    {
        for (auto* c : editor->getChildren())
            if (c->getName() == name)
                if (auto* typed = dynamic_cast<T*>(c))
                    return *typed;
        ADD_FAILURE() << "no child " << name;
        throw std::runtime_error("missing child");
    }

    // A real click, delivered through the message loop as a mouse click would be.
    void click(const juce::String& name)
    {
        struct Seen : juce::Button::Listener
        {
            void buttonClicked(juce::Button*) override { clicked = true; }
            bool clicked = false;
        } seen;
        auto& button = child<juce::Button>(name);
        button.addListener(&seen);
        button.triggerClick();
        EXPECT_TRUE(runMessageLoopUntil([&] { return seen.clicked; }, 2000)) << name;
        button.removeListener(&seen);
    }

    TarvelWydKX7PresetMenu& presetMenu() { return child<TarvelWydKX7PresetMenu>("presetMenu_"); }
    juce::String alertText() { return child<TarvelAlertComponent>("alert_").getTitleText(); }
    ProgramSlot& slot() { return processor->programs[processor->currentProgram]; }

    // Writes the processor's current setting with values changed by edit as a preset file.
    template <typename Edit>
    juce::File writePresetFile(const juce::String& relativePath, Edit&& edit,
                               const juce::String& productId = "", const juce::String& presetVersion = "")
    {
        WYD_KX7AudioProcessor source;
        edit(source);
        auto document = source.writePreset(true);
        auto* properties = document.getChildByAttribute("deviceProductID", "com.tarvel.WYD-KX7");
        if (productId.isNotEmpty())
            properties->setAttribute("deviceProductID", productId);
        if (presetVersion.isNotEmpty())
            properties->setAttribute("presetVersion", presetVersion);
        const auto file = presetFolder().getChildFile(relativePath);
        file.getParentDirectory().createDirectory();
        EXPECT_TRUE(document.writeTo(file));
        return file;
    }

    HostRecorder host;
    std::unique_ptr<WYD_KX7AudioProcessor> processor;
    std::unique_ptr<WYD_KX7AudioProcessorEditor> editor;
};

} // namespace wydtest
