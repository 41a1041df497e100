#pragma once

// Shared by the tests that open the plug-in's editor in a window of the test host, under an X
// server (they skip without DISPLAY). HOME points at a temporary folder for the whole program, so
// that nothing touches the real Music folder.

#include "PluginTestSupport.h"

#include "tests/Eventually.h"
#include "tests/TemporaryFolder.h"

#include "processor/WYD_KX7AudioProcessor.h"

#include "tools/HostGuiThread.h"
#include "tools/X11Session.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

namespace plugintest
{

using namespace std::chrono_literals;

// A folder of its own for this test program (mkdtemp, so parallel programs never share it),
// removed when the program ends, and with the test command's run folder should it crash.
inline const std::string& temporaryHome()
{
    static const auto folder = [] {
        try
        {
            return std::make_unique<wydtest::TemporaryFolder>("wyd-editor-test-");
        }
        catch (const std::exception&)
        {
            return std::unique_ptr<wydtest::TemporaryFolder>();
        }
    }();
    static const std::string none;
    return folder ? folder->path() : none;
}

using wydtest::eventually;
using wydtest::waitScale;

// One library, one host thread that idles editors, and the X connection; checks at the end that
// the editors left no thread, window or X error behind.
class EditorTest : public ::testing::Test
{
protected:
    struct Shown
    {
        vsthost::Host host;
        std::unique_ptr<vsthost::PluginInstance> plugin;
        vsthost::X11Session::WindowId window = 0;
        // The top-level window around `window` when the host nests it, else `window` itself.
        vsthost::X11Session::WindowId frame = 0;
    };

    enum class HostWindow
    {
        topLevel,    // the window handed to the plug-in is a top-level window
        insideFrame, // it sits inside a top-level window, where the host reads its keys
    };

    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X server (DISPLAY is not set)";
        ASSERT_FALSE(temporaryHome().empty()) << "no temporary HOME";
        setenv("HOME", temporaryHome().c_str(), 1);
        writePreset("Loud.tz7p", 20, 0.75f);
        std::string error;
        x11 = vsthost::X11Session::open(error, createWindowManagerAtoms);
        ASSERT_TRUE(x11) << error;
        vsthost::X11Session::clearErrors();
        gui = std::make_unique<vsthost::HostGuiThread>();
        threadsBefore = threadCount();
        topLevelBefore = x11->mappedTopLevelWindows();
        library = loadPlugin();
        ASSERT_TRUE(library);
    }

    void TearDown() override
    {
        if (!x11)
            return;
        for (auto& shown : shownEditors)
            closeShown(*shown);
        shownEditors.clear();
        library.reset();
        // A thread ends and a window goes a moment after the call that ended them returned.
        EXPECT_TRUE(eventually([&] { return threadCount() == threadsBefore; }))
            << "a thread outlived the library: " << threadCount() << " instead of " << threadsBefore;
        EXPECT_TRUE(eventually([&] { return x11->mappedTopLevelWindows() == topLevelBefore; }))
            << "a window outlived the editor";
        for (const auto& e : vsthost::X11Session::errors())
            ADD_FAILURE() << "X error " << e.errorCode << " on request " << e.requestCode;
        gui.reset();
    }

    // A started instance with its editor open in a window of its own, idled by the host thread.
    // The first two windows lie one above the other, so that a click meant for one never lands
    // in the other. The host calls itself `hostProduct` when one is given.
    Shown& showEditor(HostWindow kind = HostWindow::topLevel, const char* hostProduct = nullptr)
    {
        auto shown = std::make_unique<Shown>();
        if (hostProduct != nullptr)
            shown->host.productAnswer = hostProduct;
        shown->plugin = std::make_unique<vsthost::PluginInstance>(*library, shown->host);
        EXPECT_TRUE(shown->plugin->valid());
        shown->plugin->start(44100.0f, 256);
        const auto size = shown->plugin->editorSize();
        const int slot = static_cast<int>(shownEditors.size());
        const int y = (slot % 2) * kSecondWindowY;
        if (kind == HostWindow::insideFrame)
        {
            const auto framed = x11->createFramedParentWindow(size.first, size.second, 0, y);
            shown->frame = framed.frame;
            shown->window = framed.inner;
        }
        else
        {
            shown->window = x11->createParentWindow(size.first, size.second, 0, y);
            shown->frame = shown->window;
        }
        x11->focusAsWindowManager(shown->frame);
        bool opened = false;
        auto* plugin = shown->plugin.get();
        const auto window = shown->window;
        EXPECT_TRUE(gui->run([&opened, plugin, window] { opened = plugin->openEditor(window); }));
        EXPECT_TRUE(opened);
        gui->startIdling(plugin->record());
        EXPECT_TRUE(waitForEditorWindow(*shown)) << "the editor's window did not show";
        shownEditors.push_back(std::move(shown));
        return *shownEditors.back();
    }

    // Waits until the editor's window shows inside the host's and the editor has been idled since,
    // so that a click lands in it (an instrumented build maps and draws it slowly).
    bool waitForEditorWindow(const Shown& shown)
    {
        const bool mapped = eventually([&] {
            const auto inside = x11->children(shown.window);
            return inside.size() == 1 && x11->isViewable(inside[0]);
        });
        return mapped && letEditorsHandle();
    }

    // Closed on the host's editor thread, as hosts do. Should that thread be held, the task is
    // withdrawn and the instance closed from here instead: either way exactly once, and before
    // the test goes on.
    void closeShown(Shown& shown)
    {
        if (shown.plugin->valid())
        {
            gui->stopIdling(shown.plugin->record());
            auto* plugin = shown.plugin.get();
            const bool closedThere = gui->run([plugin] { plugin->closeEditor(); plugin->close(); });
            EXPECT_TRUE(closedThere) << "the host's editor thread is held";
            if (!closedThere)
            {
                plugin->closeEditor();
                plugin->close();
            }
        }
        x11->destroyWindow(shown.frame);
    }

    // Editor coordinates to the screen's.
    void click(const Shown& shown, int x, int y)
    {
        const auto box = x11->box(shown.window);
        x11->click(box.x + x, box.y + y);
    }

    // Top-level windows that appeared since the test began: the popup menus.
    std::vector<vsthost::X11Session::WindowId> newTopLevelWindows() const
    {
        std::vector<vsthost::X11Session::WindowId> fresh;
        for (auto window : x11->mappedTopLevelWindows())
            if (std::find(topLevelBefore.begin(), topLevelBefore.end(), window) == topLevelBefore.end()
                && !isShownWindow(window))
                fresh.push_back(window);
        return fresh;
    }

    // The one popup menu that opened, or 0.
    vsthost::X11Session::WindowId waitForMenu()
    {
        vsthost::X11Session::WindowId menu = 0;
        eventually([&] {
            const auto fresh = newTopLevelWindows();
            menu = fresh.size() == 1 ? fresh[0] : 0;
            return menu != 0;
        });
        menuSeenAt = std::chrono::steady_clock::now();
        return menu;
    }

    // Waits until every shown editor has been idled `rounds` more times: what the editors had
    // been sent (clicks, keys, timer ticks) has been handled by then, or is known never to be.
    bool letEditorsHandle(int rounds = 3)
    {
        return gui->waitForIdleRounds(rounds, 10s * waitScale());
    }

    // For checks that something does not happen over a span of time: returns once `span` has
    // passed and the editors have been idled at least as often as a host idling every 15 ms would.
    bool idleEditorsFor(std::chrono::milliseconds span)
    {
        const auto end = std::chrono::steady_clock::now() + span;
        const auto roundsWanted = gui->idleRounds() + static_cast<std::uint64_t>(span / 15ms);
        while (std::chrono::steady_clock::now() < end || gui->idleRounds() < roundsWanted)
            if (!letEditorsHandle(1))
                return false;
        return true;
    }

    // A menu ignores a click that ends within 250 ms of its opening (JUCE's guard against the
    // release of the click that opened it): waits until the menu seen last is older than that.
    void waitUntilMenuTakesClicks()
    {
        const auto takesClicks = menuSeenAt + kMenuClickGuard;
        eventually([&] { return std::chrono::steady_clock::now() > takesClicks; }, kMenuClickGuard + 1s);
    }

    // Clicks the first item of an open menu (items are about 22 pixels high), once the menu shows
    // the item under the pointer highlighted (so it follows the pointer) and takes clicks.
    void pickFirstMenuItem(vsthost::X11Session::WindowId menu)
    {
        letEditorsHandle(); // the menu drawn
        const auto box = x11->box(menu);
        const int itemY = std::min(box.height / 2, 13);
        const int edgeX = box.width - 4; // the item's background, highlighted or not
        const auto plain = x11->pixel(menu, edgeX, itemY);
        const int x = box.x + box.width / 2, y = box.y + itemY;
        x11->moveMouse(x - 5, y);
        x11->moveMouse(x, y);
        EXPECT_TRUE(eventually([&] { return x11->pixel(menu, edgeX, itemY) != plain; }))
            << "the menu did not highlight the item under the pointer";
        waitUntilMenuTakesClicks();
        x11->click(x, y);
    }

    // The colour at x, y of the editor once it differs from `before` (a dialog appeared, a
    // button was enabled); `before` itself when it never changed.
    std::uint32_t pixelChangedFrom(const Shown& shown, int x, int y, std::uint32_t before)
    {
        std::uint32_t now = before;
        eventually([&] { return (now = x11->pixel(shown.window, x, y)) != before; });
        return now;
    }

    // Whether the X keyboard focus reaches the editor: on its window or one inside it.
    bool editorOwnsTheFocus(const Shown& shown) const
    {
        return x11->isSameOrInside(x11->focusedWindow(), shown.window);
    }

    // A preset file in the preset folder: the defaults with one parameter changed. The preset
    // menu opens only when the folder holds a preset.
    static void writePreset(const juce::String& name, int index, float value)
    {
        WYD_KX7AudioProcessor source;
        source.setParameter(index, value);
        const auto folder = WYD_KX7AudioProcessor::getPresetFolder();
        folder.createDirectory();
        EXPECT_TRUE(source.writePreset(true).writeTo(folder.getChildFile(name)));
    }

    bool isShownWindow(vsthost::X11Session::WindowId window) const
    {
        for (const auto& shown : shownEditors)
            if (shown->frame == window)
                return true;
        return false;
    }

    static constexpr int kSecondWindowY = 520;
    static constexpr auto kMenuClickGuard = 300ms;

    // False to see the plug-in on a display where no window manager ever ran.
    bool createWindowManagerAtoms = true;
    std::unique_ptr<vsthost::X11Session> x11;
    std::unique_ptr<vsthost::HostGuiThread> gui;
    std::unique_ptr<vsthost::PluginLibrary> library;
    std::vector<std::unique_ptr<Shown>> shownEditors;
    std::vector<vsthost::X11Session::WindowId> topLevelBefore;
    std::chrono::steady_clock::time_point menuSeenAt;
    int threadsBefore = 0;
};

} // namespace plugintest
