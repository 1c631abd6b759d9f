#include "fakes.h"
#include "form1.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "remindernotices.h"
#include "specimenrecord.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
// Every reminder the main window gives outside a popup; with no popup program to start, each
// popup it tries is listed as not shown, so that the tries are counted too.
class Notices : public ReminderNotices
{
public:
    void notShown(const QString &text) override { popups << text; }
    void late(const QString &text) override { listed << text; }
    QStringList popups, listed;
};

QDateTime at(const char *time)
{
    return QDateTime::fromString(QLatin1String(time), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

// What the main window remembers of its reminders across restarts.
class TestReminderMemory : public QObject
{
    Q_OBJECT

private slots:
    void restartTheSameDayRemindsNothingTwice();
    void daysOffAreListedOnceEach();

private:
    // A run of the program: starts at start, then checks at each of checks.
    void run(const QDateTime &start, const QList<QDateTime> &checks = {});

    QTemporaryDir m_dir;
    FakeClock m_clock;
    RecordingMessages m_messages;
    Notices m_notices;
    QStringList m_marked; // the rows marked "到期" when the run ended, by their part
};

void TestReminderMemory::run(const QDateTime &start, const QList<QDateTime> &checks)
{
    m_notices = Notices();
    m_clock.set(start);
    Form1 window(ManagerServices{m_dir.path(), &m_clock, &m_messages, {}, &m_notices});
    window.Form_Load();
    for (const QDateTime &check : checks) {
        m_clock.set(check);
        window.Timer2_Timer();
        window.Timer1_Timer();
    }
    m_marked.clear();
    for (int r = 1; r < window.grid()->rows() - 1; ++r)
        if (window.grid()->textMatrix(r, 11) == SpecimenRecord::dueMarkText())
            m_marked << window.grid()->textMatrix(r, 1);
}

void TestReminderMemory::restartTheSameDayRemindsNothingTwice()
{
    const QString file = m_dir.filePath(QStringLiteral("a.bz"));
    makeRecordFile(file, {sample(QStringLiteral("早"), QStringLiteral("2026-12-06 07:00")).fields(),
                          sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 09:05")).fields(),
                          sample(QStringLiteral("晚"), QStringLiteral("2026-12-06 18:00")).fields(),
                          QStringList(11)});
    const QByteArray before = readFile(file);

    run(at("2026-12-06 09:04:30"), {at("2026-12-06 09:05:10")});
    QCOMPARE(m_notices.listed.size(), 1); // 早, passed before the first start
    QCOMPARE(m_notices.popups.size(), 1); // 甲, at its minute
    QVERIFY(m_notices.popups[0].contains(QStringLiteral("甲")));

    // Again within the minute of the popup, and later that day.
    for (const char *restart : {"2026-12-06 09:05:40", "2026-12-06 09:30:00"}) {
        run(at(restart), {at(restart).addSecs(5), at(restart).addSecs(65)});
        QCOMPARE(m_notices.popups, QStringList());
        QCOMPARE(m_notices.listed, QStringList());
        QCOMPARE(m_marked, QStringList({"早", "甲"}));
    }
    QCOMPARE(readFile(file), before);
}

void TestReminderMemory::daysOffAreListedOnceEach()
{
    makeRecordFile(m_dir.filePath(QStringLiteral("a.bz")),
                   {sample(QStringLiteral("旧"), QStringLiteral("2026-10-01 09:00")).fields(),
                    sample(QStringLiteral("周五"), QStringLiteral("2026-12-04 10:00")).fields(),
                    sample(QStringLiteral("周六早"), QStringLiteral("2026-12-05 08:00")).fields(),
                    sample(QStringLiteral("周六晚"), QStringLiteral("2026-12-05 20:00")).fields(),
                    sample(QStringLiteral("周日"), QStringLiteral("2026-12-06 07:00")).fields(),
                    sample(QStringLiteral("周一"), QStringLiteral("2026-12-07 09:00")).fields(),
                    QStringList(11)});
    // The first start: only the overdue span counts, not the file's older years.
    run(at("2026-12-04 09:59:30"), {at("2026-12-04 10:00:05")});
    QCOMPARE(m_notices.listed, QStringList());
    QCOMPARE(m_notices.popups.size(), 1);

    run(at("2026-12-06 08:00:00"), {at("2026-12-06 08:00:30"), at("2026-12-06 08:01:00")});
    QCOMPARE(m_notices.popups, QStringList());
    QCOMPARE(m_notices.listed.size(), 3);
    const char *parts[] = {"周六早", "周六晚", "周日"};
    for (int i = 0; i < 3; ++i)
        QVERIFY2(m_notices.listed[i].contains(QString::fromUtf8(parts[i])),
                 qPrintable(m_notices.listed[i]));
    QCOMPARE(m_marked, QStringList({"周日"}));

    run(at("2026-12-06 09:00:00"));
    QCOMPARE(m_notices.listed, QStringList());
}

QTEST_MAIN(TestReminderMemory)
#include "tst_remindermemory.moc"
