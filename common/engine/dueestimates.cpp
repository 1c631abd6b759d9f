#include "dueestimates.h"

#include "enginetexts.h"
#include "gbkcodec.h"
#include "recordcorrection.h"
#include "recordline.h"
#include "recordstore.h"
#include "reminderjournal.h"
#include "specimenrecord.h"

namespace DueEstimates {

namespace {
// How a message names a batch whose due time moved: by what a technician knows it by.
QString describe(const QStringList &fields)
{
    QStringList parts;
    using namespace SpecimenRecord;
    for (Field field : {WorksPart, StrengthGrade, MixNumber, MakingDate})
        parts << texts(field).name + QLatin1Char(' ') + fields.value(field);
    return parts.join(QStringLiteral("，"));
}

bool reminded(ReminderJournal &journal, const QString &key, const QString &due, const QDate &today,
              QStringList *problems)
{
    // The journal keeps a record's entries in the file of its due day.
    QDate day = QDate::fromString(due.left(10), Qt::ISODate);
    if (!day.isValid())
        day = today;
    *problems += journal.loadDays(day, day);
    const ReminderJournal::Entry *entry = journal.find(key);
    return entry && (entry->reminded != 0 || entry->isTested());
}
} // namespace

Outcome update(const RecordStore &store, const EquivalentAge::Means &means,
               ReminderJournal &journal, const QDateTime &now)
{
    Outcome outcome;
    // A file that cannot be read is said by the load that follows.
    const RecordFile::Bytes read = store.file().readBytes();
    if (!read.error.isEmpty())
        return outcome;
    QList<RecordCorrection::DueChange> changes;
    QList<Moved> candidates;
    const auto consider = [&](QByteArrayView line) {
        const QString text = Gbk::decode(line);
        const QStringList fields = text.split(QChar(RecordLine::Separator));
        if (fields.size() != RecordLine::Width ||
            !EquivalentAge::isMarked(fields[SpecimenRecord::Age]))
            return;
        const auto making = DueTime::makingTime(fields[SpecimenRecord::MakingDate]);
        const QString due = fields[SpecimenRecord::DueTime];
        if (!making ||
            reminded(journal, ReminderJournal::keyOf(text), due, now.date(), &outcome.problems))
            return;
        const QString to = EquivalentAge::estimate(*making, means, now.date()).dueText();
        if (to == due)
            return;
        changes.append({fields.mid(0, RecordLine::Stored), to});
        candidates.append({describe(fields), due, to});
    };
    RecordFile::forEachLineHolding(read.data, Gbk::encode(EquivalentAge::ageText()), consider);
    if (changes.isEmpty())
        return outcome;
    QList<qsizetype> moved;
    const RecordCorrection::Outcome written =
        RecordCorrection::moveDueTimes(store, changes, &moved);
    if (!written.ok()) {
        outcome.problems << written.error;
        return outcome;
    }
    for (qsizetype i : moved)
        outcome.moved << candidates[i];
    return outcome;
}

QString movedText(const QList<Moved> &moved)
{
    constexpr qsizetype kNamedAtMost = 20;
    QStringList lines;
    for (qsizetype i = 0; i < moved.size() && i < kNamedAtMost; ++i)
        lines << EngineText::dueTimeMoved(moved[i].record, moved[i].from, moved[i].to);
    return EngineText::dueTimesMoved(moved.size(), lines.join(QLatin1Char('\n')));
}

} // namespace DueEstimates
