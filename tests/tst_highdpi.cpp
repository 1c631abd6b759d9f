// The windows at 100 %, 150 % and 200 % scaling on a 1920 x 1080 screen. CTest runs this file
// once per scale (QT_SCALE_FACTOR); twips follow the logical pixel, so every window keeps its
// proportions, and the popups still stack above the work area on the smaller logical screen.
#include "fakes.h"
#include "form1.h"
#include "recordgridview.h"
#include "reminderpopup.h"
#include "reminderreset.h"
#include "reminderslots.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
struct AtScale
{
    double scale;
    QSize logicalScreen;
    int rowsPerLayer; // how many popups stack before the next layer starts again at row 1
    int popupLeft;
    QList<int> popupTops; // row 1 first
};

// Worked out by hand from the window sizes: 4845 x 2310 twips is 323 x 154 logical pixels.
const AtScale kScales[] = {
    {1.0, {1920, 1080}, 5, 1920 - 323, {926, 772, 618, 464, 310}},
    {1.5, {1280, 720}, 3, 1280 - 323, {566, 412, 258}},
    {2.0, {960, 540}, 2, 960 - 323, {386, 232}},
};
} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void popupsStackOnTheLogicalScreen();
    void mainWindowKeepsItsProportions();

private:
    AtScale m_expected;
};

void TestHighDpi::initTestCase()
{
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    const auto it = std::find_if(std::begin(kScales), std::end(kScales), [scale](const AtScale &s) {
        return qFuzzyCompare(s.scale, scale);
    });
    QVERIFY2(it != std::end(kScales), "no expectations for this QT_SCALE_FACTOR");
    m_expected = *it;

    // The run really is at this scale on the 1920 x 1080 screen, or nothing below means much.
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
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

void TestHighDpi::mainWindowKeepsItsProportions()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 5)));
    RecordingMessages messages;
    ManagerServices services{dir.path(), &clock, &messages, {}};
    Form1 window(services);
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // 13080 x 7500 twips and the column widths in logical pixels, whatever the scale.
    QCOMPARE(window.size(), QSize(872, 500));
    QCOMPARE(window.windowHandle()->devicePixelRatio(), m_expected.scale);
    QCOMPARE(window.gridView()->columnWidth(4), 167); // 2500 twips
    QCOMPARE(window.gridView()->columnWidth(10), 80); // 1200 twips
    QVERIFY(
        QRect(QPoint(0, 0), m_expected.logicalScreen).contains(QRect(QPoint(0, 0), window.size())));
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
