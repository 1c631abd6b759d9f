#include "recordadder.h"

#include "equivalentage.h"
#include "messages.h"
#include "recordcorrection.h"
#include "recordtexts.h"
#include "storetexts.h"
#include "titles.h"

namespace {
QString unchangedNote()
{
    return StoreText::notAddedUnchanged();
}

QString errorTitle()
{
    return Title::error();
}
} // namespace

QStringList RecordEntry::storedFields() const
{
    QStringList fields = typed;
    fields[SpecimenRecord::MakingDate] = DueTime::makingText(making);
    fields[SpecimenRecord::Age] = making.age;
    return fields;
}

RecordAdder::RecordAdder(const QString &recordPath, Messages *messages, int lockWaitMs,
                         RecordBackups *backups)
    : m_store(recordPath, lockWaitMs, backups), m_messages(messages)
{
}

QString RecordAdder::refusal(const RecordEntry &entry)
{
    // In the order of the record's fields; the making date is typed as an hour and a minute.
    QList<std::pair<QString, QString>> boxes;
    for (int f = 0; f < RecordLine::Stored; ++f) {
        const auto field = SpecimenRecord::Field(f);
        if (field == SpecimenRecord::MakingDate) {
            boxes.append({RecordText::makingHour(), entry.making.hour});
            boxes.append({RecordText::makingMinute(), entry.making.minute});
        } else {
            boxes.append({SpecimenRecord::texts(field).name,
                          field == SpecimenRecord::Age ? entry.making.age : entry[field]});
        }
    }
    for (const auto &[name, value] : boxes) {
        const QString refused =
            RecordCorrection::fieldRefusal(name, value, StoreText::beforeAdding());
        if (!refused.isEmpty())
            return refused + unchangedNote();
    }
    if (!entry.making.makingDate.isValid())
        return entry.makingDateProblem + unchangedNote();
    const QString numbers = DueTime::numberRefusal(entry.making);
    if (!numbers.isEmpty())
        return numbers + unchangedNote();
    const QString &due = entry.dueTime();
    if (due.isEmpty()) {
        return StoreText::dueTimeMissing() + unchangedNote();
    }
    if (!DueTime::isRealDueTime(due)) {
        return StoreText::invalidDueTimeOnAdd(due) + unchangedNote();
    }
    return {};
}

RecordAdder::Result RecordAdder::add(const QList<RecordEntry> &entries, qsizetype recordsSeen,
                                     const Check &beforeSaving)
{
    Result result;
    result.entries = entries;
    for (const RecordEntry &entry : entries) {
        const QString refused = refusal(entry);
        if (!refused.isEmpty()) {
            m_messages->show(refused, errorTitle(), MessageStyle::Exclamation);
            return result;
        }
    }
    // Asked before the lock is taken: another copy must not wait for this user's answer.
    for (RecordEntry &entry : result.entries) {
        if (!offerToRecompute(entry))
            return result;
    }
    if (beforeSaving && !beforeSaving(result.entries))
        return result;

    // A file holding fewer records than the caller saw stops the first try; once the lock is let
    // go the user is asked, and at a yes the entries go into the file as it is then.
    bool fewer = false;
    const RecordStore::Edit append = [&](RecordTable &table) {
        if (recordsSeen > 0 && table.size() < recordsSeen) {
            fewer = true;
            return fewerRecordsQuestion(table.size(), recordsSeen);
        }
        for (const RecordEntry &entry : result.entries)
            table.append(entry.storedFields());
        return QString();
    };
    RecordStore::Outcome saved = m_store.change(append);
    if (fewer) {
        if (!m_messages->ask(saved.error, Title::notice())) {
            m_messages->show(unchangedNote(), Title::notice(), MessageStyle::Information);
            return result;
        }
        recordsSeen = -1;
        saved = m_store.change(append);
    }
    if (!saved.ok()) {
        m_messages->show(saved.error +
                             (entries.size() == 1 ? StoreText::notAdded() : StoreText::noneAdded()),
                         errorTitle(), MessageStyle::Exclamation);
        return result;
    }
    result.added = true;
    result.table = std::move(saved.table);
    m_messages->show(entries.size() == 1 ? StoreText::added() : StoreText::added(entries.size()),
                     Title::information(), MessageStyle::Plain);
    return result;
}

QString RecordAdder::fewerRecordsQuestion(qsizetype records, qsizetype recordsSeen)
{
    return StoreText::fewerRecords(records, recordsSeen);
}

bool RecordAdder::offerToRecompute(RecordEntry &entry)
{
    // A due time typed by hand is saved as typed; so is one that still matches the entry. The
    // estimate of the equivalent age is the caller's, made just before.
    const QString due = entry.dueTime();
    if (entry.computedDue.isEmpty() || due != entry.computedDue ||
        EquivalentAge::isMarked(entry.making.age))
        return true;
    const DueTime::Outcome now = DueTime::compute(entry.making);
    if (now.ok() && now.dueTime == due)
        return true;

    QString question = StoreText::dueTimeStale(due);
    if (now.ok())
        question += StoreText::dueTimeNow(now.dueTime);
    question += StoreText::recomputeFirst(due);
    // "否" the default, as before every change of data: the record is then saved as it stands.
    if (!m_messages->confirm(question, Title::notice())) {
        // Kept on purpose: from now on it counts as typed.
        entry.computedDue.clear();
        return true;
    }
    if (!now.ok()) {
        m_messages->show(now.error + QStringLiteral("\n") + unchangedNote(), DueTime::errorTitle(),
                         MessageStyle::Plain);
        return false;
    }
    entry.dueTime() = now.dueTime;
    entry.computedDue = now.dueTime;
    return true;
}
