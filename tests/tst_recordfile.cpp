#include "recordfile.h"
#include "testfiles.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QStringList kSpare(11);
} // namespace

class TestRecordFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void savedTableIsGbkWithClosingLine();
    void unencodableTextIsRefusedAndFileKept();
    void codePage936AsWindowsWritesIt_data();
    void codePage936AsWindowsWritesIt();
    void codePage936AgreesWithIcu();
    void mainLoaderKeepsOnlyToday_data();
    void mainLoaderKeepsOnlyToday();
    void finalLineBreakMakesNoDifference();
    void hostileLines();
    void mainLoaderMatchesItsDefinition_data();
    void mainLoaderMatchesItsDefinition();
    void bigTableSavedPieceByPiece();
    void entryLoaderReadsBigFilesWhole();
    void fieldViewsJoinedByCommas();
    void entryLoaderKeepsEveryFilledLine();
    void missingFile();
    void writeLinesEndsEveryLine();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("a.bz")); }
    QTemporaryDir m_dir;
};

void TestRecordFile::savedTableIsGbkWithClosingLine()
{
    const RecordFile file(path());
    const QStringList first =
        sample(QStringLiteral("1#楼梁"), QStringLiteral("2026-12-29 08:30")).fields();
    QVERIFY(rewriteTable(RecordStore(path()), {first, kSpare}).ok());
    const QByteArray expected = gbk(QStringLiteral("1#楼梁,C30,P-01,2026-12-1 08:30,28,2026-12-29 "
                                                   "08:30,标准养护,12,3,,\r\n,,,,,,,,,,"));
    QCOMPARE(readFile(path()), expected);
    // Two bytes per Chinese character: the file really is code page 936, not UTF-8.
    QVERIFY(expected.contains(QByteArray::fromHex("c2a5c1ba"))); // 楼梁

    // Only the spare row: one line of ten commas, no line break.
    QVERIFY(rewriteTable(RecordStore(path()), {kSpare}).ok());
    QCOMPARE(readFile(path()), QByteArray(",,,,,,,,,,"));
    QVERIFY(readFilled(file).lines.isEmpty());
    QVERIFY(file.readDueOn(QStringLiteral("2026-12-29")).lines.isEmpty());
}

void TestRecordFile::unencodableTextIsRefusedAndFileKept()
{
    const RecordStore store(path());
    QVERIFY(rewriteTable(store, {kSpare}).ok());
    const RecordStore::Outcome outcome = rewriteTable(
        store,
        {sample(QStringLiteral("梁😀"), QStringLiteral("2026-12-29 08:30")).fields(), kSpare});
    QVERIFY(!outcome.ok());
    QVERIFY(outcome.error.contains(QStringLiteral("😀")));
    QCOMPARE(readFile(path()), QByteArray(",,,,,,,,,,"));
}

void TestRecordFile::codePage936AsWindowsWritesIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::addColumn<QString>("readBack");

    const auto row = [](const char *name, const QString &text, const char *hex,
                        const QString &readBack) {
        QTest::newRow(name) << text << QByteArray::fromHex(hex) << readBack;
    };
    row("hanzi", QStringLiteral("标准养护"), "b1ead7bcd1f8bba4", QStringLiteral("标准养护"));
    row("euro is one byte", QStringLiteral("€5"), "8035", QStringLiteral("€5"));
    row("middle dot and em dash", QStringLiteral("·—"), "a1a4a1aa", QStringLiteral("·—"));
    row("user-defined area", QStringLiteral("\uE000\uE4C6"), "aaa1a140",
        QStringLiteral("\uE000\uE4C6"));
    row("free symbol cells", QStringLiteral("\uE766\uE815"), "a2abfe50",
        QStringLiteral("\uE766\uE815"));
    row("byte 0xFF", QStringLiteral("\uF8F5"), "ff", QStringLiteral("\uF8F5"));
    // Windows' best fit: what a technician types into 工程量 is kept as Windows keeps it.
    row("cubic metres", QStringLiteral("12m³"), "31326d33", QStringLiteral("12m3"));
    row("square metres", QStringLiteral("m²"), "6d32", QStringLiteral("m2"));
    row("micro sign", QStringLiteral("5µm"), "35a6cc6d", QStringLiteral("5μm"));
    row("no-break space", QStringLiteral("12\u00A0m"), "", QString());
    row("emoji", QStringLiteral("梁😀"), "", QString());
    row("lone surrogate", QString(QChar(0xD83D)), "", QString());
}

void TestRecordFile::codePage936AsWindowsWritesIt()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    bool ok = false;
    const QByteArray encoded = Gbk::encode(text, &ok);
    QCOMPARE(ok, !bytes.isEmpty());
    QCOMPARE(Gbk::canEncode(text), ok);
    QCOMPARE(Gbk::firstUnencodable(text).isEmpty(), ok);
    if (!ok)
        return;
    QCOMPARE(encoded, bytes);
    QCOMPARE(Gbk::decode(bytes), readBack);
    // The record file's save takes the same way.
    QCOMPARE(RecordFile::tableBytes({{text}}), bytes);
}

// Qt's ICU "GBK" is Windows' table (windows-936-2000); our own must agree with it byte for
// byte, since files written by both meet on every machine.
void TestRecordFile::codePage936AgreesWithIcu()
{
    QStringDecoder icuDecoder("GBK", QStringDecoder::Flag::Stateless);
    if (!icuDecoder.isValid())
        QSKIP("this Qt has no ICU GBK to compare with");
    int compared = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x00; trail <= 0xFF; ++trail) {
            // Each pair with a letter after it: a bad trail byte must not swallow the letter.
            const char bytes[] = {char(lead), char(trail), 'x'};
            const QByteArrayView view(bytes, 3);
            QStringDecoder icu("GBK", QStringDecoder::Flag::Stateless);
            const QString theirs = icu.decode(view);
            QCOMPARE(Gbk::decode(view), theirs);
            ++compared;
        }
    }
    for (char32_t u = 0x80; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const QString one = QChar(char16_t(u));
        QStringEncoder icu("GBK");
        const QByteArray theirs = icu.encode(one);
        bool ok = false;
        const QByteArray ours = Gbk::encode(one, &ok);
        if (u == 0xB2 || u == 0xB3 || u == 0xB5) {
            QVERIFY(ok); // ICU refuses the best fits that Windows makes
            continue;
        }
        QCOMPARE(ok, !icu.hasError());
        if (ok)
            QCOMPARE(ours, theirs);
    }
    QCOMPARE(compared, 128 * 256);
}

void TestRecordFile::mainLoaderKeepsOnlyToday_data()
{
    QTest::addColumn<QString>("due");
    QTest::addColumn<bool>("kept");
    QTest::newRow("today") << "2026-12-06 09:05" << true;
    QTest::newRow("today midnight") << "2026-12-06 00:00" << true;
    QTest::newRow("yesterday late") << "2026-12-05 23:59" << false;
    QTest::newRow("tomorrow early") << "2026-12-07 00:00" << false;
    QTest::newRow("date inside other text") << "due 2026-12-06!" << true;
    QTest::newRow("no leading zeros") << "2026-12-6 09:05" << false;
}

void TestRecordFile::mainLoaderKeepsOnlyToday()
{
    QFETCH(QString, due);
    QFETCH(bool, kept);
    const RecordFile file(path());
    makeRecordFile(path(), {sample(QStringLiteral("梁"), due).fields(), kSpare});
    const auto loaded = file.readDueOn(QStringLiteral("2026-12-06"));
    QCOMPARE(loaded.lines.size(), kept ? 1 : 0);
    if (kept)
        QCOMPARE(loaded.lines.first(), sample(QStringLiteral("梁"), due).fields());
}

void TestRecordFile::finalLineBreakMakesNoDifference()
{
    const QByteArray body =
        gbk(QStringLiteral("甲,C30,P1,d,28,2026-12-06 09:05,标准养护,1,1,,\r\n"
                           "乙,C35,P2,d,7,2026-12-06 10:00,同级养护,2,2,备注,"));
    writeFile(path(), body);
    const auto without = RecordFile(path()).readDueOn(QStringLiteral("2026-12-06"));
    writeFile(path(), body + "\r\n");
    const auto with = RecordFile(path()).readDueOn(QStringLiteral("2026-12-06"));
    QCOMPARE(without.lines.size(), 2);
    QCOMPARE(with.lines, without.lines);
    QCOMPARE(readFilled(RecordFile(path())).lines, without.lines);
}

void TestRecordFile::hostileLines()
{
    QByteArray data;
    data += "\r\n";      // empty line
    data += "a,b,c\r\n"; // too few fields for the due time
    data += gbk(QStringLiteral("梁,C30,P1,d,28,2026-12-06 09:05,x,1,1,r,,extra,more\r\n"));
    data += "a,b,c,d,e,2026-12-06 11:00,\x81\x20,h\x81\n"; // invalid GBK, bare LF
    data += "x,C30,P1,d,28,2026-12-06 12:00,y,1,1,,\r";    // bare CR
    data += QByteArray(",,,,,,,,,,");
    writeFile(path(), data);
    const auto loaded = RecordFile(path()).readDueOn(QStringLiteral("2026-12-06"));
    QCOMPARE(loaded.lines.size(), 3);
    QCOMPARE(loaded.lines[0].size(), 13);
    QCOMPARE(loaded.lines[0][11], QStringLiteral("extra"));
    QCOMPARE(loaded.lines[1][6], QStringLiteral("\uFFFD "));
    QCOMPARE(loaded.lines[1][7], QStringLiteral("h\uFFFD"));
    QCOMPARE(loaded.lines[2][0], QStringLiteral("x"));
}

void TestRecordFile::mainLoaderMatchesItsDefinition_data()
{
    QTest::addColumn<QString>("day");
    QTest::newRow("a day") << "2026-12-06";
    QTest::newRow("three characters") << "-06";
    QTest::newRow("two characters") << "06";
    QTest::newRow("empty: every line of six fields") << "";
}

// The loader looks only at the lines around the day's occurrences; whatever the lines hold, it
// keeps exactly the lines whose sixth field contains the day.
void TestRecordFile::mainLoaderMatchesItsDefinition()
{
    QFETCH(QString, day);
    const QStringList shapes{
        QStringLiteral("2026-12-06 甲,C30,P1,d,28,2026-12-06 09:05,标准养护,1,1,,"), // twice
        QStringLiteral("乙,C30,P1,2026-12-06 08:00,28,2027-01-03 08:00,x,1,1,,"),    // field 4
        QStringLiteral("丙,C30,P1,d,28,2026-12,-06 09:05,x,1,1,,"),                  // cut by ","
        QStringLiteral("丁,C30,P1,d,2026-12-06"),                                    // 5 fields
        QStringLiteral("戊,C30,P1,d,28,2026-12-05 23:59,2026-12-06,1,1,,"),          // field 7
        QStringLiteral("己,C30,P1,d,28,x2026-12-06,y,1,1,2026-12-06,"),
        QStringLiteral(",,,,,,,,,,"),
        QString(),
    };
    const QByteArray breaks[] = {"\r\n", "\n", "\r"};
    QByteArray data = gbk(QStringLiteral("2026-12-06,a,b,c,d,2026-12-06\r\n")); // at the start
    for (int i = 0; i < 200; ++i) {
        data += gbk(shapes[i % shapes.size()]);
        data += breaks[i % 3];
    }
    data += gbk(QStringLiteral("庚,C30,P1,d,28,2026-12-06")); // at the very end, no break
    writeFile(path(), data);

    QList<QStringList> expected;
    for (QByteArrayView line : RecordFile::splitLines(data)) {
        const QStringList fields = Gbk::decode(line).split(QLatin1Char(','));
        if (fields.size() >= 6 && fields[5].contains(day))
            expected.append(fields);
    }
    const auto loaded = RecordFile(path()).readDueOn(day);
    QCOMPARE(loaded.lines, expected);
    QCOMPARE(loaded.lines.size(), qsizetype(day.isEmpty() ? 152 : 52));
}

// A save gathers the lines into pieces of text and encodes them one by one: a table larger than a
// piece, a line longer than one, and a bad character far into the table.
void TestRecordFile::bigTableSavedPieceByPiece()
{
    QList<QStringList> table;
    for (int i = 0; i < 3000; ++i) {
        table.append(sample(QStringLiteral("%1#楼梁").arg(i), QStringLiteral("2026-12-06 09:05"))
                         .with(SpecimenRecord::Remark, i % 7 ? QString() : QStringLiteral("备注"))
                         .fields());
    }
    table[1500][SpecimenRecord::Remark] = QString(40000, QChar(0x6881));
    table.append(kSpare);
    QString joined;
    for (const QStringList &row : table)
        joined += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    joined.chop(2);

    const RecordStore store(path());
    QVERIFY(rewriteTable(store, table).ok());
    QCOMPARE(readFile(path()), gbk(joined));
    QCOMPARE(RecordFile::tableBytes(table), gbk(joined));

    table[2900][0] = QStringLiteral("梁😀");
    QString bad;
    QCOMPARE(RecordFile::tableBytes(table, &bad), QByteArray());
    QCOMPARE(bad, QStringLiteral("😀"));
    const RecordStore::Outcome refused = rewriteTable(store, table);
    QVERIFY(!refused.ok());
    QVERIFY(refused.error.contains(QStringLiteral("😀")));
    QCOMPARE(readFile(path()), gbk(joined));
}

// The entry form's loader reads a big file a piece at a time, and the store's rewrite splits the
// bytes it read into pieces; the lines either gives are those of the whole file, wherever the
// pieces end.
void TestRecordFile::entryLoaderReadsBigFilesWhole()
{
    QByteArray data = QByteArray(32767 - 4, 'a') + ",b,c\r\n"; // its CR LF straddles 32 KiB
    data +=
        gbk(QString(60000, QChar(0x6881)) + QStringLiteral(",C30,P1\r\n")); // longer than a piece
    const QByteArray breaks[] = {"\r\n", "\n", "\r", "\r\n\r\n"};
    for (int i = 0; i < 3000; ++i) {
        data += gbk(
            QStringLiteral("%1#楼梁,C30,P-%2,,,,").arg(i).arg(QString(i % 97, QLatin1Char('x'))));
        data += i % 11 ? breaks[i % 4] : QByteArray(",,,,\r\n");
    }
    data += gbk(QStringLiteral("末,C30,P1,")) + "\x81"; // half a character at the very end
    writeFile(path(), data);

    QList<QStringList> expected;
    for (QByteArrayView line : RecordFile::splitLines(data)) {
        const QString text = Gbk::decode(line);
        if (text.count(QLatin1Char(',')) < text.size())
            expected.append(text.split(QLatin1Char(',')));
    }
    const auto loaded = readFilled(RecordFile(path()));
    QCOMPARE(loaded.lines.size(), expected.size());
    QCOMPARE(loaded.lines, expected);
    QCOMPARE(loaded.lines.last(), QStringList({"末", "C30", "P1", "\uFFFD"}));
    // The same from the bytes a rewrite read, cut into pieces of its own.
    QList<QStringList> fromBytes;
    RecordFile::forEachFilledLine(data, [&fromBytes](const QList<QStringView> &fields) {
        QStringList &line = fromBytes.emplaceBack();
        for (QStringView field : fields)
            line.append(field.toString());
    });
    QCOMPARE(fromBytes, expected);
}

// Fields handed over as views that lie one character apart in some text (as the cells of a grid
// row do) are still joined by ",", whatever stood between them.
void TestRecordFile::fieldViewsJoinedByCommas()
{
    const QString source = QStringLiteral("甲;C30;P1|x");
    const QStringView all(source);
    const QByteArray written =
        RecordFile::tableBytes(2, [&](qsizetype line, QList<QStringView> &fields) {
            if (line == 0)
                fields << all.sliced(0, 1) << all.sliced(2, 3) << all.sliced(6, 2);
            else
                fields << all.sliced(6, 2) << all.sliced(9, 1) << QStringView() << all.sliced(0, 1);
        });
    QCOMPARE(written, gbk(QStringLiteral("甲,C30,P1\r\nP1,x,,甲")));
}

void TestRecordFile::entryLoaderKeepsEveryFilledLine()
{
    QByteArray data;
    data += gbk(QStringLiteral("梁,,,d,28,2026-12-06 09:05,x,1,1,,\r\n")); // no grade, no mix
    data += "a,b\r\n";
    data += "a,b,c,d,e,f,g,h,i,j,k,l\r\n"; // a comma typed into a field
    data += "\r\n,,,,,,,,,,";
    writeFile(path(), data);
    const auto loaded = readFilled(RecordFile(path()));
    QCOMPARE(loaded.lines.size(), 3);
    QCOMPARE(loaded.lines[0][0], QStringLiteral("梁"));
    QCOMPARE(loaded.lines[1], QStringList({"a", "b"}));
    QCOMPARE(loaded.lines[2].size(), 12);
    // Written back, every kept line comes out unchanged.
    QList<QStringList> table = loaded.lines;
    table << kSpare;
    QVERIFY(rewriteTable(RecordStore(path()), table).ok());
    QCOMPARE(readFile(path()), data.replace("\r\n\r\n", "\r\n"));
}

void TestRecordFile::missingFile()
{
    const RecordFile file(m_dir.filePath(QStringLiteral("none.bz")));
    const auto loaded = file.readDueOn(QStringLiteral("2026-12-06"));
    QVERIFY(!loaded.exists);
    QVERIFY(loaded.error.isEmpty());
    QVERIFY(loaded.lines.isEmpty());
    QVERIFY(!file.readLines().exists);
}

void TestRecordFile::writeLinesEndsEveryLine()
{
    const RecordStore store(path());
    const RecordFile &file = store.file();
    QVERIFY(
        rewriteLines(store, {QStringLiteral("甲,,,,,,,,,,"), QStringLiteral(",,,,,,,,,,")}).ok());
    QCOMPARE(readFile(path()), gbk(QStringLiteral("甲,,,,,,,,,,\r\n,,,,,,,,,,\r\n")));
    QCOMPARE(file.readLines().lines,
             QStringList({QStringLiteral("甲,,,,,,,,,,"), QStringLiteral(",,,,,,,,,,")}));
    QVERIFY(rewriteLines(store, {}).ok());
    QCOMPARE(readFile(path()), QByteArray());
}

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
