#include "numberreading.h"

#include <cmath>
#include <string>

namespace NumberReading {

double readNumber(QStringView text)
{
    std::string number;
    bool sawDigit = false;
    bool sawPoint = false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ' ' || u == '\t' || u == '\n' || u == '\r')
            continue;
        if ((u == '+' || u == '-') && number.empty()) {
            number.push_back(char(u));
            continue;
        }
        if (u >= '0' && u <= '9') {
            number.push_back(char(u));
            sawDigit = true;
            continue;
        }
        if (u == '.' && !sawPoint) {
            number.push_back('.');
            sawPoint = true;
            continue;
        }
        break;
    }
    if (!sawDigit)
        return 0.0;
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : (number[0] == '-' ? -HUGE_VAL : HUGE_VAL);
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<long long> readWholeNumberIn(QStringView text, long long low, long long high)
{
    const double value = roundHalfEven(readNumber(text));
    if (!std::isfinite(value) || value < double(low) || value > double(high))
        return std::nullopt;
    return static_cast<long long>(value);
}

} // namespace NumberReading
