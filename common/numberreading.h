#pragma once

#include <QStringView>
#include <optional>

// How the programs read numbers typed into boxes: blanks, tabs and line breaks anywhere are
// ignored, then the longest leading decimal number (optional sign, digits, at most one point) is
// the value; a text without one reads as 0. "2000ms" reads 2000, "2 8" reads 28, "abc" reads 0.
namespace NumberReading {

double readNumber(QStringView text);

// The same number, or nothing when text has none: for a caller that must tell "0" from "abc".
std::optional<double> leadingNumber(QStringView text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// readNumber, rounded half to even, when the result lies in [low, high]; otherwise nothing.
std::optional<long long> readWholeNumberIn(QStringView text, long long low, long long high);

} // namespace NumberReading
