#include "recordcorrection.h"

#include "duetime.h"
#include "gbkcodec.h"
#include "recordline.h"
#include "recordstore.h"
#include "storetexts.h"

#include <QHash>

namespace RecordCorrection {

namespace {
QString unchangedNote()
{
    return StoreText::recordFileUnchanged();
}

// The bytes of the line of a record with these stored fields: each field followed by ",".
QByteArray lineOf(const QStringList &stored)
{
    QList<QStringView> fields(stored.cbegin(), stored.cend());
    fields.append(QStringView()); // the due mark, never stored
    return Gbk::encode(RecordLine::text(fields));
}

struct Found
{
    QString error;
    QByteArray data;
    qsizetype start = -1, end = -1; // the line, without its break
};

// The first line of the file, as it is now, that is the record's line.
Found find(const QString &path, const RecordFile::Bytes &now, const QStringList &stored)
{
    Found found;
    if (!now.exists || !now.error.isEmpty()) {
        found.error = StoreText::cannotReadUnchanged(path);
        return found;
    }
    found.data = now.data;
    const QByteArray wanted = lineOf(stored);
    for (QByteArrayView line : RecordFile::splitLines(found.data)) {
        if (line == wanted) {
            found.start = line.data() - found.data.constData();
            found.end = found.start + line.size();
            return found;
        }
    }
    found.error = StoreText::recordGone();
    return found;
}

// The file without the line found: it goes with the break after it; the last line with the break
// before it.
QByteArray withoutLine(const Found &found)
{
    qsizetype start = found.start, end = found.end;
    const QByteArray &data = found.data;
    if (end < data.size()) {
        end += data.mid(end, 2) == "\r\n" ? 2 : 1;
    } else if (start > 0) {
        start -= start >= 2 && data.mid(start - 2, 2) == "\r\n" ? 2 : 1;
    }
    QByteArray kept = data;
    return kept.remove(start, end - start);
}

// The store's rewrite: finds the record's line in the file as it is now and puts in the file's
// place what rewrite makes of its bytes.
Outcome rewriteLine(const RecordStore &store, RecordBackups::Occasion occasion,
                    const QStringList &stored,
                    const std::function<QByteArray(const Found &)> &rewrite)
{
    const auto replace = [&](const RecordFile::Bytes &now) -> RecordFile::Replacement {
        const Found found = find(store.file().path(), now, stored);
        if (!found.error.isEmpty())
            return {{}, found.error};
        return {rewrite(found), {}};
    };
    return {store.rewrite(occasion, replace).error};
}
} // namespace

QString fieldRefusal(const QString &name, const QString &value, const QString &then)
{
    // Refused whole: a text cut to fit would be confirmed as saved but not as typed.
    if (value.size() > RecordLine::LongestField) {
        return StoreText::fieldTooLong(name, value.size(), RecordLine::LongestField, then);
    }
    if (value.contains(QLatin1Char(','))) {
        return StoreText::fieldComma(name, then);
    }
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return StoreText::fieldLineBreak(name, then);
    const QString bad = Gbk::firstUnencodable(value);
    if (!bad.isEmpty()) {
        return StoreText::fieldUnencodable(name, Gbk::describe(bad), then);
    }
    // Saved, "m²" would read "m2": said and left to the technician to write as it should stay.
    if (const Gbk::BestFitted fitted = Gbk::firstBestFitted(value); !fitted.character.isEmpty())
        return StoreText::fieldBestFitted(name, Gbk::describe(fitted.character), fitted.savedAs,
                                          then);
    return {};
}

QString refusal(SpecimenRecord::Field field, const QString &value)
{
    const QString name = SpecimenRecord::gridHeaders().value(SpecimenRecord::column(field));
    QString reason = fieldRefusal(name, value, QString());
    if (reason.isEmpty() && field == SpecimenRecord::DueTime && !DueTime::isRealDueTime(value)) {
        reason = StoreText::invalidDueTime(value);
    }
    return reason.isEmpty() ? reason : reason + unchangedNote();
}

Outcome correct(const RecordStore &store, const QStringList &stored, SpecimenRecord::Field field,
                const QString &value)
{
    QStringList corrected = stored;
    corrected[field] = value;
    return correct(store, stored, corrected);
}

Outcome correct(const RecordStore &store, const QStringList &stored, const QStringList &corrected)
{
    for (int f = 0; f < SpecimenRecord::DueMark; ++f) {
        if (corrected.value(f) == stored.value(f))
            continue;
        const QString refused = refusal(SpecimenRecord::Field(f), corrected.value(f));
        if (!refused.isEmpty())
            return {refused};
    }
    return rewriteLine(
        store, RecordBackups::Occasion::FirstSaveOfDay, stored, [&corrected](const Found &found) {
            QByteArray data = found.data;
            return data.replace(found.start, found.end - found.start, lineOf(corrected));
        });
}

Outcome remove(const RecordStore &store, const QStringList &stored)
{
    return rewriteLine(store, RecordBackups::Occasion::BeforeDeletion, stored, withoutLine);
}

Outcome moveDueTimes(const RecordStore &store, const QList<DueChange> &changes,
                     QList<qsizetype> *moved)
{
    QHash<QByteArray, qsizetype> wanted;
    for (qsizetype i = 0; i < changes.size(); ++i)
        wanted.insert(lineOf(changes[i].stored), i);
    bool noneLeft = false;
    const auto replace = [&](const RecordFile::Bytes &now) -> RecordFile::Replacement {
        moved->clear();
        if (!now.exists || !now.error.isEmpty())
            return {{}, StoreText::cannotReadUnchanged(store.file().path())};
        QByteArray data;
        qsizetype copied = 0;
        for (QByteArrayView line : RecordFile::splitLines(now.data)) {
            const auto found = wanted.constFind(QByteArray::fromRawData(line.data(), line.size()));
            if (found == wanted.cend())
                continue;
            const qsizetype start = line.data() - now.data.constData();
            QStringList corrected = changes[*found].stored;
            corrected[SpecimenRecord::DueTime] = changes[*found].dueTime;
            data += QByteArrayView(now.data).sliced(copied, start - copied);
            data += lineOf(corrected);
            copied = start + line.size();
            if (!moved->contains(*found))
                moved->append(*found);
        }
        if (moved->isEmpty()) {
            noneLeft = true;
            return {{}, StoreText::recordGone()};
        }
        data += QByteArrayView(now.data).sliced(copied);
        return {data, {}};
    };
    const RecordStore::Outcome outcome =
        store.rewrite(RecordBackups::Occasion::FirstSaveOfDay, replace);
    return {noneLeft ? QString() : outcome.error};
}

} // namespace RecordCorrection
