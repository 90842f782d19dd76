#pragma once
// Waiting for something another thread or process brings about: the condition is checked every few
// milliseconds until it holds. The limit only ends a wait that would otherwise never end; it is no measure of
// how fast anything is, so it leaves a loaded machine plenty of room.
#include <chrono>
#include <functional>
#include <thread>

// Whether condition came to hold within limit.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
