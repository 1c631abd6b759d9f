#pragma once

#include <QString>
#include <QtGlobal>

// The texts of the reminder engine.
namespace EngineText {

// The glance at the day in the main window's status bar.
QString glance(int todayLeft, int overdue);

// The reminders that no popup gave, each naming its record (SpecimenRecord::summary) last.
QString reminderFileNotMade(const QString &reason, const QString &record);
QString popupCannotShow(const QString &reason, const QString &record);
QString popupNotStarted(const QString &program, const QString &record);
QString allSlotsTaken();
QString allSlotsShowing(qsizetype count);
QString reminderFileLocked(const QString &path, int seconds, const QString &record);
QString popupCameAfterAll(qint64 seconds, const QString &slot, const QString &record);
QString popupEndedSilently();
QString popupNotShown(const QString &reason, const QString &record);
QString popupTooSlow(int seconds, const QString &record);

// The due times of batches tested at their equivalent age, moved by the temperatures recorded:
// one line for each batch, then the message that names them all (count of them).
QString dueTimeMoved(const QString &record, const QString &from, const QString &to);
QString dueTimesMoved(qsizetype count, const QString &lines);

} // namespace EngineText
