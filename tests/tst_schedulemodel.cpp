#include "csvexport.h"
#include "gbkcodec.h"
#include "recordfile.h"
#include "reminderjournal.h"
#include "schedulemodel.h"
#include "specimenrecord.h"
#include "temperaturelog.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QDateTime at(const char *minute)
{
    return QDateTime::fromString(QLatin1String(minute), QStringLiteral("yyyy-MM-dd HH:mm"));
}

// The part (first field) of every shown row.
QStringList shownParts(const ScheduleModel &model)
{
    QStringList parts;
    for (int r = 0; r < model.rowCount(); ++r)
        parts << model.index(r, ScheduleModel::FirstFieldColumn).data().toString();
    return parts;
}

// A small table for the export: the text of its cells as given.
class Table : public QAbstractTableModel
{
public:
    explicit Table(QList<QStringList> rows) : m_rows(std::move(rows)) {}
    int rowCount(const QModelIndex & = {}) const override { return int(m_rows.size()) - 1; }
    int columnCount(const QModelIndex & = {}) const override { return int(m_rows[0].size()); }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole ? m_rows[index.row() + 1][index.column()] : QVariant();
    }
    QVariant headerData(int section, Qt::Orientation, int role) const override
    {
        return role == Qt::DisplayRole ? m_rows[0][section] : QVariant();
    }

private:
    QList<QStringList> m_rows;
};
} // namespace

class TestScheduleModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void equivalentAgeShowsItsDegreeDays();
    void groupsMoveAtTheChangeOfDate();
    void testedRecordLeavesTheOverdueGroup();
    void filterMatchesAnyFieldAndTheJournalsTexts();
    void csvIsCodePage936WithQuotedFields();
    void csvRefusesACharacterCodePage936CannotHold();

private:
    QTemporaryDir m_dir;
    QString m_file;
};

void TestScheduleModel::initTestCase()
{
    m_file = m_dir.filePath(QStringLiteral("a.bz"));
    const QList<QStringList> table{
        sample(QStringLiteral("下周"), QStringLiteral("2026-12-14 08:00")).fields(),
        sample(QStringLiteral("周五"), QStringLiteral("2026-12-11 09:00")).fields(),
        sample(QStringLiteral("明天"), QStringLiteral("2026-12-07 08:00")).fields(),
        sample(QStringLiteral("今晚"), QStringLiteral("2026-12-06 23:59")).fields(),
        sample(QStringLiteral("今早"), QStringLiteral("2026-12-06 07:00")).fields(),
        sample(QStringLiteral("昨天"), QStringLiteral("2026-12-05 10:00")).fields(),
        sample(QStringLiteral("月前"), QStringLiteral("2026-11-05 10:00")).fields(),
        sample(QStringLiteral("手写"), QStringLiteral("明天上午")).fields(),
        sample(QStringLiteral("周日"), QStringLiteral("2026-12-13 08:00")).fields(),
        QStringList(11)};
    makeRecordFile(m_file, table);
}

void TestScheduleModel::equivalentAgeShowsItsDegreeDays()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.bz"));
    const auto equivalent = [](const char *part, const char *made, const char *due) {
        return sample(QString::fromUtf8(part), QLatin1String(due))
            .with(SpecimenRecord::MakingDate, QLatin1String(made))
            .with(SpecimenRecord::Age, QStringLiteral("600℃·d"))
            .fields();
    };
    makeRecordFile(file,
                   {equivalent("实测", "2026-11-1 8:30", "2026-12-01 08:30"),
                    equivalent("无温度", "2026-12-5 8:30", "2027-01-02 08:30"), QStringList(11)});
    EquivalentAge::Means means;
    for (QDate day(2026, 11, 1); day.month() == 11; day = day.addDays(1))
        means.insert(day, 20);
    QCOMPARE(TemperatureLog(dir.path()).record(means), QString());
    ReminderJournal journal(dir.path());
    ScheduleModel model(&journal);
    QCOMPARE(model.load(file, at("2026-12-06 09:00"), 30), QString());
    QStringList states;
    for (int r = 0; r < model.rowCount(); ++r)
        states << model.index(r, ScheduleModel::StateColumn).data().toString();
    QCOMPARE(states,
             QStringList({"未提醒；已累计 600℃·d，到期时间按实测温度", "无温度记录，按28天估计"}));
}

void TestScheduleModel::groupsMoveAtTheChangeOfDate()
{
    ReminderJournal journal(m_dir.path());
    ScheduleModel model(&journal);
    QCOMPARE(model.load(m_file, at("2026-12-06 23:59"), 30), QString());
    QCOMPARE(model.recordCount(), 9);
    // In due-time order; a due time of another form last.
    QCOMPARE(shownParts(model),
             QStringList({"月前", "昨天", "今早", "今晚", "明天", "周五", "周日", "下周", "手写"}));
    const auto counts = [&model] {
        QList<int> counts;
        for (int g = 0; g < ScheduleModel::GroupCount; ++g)
            counts << model.count(ScheduleModel::Group(g));
        return counts;
    };
    //                           逾期 今天 明天 7天 以后 其他
    QCOMPARE(counts(), QList<int>({1, 2, 1, 2, 1, 2}));
    model.setShownGroup(ScheduleModel::Week);
    QCOMPARE(shownParts(model), QStringList({"周五", "周日"}));

    model.regroup(at("2026-12-07 00:00"), 30);
    QCOMPARE(counts(), QList<int>({3, 1, 0, 3, 0, 2}));
    QCOMPARE(shownParts(model), QStringList({"周五", "周日", "下周"}));
    model.setShownGroup(ScheduleModel::Overdue);
    QCOMPARE(shownParts(model), QStringList({"昨天", "今早", "今晚"}));
    QCOMPARE(model.index(0, ScheduleModel::GroupColumn).data().toString(),
             QStringLiteral("逾期未试"));
    QCOMPARE(model.index(0, ScheduleModel::StateColumn).data().toString(),
             QStringLiteral("未提醒"));
}

void TestScheduleModel::testedRecordLeavesTheOverdueGroup()
{
    ReminderJournal journal(m_dir.path());
    ScheduleModel model(&journal);
    QCOMPARE(model.load(m_file, at("2026-12-06 12:00"), 30), QString());
    model.setShownGroup(ScheduleModel::Overdue);
    QCOMPARE(shownParts(model), QStringList({"昨天"}));
    const QString key = model.keyAt(0);
    QCOMPARE(key, sample(QStringLiteral("昨天"), QStringLiteral("2026-12-05 10:00")).text());
    journal.markTested(key, at("2026-12-06 12:00"), QStringLiteral("张三"),
                       QStringLiteral("35.2 MPa"));
    model.regroup();
    QCOMPARE(model.count(ScheduleModel::Overdue), 0);
    model.setShownGroup(ScheduleModel::Other);
    QCOMPARE(shownParts(model), QStringList({"月前", "昨天", "手写"}));
    QCOMPARE(model.index(1, ScheduleModel::StateColumn).data().toString(),
             QStringLiteral("已试验"));
    QCOMPARE(model.index(1, ScheduleModel::ResultColumn).data().toString(),
             QStringLiteral("35.2 MPa"));
    // A result of pages: cut on the screen, whole in the CSV.
    const QString pages(3 * SpecimenRecord::ShownChars, u'长');
    journal.markTested(key, at("2026-12-06 12:00"), QStringLiteral("张三"), pages);
    model.regroup();
    QVERIFY(model.index(1, ScheduleModel::ResultColumn).data().toString().size() <
            SpecimenRecord::ShownChars + 20);
    QString unencodable;
    QVERIFY(CsvExport::bytes(model, &unencodable).contains(Gbk::encode(pages)));
    journal.unmarkTested(key, at("2026-12-06 12:01"));
    model.regroup();
    QCOMPARE(model.count(ScheduleModel::Overdue), 1);
}

void TestScheduleModel::filterMatchesAnyFieldAndTheJournalsTexts()
{
    ReminderJournal journal(m_dir.path());
    ScheduleModel model(&journal);
    QCOMPARE(model.load(m_file, at("2026-12-06 12:00"), 30), QString());
    model.setFilter(QStringLiteral("2026-12-13"));
    QCOMPARE(shownParts(model), QStringList({"周日"}));
    model.setFilter(QStringLiteral("c30")); // any case: every record is C30
    QCOMPARE(model.rowCount(), 9);
    model.setFilter(QStringLiteral("月,C30")); // no field holds a comma
    QCOMPARE(model.rowCount(), 0);
    journal.markTested(sample(QStringLiteral("今早"), QStringLiteral("2026-12-06 07:00")).text(),
                       at("2026-12-06 12:00"), QStringLiteral("王工"), QString());
    model.setFilter(QStringLiteral("王工"));
    QCOMPARE(shownParts(model), QStringList({"今早"}));
}

void TestScheduleModel::csvIsCodePage936WithQuotedFields()
{
    const Table table({{"到期时间", "备注"},
                       {"2026-12-06 09:05", "35.2 MPa, 复检"},
                       {"2026-12-07 08:00", "说\"合格\"\r\n第二行"},
                       {"", "plain"},
                       // A spreadsheet would run these; a signed number stays a number.
                       {"=HYPERLINK(\"x\")", "+cmd|' /C calc'!A0"},
                       {"@SUM(A1)", "-2+3"},
                       {"\t=1", "\r=1"},
                       {"-5", "+0.5"}});
    QString unencodable;
    const QByteArray bytes = CsvExport::bytes(table, &unencodable);
    QCOMPARE(unencodable, QString());
    QCOMPARE(bytes, gbk(QStringLiteral("到期时间,备注\r\n"
                                       "2026-12-06 09:05,\"35.2 MPa, 复检\"\r\n"
                                       "2026-12-07 08:00,\"说\"\"合格\"\"\r\n第二行\"\r\n"
                                       ",plain\r\n"
                                       "\"'=HYPERLINK(\"\"x\"\")\",'+cmd|' /C calc'!A0\r\n"
                                       "'@SUM(A1),'-2+3\r\n"
                                       "'\t=1,\"'\r=1\"\r\n"
                                       "-5,+0.5\r\n")));
    QVERIFY(bytes.contains("\xb5\xbd\xc6\xda")); // 到期 in code page 936
}

void TestScheduleModel::csvRefusesACharacterCodePage936CannotHold()
{
    QTemporaryDir dir;
    const Table table({{"备注"}, {"合格 😀"}});
    const QString path = dir.filePath(QStringLiteral("计划.csv"));
    const QString why = CsvExport::save(table, path);
    QVERIFY2(why.contains(QStringLiteral("U+1F600")), qPrintable(why));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestScheduleModel)
#include "tst_schedulemodel.moc"
