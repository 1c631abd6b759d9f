#pragma once

#include <QString>
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

// The text with full-width digits, signs, point and blank (what an input method in full-width
// mode types) as the ASCII characters they are; every other character unchanged.
QString asciiForm(QStringView text);

// The number a box holds when it holds nothing else: full-width characters read as ASCII, blanks
// ignored, then the whole rest one number. Nothing for "o8", "28天" and the empty text. For the
// entry form, where a box read as 0 would put a wrong due time into the file.
std::optional<double> wholeNumber(QStringView text);

// readNumber, rounded half to even, when the result lies in [low, high]; otherwise nothing.
std::optional<long long> readWholeNumberIn(QStringView text, long long low, long long high);

} // namespace NumberReading
