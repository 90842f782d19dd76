#pragma once
// System messages mark line breaks with a carriage return; shown to a user, each one is a line break.
#include <string>

inline std::string DisplayText(std::string message)
{
    for (char& c : message) {
        if (c == '\r')
            c = '\n';
    }
    return message;
}
