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

} // namespace EngineText
