#include "numberreading.h"

#include <charconv>
#include <cmath>
#include <string>

namespace NumberReading {

double readNumber(QStringView text)
{
    return leadingNumber(text).value_or(0.0);
}

namespace {
bool isBlank(char16_t u)
{
    return u == ' ' || u == '\t' || u == '\n' || u == '\r';
}

// The longest leading number of text; consumed tells how many characters it took, blanks
// included.
std::optional<double> parseLeading(QStringView text, qsizetype *consumed)
{
    std::string number;
    bool sawDigit = false;
    bool sawPoint = false;
    qsizetype at = 0;
    for (; at < text.size(); ++at) {
        const char16_t u = text[at].unicode();
        if (isBlank(u))
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
    *consumed = at;
    if (!sawDigit)
        return std::nullopt;
    // from_chars, not strtod: strtod takes its decimal point from the C locale, which Qt sets
    // from the environment, so under a comma locale "7.5" would read as 7.
    const bool negative = number[0] == '-';
    const char *first = number.data() + (number[0] == '+' ? 1 : 0);
    double value = 0.0;
    const std::from_chars_result read =
        std::from_chars(first, number.data() + number.size(), value, std::chars_format::fixed);
    if (read.ec == std::errc::result_out_of_range) {
        // Too large when a digit other than 0 stands before the point; else too small.
        const std::string::size_type point = number.find('.');
        const std::string whole = number.substr(0, point);
        const bool tooLarge = whole.find_first_of("123456789") != std::string::npos;
        if (tooLarge)
            return negative ? -HUGE_VAL : HUGE_VAL;
        return negative ? -0.0 : 0.0;
    }
    return value;
}
} // namespace

std::optional<double> leadingNumber(QStringView text)
{
    qsizetype consumed = 0;
    return parseLeading(text, &consumed);
}

QString asciiForm(QStringView text)
{
    QString ascii = text.toString();
    for (QChar &c : ascii) {
        const char16_t u = c.unicode();
        if ((u >= 0xFF10 && u <= 0xFF19) || u == 0xFF0B || u == 0xFF0D || u == 0xFF0E)
            c = QChar(u - 0xFEE0); // the full-width forms stand 0xFEE0 above ASCII
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return ascii;
}

std::optional<double> wholeNumber(QStringView text)
{
    const QString ascii = asciiForm(text);
    qsizetype consumed = 0;
    const std::optional<double> number = parseLeading(ascii, &consumed);
    for (qsizetype i = consumed; i < ascii.size(); ++i) {
        if (!isBlank(ascii[i].unicode()))
            return std::nullopt;
    }
    return number;
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
