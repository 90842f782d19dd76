#pragma once
// The one exception type that carries the system's messages (UTF-8 text, shown to the user as is).
#include <stdexcept>
#include <string>

class ESovoError : public std::runtime_error {
public:
    explicit ESovoError(const std::string& message) : std::runtime_error(message) {}
};
