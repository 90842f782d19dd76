#include "OptionValues.h"

#include <charconv>
#include <limits>

#include "ModelFiles.h"
#include "TextFormat.h"

int WholeNumberOption(const CliArgs& cli, const std::string& option, int fallback, int low, int high)
{
    const std::string value = cli.Value(option, std::to_string(fallback));
    try {
        const int32_t number = ParseModelInteger(value);
        if (number >= low && number <= high)
            return number;
    } catch (const ESovoError&) {
    }
    const std::string range = high == std::numeric_limits<int>::max()
                                  ? "of " + std::to_string(low) + " or more"
                                  : "from " + std::to_string(low) + " to " + std::to_string(high);
    throw CliUsageError(option + " needs a whole number " + range + ", not '" + value + "'");
}

double NumberOption(const CliArgs& cli, const std::string& option, double fallback, double low, double high)
{
    const std::string value = cli.Value(option);
    if (value.empty())
        return fallback;
    double number = 0.0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || !(number >= low && number <= high))
        throw CliUsageError(option + " needs a number from " + ShortestNumber(low) + " to " + ShortestNumber(high) +
                            ", not '" + value + "'");
    return number;
}
