#pragma once

// Shared set-up for the editor and widget tests: JUCE's GUI for the whole test program, a
// temporary HOME (so the Music folder is never the user's real one) and the X atoms a window
// needs on an X server without a window manager.

#include "tests/TemporaryFolder.h"
#include "tools/MessageLoop.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <memory>

namespace wydtest
{

using wydtools::runMessageLoopFor;

// Runs JUCE's message loop until pred holds or the time runs out; true when it held.
template <typename Pred>
bool runMessageLoopUntil(Pred pred, int timeoutMs = 5000)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (!pred())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;
        runMessageLoopFor(5);
    }
    return true;
}

inline bool haveDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != 0;
}

// HOME points at a fresh temporary folder while the object lives.
class TemporaryHome
{
public:
    // mkdtemp: test programs run in parallel, and each needs a HOME no other one can pick.
    TemporaryHome() : folder(makeUniqueFolder())
    {
        if (const char* old = std::getenv("HOME"))
            previous = old;
        setenv("HOME", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~TemporaryHome()
    {
        if (previous.isNotEmpty())
            setenv("HOME", previous.toRawUTF8(), 1);
        else
            unsetenv("HOME");
        // remove_all does not follow links: a test's cyclic link cannot trap it.
        std::error_code ignored;
        std::filesystem::remove_all(folder.getFullPathName().toStdString(), ignored);
    }

    const juce::File& path() const { return folder; }

    // The folder presets live in under this HOME.
    juce::File presetFolder() const
    {
        return folder.getChildFile("Music/Audio Music Apps/Tarvel/Presets/WYD-KX7");
    }

private:
    static juce::File makeUniqueFolder()
    {
        auto pattern = temporaryRoot() + "/wyd-home-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary HOME: " + pattern);
        return juce::File(pattern);
    }

    juce::File folder;
    juce::String previous;
};

// One per test program: JUCE's GUI and message manager on the test thread, and a temporary
// HOME for everything the program does.
class JuceGuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        home = std::make_unique<TemporaryHome>();
        gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    }

    void TearDown() override
    {
        gui.reset();
        home.reset();
    }

    static const TemporaryHome& temporaryHome() { return *instance().home; }

    static JuceGuiEnvironment& instance()
    {
        static JuceGuiEnvironment* env = static_cast<JuceGuiEnvironment*>(
            ::testing::AddGlobalTestEnvironment(new JuceGuiEnvironment));
        return *env;
    }

private:
    std::unique_ptr<TemporaryHome> home;
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> gui;
};

// Include this header's registration once per test program by defining
// WYD_REGISTER_GUI_ENVIRONMENT in exactly one source file before including it.
#ifdef WYD_REGISTER_GUI_ENVIRONMENT
static const bool wydGuiEnvironmentRegistered = (JuceGuiEnvironment::instance(), true);
#endif

} // namespace wydtest
