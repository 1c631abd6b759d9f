// The reminder on a real X server, as a technician meets it: the build folder's Tarvelin, with a
// record due in the present minute, starts vexa; the popup "数据提示" stands at the bottom right
// of the screen; closing it frees its slot; started again, Tarvelin remembers what it showed. CI
// runs the whole test suite under xvfb-run; without a display there is nothing to look at, and the
// test is skipped.
#include "profilefile.h"
#include "reminderslots.h"
#include "testfiles.h"
#include "x11client.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {
QStringList record(const QString &due)
{
    return {QStringLiteral("三号楼基础"),
            QStringLiteral("C30"),
            QStringLiteral("P-01"),
            QStringLiteral("2026-11-08 08:30"),
            QStringLiteral("28"),
            due,
            QStringLiteral("标准养护"),
            QStringLiteral("12"),
            QStringLiteral("3"),
            QStringLiteral("加急"),
            QString()};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QList<int> kIconSizes = {16, 32, 48, 64, 128, 256};
const QString kPopupTitle = QStringLiteral("数据提示");
} // namespace

class TestDesktopReminder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void dueRecordPopsUpAndClosingFreesItsSlot();
    void popupStandsBottomRightAtEveryScale_data();
    void popupStandsBottomRightAtEveryScale();

private:
    std::unique_ptr<QProcess> start(const QString &program, const QString &dataFolder,
                                    double scale = 1);
    std::unique_ptr<X11> m_x;
};

void TestDesktopReminder::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("no X display: run the tests under xvfb-run");
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(),
             "xdotool is missing: tools/bootstrap.sh installs it");
    m_x = std::make_unique<X11>();
    QVERIFY2(m_x->ok(), "cannot connect to the X display");
    QVERIFY2(visibleWindowsNamed(kPopupTitle).isEmpty(),
             "a popup from elsewhere is on the display");
}

void TestDesktopReminder::cleanup()
{
    // A test that failed half-way leaves its popups open; the next one starts on a clear screen.
    for (xcb_window_t popup : visibleWindowsNamed(kPopupTitle))
        m_x->close(popup);
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindowsNamed(kPopupTitle).isEmpty(), 10000);
}

std::unique_ptr<QProcess> TestDesktopReminder::start(const QString &program,
                                                     const QString &dataFolder, double scale)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The test itself runs offscreen; the programs it starts go on the real display.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    env.insert(QStringLiteral("TARVELIN_DATA_DIR"), dataFolder);
    // The popup must wait for its close button, as it does for a technician.
    env.remove(QStringLiteral("VEXA_QUIT_AFTER_MS"));
    process->setProcessEnvironment(env);
    process->start(program, {});
    return process;
}

void TestDesktopReminder::dueRecordPopsUpAndClosingFreesItsSlot()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Due this minute, unless the first check (five seconds after start) might come too late.
    QDateTime now = QDateTime::currentDateTime();
    const QDateTime due = now.time().second() <= 40 ? now : now.addSecs(60);
    const QString dueText = due.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    // Due the minute after: its popup after a restart shows that the restarted Tarvelin checks.
    // The restart comes within about half a minute of the first popup, which comes by hh:mm:46,
    // so the later record is still on time when the restarted Tarvelin first checks.
    const QString laterText = due.addSecs(60).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const QString recordFile = dir.filePath(QStringLiteral("a.bz"));
    makeRecordFile(recordFile, {record(dueText), record(laterText), QStringList(11)});
    const QByteArray recordBytes = fileBytes(recordFile);
    const QString ini = dir.filePath(QStringLiteral("vexa.ini"));

    const auto tarvelin = start(QStringLiteral(TARVELIN_PATH), dir.path());
    QVERIFY(tarvelin->waitForStarted());
    QList<xcb_window_t> main;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(main = visibleWindowsNamed(QStringLiteral("^Tarvelin V2\\.2"))).isEmpty(), 20000);
    QCOMPARE(m_x->iconSizes(main.first()), kIconSizes);

    // No exchange file yet: the manager makes one when the record falls due, and vexa claims
    // the first slot of it.
    QList<xcb_window_t> popups;
    QTRY_VERIFY_WITH_TIMEOUT(!(popups = visibleWindowsNamed(kPopupTitle)).isEmpty(), 60000);
    QCOMPARE(popups.size(), 1);
    const QString slot = ReminderSlots::name(1, 1);
    QCOMPARE(ReadIniValue(slot, ReminderSlots::flagKey(), ini), QStringLiteral("1"));
    QCOMPARE(ReadIniValue(slot, QStringLiteral("到期时间"), ini), dueText);
    QCOMPARE(m_x->iconSizes(popups.first()), kIconSizes);
    // Row 1 of a screen without a taskbar: the popup's corner on the screen's corner.
    const QRect placed = m_x->geometry(popups.first());
    QCOMPARE(placed.right() + 1, m_x->screenSize().width());
    QCOMPARE(placed.bottom() + 1, m_x->screenSize().height());

    m_x->close(popups.first());
    QTRY_COMPARE_WITH_TIMEOUT(ReadIniValue(slot, ReminderSlots::flagKey(), ini),
                              QStringLiteral("0"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindowsNamed(kPopupTitle).isEmpty(), 10000);

    // Closing the main window ends Tarvelin.
    m_x->close(main.first());
    QVERIFY(tarvelin->waitForFinished(10000));
    QCOMPARE(tarvelin->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tarvelin->exitCode(), 0);

    // Started again the same day, mostly within the minute it reminded: the record shown is
    // neither shown again nor listed as missed; the later one pops up in slot 1 on its own.
    const auto again = start(QStringLiteral(TARVELIN_PATH), dir.path());
    QVERIFY(again->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        !(main = visibleWindowsNamed(QStringLiteral("^Tarvelin V2\\.2"))).isEmpty(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!(popups = visibleWindowsNamed(kPopupTitle)).isEmpty(), 140000);
    QCOMPARE(ReadIniValue(slot, QStringLiteral("到期时间"), ini), laterText);
    QCOMPARE(visibleWindowsNamed(kPopupTitle).size(), 1);
    QVERIFY(visibleWindowsNamed(QStringLiteral("错过的到期提醒")).isEmpty());
    QCOMPARE(fileBytes(recordFile), recordBytes);
    m_x->close(popups.first());
    m_x->close(main.first());
    QVERIFY(again->waitForFinished(10000));
}

void TestDesktopReminder::popupStandsBottomRightAtEveryScale_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("150 %") << 1.5;
    QTest::newRow("200 %") << 2.0;
}

void TestDesktopReminder::popupStandsBottomRightAtEveryScale()
{
    QFETCH(double, scale);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("vexa.ini"));
    const ReminderSlots exchange(ini);
    QVERIFY(exchange.reset(2).ok);
    // Row 1 is held by an earlier popup, so this one stacks on row 2.
    QVERIFY(ProfileFile(ini)
                .write(ReminderSlots::name(1, 1), ReminderSlots::flagKey(), QStringLiteral("1"))
                .ok);

    const auto vexa = start(QStringLiteral(VEXA_PATH), dir.path(), scale);
    QList<xcb_window_t> popups;
    QTRY_VERIFY_WITH_TIMEOUT(!(popups = visibleWindowsNamed(kPopupTitle)).isEmpty(), 20000);
    QCOMPARE(popups.size(), 1);

    // 323 x 154 logical pixels, the screen's own pixels times the scale; within one pixel, as
    // 150 % gives half pixels.
    const QSize screen = m_x->screenSize();
    const QRect placed = m_x->geometry(popups.first());
    const auto near = [](int actual, double expected) {
        return std::abs(actual - expected) <= 1.0;
    };
    QVERIFY2(near(placed.width(), 323 * scale), qPrintable(QString::number(placed.width())));
    QVERIFY2(near(placed.height(), 154 * scale), qPrintable(QString::number(placed.height())));
    QVERIFY2(near(placed.x() + placed.width(), screen.width()),
             qPrintable(QString::number(placed.x())));
    QVERIFY2(near(placed.y(), screen.height() - 2 * 154 * scale),
             qPrintable(QString::number(placed.y())));

    m_x->close(popups.first());
    QVERIFY(vexa->waitForFinished(10000));
    QCOMPARE(vexa->exitCode(), 0);
    QCOMPARE(ReadIniValue(ReminderSlots::name(1, 2), ReminderSlots::flagKey(), ini),
             QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestDesktopReminder)
#include "tst_desktopreminder.moc"
