// The editor inside a host's window: the built .so, the test host's own editor thread and real X
// input synthesised through XTest, under an X server (Xvfb in the test command).

#include "EditorPoints.h"
#include "EditorTestSupport.h"

#include "wrapper/JuceVSTWrapper.h"

#include <atomic>
#include <regex>

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

namespace
{

using namespace editorpoints;

using namespace std::chrono_literals;
using plugintest::eventually;

// Editor coordinates of the controls these tests use.
constexpr int kLowFreqStep2X = 0 + 97 + 15, kLowFreqStep2Y = 80 + 39 + 5;
// Step 4 of the same selector lies inside its knob area: a press there also starts a drag.
constexpr int kLowFreqStep4X = 0 + 79 + 11, kLowFreqStep4Y = 80 + 74 + 6;
constexpr int kLowFreq = 5, kOutputVol = 20;

class PluginEditor : public plugintest::EditorTest
{
protected:
    std::thread::id guiThreadId()
    {
        std::thread::id id;
        gui->run([&id] { id = std::this_thread::get_id(); });
        return id;
    }
};

TEST_F(PluginEditor, OpensEmbeddedAndItsControlsReachTheHostOnTheIdlingThread)
{
    auto& shown = showEditor();
    auto& plugin = *shown.plugin;
    // Like Ardour, the host idles the editor from inside audioMasterIdle.
    shown.host.onMasterIdle = [](AEffect* effect) { effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f); };

    // Opened again without a close: a fresh editor replaces the first.
    const auto window = shown.window;
    gui->run([&plugin, window] { plugin.openEditor(window); });
    ASSERT_TRUE(waitForEditorWindow(shown));
    const auto embedded = x11->children(shown.window);
    ASSERT_EQ(embedded.size(), 1u) << "the editor's window inside the host's";
    const auto box = x11->box(embedded[0]);
    EXPECT_EQ(box.width, 800);
    EXPECT_EQ(box.height, 450);

    const float bypassBefore = plugin.getParameter(kBypass);
    click(shown, kBypassX, kBypassY);
    EXPECT_TRUE(eventually([&] { return plugin.getParameter(kBypass) != bypassBefore; }));

    // Right after the bypass change, before the editor's timer has shown it: the step must stick.
    click(shown, kLowFreqStep2X, kLowFreqStep2Y);
    EXPECT_TRUE(eventually([&] { return plugin.getParameter(kLowFreq) == 0.5f; }));

    // A slow upward drag: the knob turns up, and while the button is held the host hears
    // audioMasterIdle, never closer than 20 ms apart.
    const float volumeBefore = plugin.getParameter(kInputVol);
    const auto origin = x11->box(shown.window);
    shown.host.clearCalls();
    x11->drag(origin.x + kInputVolX, origin.y + kInputVolY, origin.x + kInputVolX,
              origin.y + kInputVolY - 60, 30);
    EXPECT_TRUE(eventually([&] { return plugin.getParameter(kInputVol) > volumeBefore + 0.05f; }));
    const auto idles = shown.host.callsOf(audioMasterIdle);
    EXPECT_GT(idles.size(), 1u);
    for (size_t i = 1; i < idles.size(); ++i)
        EXPECT_GT(idles[i].time - idles[i - 1].time, 20ms);

    const auto automated = shown.host.callsOf(audioMasterAutomate);
    ASSERT_FALSE(automated.empty());
    const auto idler = guiThreadId();
    for (const auto& call : automated)
        EXPECT_EQ(call.thread, idler) << "editor callbacks run on the thread that idles the editor";

    // Released: no more host idles, however often the editor is idled from now on.
    ASSERT_TRUE(letEditorsHandle());
    shown.host.clearCalls();
    ASSERT_TRUE(letEditorsHandle(40));
    EXPECT_EQ(shown.host.count(audioMasterIdle), 0u);
}

// What the host heard about one parameter, in order: B begin (43), V value (0), E end (44).
std::string gestureLog(const vsthost::Host& host, int parameter)
{
    std::string log;
    for (const auto& call : host.calls())
    {
        if (call.index != parameter)
            continue;
        if (call.opcode == audioMasterBeginEdit)
            log += 'B';
        else if (call.opcode == audioMasterAutomate)
            log += 'V';
        else if (call.opcode == audioMasterEndEdit)
            log += 'E';
    }
    return log;
}

TEST_F(PluginEditor, EveryClickDragAndResetReachesTheHostAsOneGesture)
{
    auto& shown = showEditor();
    auto& plugin = *shown.plugin;
    const auto origin = x11->box(shown.window);
    const auto screen = [&origin](int x, int y) { return std::make_pair(origin.x + x, origin.y + y); };
    ASSERT_EQ(plugin.getParameter(kInputVol), 0.5f);

    struct Case
    {
        const char* what;
        int parameter;
        std::function<void()> act;
        std::function<bool(float)> settled; // the control's value once the action is done
        const char* log;                    // the whole log, as a regular expression
    };
    const Case cases[] = {
        {"switch click", kBypass, [&] { click(shown, kBypassX, kBypassY); },
         [](float v) { return v == 0.0f; }, "BVE"},
        {"selector step click", kLowFreq, [&] { click(shown, kLowFreqStep2X, kLowFreqStep2Y); },
         [](float v) { return v == 0.5f; }, "BVE"},
        {"step click inside the knob area, then a drag down from the top step", kLowFreq,
         [&] {
             const auto [x, y] = screen(kLowFreqStep4X, kLowFreqStep4Y);
             x11->drag(x, y, x, y + 150, 15);
         },
         [](float v) { return v < 1.0f; }, "BVV+E"},
        {"knob drag up", kInputVol,
         [&] {
             const auto [x, y] = screen(kInputVolX, kInputVolY);
             x11->drag(x, y, x, y - 60, 20);
         },
         [](float v) { return v > 0.55f; }, "BV+E"},
        {"double-click reset", kInputVol,
         [&] {
             click(shown, kInputVolX, kInputVolY);
             click(shown, kInputVolX, kInputVolY);
         },
         [](float v) { return v == 0.5f; }, "(BE)*BVE"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        shown.host.clearCalls();
        c.act();
        EXPECT_TRUE(eventually([&] {
            const auto log = gestureLog(shown.host, c.parameter);
            return c.settled(plugin.getParameter(c.parameter)) && !log.empty() && log.back() == 'E';
        })) << gestureLog(shown.host, c.parameter) << " " << plugin.getParameter(c.parameter);
        ASSERT_TRUE(letEditorsHandle(5)); // nothing more may follow
        const auto log = gestureLog(shown.host, c.parameter);
        EXPECT_TRUE(std::regex_match(log, std::regex(c.log))) << log;
        EXPECT_EQ(shown.host.count(audioMasterGetTime), 0u) << "only Ardour needs a time request";
    }
}

// Ardour's editor thread has no tempo map until a time request loads it there: a knob drag, a
// switch click and a preset pick each reach it with one before every value and gesture.
TEST_F(PluginEditor, InArdourATimeRequestComesBeforeEveryValueAndGestureFromTheEditor)
{
    auto& shown = showEditor(HostWindow::topLevel, "Ardour");
    auto& plugin = *shown.plugin;
    const auto origin = x11->box(shown.window);
    const auto editorThread = guiThreadId();
    const auto heard = [&] { return plugintest::notificationsOnThread(shown.host.calls(), editorThread); };

    const float volumeBefore = plugin.getParameter(kInputVol);
    x11->drag(origin.x + kInputVolX, origin.y + kInputVolY, origin.x + kInputVolX,
              origin.y + kInputVolY - 60, 20);
    EXPECT_TRUE(eventually([&] {
        const auto log = gestureLog(shown.host, kInputVol);
        return plugin.getParameter(kInputVol) > volumeBefore + 0.05f && !log.empty() && log.back() == 'E';
    }));
    EXPECT_TRUE(std::regex_match(heard(), std::regex("TB(TV)+TE"))) << heard();

    shown.host.clearCalls();
    const float bypassBefore = plugin.getParameter(kBypass);
    click(shown, kBypassX, kBypassY);
    EXPECT_TRUE(eventually([&] { return plugin.getParameter(kBypass) != bypassBefore && heard() == "TBTVTE"; }))
        << heard();

    shown.host.clearCalls();
    click(shown, kPresetNameX, kPresetNameY);
    const auto menu = waitForMenu();
    ASSERT_NE(menu, 0u) << "the preset menu did not open";
    // A menu ignores clicks in its first moments: the item is clicked until the menu goes.
    for (int attempt = 0; attempt < 20 && !newTopLevelWindows().empty(); ++attempt)
    {
        pickFirstMenuItem(menu);
        eventually([&] { return newTopLevelWindows().empty(); }, 200ms);
    }
    EXPECT_TRUE(eventually([&] { return plugin.getParameter(kOutputVol) == 0.75f; }));
    // All 22 values of the preset.
    std::string preset;
    for (int i = 0; i < 22; ++i)
        preset += "TV";
    EXPECT_TRUE(eventually([&] { return heard() == preset; })) << heard();
}

TEST_F(PluginEditor, MenusFromThePresetNameAndTheFileButtonStayOpenAndPick)
{
    auto& shown = showEditor();

    // The preset name is a label, which takes no keyboard focus; clicked before anything else,
    // its menu must still stay open. Its one item is the preset that turns the output to 0.75.
    click(shown, kPresetNameX, kPresetNameY);
    auto menu = waitForMenu();
    ASSERT_NE(menu, 0u) << "the preset menu did not open";
    ASSERT_TRUE(letEditorsHandle(25));
    ASSERT_EQ(newTopLevelWindows().size(), 1u) << "the preset menu closed by itself";
    pickFirstMenuItem(menu);
    EXPECT_TRUE(eventually([&] { return newTopLevelWindows().empty(); }));
    EXPECT_TRUE(eventually([&] { return shown.plugin->getParameter(kOutputVol) == 0.75f; }));

    // "Save Preset" of a preset not yet saved opens the save dialog over the whole editor; the
    // editor and the instance are closed with it open.
    ASSERT_TRUE(letEditorsHandle()); // the loaded preset drawn
    const auto before = x11->pixel(shown.window, kDialogProbeX, kDialogProbeY);
    click(shown, kFileButtonX, kFileButtonY);
    menu = waitForMenu();
    ASSERT_NE(menu, 0u) << "the file menu did not open";
    ASSERT_TRUE(letEditorsHandle(20));
    ASSERT_EQ(newTopLevelWindows().size(), 1u) << "the file menu closed by itself";
    pickFirstMenuItem(menu);
    EXPECT_TRUE(eventually([&] { return newTopLevelWindows().empty(); }));
    EXPECT_TRUE(eventually([&] { return x11->pixel(shown.window, kDialogProbeX, kDialogProbeY) != before; }))
        << "no dialog appeared";
}

TEST_F(PluginEditor, OpensAndClosesTwentyTimesFromEitherThreadWhileAudioRuns)
{
    auto& shown = showEditor();
    auto* plugin = shown.plugin.get();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> left(256, 0.1f), right(256, -0.1f);
        float* channels[] = {left.data(), right.data()};
        while (!stop)
        {
            plugin->processInPlace(channels, 256);
            std::this_thread::sleep_for(1ms);
        }
    });

    for (int round = 0; round < 20; ++round)
    {
        SCOPED_TRACE(round);
        const bool fromTestThread = round % 2 == 1;
        gui->stopIdling(plugin->record());
        if (fromTestThread)
            plugin->closeEditor();
        else
            gui->run([plugin] { plugin->closeEditor(); });
        EXPECT_TRUE(x11->children(shown.window).empty()) << "the editor's window stayed";

        bool opened = false;
        const auto window = shown.window;
        if (fromTestThread)
            opened = plugin->openEditor(window);
        else
            gui->run([&opened, plugin, window] { opened = plugin->openEditor(window); });
        ASSERT_TRUE(opened);
        gui->startIdling(plugin->record());
        ASSERT_TRUE(letEditorsHandle(2));
        EXPECT_EQ(x11->children(shown.window).size(), 1u);
    }
    stop = true;
    audio.join();
}

TEST_F(PluginEditor, AnOpenMenuHoldsNoHostThreadAndClosesWithItsEditorFromAnotherThread)
{
    auto& first = showEditor();
    auto& second = showEditor();

    click(first, kPresetNameX, kPresetNameY);
    ASSERT_NE(waitForMenu(), 0u);

    // While the menu is open, the host's editor thread comes back from every idle call at once,
    // and a third instance's editor opens without waiting for the menu.
    for (auto* shown : {&first, &second})
    {
        auto took = std::chrono::steady_clock::duration::max();
        auto* plugin = shown->plugin.get();
        ASSERT_TRUE(gui->run([&took, plugin] {
            const auto start = std::chrono::steady_clock::now();
            plugin->dispatch(effEditIdle);
            took = std::chrono::steady_clock::now() - start;
        }, 1s));
        EXPECT_LT(took, 200ms);
    }
    vsthost::Host thirdHost;
    vsthost::PluginInstance third(*library, thirdHost);
    const auto thirdWindow = x11->createParentWindow(800, 450, 820, 0);
    bool opened = false;
    EXPECT_TRUE(gui->run([&] { opened = third.openEditor(thirdWindow); }, 1s)) << "effEditOpen waited";
    EXPECT_TRUE(opened);
    gui->run([&] { third.closeEditor(); third.close(); });
    x11->destroyWindow(thirdWindow);

    // The host closes the first editor from another thread with its menu open (opened again if
    // the third editor's window took the focus from it).
    if (newTopLevelWindows().empty())
        click(first, kPresetNameX, kPresetNameY);
    ASSERT_NE(waitForMenu(), 0u);
    gui->stopIdling(first.plugin->record());
    const auto closeStart = std::chrono::steady_clock::now();
    first.plugin->closeEditor();
    EXPECT_LT(std::chrono::steady_clock::now() - closeStart, 1s);
    EXPECT_TRUE(x11->children(first.window).empty());
    EXPECT_TRUE(eventually([&] { return newTopLevelWindows().empty(); })) << "the menu stayed";

    const float bypassBefore = second.plugin->getParameter(kBypass);
    click(second, kBypassX, kBypassY);
    EXPECT_TRUE(eventually([&] { return second.plugin->getParameter(kBypass) != bypassBefore; }));
}

TEST_F(PluginEditor, ClosingTheInstanceAndUnloadingWithTheFileMenuOpen)
{
    auto& shown = showEditor();
    click(shown, kFileButtonX, kFileButtonY);
    ASSERT_NE(waitForMenu(), 0u);

    // effClose from another thread: it returns at once, the menu goes with the instance.
    gui->stopIdling(shown.plugin->record());
    AEffect* record = shown.plugin->record();
    const auto closeStart = std::chrono::steady_clock::now();
    EXPECT_EQ(shown.plugin->close(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - closeStart, 1s);
    EXPECT_TRUE(gui->waitUntilOutOfIdle(record, 3s));
    EXPECT_TRUE(eventually([&] { return newTopLevelWindows().empty(); })) << "the menu stayed";
    // TearDown unloads the library and checks threads, windows and X errors.
}

TEST_F(PluginEditor, TheHostClosesTheEditorAndThenTheInstanceFromInsideTheEditorsCallback)
{
    auto& shown = showEditor();
    const auto origin = x11->box(shown.window);
    const int knobX = origin.x + kInputVolX, knobY = origin.y + kInputVolY;
    std::atomic<bool> closedOnce{false};
    // A held button makes the editor call audioMasterIdle; the host closes the editor in there.
    shown.host.onMasterIdle = [&closedOnce](AEffect* effect) {
        if (!closedOnce.exchange(true))
            effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    };
    x11->pressButton(knobX, knobY);
    EXPECT_TRUE(eventually([&] { return x11->children(shown.window).empty(); }));
    x11->releaseButton(knobX, knobY);

    // Opened again, it works.
    auto* plugin = shown.plugin.get();
    const auto window = shown.window;
    bool opened = false;
    gui->run([&opened, plugin, window] { opened = plugin->openEditor(window); });
    ASSERT_TRUE(opened);
    ASSERT_TRUE(waitForEditorWindow(shown));
    const float bypassBefore = plugin->getParameter(kBypass);
    click(shown, kBypassX, kBypassY);
    EXPECT_TRUE(eventually([&] { return plugin->getParameter(kBypass) != bypassBefore; }));

    // Now the host closes the whole instance in there, and forgets the record.
    AEffect* record = plugin->record();
    auto* hostThread = gui.get();
    closedOnce = false;
    shown.host.onMasterIdle = [&closedOnce, hostThread](AEffect* effect) {
        if (closedOnce.exchange(true))
            return;
        hostThread->stopIdling(effect);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    };
    x11->pressButton(knobX, knobY);
    EXPECT_TRUE(eventually([&] { return closedOnce && !gui->isInsideIdle(record); }));
    x11->releaseButton(knobX, knobY);
    plugin->release();
    EXPECT_TRUE(x11->children(shown.window).empty());
    // TearDown unloads the library and checks threads, windows and X errors.
}

TEST_F(PluginEditor, KeysTheEditorDoesNotUseReachTheHostsTopLevelWindowAfterAClickInTheEditor)
{
    // As plain hosts do, and as GTK hosts do: they read keys on their top-level window, and the
    // window they hand over may sit inside it.
    for (const auto kind : {HostWindow::topLevel, HostWindow::insideFrame})
    {
        SCOPED_TRACE(kind == HostWindow::topLevel ? "top-level host window" : "host window inside a frame");
        auto& shown = showEditor(kind);
        x11->listenForKeys(shown.frame);
        x11->typeKey("space");
        EXPECT_TRUE(eventually([&] { return x11->takeKeyPresses(shown.frame) == 1; })) << "the host has the focus";

        // A click gives the editor's window the focus, as JUCE does on every press.
        const float bypassBefore = shown.plugin->getParameter(kBypass);
        click(shown, kBypassX, kBypassY);
        ASSERT_TRUE(eventually([&] { return shown.plugin->getParameter(kBypass) != bypassBefore; }));
        x11->moveMouse(1200, 1000);
        x11->typeKey("space");
        int received = 0;
        EXPECT_TRUE(eventually([&] { return (received += x11->takeKeyPresses(shown.frame)) >= 1; }))
            << "the space bar did not reach the host";
        EXPECT_EQ(received, 1);
        // And the host's top-level window has the focus again: the next key goes to it directly.
        // The focus request and the handed-on key are separate requests: wait for the focus.
        EXPECT_TRUE(eventually([&] { return x11->focusedWindow() == shown.frame; })) << "the host has no focus";
        x11->typeKey("space");
        EXPECT_TRUE(eventually([&] { return x11->takeKeyPresses(shown.frame) == 1; }));
        EXPECT_EQ(shown.plugin->getParameter(kBypass), 1.0f - bypassBefore) << "a key pressed a control";
    }
}

// Linked into this program to reach the processor, whose announcement reaches the host only
// through JUCE's message loop: it shows which thread runs the loop.
TEST(PluginEditorInProcess, TheIdlingThreadRunsTheLoopWhileAnEditorIsOpenAndAResizeReachesTheHost)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X server (DISPLAY is not set)";
    ASSERT_FALSE(plugintest::temporaryHome().empty()) << "no temporary HOME";
    setenv("HOME", plugintest::temporaryHome().c_str(), 1);
    std::string error;
    auto x11 = vsthost::X11Session::open(error);
    ASSERT_TRUE(x11) << error;
    vsthost::HostGuiThread gui;
    std::thread::id guiThread;
    gui.run([&guiThread] { guiThread = std::this_thread::get_id(); });

    vsthost::Host host;
    vsthost::PluginInstance plugin(VSTPluginMain, host);
    ASSERT_TRUE(plugin.valid());
    auto& wrapper = *static_cast<wydvst::JuceVSTWrapper*>(static_cast<AudioEffect*>(plugin.record()->object));
    const auto window = x11->createParentWindow(800, 450);
    bool opened = false;
    gui.run([&] { opened = plugin.openEditor(window); });
    ASSERT_TRUE(opened);

    host.clearCalls();
    wrapper.getProcessor().updateHostDisplay();
    EXPECT_FALSE(host.waitFor(audioMasterIOChanged, 1, 300ms * plugintest::waitScale()))
        << "with an editor open, only the host's idle runs the loop";
    gui.run([&] { plugin.dispatch(effEditIdle); });
    ASSERT_EQ(host.count(audioMasterIOChanged), 1u);
    EXPECT_EQ(host.callsOf(audioMasterIOChanged)[0].thread, guiThread);

    // An editor that changes its size asks the host to follow, and the rectangle follows too.
    host.canDoAnswer = 1;
    host.clearCalls();
    gui.run([&] {
        wrapper.getProcessor().getActiveEditor()->setSize(640, 400);
        plugin.dispatch(effEditIdle);
    });
    ASSERT_EQ(host.count(audioMasterSizeWindow), 1u);
    EXPECT_EQ(host.callsOf(audioMasterSizeWindow)[0].index, 640);
    EXPECT_EQ(host.callsOf(audioMasterSizeWindow)[0].value, 400);
    EXPECT_EQ(plugin.editorSize(), std::make_pair(640, 400));

    gui.run([&] { plugin.closeEditor(); });
    host.clearCalls();
    wrapper.getProcessor().updateHostDisplay();
    ASSERT_TRUE(host.waitFor(audioMasterIOChanged, 1, 3s)) << "the plug-in's thread did not take over again";
    const auto thread = host.callsOf(audioMasterIOChanged)[0].thread;
    EXPECT_NE(thread, guiThread);
    EXPECT_NE(thread, std::this_thread::get_id());

    gui.run([&] { plugin.close(); });
    x11->destroyWindow(window);
    EXPECT_TRUE(vsthost::X11Session::errors().empty());
}

} // namespace
