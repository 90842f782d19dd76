#pragma once
// What an action throws, as its message, or "(nothing thrown)": a test compares the system's messages in a line.
#include <exception>
#include <functional>
#include <string>

inline std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}
