// The whole road of a reminder with the real popup program: the monitor marks the rows due this
// minute, the dispatcher fills their slots and starts vexa, and every vexa claims a slot of its
// own.
#include "fakes.h"
#include "form1.h"
#include "profilefile.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
// Waits until every slot's flag reads value; false on timeout.
bool waitForFlags(const QString &ini, const QStringList &slotNames, const QString &value)
{
    return QTest::qWaitFor(
        [&] {
            for (const QString &slot : slotNames) {
                if (ReadIniValue(slot, QStringLiteral("是否显示"), ini) != value)
                    return false;
            }
            return true;
        },
        30000);
}
} // namespace

class TestReminderRoad : public QObject
{
    Q_OBJECT

private slots:
    void threeRowsDueTogetherGetThreePopups();
};

void TestReminderRoad::threeRowsDueTogetherGetThreePopups()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString due = QStringLiteral("2026-12-06 09:05");
    QVERIFY(RecordFile(dir.filePath(QStringLiteral("a.bz")))
                .writeTable({fileRecord(QStringLiteral("甲"), due),
                             fileRecord(QStringLiteral("乙"), QStringLiteral("2026-12-06 11:00")),
                             fileRecord(QStringLiteral("丙"), due),
                             fileRecord(QStringLiteral("丁"), due), QStringList(11)})
                .ok);
    // Each popup closes itself after a while, as if the technician had read it.
    qputenv("VEXA_QUIT_AFTER_MS", "4000");

    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 2)));
    RecordingMessages messages;
    ManagerServices services{dir.path(), &clock, &messages, QStringLiteral(VEXA_PATH)};
    Form1 window(services);
    window.Form_Load();
    window.timer1()->stop(); // the test drives the checks itself
    window.Timer1_Timer();

    QCOMPARE(window.grid()->textMatrix(1, 11), QStringLiteral("到期"));
    QCOMPARE(window.grid()->textMatrix(2, 11), QString());
    // No exchange file existed: the dispatcher made one, and no message interrupted the user.
    const QString ini = dir.filePath(QStringLiteral("vexa.ini"));
    QVERIFY(QFile::exists(ini));
    QVERIFY(messages.shown.isEmpty());

    // Three popups, three distinct slots, each holding its own record, upper row first.
    const QStringList claimed = {QStringLiteral("1|1"), QStringLiteral("1|2"),
                                 QStringLiteral("1|3")};
    QVERIFY(waitForFlags(ini, claimed, QStringLiteral("1")));
    QCOMPARE(ReadIniValue(claimed[0], QStringLiteral("工程部位"), ini), QStringLiteral("甲"));
    QCOMPARE(ReadIniValue(claimed[1], QStringLiteral("工程部位"), ini), QStringLiteral("丙"));
    QCOMPARE(ReadIniValue(claimed[2], QStringLiteral("工程部位"), ini), QStringLiteral("丁"));

    // Closing the popups frees their slots.
    QVERIFY(waitForFlags(ini, claimed, QStringLiteral("0")));

    // A later check in the same minute dispatches nothing more.
    clock.advanceSeconds(5);
    const QByteArray before = [&] {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    window.Timer1_Timer();
    QFile after(ini);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

QTEST_MAIN(TestReminderRoad)
#include "tst_reminderroad.moc"
