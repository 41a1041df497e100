// The window tests' own waiting helpers: polling with a deadline, and where the X focus lies.

#include "EditorTestSupport.h"

#include <atomic>

namespace
{

using namespace std::chrono_literals;
using plugintest::eventually;

TEST(Eventually, HoldsOnceAnotherThreadMakesTheConditionTrueAndGivesUpAtTheDeadline)
{
    std::atomic<bool> done{false};
    std::thread other([&done] { done = true; });
    EXPECT_TRUE(eventually([&] { return done.load(); }, 10s));
    other.join();

    int looks = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(eventually([&] { return ++looks < 0; }, 50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    EXPECT_GT(looks, 1) << "the condition is looked at again until the deadline";
}

TEST(HostWindows, AWindowCountsAsInsideItsFrameAndTheFocusIsFoundThere)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X server (DISPLAY is not set)";
    std::string error;
    auto x11 = vsthost::X11Session::open(error);
    ASSERT_TRUE(x11) << error;
    vsthost::X11Session::clearErrors();
    const auto framed = x11->createFramedParentWindow(200, 100, 0, 0);
    const auto other = x11->createParentWindow(200, 100, 300, 0);

    EXPECT_TRUE(x11->isSameOrInside(framed.inner, framed.frame));
    EXPECT_TRUE(x11->isSameOrInside(framed.frame, framed.frame));
    EXPECT_FALSE(x11->isSameOrInside(framed.frame, framed.inner));
    EXPECT_FALSE(x11->isSameOrInside(other, framed.frame));
    EXPECT_FALSE(x11->isSameOrInside(1 /* PointerRoot */, framed.frame));
    EXPECT_FALSE(x11->isSameOrInside(0, framed.frame));

    x11->focusAsWindowManager(framed.inner);
    EXPECT_TRUE(eventually([&] { return x11->isSameOrInside(x11->focusedWindow(), framed.frame); }));
    x11->focusAsWindowManager(other);
    EXPECT_TRUE(eventually([&] { return !x11->isSameOrInside(x11->focusedWindow(), framed.frame); }));

    x11->destroyWindow(framed.frame);
    x11->destroyWindow(other);
    EXPECT_TRUE(vsthost::X11Session::errors().empty());
}

} // namespace
