#pragma once

// Waiting for a condition in tests, with a deadline long enough for a busy machine.

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace wydtest
{

// How many times longer every wait may take: sanitizer builds (scripts/sanitize.sh) draw and
// dispatch many times slower than the plain build.
inline int waitScale()
{
    static const int scale = [] {
        const char* text = std::getenv("WYD_TEST_WAIT_SCALE");
        const int value = text != nullptr ? std::atoi(text) : 1;
        return value > 1 ? value : 1;
    }();
    return scale;
}

// Polls `condition` until it holds or the deadline (scaled as above) passes.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = std::chrono::seconds(3))
{
    const auto end = std::chrono::steady_clock::now() + timeout * waitScale();
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace wydtest
