#pragma once
// Helpers shared by the live source tests.
#include <chrono>
#include <functional>
#include <thread>

namespace livetest {

// Polls the condition every 10 ms until it holds (true) or the time is up (false).
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Waits until the counter has not changed for quietMs (true), or gives up after
// timeoutMs (false): a thread that should have come to rest has done so.
inline bool WaitUntilSteady(const std::function<unsigned()>& counter, int quietMs = 400, int timeoutMs = 20000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    unsigned last = counter();
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(quietMs));
        const unsigned now = counter();
        if (now == last)
            return true;
        last = now;
    }
    return false;
}

} // namespace livetest
