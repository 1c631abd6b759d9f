// The windows at 100 %, 150 % and 200 % scaling on a 1920 x 1080 screen, and at 150 % and 100 % on
// a 1366 x 768 laptop. CTest runs this file once per screen and scale (QT_SCALE_FACTOR); twips
// follow the logical pixel, so every window keeps its proportions, the popups still stack above
// the work area on the smaller logical screen, and the main window fits it with a due row's
// part of the works, due time and due mark in sight.
#include "batch.h"
#include "boxmessages.h"
#include "fakes.h"
#include "form1.h"
#include "form2.h"
#include "recordcheck.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordtablepanel.h"
#include "reminderlistwindow.h"
#include "reminderpopup.h"
#include "reminderreset.h"
#include "reminderslots.h"
#include "schedulewindow.h"
#include "specimenrecord.h"
#include "strengthdialog.h"
#include "testfiles.h"
#include "textprompts.h"
#include "titles.h"
#include "unreadablerecordswindow.h"
#include "windowtexts.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {
struct AtScale
{
    QSize screen; // in the screen's own pixels
    double scale;
    QSize logicalScreen;
    int rowsPerLayer; // how many popups stack before the next layer starts again at row 1
    int popupLeft;
    QList<int> popupTops; // row 1 first
};

// Worked out by hand from the window sizes: 4845 x 2310 twips is 323 x 154 logical pixels.
const AtScale kScales[] = {
    {{1920, 1080}, 1.0, {1920, 1080}, 5, 1920 - 323, {926, 772, 618, 464, 310}},
    {{1920, 1080}, 1.5, {1280, 720}, 3, 1280 - 323, {566, 412, 258}},
    {{1920, 1080}, 2.0, {960, 540}, 2, 960 - 323, {386, 232}},
    {{1366, 768}, 1.5, {911, 512}, 2, 911 - 323, {358, 204}},
    {{1366, 768}, 1.0, {1366, 768}, 3, 1366 - 323, {614, 460, 306}},
};

// A data folder whose a.bz holds the sample record, not yet due.
struct Lab
{
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2026, 12, 6), QTime(9, 6))};
    RecordingMessages messages;
    Lab()
    {
        writeFile(dir.filePath(QStringLiteral("a.bz")),
                  SampleRecord().line() + "\r\n" + kClosingLine);
    }
    ManagerServices services() { return {dir.path(), &clock, &messages, {}}; }
};

// Opens a window as the program does, over the main window; a modal one holds the call until it
// is closed.
using Opener = std::function<void(Form1 &, Messages *)>;

// What of a window lies off the work area: its frame, or a button (named by its text) that is
// not wholly both in the window and on the work area.
QStringList offTheWorkArea(const QWidget *window)
{
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    QStringList off;
    if (!area.contains(frame))
        off << QStringLiteral("frame %1x%2").arg(frame.width()).arg(frame.height());
    const QRect reachable = window->geometry() & area;
    for (const QPushButton *button : window->findChildren<QPushButton *>()) {
        if (button->isVisibleTo(window) &&
            !reachable.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
            off << button->text();
    }
    return off;
}
} // namespace
Q_DECLARE_METATYPE(Opener)

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void popupsStackOnTheLogicalScreen();
    void mainWindowShowsWhatMatters();
    void entryTableShowsTheDueTime();
    void everyWindowFits_data();
    void everyWindowFits();

private:
    AtScale m_expected;
};

void TestHighDpi::initTestCase()
{
    // The schedule keeps its place among the user's settings: the test's own, emptied.
    QStandardPaths::setTestModeEnabled(true);
    ScheduleWindow::forgetPlace();
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
    const auto it = std::find_if(std::begin(kScales), std::end(kScales), [&](const AtScale &s) {
        return qFuzzyCompare(s.scale, scale) && qAbs(s.screen.width() - pixels.width()) <= 2 &&
               qAbs(s.screen.height() - pixels.height()) <= 2;
    });
    QVERIFY2(it != std::end(kScales), "no expectations for this screen and QT_SCALE_FACTOR");
    m_expected = *it;

    // The run really is at this scale on this screen, or nothing below means much.
    QCOMPARE(screen->devicePixelRatio(), m_expected.scale);
    QCOMPARE(screen->geometry(), QRect(QPoint(0, 0), m_expected.logicalScreen));
}

void TestHighDpi::popupsStackOnTheLogicalScreen()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("vexa.ini"));
    // The reset sizes the slots to the screen as the manager sees it.
    const int rows = ReminderSlots::rowsPerLayer(ReminderReset::primaryScreenHeightTwips());
    QCOMPARE(rows, m_expected.rowsPerLayer);
    QVERIFY(ReminderSlots(ini).reset(rows).ok);

    RecordingMessages messages;
    std::vector<std::unique_ptr<ReminderPopup>> popups;
    for (int row = 1; row <= rows; ++row) {
        popups.push_back(std::make_unique<ReminderPopup>(ini, &messages));
        ReminderPopup &popup = *popups.back();
        QVERIFY(popup.Form_Load());
        QCOMPARE(popup.slotName(), ReminderSlots::name(1, row));
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        QCOMPARE(popup.windowHandle()->devicePixelRatio(), m_expected.scale);
        QCOMPARE(popup.frameGeometry(),
                 QRect(m_expected.popupLeft, m_expected.popupTops[row - 1], 323, 154));
    }
    // The top row still lies wholly on the screen.
    QVERIFY(popups.back()->frameGeometry().top() >= 0);
    QVERIFY(messages.shown.isEmpty());

    // A popup of the next layer's first row stands where the first one stands.
    auto next = std::make_unique<ReminderPopup>(ini, &messages);
    QVERIFY(next->Form_Load());
    QCOMPARE(next->slotName(), ReminderSlots::name(2, 1));
    next->show();
    QCOMPARE(next->frameGeometry(), popups.front()->frameGeometry());
}

void TestHighDpi::mainWindowShowsWhatMatters()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A long part of the works and mix number, due a minute ago: marked "到期" at the start.
    const SampleRecord record =
        SampleRecord()
            .with(SpecimenRecord::WorksPart, QStringLiteral("1#楼三层顶板梁"))
            .with(SpecimenRecord::MixNumber, QStringLiteral("PB-2026-0158"))
            .with(SpecimenRecord::DueTime, QStringLiteral("2026-12-06 09:05"));
    writeFile(dir.filePath(QStringLiteral("a.bz")), record.line() + "\r\n,,,,,,,,,,");
    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 6)));
    RecordingMessages messages;
    ManagerServices services{dir.path(), &clock, &messages, {}};
    Form1 window(services);
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowHandle()->devicePixelRatio(), m_expected.scale);
    QCOMPARE(window.grid()->textMatrix(1, SpecimenRecord::DueMarkColumn),
             SpecimenRecord::dueMarkText());

    // The whole window on the work area, at least the design's 13080 x 7500 twips where the
    // screen has them.
    const QRect area = window.screen()->availableGeometry();
    QVERIFY2(area.contains(window.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(window.x())
                                                                   .arg(window.y())
                                                                   .arg(window.width())
                                                                   .arg(window.height())));
    QCOMPARE(window.height(), qMin(500, area.height()));
    QCOMPARE(window.width() >= qMin(872, area.width()), true);

    // The row's part of the works, due time and mark whole in the grid's viewport, unscrolled.
    RecordGridView *view = window.gridView();
    QCOMPARE(view->horizontalScrollBar()->value(), 0);
    for (const int column : {SpecimenRecord::column(SpecimenRecord::WorksPart),
                             SpecimenRecord::DueTimeColumn, SpecimenRecord::DueMarkColumn}) {
        const QRect cell = view->visualRect(window.grid()->index(0, column));
        QVERIFY2(view->viewport()->rect().contains(cell), qPrintable(QString::number(column)));
        // Not cut short with "…": as wide as Qt's own measure of the column's cells.
        const QAbstractItemView *items = view;
        QVERIFY(view->columnWidth(column) >= items->sizeHintForColumn(column));
    }
    // The late record's list by the tray corner, clear of the main window's menus.
    auto *late = window.findChild<QWidget *>(QStringLiteral("lateReminders"));
    QVERIFY(late && late->isVisible());
    QVERIFY(area.contains(late->frameGeometry()));
    QVERIFY(late->frameGeometry().right() > area.right() - 2 * late->fontMetrics().height());
    QVERIFY(late->frameGeometry().bottom() > area.bottom() - 2 * late->fontMetrics().height());
    const QRect menus(window.menuBar()->mapToGlobal(QPoint(0, 0)), window.menuBar()->size());
    QVERIFY(!late->frameGeometry().intersects(menus));

    // Where the screen has room, the widths given in twips stay: 2500 and 1200 twips.
    if (area.width() >= 1280) {
        QCOMPARE(view->columnWidth(4), 167);
        QCOMPARE(view->columnWidth(10), 80);
    }

    // "试验计划" on the work area, its buttons with it.
    window.findChild<QAction *>(QStringLiteral("syjh"))->trigger();
    QWidget *schedule = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        schedule = top->objectName() == u"ScheduleWindow" ? top : schedule;
    QVERIFY(schedule && QTest::qWaitForWindowExposed(schedule));
    QVERIFY2(area.contains(schedule->frameGeometry()),
             qPrintable(QStringLiteral("%1x%2").arg(schedule->width()).arg(schedule->height())));
    for (const QPushButton *button : schedule->findChildren<QPushButton *>()) {
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        QVERIFY2(area.contains(onScreen), qPrintable(button->text()));
    }
}

void TestHighDpi::entryTableShowsTheDueTime()
{
    Lab lab;
    Form2 form(lab.services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // The table as wide as its columns want where the screen has the room, as on 1920 x 1080 at
    // 100 %, and then the due mark in sight too; otherwise as wide as the work area allows.
    const RecordGridView *view = form.findChild<RecordTablePanel *>()->view();
    const int room = form.screen()->availableGeometry().width();
    const bool whole = view->width() >= view->naturalWidth();
    QVERIFY(whole || (room < 1920 && form.frameGeometry().width() >= room - 16));
    // The record's due time in sight, unscrolled, even on the laptop at 150 %.
    QCOMPARE(view->horizontalScrollBar()->value(), 0);
    const auto inSight = [view](int column) {
        return view->viewport()->rect().contains(view->visualRect(view->model()->index(0, column)));
    };
    QTRY_VERIFY(inSight(SpecimenRecord::DueTimeColumn));
    QVERIFY(inSight(SpecimenRecord::DueMarkColumn) || !whole);
}

void TestHighDpi::everyWindowFits_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<Opener>("open");
    const auto item = [](const char *name) {
        return Opener([name](Form1 &main, Messages *) {
            main.findChild<QAction *>(QLatin1String(name))->trigger();
        });
    };
    QTest::newRow("entry") << QStringLiteral("增添提醒数据   右侧显示全部龄期信息。 ")
                           << item("crsj");
    QTest::newRow("search") << QStringLiteral("查找提示信息") << item("find");
    QTest::newRow("settings") << QStringLiteral("设置") << item("sz");
    QTest::newRow("backups") << QStringLiteral("从备份恢复") << item("hfbf");
    QTest::newRow("temperatures") << QStringLiteral("温度记录") << item("wdjl");
    QTest::newRow("strengths")
        << QStringLiteral("标为已试验") << Opener([](Form1 &main, Messages *messages) {
               StrengthDialog(Batch::fromLine(SampleRecord().text()), {}, messages, &main).exec();
           });
    QTest::newRow("not shown") << QStringLiteral("到期提醒") << Opener([](Form1 &main, Messages *) {
        (new ReminderListWindows(&main))->notShown(SampleRecord().text());
    });
    QTest::newRow("unreadable") << QStringLiteral("无法识别的记录")
                                << Opener([](Form1 &main, Messages *) {
                                       (new UnreadableRecordsWindow(&main))
                                           ->loaded(QStringLiteral("a.bz"),
                                                    RecordCheck::unreadableLines("?\r\n"));
                                   });
    QTest::newRow("prompt") << QStringLiteral("试验人") << Opener([](Form1 &main, Messages *) {
        DialogPrompts().text(&main, QStringLiteral("试验人"), QStringLiteral("试验人姓名："), {});
    });
    QTest::newRow("about") << Title::about() << Opener([](Form1 &main, Messages *) {
        BoxMessages(&main).show(WindowText::about(), Title::about(), MessageStyle::Information);
    });
}

void TestHighDpi::everyWindowFits()
{
    QFETCH(QString, title);
    QFETCH(Opener, open);
    Lab lab;
    Form1 main(lab.services());
    main.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    // Looked at once it is up, then closed, which lets a modal window's opener return.
    std::optional<QStringList> off;
    QTimer::singleShot(0, this, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->windowTitle() == title)
                off = offTheWorkArea(top);
        }
        if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            modal->reject();
    });
    open(main, &lab.messages);
    QTRY_VERIFY(off);
    QCOMPARE(off->join(QStringLiteral("; ")), QString());
    QCOMPARE(lab.messages.shown.size(), 0);
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
