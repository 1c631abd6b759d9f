#include "recordstore.h"

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
    : m_file(std::move(recordPath), backups), m_lockWaitMs(lockWaitMs)
{
}

RecordStore::Outcome RecordStore::load() const
{
    // Each row is packed straight from the file's text, without a list per line in between: a
    // year's records load in a blink and take little memory.
    Outcome loaded;
    RecordTable &table = loaded.table;
    QVarLengthArray<QStringView, kColumns> cells;
    const RecordFile::Status read = m_file.forEachFilledLine([&](const QList<QStringView> &fields) {
        char16_t digits[20];
        cells.clear();
        cells.append(decimalText(table.rows.size() + 1, digits));
        cells.append(fields.constData(), RecordLine::shownFields(fields.size(), kColumns - 1));
        table.rows.append(PackedRow(cells.constData(), cells.size()));
        table.asRead.append(RecordLine::keptAsRead(fields));
    });
    if (!read.error.isEmpty())
        return {read.error, {}};
    return loaded;
}

RecordStore::Outcome RecordStore::change(const Edit &edit) const
{
    const FileLock held = lock();
    if (!held.isLocked())
        return {held.error(), {}};
    Outcome outcome = load();
    if (!outcome.ok())
        return {StoreText::readFailedUnchanged(outcome.error), {}};
    QString refused = edit(outcome.table);
    if (!refused.isEmpty())
        return {std::move(refused), {}};
    const RecordFile::Outcome saved = save(outcome.table);
    if (!saved.ok)
        return {saved.error, {}};
    return outcome;
}

FileLock RecordStore::lock() const
{
    return FileLock(m_file.path(), what(), m_lockWaitMs);
}

RecordFile::Outcome RecordStore::save(const RecordTable &table) const
{
    // The records, then the closing line. Fields are handed over as views of the table's
    // cells: nothing is copied before encoding.
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
    return m_file.writeTable(records + 1, fieldsOf);
}
