// A press that Xlib read off JUCE's connection during a round trip, leaving the socket empty,
// reaches its component at the host's next idle, not whenever other X traffic comes.

// gtest before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "tests/Eventually.h"
#include "tools/X11Session.h"
#include "wrapper/EventLoopGate.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <chrono>
#include <functional>

namespace
{

struct PressTarget : juce::Component
{
    int enters = 0, presses = 0;
    void mouseEnter(const juce::MouseEvent&) override { ++enters; }
    void mouseDown(const juce::MouseEvent&) override { ++presses; }
};

// effEditIdle's work, over and over, until `done` or ten seconds have passed.
bool idleUntil(const std::function<bool()>& done)
{
    return wydtest::eventually(
        [&] {
            if (done())
                return true;
            wydvst::EventLoopGate::HostTurn turn;
            wydvst::EventLoopGate::dispatchPending();
            return false;
        },
        std::chrono::seconds(10));
}

TEST(QueuedXEvents, APressXlibHasReadReachesItsComponentAtTheNextIdle)
{
    std::string error;
    auto x11 = std::getenv("DISPLAY") != nullptr ? vsthost::X11Session::open(error) : nullptr;
    if (!x11)
        GTEST_SKIP() << "no X server " << error;
    juce::ScopedJuceInitialiser_GUI juceOnThisThread;
    PressTarget target;
    target.setBounds(60, 60, 200, 120);
    target.addToDesktop(0);
    target.setVisible(true);
    ASSERT_TRUE(idleUntil([&] {
        x11->moveMouse(160, 120);
        return target.enters > 0;
    })) << "the pointer never entered";

    x11->pressButton(160, 120);
    ::Display* display = juce::XWindowSystem::getInstance()->getDisplay();
    auto& x = *juce::X11Symbols::getInstance();
    x.xSync(display, False); // the round trip: the press is now in Xlib's queue
    ASSERT_GT(x.xEventsQueued(display, QueuedAlready), 0);
    EXPECT_TRUE(idleUntil([&] { return target.presses == 1; })) << "the press waited in Xlib's queue";
    x11->releaseButton(160, 120);
}

} // namespace
