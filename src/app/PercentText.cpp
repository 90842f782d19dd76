#include "PercentText.h"

#include <cmath>
#include <cstdio>

std::string PercentText(double value, char decimalSeparator)
{
    const double tenths = std::nearbyint(value * 1000) / 10;
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", tenths);   // shortest general form, 15 significant digits at most
    std::string result(text);
    for (char& c : result) {
        if (c == '.')
            c = decimalSeparator;
    }
    return result + "%";
}
