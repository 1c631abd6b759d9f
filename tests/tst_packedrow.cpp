#include "packedrow.h"

#include <QtTest>

class TestPackedRow : public QObject
{
    Q_OBJECT

private slots:
    void keepsEveryCell_data();
    void keepsEveryCell();
    void cellsCutFromOneLine();
    void setGrowsAndReplaces();
    void truncateAndEquality();
};

void TestPackedRow::keepsEveryCell_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("none") << QStringList();
    QTest::newRow("one empty cell") << QStringList{QString()};
    QTest::newRow("record") << QStringList{QStringLiteral("1"),
                                           QStringLiteral("1#楼梁"),
                                           QStringLiteral("C30"),
                                           QString(),
                                           QStringLiteral("2026-12-1 08:30"),
                                           QString(),
                                           QString()};
    QTest::newRow("surrogate pair") << QStringList{QStringLiteral("梁😀"), QStringLiteral("x")};
    // Past what one 16-bit end can hold, and past the narrow header's count.
    QTest::newRow("long text") << QStringList{QString(70000, QLatin1Char('a')), QStringLiteral("b"),
                                              QString(), QString(70000, QChar(0x6881))};
    QStringList many(40000);
    many[0] = QStringLiteral("first");
    many[39999] = QStringLiteral("last");
    QTest::newRow("many cells") << many;
}

void TestPackedRow::keepsEveryCell()
{
    QFETCH(QStringList, cells);
    const PackedRow row(cells);
    QCOMPARE(row.size(), cells.size());
    QCOMPARE(row.isEmpty(), cells.isEmpty());
    QCOMPARE(row.toList(), cells);
    for (qsizetype i = 0; i < cells.size(); ++i)
        QCOMPARE(row.at(i), QStringView(cells[i]));
    QCOMPARE(row.at(-1), QStringView());
    QCOMPARE(row.value(cells.size()), QString());

    // Built from views, as a loader does, it is the same row.
    QList<QStringView> views;
    for (const QString &cell : cells)
        views.append(cell);
    QCOMPARE(PackedRow(views.constData(), views.size()), row);
}

void TestPackedRow::cellsCutFromOneLine()
{
    // The fields of one line lie one comma apart and are copied together.
    const QString line = QStringLiteral("1#楼梁,C30,,P-01,,");
    const QList<QStringView> fields = QStringView(line).split(u',');
    const PackedRow row(fields.constData(), fields.size());
    QCOMPARE(row.toList(), line.split(QLatin1Char(',')));

    // Views further apart, out of order, or empty without any text behind them.
    const QString text = QStringLiteral("ab,cd,ef");
    const QStringView all(text);
    const QList<QStringView> mixed{all.sliced(0, 2), all.sliced(3, 2), all.sliced(7, 1),
                                   all.sliced(0, 2), QStringView(),    all.sliced(3, 0),
                                   all.sliced(4, 1)};
    const PackedRow cut(mixed.constData(), mixed.size());
    QCOMPARE(cut.toList(), QStringList({"ab", "cd", "f", "ab", "", "", "d"}));
}

void TestPackedRow::setGrowsAndReplaces()
{
    PackedRow row(QStringList{QStringLiteral("甲"), QStringLiteral("乙")});
    const PackedRow copy = row;
    row.set(4, QStringLiteral("戊"));
    QCOMPARE(row.toList(), QStringList({"甲", "乙", "", "", "戊"}));
    QCOMPARE(copy.toList(), QStringList({"甲", "乙"})); // copies do not share changes

    row.set(0, QString());
    row.set(1, QStringLiteral("乙乙乙"));
    QCOMPARE(row.toList(), QStringList({"", "乙乙乙", "", "", "戊"}));

    // A cell set from a view of the same row.
    row.set(3, row.at(1));
    QCOMPARE(row.value(3), QStringLiteral("乙乙乙"));

    // Growing a narrow row past 65,535 characters switches it to wide ends.
    row.set(2, QString(65536, QLatin1Char('z')));
    QCOMPARE(row.at(2).size(), 65536);
    QCOMPARE(row.value(4), QStringLiteral("戊"));
    row.set(2, QStringLiteral("z"));
    QCOMPARE(row.toList(), QStringList({"", "乙乙乙", "z", "乙乙乙", "戊"}));

    row.set(-1, QStringLiteral("ignored"));
    QCOMPARE(row.size(), 5);
}

void TestPackedRow::truncateAndEquality()
{
    PackedRow row(QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    row.truncate(5);
    QCOMPARE(row.size(), 3);
    row.truncate(2);
    QCOMPARE(row.toList(), QStringList({"a", "b"}));
    QVERIFY(row != PackedRow(QStringList{QStringLiteral("a"), QStringLiteral("b"), QString()}));
    QVERIFY(row != PackedRow(QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    // The same cells make equal rows, however the cells were cut.
    QCOMPARE(row, PackedRow(QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(PackedRow(QStringList{QStringLiteral("ab"), QString()}) !=
            PackedRow(QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    row.truncate(0);
    QVERIFY(row.isEmpty());
    QCOMPARE(row, PackedRow());
}

QTEST_GUILESS_MAIN(TestPackedRow)
#include "tst_packedrow.moc"
