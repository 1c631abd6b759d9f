#pragma once

#include "strengthentry.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// A batch's compressive strength by the test standard for concrete (GB/T 50081), from what the
// technician typed (StrengthEntry):
//   - a specimen's strength is its load over the bearing area (kN × 1000 / edge² mm² = MPa), or
//     typed in MPa, to 0.1 MPa;
//   - a group's value is the mean of its three; when the largest or the smallest differs from the
//     middle value by more than 15 % of the middle value, the middle value; when both do, the
//     group is invalid;
//   - a cube of 100 mm or 200 mm is converted with 0.95 or 1.05 for grades below C60; for C60 and
//     above, for a grade that cannot be read, and for any other size, the factor must be typed
//     and nothing is computed until it is; a typed factor takes the place of the standard's, and
//     a 150 mm cube has none;
//   - the converted value to 0.1 MPa, and its share of the grade in whole percent.
// Every step is rounded to 0.1 MPa as the standard reports it (the specimens before the 15 % test
// and the mean, the group's value before the factor), half to the even neighbour at an exact 5
// (GB/T 8170), in integers: binary floating point never decides a case such as 42.75. The share is
// rounded down, so that 100 % is shown only when the grade is reached.
namespace CubeStrength {

constexpr int MaxDecimals = 4;        // of a typed value
constexpr int UnusualStrength = 1500; // 150 MPa in 0.1 MPa: above it the window asks first

// The number of a strength grade: "C30" 30, "C35P8" 35, "c40", "Ｃ４０"; nothing for a grade it
// cannot read ("30", "LC30", "C", "C25.5", "C0"), so that no share is shown rather than a wrong
// one.
std::optional<int> gradeNumber(QStringView grade);

// num / den (den > 0, num >= 0) to a whole number, an exact half to the even neighbour.
qint64 roundHalfEven(qint64 num, qint64 den);

// 0.1 MPa as text: 428 "42.8".
QString tenthsText(qint64 tenths);

// A typed value that stops a save, or asks first: the box it is in (group and specimen from 1;
// specimen 0 the size's boxes) and the message that names it.
struct Problem
{
    int group = 0;
    int specimen = 0;
    QString text;
};

struct Group
{
    enum class State {
        Empty,       // nothing typed: not tested
        Incomplete,  // a box empty or wrong
        NeedsFactor, // the size factor must be typed first
        Valid,
        Invalid // both extremes more than 15 % from the middle value
    };
    State state = State::Empty;
    std::array<qint64, 3> specimens{}; // each specimen's strength, 0.1 MPa, as typed
    qint64 tenths = 0;                 // the group's value with the factor, 0.1 MPa
    std::optional<int> percent;        // of the grade, when the grade was read
    QString reason;                    // how the value was found, or why there is none

    bool belowGrade() const { return state == State::Valid && percent && *percent < 100; }
    // "42.8 MPa", "无效", empty while there is no value.
    QString valueText() const;
    // "107%", empty without a value or a grade.
    QString percentText() const;
    // As the schedule shows it: "42.8 MPa（107%）", "无效", "未计算（须填写换算系数）".
    QString summary() const;
};

struct Outcome
{
    QList<Group> groups;
    QList<Problem> problems;      // what stops a save
    QList<Problem> unusuallyHigh; // strengths above 150 MPa: saved when the technician says so
    std::optional<int> grade;

    bool hasValue() const;
    bool belowGrade() const;
    // The groups as the schedule shows them, "；" between them, and the free text after.
    QString summary(const QString &freeText) const;
};

Outcome evaluate(const StrengthEntry &entry, QStringView grade);

// What 试验结果 shows for a journal's result text: the groups' values and shares, or the text
// as it stands when it holds no values.
QString resultText(QStringView journalResult, QStringView grade);
// Whether a group of a journal's result text is below the grade.
bool isBelowGrade(QStringView journalResult, QStringView grade);

} // namespace CubeStrength
