#include "popupplacement.h"

#include <QtTest>

class TestPopupPlacement : public QObject
{
    Q_OBJECT

private slots:
    void stacksAboveWorkArea_data();
    void stacksAboveWorkArea();
};

void TestPopupPlacement::stacksAboveWorkArea_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<int>("row");
    QTest::addColumn<QPoint>("expected");

    // A 1920 x 1080 screen and a 331 x 185 window (frame included).
    const QRect screen(0, 0, 1920, 1080);
    const QRect bottomBar(0, 0, 1920, 1040);
    QTest::newRow("taskbar at the bottom, row 1")
        << screen << bottomBar << 1 << QPoint(1920 - 331, 1040 - 185);
    QTest::newRow("taskbar at the bottom, row 3")
        << screen << bottomBar << 3 << QPoint(1920 - 331, 1040 - 3 * 185);
    QTest::newRow("taskbar at the top, row 1")
        << screen << QRect(0, 40, 1920, 1040) << 1 << QPoint(1920 - 331, 1080 - 185);
    QTest::newRow("taskbar at the top, row 3")
        << screen << QRect(0, 40, 1920, 1040) << 3 << QPoint(1920 - 331, 1080 - 3 * 185);
    QTest::newRow("taskbar on the left")
        << screen << QRect(60, 0, 1860, 1080) << 1 << QPoint(1920 - 331, 1080 - 185);
    QTest::newRow("taskbar on the right is covered")
        << screen << QRect(0, 0, 1860, 1080) << 3 << QPoint(1920 - 331, 1080 - 3 * 185);
    // Slots made on a taller screen, or a damaged file: never above the screen, never wrapped
    // round. Row 5 is the highest that fits above 1040 pixels.
    const QPoint highest(1920 - 331, 1040 - 5 * 185);
    QTest::newRow("row 11 on a 1080-pixel screen") << screen << bottomBar << 11 << highest;
    QTest::newRow("row 27889399") << screen << bottomBar << 27889399 << highest;
    QTest::newRow("row 999999999") << screen << bottomBar << 999999999 << highest;
    QTest::newRow("second screen to the right")
        << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1280, 984) << 1
        << QPoint(1920 + 1280 - 331, 984 - 185);
}

void TestPopupPlacement::stacksAboveWorkArea()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, workArea);
    QFETCH(int, row);
    QFETCH(QPoint, expected);
    QCOMPARE(PopupPlacement::topLeft(screen, workArea, QSize(331, 185), row), expected);
}

QTEST_GUILESS_MAIN(TestPopupPlacement)
#include "tst_popupplacement.moc"
