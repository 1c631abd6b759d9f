#include "enginetexts.h"
#include "fakes.h"
#include "form1.h"
#include "form4.h"
#include "labschedule.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "reminderlistwindow.h"
#include "remindernotices.h"
#include "schedulewindow.h"
#include "testfiles.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

namespace {
// Records the reminders the main window lists instead of showing them.
class RecordingNotices : public ReminderNotices
{
public:
    void notShown(const QString &text) override { notShownTexts.append(text); }
    void late(const QString &text) override { lateTexts.append(text); }
    QStringList notShownTexts;
    QStringList lateTexts;
};
} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsWithTodaysRecords();
    void startsOffWithoutRecords();
    void missingFileGivesEmptyGridQuietly();
    void reloadReplacesAndKeepsMarks();
    void wideLineNeverFillsDueMark();
    void captionAndClock();
    void menuBarHasEveryItem();
    void scheduleReopensAsClosedFromItsStart();
    void switchMessagesAndStates();
    void checksAsEveryMinuteBegins();
    void watchesTodaysRecordsAllDay();
    void passedRemindersAreListedOnceAsLate();
    void remindersNoPopupGaveGoToTheNotices();

private:
    Form1 *start();
    void writeRecords(const QList<SampleRecord> &records);

    QTemporaryDir *m_dir = nullptr;
    static QDateTime startTime() { return QDateTime(QDate(2026, 12, 6), QTime(9, 4, 30)); }
    FakeClock m_clock{startTime()};
    RecordingMessages m_messages;
    Form1 *m_window = nullptr;
};

void TestForm1::initTestCase()
{
    // The schedule remembers its place among the user's settings: the test's own, emptied.
    QStandardPaths::setTestModeEnabled(true);
    ScheduleWindow::forgetPlace();
}

void TestForm1::init()
{
    m_dir = new QTemporaryDir;
    m_messages.shown.clear();
    m_clock.set(startTime());
}

void TestForm1::cleanup()
{
    delete m_window;
    m_window = nullptr;
    delete m_dir;
}

Form1 *TestForm1::start()
{
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, {}};
    m_window = new Form1(services);
    m_window->Form_Load();
    return m_window;
}

void TestForm1::writeRecords(const QList<SampleRecord> &records)
{
    QList<QStringList> table;
    for (const SampleRecord &record : records)
        table << record.fields();
    table << QStringList(11);
    makeRecordFile(m_dir->filePath(QStringLiteral("a.bz")), table);
}

void TestForm1::startsWithTodaysRecords()
{
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 09:05")),
                  sample(QStringLiteral("乙"), QStringLiteral("2026-12-07 09:05")),
                  sample(QStringLiteral("丙"), QStringLiteral("2026-12-06 15:00"))});
    Form1 *w = start();
    RecordGridModel *grid = w->grid();
    QCOMPARE(grid->rows(), 4);
    QCOMPARE(grid->textMatrix(1, 1), QStringLiteral("甲"));
    QCOMPARE(grid->textMatrix(2, 1), QStringLiteral("丙"));
    QCOMPARE(grid->textMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(grid->textMatrix(2, 0), QStringLiteral("2"));
    QCOMPARE(grid->textMatrix(3, 0), QString());
    QCOMPARE(grid->textMatrix(1, 6), QStringLiteral("2026-12-06 09:05"));
    QCOMPARE(grid->textMatrix(0, 5), QStringLiteral("龄期（D）"));
    QCOMPARE(grid->textMatrix(0, 12), QString());
    QCOMPARE(grid->columnWidthTwips(4), 2500);
    QVERIFY(w->timer1()->isActive());
    QCOMPARE(w->timer1()->interval(), 5000);
    QVERIFY(w->findChild<QAction *>(QStringLiteral("bg"))->isEnabled());
    QVERIFY(!w->findChild<QAction *>(QStringLiteral("kq"))->isEnabled());
    QVERIFY(m_messages.shown.isEmpty());
}

void TestForm1::startsOffWithoutRecords()
{
    writeRecords({});
    Form1 *w = start();
    QCOMPARE(w->grid()->rows(), 2);
    QVERIFY(!w->timer1()->isActive());
    QVERIFY(w->findChild<QAction *>(QStringLiteral("kq"))->isEnabled());
    QVERIFY(!w->findChild<QAction *>(QStringLiteral("bg"))->isEnabled());
}

void TestForm1::missingFileGivesEmptyGridQuietly()
{
    Form1 *w = start();
    QCOMPARE(w->grid()->rows(), 2);
    QVERIFY(m_messages.shown.isEmpty());
}

void TestForm1::reloadReplacesAndKeepsMarks()
{
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 09:05")),
                  sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 10:00"))});
    Form1 *w = start();
    RecordGridModel *grid = w->grid();
    // 乙 was reminded: the engine's journal knows it.
    const QString line =
        sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 10:00")).fields().join(u',');
    QVERIFY(w->engine()
                ->journal()
                .remind(ReminderJournal::keyOf(line), ReminderJournal::How::Popup, m_clock.now())
                .isEmpty());

    writeRecords({sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 10:00"))});
    w->findChild<QAction *>(QStringLiteral("dq"))->trigger();
    QCOMPARE(grid->rows(), 3);
    QCOMPARE(grid->textMatrix(1, 1), QStringLiteral("乙"));
    QCOMPARE(grid->textMatrix(1, 11), SpecimenRecord::dueMarkText());
    QCOMPARE(grid->cellBackColour(1, 3), RecordGridModel::SystemHighlight);
    QCOMPARE(grid->textMatrix(2, 1), QString());
    QCOMPARE(grid->textMatrix(2, 0), QString());
    QCOMPARE(grid->textMatrix(1, 0), QStringLiteral("1"));

    // Reloading twice leaves no extra numbered rows.
    w->daoru();
    QCOMPARE(grid->rows(), 3);

    // A record is known again by its whole line: one that differs from the marked record in its
    // last stored field alone is another record.
    writeRecords({sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 10:00"))
                      .with(SpecimenRecord::Remark, QStringLiteral("复检")),
                  sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 10:00"))});
    w->daoru();
    QCOMPARE(grid->textMatrix(1, 11), QString());
    QCOMPARE(grid->cellBackColour(1, 3), RecordGridModel::DefaultColour);
    QCOMPARE(grid->textMatrix(2, 11), SpecimenRecord::dueMarkText());
    QCOMPARE(grid->cellBackColour(2, 3), RecordGridModel::SystemHighlight);
}

void TestForm1::wideLineNeverFillsDueMark()
{
    QByteArray data = gbk(QStringLiteral("甲,C30,P,d,5,2026-12-06 09:05,x,1,1,r,到期,多,余\r\n"));
    writeFile(m_dir->filePath(QStringLiteral("a.bz")), data);
    Form1 *w = start();
    QCOMPARE(w->grid()->rows(), 3);
    QCOMPARE(w->grid()->textMatrix(1, 10), QStringLiteral("r"));
    QCOMPARE(w->grid()->textMatrix(1, 11), QString());
    QCOMPARE(w->grid()->textMatrix(1, 12), QString());
}

void TestForm1::captionAndClock()
{
    Form1 *w = start();
    QCOMPARE(w->windowTitle(), QStringLiteral("正在获取正确的版本信息。"));
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(15, 7, 42)));
    w->Timer2_Timer();
    QCOMPARE(w->windowTitle(), QStringLiteral("Tarvelin V2.2  2026-12-06 15:07:42"));
}

void TestForm1::menuBarHasEveryItem()
{
    Form1 *w = start();
    const QList<QPair<QString, QString>> items = {
        {"tscsh", "提示初始化"}, {"sjcsh", "数据初始化"}, {"end", "退出"},
        {"kq", "开启提醒"},      {"bg", "停止提醒"},      {"dq", "读取数据"},
        {"crsj", "插入数据"},    {"find", "查找数据"},    {"scgqsj", "删除过期数据"},
        {"sz", "设置"},          {"jz", "捐助"},          {"gy", "关于"},
        {"sj", "提供建议/升级"}};
    for (const auto &item : items) {
        QAction *a = w->findChild<QAction *>(item.first);
        QVERIFY2(a, qPrintable(item.first));
        QCOMPARE(a->text(), item.second);
    }
    QCOMPARE(w->findChild<QMenu *>(QStringLiteral("menu"))->title(), QStringLiteral("菜单"));
    QCOMPARE(w->findChild<QMenu *>(QStringLiteral("bz"))->title(), QStringLiteral("帮助"));
    const QList<QAction *> yx = w->findChild<QMenu *>(QStringLiteral("yx"))->actions();
    QCOMPARE(yx.size(), 3);
    QVERIFY(yx[1]->isSeparator());
    QCOMPARE(yx[1]->objectName(), QStringLiteral("y4"));

    // "试验计划" stands on its own (minimised, it takes nothing along) and comes back, minimised,
    // when chosen again.
    QAction *schedule = w->findChild<QAction *>(QStringLiteral("syjh"));
    schedule->trigger();
    QWidget *window = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        window = top->objectName() == u"ScheduleWindow" ? top : window;
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowHandle()->transientParent(), nullptr);
    window->showMinimized();
    schedule->trigger();
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));
}

void TestForm1::scheduleReopensAsClosedFromItsStart()
{
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 09:05")),
                  sample(QStringLiteral("乙"), QStringLiteral("2026-12-07 09:05"))});
    auto openSchedule = [this] {
        m_window->findChild<QAction *>(QStringLiteral("syjh"))->trigger();
        return m_window->labSchedule()->window();
    };
    start();
    ScheduleWindow *schedule = openSchedule();
    QVERIFY(QTest::qWaitForWindowExposed(schedule));
    const QSize narrow(schedule->minimumSizeHint().width() + 20, 320);
    schedule->resize(narrow);
    QScrollBar *across = schedule->view()->horizontalScrollBar();
    QTRY_VERIFY(across->maximum() > 0);
    across->setValue(across->maximum());

    // Closed and opened again: as large as it was, scrolled back to the first columns.
    schedule->close();
    QCOMPARE(openSchedule(), schedule);
    QCOMPARE(across->value(), 0);
    QCOMPARE(schedule->size(), narrow);

    // The next start opens it at the size it was closed at.
    schedule->close();
    delete m_window;
    start();
    QCOMPARE(openSchedule()->size(), narrow);
}

void TestForm1::switchMessagesAndStates()
{
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 09:05"))});
    Form1 *w = start();
    QAction *kq = w->findChild<QAction *>(QStringLiteral("kq"));
    QAction *bg = w->findChild<QAction *>(QStringLiteral("bg"));

    bg->trigger();
    QVERIFY(!w->timer1()->isActive());
    QCOMPARE(m_messages.lastText(), WindowText::monitorStopped());
    QCOMPARE(m_messages.shown.last().title, Title::notice());
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Plain);
    QVERIFY(kq->isEnabled());
    QVERIFY(!bg->isEnabled());

    // Restarting takes the interval box's current text.
    w->form4()->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("3000"));
    kq->trigger();
    QCOMPARE(m_messages.lastText(), WindowText::monitorStarted());
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Information);
    QVERIFY(w->timer1()->isActive());
    QCOMPARE(w->timer1()->interval(), 3000);
    QVERIFY(!kq->isEnabled());
    QVERIFY(bg->isEnabled());

    // A restart pops up nothing of the minutes it was stopped: a row due meanwhile is listed
    // as missed, once.
    bg->trigger();
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(9, 20)));
    kq->trigger();
    const auto late = [w] {
        return w->findChild<ReminderListWindow *>(QStringLiteral("lateReminders"))->entries();
    };
    QCOMPARE(late().size(), 1);
    QVERIFY(late().first().contains(QStringLiteral("2026-12-06 09:05")));
    QCOMPARE(w->grid()->textMatrix(1, 11), SpecimenRecord::dueMarkText());
    bg->trigger();
    kq->trigger();
    QCOMPARE(late().size(), 1);
}

// A record due at 09:05 is seen as 09:05 begins, not at Timer1's next tick (5 s after the start).
void TestForm1::checksAsEveryMinuteBegins()
{
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(9, 4, 59, 800)));
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 09:05"))});
    Form1 *w = start();
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 0, 5)));
    QTRY_COMPARE_WITH_TIMEOUT(w->grid()->textMatrix(1, 11), SpecimenRecord::dueMarkText(), 3000);
}

void TestForm1::watchesTodaysRecordsAllDay()
{
    // Started a minute before midnight with nothing due today: the monitor is off.
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 0)));
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-07 00:01"))});
    Form1 *w = start();
    QCOMPARE(w->grid()->rows(), 2);
    QVERIFY(!w->findChild<QAction *>(QStringLiteral("bg"))->isEnabled());

    // At the change of date the grid holds the new day and the monitor starts by itself.
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(0, 0, 1)));
    QTRY_COMPARE(w->grid()->rows(), 3);
    QCOMPARE(w->grid()->textMatrix(1, 1), QStringLiteral("甲"));
    QVERIFY(w->findChild<QAction *>(QStringLiteral("bg"))->isEnabled());
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(0, 1, 3)));
    w->Timer1_Timer();
    QCOMPARE(w->grid()->textMatrix(1, 11), SpecimenRecord::dueMarkText());

    // A record saved for today while the window runs is checked from the next tick on; the
    // earlier mark stays.
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(0, 1, 30)));
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-07 00:01")),
                  sample(QStringLiteral("乙"), QStringLiteral("2026-12-07 00:02"))});
    QTRY_COMPARE(w->grid()->rows(), 4);
    QCOMPARE(w->grid()->textMatrix(1, 11), SpecimenRecord::dueMarkText());
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(0, 2, 0)));
    w->Timer1_Timer();
    QCOMPARE(w->grid()->textMatrix(2, 11), SpecimenRecord::dueMarkText());

    // Stopped by the user, it stays stopped when records come.
    w->findChild<QAction *>(QStringLiteral("bg"))->trigger();
    m_clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 2)));
    writeRecords({sample(QStringLiteral("丙"), QStringLiteral("2026-12-08 00:05"))});
    QTRY_COMPARE(w->grid()->textMatrix(1, 1), QStringLiteral("丙"));
    QVERIFY(!w->findChild<QAction *>(QStringLiteral("bg"))->isEnabled());
}

void TestForm1::passedRemindersAreListedOnceAsLate()
{
    // Switched on at 08:30: the batch of 08:00 went by unseen, the one of 08:30 is due now.
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(8, 30, 57)));
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 08:00")),
                  sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 08:30")),
                  sample(QStringLiteral("丙"), QStringLiteral("2026-12-06 10:00"))});
    Form1 *w = start();
    const QStringList late =
        w->findChild<ReminderListWindow *>(QStringLiteral("lateReminders"))->entries();
    QCOMPARE(late.size(), 1);
    QCOMPARE(late.first(),
             QStringLiteral("到期时间 2026-12-06 08:00：编号 1，工程部位 甲，强度等级 "
                            "C30，配合比编号 P-01"));
    QVERIFY(w->findChild<ReminderListWindow *>(QStringLiteral("lateReminders"))->isVisible());
    QCOMPARE(w->grid()->textMatrix(1, 11), SpecimenRecord::dueMarkText());
    QCOMPARE(w->grid()->textMatrix(2, 11), QString());

    // The first check comes only in the next minute: the start-up minute is still covered, and
    // its record, found after its minute, is listed as late too, once; the first is not given
    // again.
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(8, 31, 2)));
    w->Timer1_Timer();
    QCOMPARE(w->grid()->textMatrix(2, 11), SpecimenRecord::dueMarkText());
    QCOMPARE(w->grid()->textMatrix(3, 11), QString());
    w->daoru();
    w->Timer1_Timer();
    const QStringList listed =
        w->findChild<ReminderListWindow *>(QStringLiteral("lateReminders"))->entries();
    QCOMPARE(listed.size(), 2);
    QVERIFY2(listed.last().startsWith(QStringLiteral("到期时间 2026-12-06 08:30：编号 2，")),
             qPrintable(listed.last()));
}

// The lists take what no popup gave, and nothing goes around them.
void TestForm1::remindersNoPopupGaveGoToTheNotices()
{
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 10)));
    writeRecords({sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 08:00")),
                  sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 09:05"))});
    RecordingNotices notices;
    ManagerServices services{m_dir->path(), &m_clock, &m_messages,
                             m_dir->filePath(QStringLiteral("no-vexa")), &notices};
    m_window = new Form1(services);
    m_window->Form_Load();
    QCOMPARE(notices.lateTexts.size(), 1);
    QVERIFY(notices.lateTexts.first().contains(QStringLiteral("甲")));

    m_window->Timer1_Timer();
    QCOMPARE(notices.notShownTexts.size(), 1);
    QCOMPARE(
        notices.notShownTexts.first(),
        EngineText::popupNotStarted(m_dir->filePath(QStringLiteral("no-vexa")),
                                    QStringLiteral("编号 2，工程部位 乙，强度等级 C30，"
                                                   "配合比编号 P-01，到期时间 2026-12-06 09:05")));
    QCOMPARE(notices.lateTexts.size(), 1);
    QVERIFY(m_window->findChildren<ReminderListWindow *>().isEmpty());
    QVERIFY(m_messages.shown.isEmpty());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
