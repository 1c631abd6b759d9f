#pragma once

#include <QString>

// The messages of the manager's windows, by the window or part that shows them. Captions, labels
// and menu items stay where the window is laid out.
namespace WindowText {

// Starting: a second copy, or no lock file for the one copy.
QString notResponding();
QString noReasonGiven();
QString cannotStart(const QString &folder, const QString &lockFile, const QString &why);

// "开启提醒" and "停止提醒" (the monitor switch), and an interval that cannot be used.
QString monitorNotStarted();
QString zeroInterval();
QString monitorStarted();
QString monitorStopped();
QString badInterval(const QString &typed, int kept);

// The windows that list them.
QString notShownIntro();
QString lateIntro();

// "提示初始化".
QString resetFailed(const QString &reason);
QString resetDone();

// The main window's list: "删除过期数据", "数据初始化", a row removed from the list.
QString removeRowQuestion(const QString &record);
QString noRecordsShown();
QString noRecordFile(const QString &path);
QString readFailedNothingDeleted(const QString &readError);
QString deleteDueQuestion(qsizetype records);
QString duplicateLines(qsizetype lines);
QString dueListFollows();
QString confirmDeletion();
QString deleteDueFailed(const QString &reason);
QString nothingToInitialise();
QString allRecords(qsizetype records);
QString allRecordsUncounted();
QString initialiseQuestion(const QString &path, const QString &records);
QString initialiseFailed(const QString &reason);
QString initialised();

// The entry form: its date picker, its further ages, the questions before an unusual add, a
// record deleted from its table.
QString makingDateMissing();
QString makingDateUnreadable(const QString &typed);
QString monthOutOfRange(const QString &typed, int month);
QString dayMissing(const QString &typed, int year, int month, int day);
QString furtherAgeRefused(int days, const QString &reason);
QString ofAge(const QString &age);
QString dueTimePassed(const QString &due);
QString exportedTo(const QString &path);
QString sameRecord(int row);
QString addTheseAnyway();
QString addThisAnyway();
// A correction of age or making time in the entry form's table.
QString dueTimeRecomputed(const QString &field, const QString &due);
QString correctionNotSaved(const QString &reason);
QString saveCorrectionAnyway();
QString deleteRecordQuestion(const QString &record);

// "温度记录": nothing typed, a highest below the lowest, a mean replaced, lines of the file.
QString temperatureMissing();
QString highestBelowLowest(const QString &highest, const QString &lowest);
QString replaceMeanQuestion(const QString &date, const QString &old, const QString &typed);
QString temperatureLinesUnreadable(const QString &path, qsizetype lines);

// "查找数据" and "设置".
QString searchDone();
QString intervalAdvice();

// "从备份恢复".
QString firstSaveOfDay(const QString &day, const QString &file);
QString noBackups(const QString &folder);
QString backupRecords(qsizetype records);
QString backupUnreadable();
QString backupRecordsShown(qsizetype shown);
QString backupInUtf8();
QString backupUnreadableLines(qsizetype lines);
QString restoreQuestion(const QString &file, qsizetype records, qsizetype now);
QString restored(const QString &file, qsizetype records);

// "无法识别的记录".
QString unreadableIntro(const QString &path, qsizetype lines);
QString firstLinesListed(qsizetype lines);

// "试验计划".
QString selectToMark();

// The help menu: "关于", "捐助", and "提供建议/升级" when no browser opens.
QString about();
QString donation();
QString cannotOpenPage(const QString &address);

} // namespace WindowText
