#include "labfont.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "specimenrecord.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QPalette>
#include <QScrollBar>
#include <QtTest>

class TestRecordGridModel : public QObject
{
    Q_OBJECT

private slots:
    void addItemAndShrink();
    void headerRowAndViewRows();
    void coloursFollowPositions();
    void renumberLeavesSpareRowEmpty();
    void replaceBodyKeepsHeader();
    void packedBodyAndViews();
    void numberColumnStaysWhileTheRestScroll();
    void fontsDrawWhatALabWrites();
};

void TestRecordGridModel::addItemAndShrink()
{
    RecordGridModel grid(13);
    QAbstractItemModelTester tester(&grid);
    QCOMPARE(grid.rows(), 2);
    grid.setTextMatrix(1, 3, QStringLiteral("P-01"));
    grid.addItem();
    QCOMPARE(grid.rows(), 3);
    for (int c = 0; c < grid.cols(); ++c)
        QCOMPARE(grid.textMatrix(2, c), QString());
    grid.addItem(QStringLiteral("x"));
    QCOMPARE(grid.textMatrix(3, 0), QStringLiteral("x"));
    grid.setRows(3);
    QCOMPARE(grid.rows(), 3);
    QCOMPARE(grid.textMatrix(1, 3), QStringLiteral("P-01"));
    QCOMPARE(grid.textMatrix(3, 0), QString()); // out of range reads empty
    grid.setTextMatrix(9, 1, QStringLiteral("ignored"));
    QCOMPARE(grid.rows(), 3);
}

void TestRecordGridModel::headerRowAndViewRows()
{
    RecordGridModel grid(12);
    grid.setTextMatrix(0, 11, QStringLiteral("是否到期"));
    grid.setTextMatrix(1, 1, QStringLiteral("梁"));
    QCOMPARE(grid.rowCount(), 1);
    QCOMPARE(grid.columnCount(), 12);
    QCOMPARE(grid.headerData(11, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("是否到期"));
    QCOMPARE(grid.data(grid.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("梁"));

    // A field of megabytes is shown cut, never split inside a character, and edited whole.
    const QString huge = QString(SpecimenRecord::ShownChars - 1, u'备') + QStringLiteral("😀") +
                         QString(2'000'000, u'x');
    grid.setTextMatrix(1, 10, huge);
    const QString shown = grid.data(grid.index(0, 10), Qt::DisplayRole).toString();
    QCOMPARE(shown, QString(SpecimenRecord::ShownChars - 1, u'备') +
                        QStringLiteral("…（共 %1 字）").arg(huge.size()));
    QCOMPARE(grid.data(grid.index(0, 10), Qt::EditRole).toString(), huge);
}

void TestRecordGridModel::coloursFollowPositions()
{
    RecordGridModel grid(13);
    grid.addItem();
    grid.setCellForeColour(1, 2, RecordGridModel::Yellow);
    grid.setCellBackColour(1, 2, RecordGridModel::SystemHighlight);
    grid.setCellForeColour(0, 3, RecordGridModel::Red);
    QCOMPARE(grid.data(grid.index(0, 2), Qt::ForegroundRole).value<QColor>(), QColor(255, 255, 0));
    QCOMPARE(grid.data(grid.index(0, 2), Qt::BackgroundRole).value<QColor>(),
             QGuiApplication::palette().color(QPalette::Highlight));
    QCOMPARE(grid.headerData(3, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
             QColor(255, 0, 0));
    // Setting the text colour to 0 gives the standard colour back.
    grid.setCellForeColour(1, 2, RecordGridModel::DefaultColour);
    QVERIFY(!grid.data(grid.index(0, 2), Qt::ForegroundRole).isValid());
    QCOMPARE(grid.cellBackColour(1, 2), RecordGridModel::SystemHighlight);
    // Texts move, colours stay with the cell position.
    grid.setTextMatrix(1, 2, QStringLiteral("C30"));
    grid.setTextMatrix(2, 2, grid.textMatrix(1, 2));
    QCOMPARE(grid.cellBackColour(2, 2), RecordGridModel::DefaultColour);
    QCOMPARE(grid.cellBackColour(1, 2), RecordGridModel::SystemHighlight);
}

void TestRecordGridModel::renumberLeavesSpareRowEmpty()
{
    RecordGridModel grid(12);
    grid.addItem();
    grid.addItem();
    grid.setTextMatrix(3, 0, QStringLiteral("old"));
    grid.renumber();
    QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("2"));
    QCOMPARE(grid.textMatrix(3, 0), QString());
}

void TestRecordGridModel::replaceBodyKeepsHeader()
{
    RecordGridModel grid(13);
    QAbstractItemModelTester tester(&grid);
    grid.setTextMatrix(0, 1, QStringLiteral("工程部位"));
    grid.addItem();
    grid.setCellBackColour(2, 1, RecordGridModel::SystemHighlight);
    QStringList wide(20, QStringLiteral("w"));
    grid.replaceBody({{QString(), QStringLiteral("甲")}, wide, {}});
    QCOMPARE(grid.rows(), 4);
    QCOMPARE(grid.textMatrix(0, 1), QStringLiteral("工程部位"));
    QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("甲"));
    QCOMPARE(grid.textMatrix(2, 12), QStringLiteral("w"));
    QCOMPARE(grid.cellBackColour(2, 1), RecordGridModel::DefaultColour);
    grid.replaceBody({});
    QCOMPARE(grid.rows(), 2);
}

void TestRecordGridModel::packedBodyAndViews()
{
    RecordGridModel grid(12);
    QAbstractItemModelTester tester(&grid);
    grid.setTextMatrix(0, 0, QStringLiteral("编号"));
    QStringList wide(20, QStringLiteral("w"));
    wide[0] = QStringLiteral("7");
    grid.replacePackedBody({PackedRow(QStringList{QStringLiteral("1"), QStringLiteral("甲")}),
                            PackedRow(wide), PackedRow(QStringList{QStringLiteral("9")})});
    QCOMPARE(grid.rows(), 4);
    QCOMPARE(grid.textView(0, 0), QStringView(u"编号"));
    QCOMPARE(grid.textView(1, 1), QStringView(u"甲"));
    QCOMPARE(grid.textView(1, 5), QStringView());
    QCOMPARE(grid.textMatrix(2, 11), QStringLiteral("w"));
    QCOMPARE(grid.textView(2, 12), QStringView()); // cells past the columns were dropped
    QCOMPARE(grid.textView(4, 0), QStringView());

    // Right numbers stay, wrong ones are replaced, the spare row's number goes.
    grid.renumber();
    QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("2"));
    QCOMPARE(grid.textMatrix(3, 0), QString());
    QCOMPARE(grid.textMatrix(2, 11), QStringLiteral("w"));

    // A cell beyond a short row's last cell.
    grid.setTextMatrix(1, 10, QStringLiteral("备注"));
    QCOMPARE(grid.textMatrix(1, 10), QStringLiteral("备注"));
    QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("甲"));
    QCOMPARE(grid.textMatrix(1, 9), QString());
}

void TestRecordGridModel::numberColumnStaysWhileTheRestScroll()
{
    RecordGridModel grid(13);
    grid.layOutRecordColumns();
    const QString longPart = QStringLiteral("1#楼三层顶板梁");
    const QString longRemark(40, QChar(0x6C49));
    QList<QStringList> body;
    for (int r = 1; r <= 40; ++r)
        body << QStringList{QString::number(r), longPart, QStringLiteral("C30")};
    body[0] << QStringList(7) << longRemark;
    body << QStringList();
    grid.replaceBody(body);
    RecordGridView view(&grid);
    view.resize(400, 240);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // A long text widens its column to show it whole, up to a limit.
    QVERIFY(view.columnWidth(1) >= view.fontMetrics().horizontalAdvance(longPart));
    QVERIFY(view.columnWidth(10) < view.fontMetrics().horizontalAdvance(longRemark));

    // Scrolled right and down, the numbers stand where they stood, beside their own rows.
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(10);
    QVERIFY(view.columnViewportPosition(0) < 0);
    QTableView *fixed = view.fixedColumn();
    const QPoint firstCell(view.frameWidth() + 2,
                           view.frameWidth() + view.horizontalHeader()->height() + 2);
    QCOMPARE(view.childAt(firstCell), fixed->viewport());
    QCOMPARE(fixed->verticalScrollBar()->value(), 10);
    const QModelIndex number = fixed->indexAt(QPoint(2, 2));
    QCOMPARE(number.column(), 0);
    QCOMPARE(number.row(), view.rowAt(2));
    QCOMPARE(fixed->horizontalHeader()->height(), view.horizontalHeader()->height());

    // A double click on a number is one on its row.
    QSignalSpy clicked(&view, &QAbstractItemView::doubleClicked);
    // (An item view takes a double click as the second click on the item pressed first.)
    const QPoint onNumber = fixed->visualRect(number).center();
    QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {}, onNumber);
    QTest::mouseDClick(fixed->viewport(), Qt::LeftButton, {}, onNumber);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked[0][0].toModelIndex().row(), number.row());
}

void TestRecordGridModel::fontsDrawWhatALabWrites()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps its system fonts");
#endif
    // The ink check itself: this font lists "℃" in its character set and draws nothing.
    if (QFontDatabase::hasFamily(QStringLiteral("WenQuanYi Micro Hei")))
        QVERIFY(!LabFont::drawsAll(QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("℃")));
    const QString programs = LabFont::apply();
    QVERIFY2(LabFont::drawsAll(programs, LabFont::labSymbols()), qPrintable(programs));
    const QString grid = QFontInfo(RecordGridView::gridFont()).family();
    QVERIFY2(LabFont::drawsAll(grid, LabFont::labSymbols()), qPrintable(grid));
}

QTEST_MAIN(TestRecordGridModel)
#include "tst_recordgridmodel.moc"
