#pragma once

#include "equivalentage.h"
#include "heldgroups.h"
#include "packedrow.h"
#include "recordline.h"
#include "reminderjournal.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

// The lab's schedule: every record of a.bz in due-time order, each in one group, with what the
// journal knows of it. The view shows one group or all, narrowed by a filter.
class ScheduleModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Group { Overdue, Today, Tomorrow, Week, Later, Other, GroupCount };
    enum Column {
        GroupColumn,
        FirstFieldColumn, // the ten stored fields, 工程部位 to 备注
        StateColumn = FirstFieldColumn + RecordLine::Stored,
        RemindedColumn,
        TestedColumn,
        TestedByColumn,
        ResultColumn,
        AdviceColumn, // what to do with a casting's later ages (HeldGroups)
        ColumnCount
    };
    static QString groupName(Group group);

    // 逾期未试: due on a day before today, not marked tested, and not more than overdueDays days
    // back; 今天, 明天, 未来 7 天 (the five days after tomorrow), 以后; 其他: tested or older
    // days, and due times of another form.
    static Group groupOf(QStringView dueTime, bool tested, const QDate &today, int overdueDays);

    ScheduleModel(const ReminderJournal *journal, QObject *parent = nullptr);

    // What the view can show besides one group: every record read, or the four groups of the
    // days ahead and the overdue span (逾期未试 to 未来 7 天).
    static constexpr int All = GroupCount;
    static constexpr int Recent = GroupCount + 1;

    // Which records a load reads: those due from the overdue span's first day to the last of
    // the coming week (what the window opens on, found in the file's bytes), or every record.
    enum class Scope { Recent, Whole };
    static QDate firstDay(const QDate &today, int overdueDays);
    static QDate lastDay(const QDate &today);

    // Reads the records of the scope; returns why it could not, empty when it could.
    QString load(const QString &recordFile, const QDateTime &now, int overdueDays,
                 Scope scope = Scope::Whole);
    Scope scope() const { return m_scope; }
    // Groups every record again: another day, another span, or marks that changed.
    void regroup(const QDateTime &now, int overdueDays);
    void regroup() { regroup(m_now, m_overdueDays); }

    // Which group is shown (All, Recent or one group) and the text every shown row holds in one of
    // its fields or journal texts (any case).
    void setShownGroup(int group);
    void setFilter(const QString &text);
    const QString &filter() const { return m_filter; }
    int shownGroup() const { return m_shownGroup; }

    // Records in a group, whatever is shown.
    int count(Group group) const { return m_counts[group]; }
    // Records read whose result is below the grade in a group.
    int belowGradeCount() const { return m_belowGrade; }
    // The design age of the held-groups advice, in days; takes effect at the next regroup.
    void setDesignAge(int days) { m_designAge = days; }
    int recordCount() const { return int(m_rows.size()); }

    // The journal key of a shown row.
    QString keyAt(int row) const;
    const QDateTime &now() const { return m_now; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        PackedRow fields; // the eleven fields of the key: its text is the key
        qint64 due;       // yyyyMMddhhmm, or the largest value for a due time of another form
        Group group;
        HeldGroups::Advice advice = HeldGroups::Advice::None;
        bool belowGrade = false;
    };
    QString cell(const Row &row, int column) const;
    // A record tested at its equivalent age: its ℃·d so far, and whether its due time is measured
    // or estimated, after what the journal says.
    // The whole text of a shown cell, before a view cuts it.
    QString text(int shownRow, int column) const;
    void addEstimate(const Row &row, QString &state) const;
    QStringView keyView(const Row &row) const;
    const ReminderJournal::Entry *entryOf(const Row &row) const;
    bool matches(const Row &row) const;
    void refilter();
    // The advice for the later ages of each casting (HeldGroups).
    void adviseLaterAges();

    const ReminderJournal *m_journal;
    QList<Row> m_rows;
    QList<int> m_shown;
    int m_counts[GroupCount] = {};
    int m_belowGrade = 0;
    int m_designAge = HeldGroups::DefaultDesignAge;
    QDateTime m_now;
    int m_overdueDays = 30;
    int m_shownGroup = All;
    Scope m_scope = Scope::Whole;
    QString m_filter;
    // Of the filter: texts without case (Chinese, digits) are matched as they stand, which is
    // several times faster; the journal's rows whose tester or result match.
    Qt::CaseSensitivity m_filterCase = Qt::CaseSensitive;
    QSet<quint64> m_journalMatches;
    EquivalentAge::Means m_temperatures; // read with the records
};
