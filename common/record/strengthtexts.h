#pragma once

#include <QString>

// The texts of a batch's strength result: the boxes of the result window and what is wrong in
// them, how a group's value was found, and the advice for the groups held for later ages.
namespace StrengthText {

// The boxes, as messages name them.
QString specimen(int group, int specimen); // "第 1 组第 2 个试件"
QString factorBox();                       // "尺寸换算系数"
QString load();                            // "荷载"
QString strength();                        // "强度"

// A box that stops a save.
QString missing(const QString &box);
QString notANumber(const QString &box, const QString &typed);
QString zero(const QString &box, const QString &quantity);
QString negative(const QString &box, const QString &typed);
QString tooManyDecimals(const QString &box, const QString &typed, int most);
QString tooLarge(const QString &box, const QString &typed);
QString factorOutOfRange(const QString &typed);
QString edgeMissing();
QString notSaved();
// Strengths above 150 MPa: each named, then the question before the save.
QString unusuallyHigh(const QString &box, const QString &strength);
QString saveUnusuallyHigh(const QString &list);

// How a group's value was found, and why there is none.
QString mean();
QString largest();
QString smallest();
QString middleTaken(const QString &extreme, const QString &value, const QString &middle);
QString invalidBoth(const QString &largest, const QString &smallest, const QString &middle);
QString factorApplied(const QString &value, const QString &factor);
QString factorNeededHighGrade();
QString factorNeededUnreadableGrade();
QString factorNeededOtherSize();

// A group as the schedule shows it when it has no value.
QString invalid(); // "无效"
QString notComputed();
QString incomplete();
// A batch's result where no column shows it (the main window's row).
QString resultTip(const QString &result, bool belowGrade);

// The advice for the records of a casting's later ages, and the schedule's count.
QString noFurtherTest();
QString testOnTime();
QString belowGrade(int batches);

} // namespace StrengthText
