#include "recordstore.h"

#include "atomicfile.h"
#include "filelock.h"
#include "recordline.h"
#include "storetexts.h"

#include <QVarLengthArray>

namespace {
// The number column and the fields a record grid shows.
constexpr int kColumns = SpecimenRecord::FieldCount + 1;

// The decimal text of n, written into digits: no string is made for each of 100,000 rows.
QStringView decimalText(qsizetype n, char16_t (&digits)[20])
{
    qsizetype start = 20;
    do {
        digits[--start] = char16_t(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    return QStringView(digits + start, digits + 20);
}

// The table as RecordLine's row-of-a-grid functions read it: row 1 is the first record.
struct TableCells
{
    const RecordTable &table;
    QStringView textView(int row, int col) const { return table.rows[row - 1].at(col); }
};

QString what()
{
    return StoreText::recordFile();
}

// Packs each filled line a reader hands over straight into a row, without a list per line in
// between: a year's records load in a blink and take little memory.
class TableTaker
{
public:
    explicit TableTaker(RecordTable &table) : m_table(table) {}
    void operator()(const QList<QStringView> &fields)
    {
        char16_t digits[20];
        m_cells.clear();
        m_cells.append(decimalText(m_table.rows.size() + 1, digits));
        m_cells.append(fields.constData(), RecordLine::shownFields(fields.size(), kColumns - 1));
        m_table.rows.append(PackedRow(m_cells.constData(), m_cells.size()));
        m_table.asRead.append(RecordLine::keptAsRead(fields));
    }

private:
    RecordTable &m_table;
    QVarLengthArray<QStringView, kColumns> m_cells;
};

// The bytes of table as a save writes them: the records, then the closing line. Fields are
// handed over as views of the table's cells: nothing is copied before encoding.
RecordFile::Replacement tableReplacing(const RecordFile &file, QByteArrayView now,
                                       const RecordTable &table)
{
    const qsizetype records = table.size();
    const TableCells cells{table};
    const auto fieldsOf = [&](qsizetype line, QList<QStringView> &fields) {
        if (line == records) {
            RecordLine::appendClosing(fields);
        } else if (!table.asRead[line].isEmpty()) {
            for (const QString &field : table.asRead[line])
                fields.append(field);
        } else {
            RecordLine::appendFieldsOfRow(cells, int(line) + 1, fields);
        }
    };
    return file.tableReplacing(now, records + 1, fieldsOf);
}
} // namespace

void RecordTable::append(const QStringList &stored)
{
    QVarLengthArray<QStringView, kColumns> cells;
    char16_t digits[20];
    cells.append(decimalText(rows.size() + 1, digits));
    for (const QString &field : stored)
        cells.append(field);
    rows.append(PackedRow(cells.constData(), cells.size()));
    asRead.append(QStringList());
}

RecordStore::RecordStore(QString recordPath, int lockWaitMs, RecordBackups *backups)
    : m_file(std::move(recordPath)), m_lockWaitMs(lockWaitMs), m_backups(backups)
{
}

RecordStore::Outcome RecordStore::load() const
{
    Outcome loaded;
    const RecordFile::Status read = m_file.forEachFilledLine(TableTaker(loaded.table));
    if (!read.error.isEmpty())
        return {read.error, {}};
    return loaded;
}

RecordStore::Outcome RecordStore::rewrite(RecordBackups::Occasion occasion,
                                          const Rewrite &replace) const
{
    const FileLock held(m_file.path(), what(), m_lockWaitMs);
    if (!held.isLocked())
        return {held.error(), {}};
    const RecordFile::Bytes now = m_file.readBytes();
    const RecordFile::Replacement replacement = replace(now);
    if (!replacement.error.isEmpty())
        return {replacement.error, {}};
    if (m_backups && now.exists && occasion == RecordBackups::Occasion::FirstSaveOfDay) {
        m_backups->keep(occasion, now.data, now.reason);
    } else if (m_backups && now.exists) {
        const QString why = m_backups->keepPromised(occasion, now.data, now.reason);
        if (!why.isEmpty())
            return {StoreText::backupRequired(m_backups->folder(), m_file.path(), why), {}};
    }
    const AtomicFile::Result written = AtomicFile::replace(m_file.path(), replacement.bytes);
    if (!written.ok)
        return {AtomicFile::failureText(written, what(), m_file.path()), {}};
    return {};
}

RecordStore::Outcome RecordStore::change(const Edit &edit) const
{
    RecordTable table;
    const auto replace = [&](const RecordFile::Bytes &now) -> RecordFile::Replacement {
        if (!now.error.isEmpty())
            return {{}, StoreText::readFailedUnchanged(now.error)};
        RecordFile::forEachFilledLine(now.data, TableTaker(table));
        QString refused = edit(table);
        if (!refused.isEmpty())
            return {{}, std::move(refused)};
        return tableReplacing(m_file, now.data, table);
    };
    Outcome outcome = rewrite(RecordBackups::Occasion::FirstSaveOfDay, replace);
    if (outcome.ok())
        outcome.table = std::move(table);
    return outcome;
}

RecordStore::Outcome RecordStore::restore(const QString &backupPath) const
{
    const RecordBackups::Copy copy = RecordBackups::read(backupPath);
    if (!copy.error.isEmpty())
        return {copy.error, {}};
    // Under the lock the copy kept is the very file replaced, with every add made before it.
    return rewrite(RecordBackups::Occasion::BeforeRestore,
                   [&copy](const RecordFile::Bytes &) -> RecordFile::Replacement {
                       return {copy.bytes, {}};
                   });
}
