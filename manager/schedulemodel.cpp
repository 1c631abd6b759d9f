#include "schedulemodel.h"

#include "clock.h"
#include "cubestrength.h"
#include "duecheck.h"
#include "recordfile.h"
#include "recordline.h"
#include "reminderjournal.h"
#include "reminderwatch.h"
#include "specimenrecord.h"
#include "temperaturelog.h"

#include <QFileInfo>

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <limits>

namespace {

constexpr int kStored = RecordLine::Stored;

// The days that bound the groups, as "YYYY-MM-DD" texts, which sort as the days do.
struct Days
{
    Days(const QDate &today, int overdueDays)
        : overdueFrom(date(today.addDays(-overdueDays))), today(date(today)),
          tomorrow(date(today.addDays(1))), weekEnd(date(today.addDays(7)))
    {
    }
    static QString date(const QDate &day) { return day.toString(QStringLiteral("yyyy-MM-dd")); }

    ScheduleModel::Group groupOf(QStringView due, bool tested) const
    {
        if (!DueCheck::isDueTimeText(due))
            return ScheduleModel::Other;
        const QStringView day = due.left(10);
        if (day == today)
            return ScheduleModel::Today;
        if (day == tomorrow)
            return ScheduleModel::Tomorrow;
        if (day > tomorrow)
            return day <= weekEnd ? ScheduleModel::Week : ScheduleModel::Later;
        return !tested && day >= overdueFrom ? ScheduleModel::Overdue : ScheduleModel::Other;
    }

    QString overdueFrom, today, tomorrow, weekEnd;
};

qint64 dueOrder(QStringView due)
{
    if (!DueCheck::isDueTimeText(due))
        return std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (QChar c : due)
        if (c.isDigit())
            value = value * 10 + c.digitValue();
    return value;
}

} // namespace

QString ScheduleModel::groupName(Group group)
{
    static const QString names[GroupCount] = {
        QStringLiteral("逾期未试"),  QStringLiteral("今天"), QStringLiteral("明天"),
        QStringLiteral("未来 7 天"), QStringLiteral("以后"), QStringLiteral("其他")};
    return names[group];
}

ScheduleModel::Group ScheduleModel::groupOf(QStringView dueTime, bool tested, const QDate &today,
                                            int overdueDays)
{
    return Days(today, overdueDays).groupOf(dueTime, tested);
}

ScheduleModel::ScheduleModel(const ReminderJournal *journal, QObject *parent)
    : QAbstractTableModel(parent), m_journal(journal)
{
}

QDate ScheduleModel::firstDay(const QDate &today, int overdueDays)
{
    return today.addDays(-overdueDays);
}

QDate ScheduleModel::lastDay(const QDate &today)
{
    return today.addDays(7);
}

QString ScheduleModel::load(const QString &recordFile, const QDateTime &now, int overdueDays,
                            Scope scope)
{
    QList<Row> rows;
    QStringView key[kStored + 1];
    const auto take = [&](const QList<QStringView> &fields) {
        const qsizetype shown = RecordLine::shownFields(fields.size(), kStored);
        for (qsizetype i = 0; i < kStored; ++i)
            key[i] = i < shown ? fields[i] : QStringView();
        const QStringView due = key[SpecimenRecord::DueTime];
        rows.append({PackedRow(key, kStored + 1), dueOrder(due), Other});
    };
    QString error;
    if (scope == Scope::Whole) {
        error = RecordFile(recordFile).forEachFilledLine(take).error;
    } else {
        // Only the lines due in the groups' days are decoded, found in the file's bytes.
        const QDate today = now.date();
        const auto dayStart = [](const QDate &day) {
            return TimeText::minute(QDateTime(day, QTime(0, 0)));
        };
        const ReminderWatch::Scan scan =
            ReminderWatch::scanDue(recordFile, dayStart(firstDay(today, overdueDays)),
                                   dayStart(lastDay(today).addDays(1)));
        error = scan.error;
        rows.reserve(scan.records.size());
        for (const ReminderWatch::Due &record : scan.records)
            take(QStringView(record.key).split(QChar(RecordLine::Separator)));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row &a, const Row &b) { return a.due < b.due; });
    rows.squeeze();
    beginResetModel();
    m_temperatures = TemperatureLog(QFileInfo(recordFile).path()).read().means;
    m_rows = std::move(rows);
    m_scope = scope;
    endResetModel();
    regroup(now, overdueDays);
    return error;
}

void ScheduleModel::regroup(const QDateTime &now, int overdueDays)
{
    m_now = now;
    m_overdueDays = overdueDays;
    const Days days(now.date(), overdueDays);
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    m_belowGrade = 0;
    for (Row &row : m_rows) {
        const ReminderJournal::Entry *entry = entryOf(row);
        const bool tested = entry && entry->isTested();
        row.group = days.groupOf(row.fields.at(SpecimenRecord::DueTime), tested);
        ++m_counts[row.group];
        row.belowGrade =
            tested && CubeStrength::isBelowGrade(m_journal->text(entry->result),
                                                 row.fields.at(SpecimenRecord::StrengthGrade));
        m_belowGrade += row.belowGrade;
    }
    adviseLaterAges();
    refilter();
}

void ScheduleModel::adviseLaterAges()
{
    const QList<HeldGroups::Advice> advice = HeldGroups::advise(
        m_rows.size(), [this](qsizetype i) { return HeldGroups::Record::of(m_rows.at(i).fields); },
        [this](qsizetype i) {
            const ReminderJournal::Entry *entry = entryOf(m_rows.at(i));
            return entry && entry->isTested() ? m_journal->text(entry->result) : QString();
        },
        m_designAge);
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        m_rows[i].advice = advice[i];
}

void ScheduleModel::setShownGroup(int group)
{
    m_shownGroup = qBound(0, group, int(Recent));
    refilter();
}

void ScheduleModel::setFilter(const QString &text)
{
    m_filter = text;
    refilter();
}

QStringView ScheduleModel::keyView(const Row &row) const
{
    // The key's fields were taken from one line or joined by commas: the row's text is the key.
    const QStringView first = row.fields.at(0), last = row.fields.at(kStored);
    return QStringView(first.utf16(), last.utf16() + last.size() - first.utf16());
}

const ReminderJournal::Entry *ScheduleModel::entryOf(const Row &row) const
{
    return m_journal->find(keyView(row));
}

bool ScheduleModel::matches(const Row &row) const
{
    if (m_filter.isEmpty())
        return true;
    // No field holds a comma, so a filter without one never matches across two fields.
    if (!m_filter.contains(RecordLine::Separator) && keyView(row).contains(m_filter, m_filterCase))
        return true;
    return !m_journalMatches.isEmpty() &&
           m_journalMatches.contains(ReminderJournal::hashOf(keyView(row)));
}

void ScheduleModel::refilter()
{
    m_filterCase =
        m_filter.toLower() == m_filter.toUpper() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    m_journalMatches =
        m_filter.isEmpty() ? QSet<quint64>() : m_journal->keysWithText(m_filter, m_filterCase);
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows[i];
        const bool inGroup = m_shownGroup == GroupCount || row.group == m_shownGroup ||
                             (m_shownGroup == Recent && row.group <= Week);
        if (inGroup && matches(row))
            m_shown.append(i);
    }
    endResetModel();
}

QString ScheduleModel::keyAt(int row) const
{
    if (row < 0 || row >= m_shown.size())
        return {};
    return keyView(m_rows[m_shown[row]]).toString();
}

int ScheduleModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ScheduleModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ScheduleModel::cell(const Row &row, int column) const
{
    if (column == GroupColumn)
        return groupName(row.group);
    if (column < StateColumn)
        return row.fields.value(column - FirstFieldColumn);
    const ReminderJournal::Entry *entry = entryOf(row);
    const QString due = row.fields.value(SpecimenRecord::DueTime);
    switch (column) {
    case StateColumn:
        if (entry && entry->isTested())
            return QStringLiteral("已试验");
        if (entry && entry->reminded != 0)
            return entry->how == ReminderJournal::How::List ? QStringLiteral("已列出")
                                                            : QStringLiteral("已提醒");
        return DueCheck::isDueTimeText(due) && due < TimeText::minute(m_now)
                   ? QStringLiteral("未提醒")
                   : QString();
    case RemindedColumn:
        return entry && entry->reminded != 0 ? TimeText::minute(entry->remindedAt()) : QString();
    case TestedColumn:
        return entry && entry->isTested() ? TimeText::minute(entry->testedAt()) : QString();
    case TestedByColumn:
        return entry ? m_journal->text(entry->testedBy) : QString();
    case ResultColumn:
        return entry ? CubeStrength::resultText(m_journal->text(entry->result),
                                                row.fields.at(SpecimenRecord::StrengthGrade))
                     : QString();
    default:
        return HeldGroups::text(row.advice);
    }
}

QVariant ScheduleModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const Row &row = m_rows[m_shown[index.row()]];
    if (row.belowGrade && index.column() == ResultColumn) {
        if (role == Qt::ForegroundRole)
            return QBrush(QColor(156, 0, 6));
        if (role == Qt::BackgroundRole)
            return QBrush(QColor(255, 199, 206));
    }
    // Whole for an export, cut for the screen.
    if (role == Qt::EditRole)
        return text(index.row(), index.column());
    if (role != Qt::DisplayRole)
        return {};
    return SpecimenRecord::shown(text(index.row(), index.column()));
}

QString ScheduleModel::text(int shownRow, int column) const
{
    const Row &row = m_rows[m_shown[shownRow]];
    QString text = cell(row, column);
    if (column == StateColumn)
        addEstimate(row, text);
    return text;
}

void ScheduleModel::addEstimate(const Row &row, QString &state) const
{
    if (!EquivalentAge::isMarked(row.fields.at(SpecimenRecord::Age)))
        return;
    const auto making = DueTime::makingTime(row.fields.at(SpecimenRecord::MakingDate));
    if (!making)
        return;
    const QString note = EquivalentAge::estimate(*making, m_temperatures, m_now.date()).note();
    state = state.isEmpty() ? note : state + QStringLiteral("；") + note;
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == GroupColumn)
        return QStringLiteral("分组");
    if (section < StateColumn)
        return SpecimenRecord::gridHeaders().value(
            SpecimenRecord::column(SpecimenRecord::Field(section - FirstFieldColumn)));
    static const QString journalHeaders[] = {
        QStringLiteral("状态"),   QStringLiteral("提醒时间"), QStringLiteral("试验时间"),
        QStringLiteral("试验人"), QStringLiteral("试验结果"), QStringLiteral("试验建议")};
    return journalHeaders[section - StateColumn];
}
