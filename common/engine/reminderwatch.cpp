#include "reminderwatch.h"

#include "clock.h"
#include "duecheck.h"
#include "enginetexts.h"
#include "gbkcodec.h"
#include "recordfile.h"
#include "recordline.h"
#include "reminderjournal.h"

#include <QSet>

#include <algorithm>

namespace ReminderWatch {

QString horizon(const QString &watchedSince, const QDateTime &now, int overdueDays)
{
    const QString span = TimeText::minute(now.addDays(-overdueDays));
    return watchedSince > span ? watchedSince : span;
}

Scan scanDue(const QString &recordFile, const QString &from, const QString &before)
{
    Scan scan;
    const RecordFile::Bytes read = RecordFile(recordFile).readBytes();
    scan.error = read.error;
    const QByteArray &data = read.data;
    const QByteArray low = from.toLatin1(), high = before.toLatin1();
    // month: the due time's first eight bytes ("2026-12-"), when the line is looked for by them.
    const auto keep = [&](QByteArrayView line, QByteArrayView month) {
        const std::optional<QByteArrayView> due =
            RecordLine::fieldIn(line, SpecimenRecord::DueTime);
        if (!due || due->size() != 16 || *due < low || *due >= high ||
            (!month.isEmpty() && !due->startsWith(month)))
            return;
        const QString dueTime = QString::fromLatin1(*due);
        if (DueCheck::isDueTimeText(dueTime))
            scan.records.append({ReminderJournal::keyOf(Gbk::decode(line)), dueTime});
    };
    // A span of a few months is found as the main window finds its day: by searching the bytes
    // for each month's text, which only the lines of that month (due or made) hold.
    const QDate first = QDate::fromString(from.left(7) + QStringLiteral("-01"), Qt::ISODate);
    const QDate last = QDate::fromString(before.left(7) + QStringLiteral("-01"), Qt::ISODate);
    constexpr int kMonthsSearched = 3;
    if (first.isValid() && last.isValid() && first <= last &&
        first.addMonths(kMonthsSearched) > last) {
        for (QDate month = first; month <= last; month = month.addMonths(1)) {
            const QByteArray text = month.toString(QStringLiteral("yyyy-MM-")).toLatin1();
            RecordFile::forEachLineHolding(data, text,
                                           [&](QByteArrayView line) { keep(line, text); });
        }
        return scan;
    }
    for (QByteArrayView line : RecordFile::splitLines(data))
        keep(line, {});
    return scan;
}

QList<Due> neverReminded(const QList<Due> &records, const ReminderJournal &journal,
                         const QString &horizon, const QDateTime &now)
{
    const QString present = TimeText::minute(now);
    QList<Due> told;
    QSet<QString> seen;
    for (const Due &record : records) {
        if (record.dueTime < horizon || record.dueTime >= present ||
            !DueCheck::isDueTimeText(record.dueTime) || journal.knows(record.key) ||
            seen.contains(record.key))
            continue;
        seen.insert(record.key);
        told.append(record);
    }
    std::stable_sort(told.begin(), told.end(),
                     [](const Due &a, const Due &b) { return a.dueTime < b.dueTime; });
    return told;
}

QString Glance::text() const
{
    return EngineText::glance(todayLeft, overdue);
}

QString glanceFrom(const QDateTime &now, int overdueDays)
{
    return TimeText::minute(QDateTime(now.date().addDays(-overdueDays), QTime(0, 0)));
}

QString glanceBefore(const QDateTime &now)
{
    return TimeText::minute(QDateTime(now.date().addDays(1), QTime(0, 0)));
}

Glance glance(const QList<Due> &records, const ReminderJournal &journal, const QDateTime &now)
{
    const QString today = TimeText::date(now);
    Glance counts;
    for (const Due &record : records) {
        const ReminderJournal::Entry *entry = journal.find(record.key);
        if (entry && entry->isTested())
            continue;
        if (record.dueTime.startsWith(today))
            ++counts.todayLeft;
        else if (record.dueTime < today)
            ++counts.overdue;
    }
    return counts;
}

} // namespace ReminderWatch
