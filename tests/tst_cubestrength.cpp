#include "cubestrength.h"
#include "heldgroups.h"
#include "packedrow.h"
#include "reminderjournal.h"
#include "strengthentry.h"
#include "strengthtexts.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using CubeStrength::Group;
using Unit = StrengthEntry::Unit;

namespace {
// An entry of one group: "420/450/550".
StrengthEntry entryOf(int edge, const QString &factor, Unit unit, const QString &values)
{
    StrengthEntry entry;
    entry.edge = edge;
    entry.factor = factor;
    entry.unit = unit;
    const QStringList three = values.split(u'/');
    entry.groups.append({three.value(0), three.value(1), three.value(2)});
    return entry;
}
} // namespace

class TestCubeStrength : public QObject
{
    Q_OBJECT

private slots:
    void groupValueByTheStandard_data();
    void groupValueByTheStandard();
    void gradeNumber_data();
    void gradeNumber();
    void typedValuesNameTheirBox_data();
    void typedValuesNameTheirBox();
    void entryTravelsAsOneJournalText_data();
    void entryTravelsAsOneJournalText();
    void olderFreeTextStaysFreeText_data();
    void olderFreeTextStaysFreeText();
    void correctedResultSupersedesAndTheOldLineStays();
    void laterAgesOfACastingAreAdvised();
};

void TestCubeStrength::groupValueByTheStandard_data()
{
    QTest::addColumn<QString>("grade");
    QTest::addColumn<int>("edge");
    QTest::addColumn<QString>("factor");
    QTest::addColumn<bool>("kilonewton");
    QTest::addColumn<QString>("values");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("reason");
    const int valid = int(Group::State::Valid);
    const auto row = [](const char *name, const char *grade, int edge, const char *factor, bool kN,
                        const char *values, int state, const char *summary, const QString &reason) {
        QTest::newRow(name) << QString::fromUtf8(grade) << edge << QString::fromUtf8(factor) << kN
                            << QString::fromUtf8(values) << state << QString::fromUtf8(summary)
                            << reason;
    };
    // (35.0 + 36.0 + 37.3) / 3 = 36.1; 36.1 / 30 = 120.3 %.
    row("mean", "C30", 150, "", false, "35.0/36.0/37.3", valid, "36.1 MPa（120%）",
        StrengthText::mean());
    // 800 kN / 22500 mm² = 35.56 → 35.6; 810 → 36.0; 820 → 36.44 → 36.4; their mean 36.0.
    row("loads on 150 mm", "C30", 150, "", true, "800/810/820", valid, "36.0 MPa（120%）",
        StrengthText::mean());
    // 6.0 is exactly 15 % of 40.0: not more, so the mean.
    row("15 % exactly", "C30", 150, "", false, "34/40/46", valid, "40.0 MPa（133%）",
        StrengthText::mean());
    row("largest out", "C30", 150, "", false, "31/30/36", valid, "31.0 MPa（103%）",
        StrengthText::middleTaken(StrengthText::largest(), "36.0", "31.0"));
    row("smallest out", "C30", 150, "", false, "25/30/31", valid, "30.0 MPa（100%）",
        StrengthText::middleTaken(StrengthText::smallest(), "25.0", "30.0"));
    row("both out", "C30", 150, "", false, "30/40/50", int(Group::State::Invalid), "无效",
        StrengthText::invalidBoth("50.0", "30.0", "40.0"));
    // The case to be done: 42.0, 45.0, 55.0 MPa; 55.0 is 22 % above 45.0; 45.0 × 0.95 = 42.75,
    // 42.8 by the even neighbour; 42.8 / 40 = 107 %.
    row("100 mm loads, C40", "C40", 100, "", true, "420/450/550", valid, "42.8 MPa（107%）",
        StrengthText::middleTaken(StrengthText::largest(), "55.0", "45.0") +
            StrengthText::factorApplied("45.0", "0.95"));
    // 1400 kN / 40000 mm² = 35.0 ...; 36.0 × 1.05 = 37.8.
    row("200 mm loads", "C30", 200, "", true, "1400/1440/1480", valid, "37.8 MPa（126%）",
        StrengthText::mean() + StrengthText::factorApplied("36.0", "1.05"));
    row("C60 waits for its factor", "C60", 100, "", false, "70/71/72",
        int(Group::State::NeedsFactor), "未计算（须填写换算系数）",
        StrengthText::factorNeededHighGrade());
    row("C60 with a typed factor", "C60", 100, "0.92", false, "70/71/72", valid, "65.3 MPa（108%）",
        StrengthText::mean() + StrengthText::factorApplied("71.0", "0.92"));
    row("unreadable grade waits", "特细", 200, "", false, "30/30/30",
        int(Group::State::NeedsFactor), "未计算（须填写换算系数）",
        StrengthText::factorNeededUnreadableGrade());
    row("other size waits", "C30", 120, "", false, "30/30/30", int(Group::State::NeedsFactor),
        "未计算（须填写换算系数）", StrengthText::factorNeededOtherSize());
    // A 150 mm cube is the standard: a factor typed for it changes nothing.
    row("150 mm ignores a factor", "C30", 150, "0.5", false, "30/30/30", valid, "30.0 MPa（100%）",
        StrengthText::mean());
    // Rounding at an exact 5, to the even neighbour: each specimen, then the factor.
    row("specimen .x5 down", "C30", 150, "", false, "42.25/42.25/42.25", valid, "42.2 MPa（140%）",
        StrengthText::mean());
    row("specimen .x5 up", "C30", 150, "", false, "42.35/42.35/42.35", valid, "42.4 MPa（141%）",
        StrengthText::mean());
    // 42.45 is 42.4500000000000028 as a double: half up on it would give 42.5.
    row("specimen .x5 not decided by binary", "C30", 150, "", false, "42.45/42.45/42.45", valid,
        "42.4 MPa（141%）", StrengthText::mean());
    row("above the half", "C30", 150, "", false, "42.2501/42.25/42.25", valid, "42.2 MPa（140%）",
        StrengthText::mean());
    // 43.0 × 0.95 = 40.85 → 40.8.
    row("factor .x5 down", "C30", 100, "", false, "43/43/43", valid, "40.8 MPa（136%）",
        StrengthText::mean() + StrengthText::factorApplied("43.0", "0.95"));
    // The share is rounded down: 99.75 % is below the grade, and says so.
    row("share rounded down", "C40", 150, "", false, "39.9/39.9/39.9", valid, "39.9 MPa（99%）",
        StrengthText::mean());
    row("no grade, no share", "砂浆", 150, "", false, "10/10/10", valid, "10.0 MPa",
        StrengthText::mean());
    row("full-width digits", "C30", 150, "", false, "３５/３６/３７", valid, "36.0 MPa（120%）",
        StrengthText::mean());
}

void TestCubeStrength::groupValueByTheStandard()
{
    QFETCH(QString, grade);
    QFETCH(int, edge);
    QFETCH(QString, factor);
    QFETCH(bool, kilonewton);
    QFETCH(QString, values);
    QFETCH(int, state);
    QFETCH(QString, summary);
    QFETCH(QString, reason);
    const CubeStrength::Outcome outcome = CubeStrength::evaluate(
        entryOf(edge, factor, kilonewton ? Unit::Kilonewton : Unit::Megapascal, values), grade);
    QCOMPARE(outcome.problems.size(), 0);
    QCOMPARE(outcome.groups.size(), 1);
    QCOMPARE(int(outcome.groups[0].state), state);
    QCOMPARE(outcome.groups[0].summary(), summary);
    QCOMPARE(outcome.groups[0].reason, reason);
    QCOMPARE(outcome.belowGrade(), summary.contains(QStringLiteral("（99%）")));
}

void TestCubeStrength::gradeNumber_data()
{
    QTest::addColumn<QString>("grade");
    QTest::addColumn<int>("number"); // 0: none
    QTest::newRow("C30") << "C30" << 30;
    QTest::newRow("with impermeability") << "C35P8" << 35;
    QTest::newRow("lower case, blanks") << " c 40 " << 40;
    QTest::newRow("full width") << QStringLiteral("Ｃ４５") << 45;
    QTest::newRow("C100") << "C100" << 100;
    QTest::newRow("no letter") << "30" << 0;
    QTest::newRow("lightweight") << "LC30" << 0;
    QTest::newRow("letter alone") << "C" << 0;
    QTest::newRow("fraction") << "C25.5" << 0;
    QTest::newRow("zero") << "C0" << 0;
    QTest::newRow("four digits") << "C1000" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestCubeStrength::gradeNumber()
{
    QFETCH(QString, grade);
    QFETCH(int, number);
    QCOMPARE(CubeStrength::gradeNumber(grade).value_or(0), number);
}

void TestCubeStrength::typedValuesNameTheirBox_data()
{
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("factor");
    QTest::addColumn<QStringList>("problems");
    const QString second = StrengthText::specimen(1, 2);
    const QString third = StrengthText::specimen(1, 3);
    QTest::newRow("zero") << "420/0/430"
                          << "" << QStringList{StrengthText::zero(second, "荷载")};
    QTest::newRow("negative") << "420/-450/430"
                              << "" << QStringList{StrengthText::negative(second, "-450")};
    QTest::newRow("not a number") << "420/4x5/430"
                                  << "" << QStringList{StrengthText::notANumber(second, "4x5")};
    QTest::newRow("missing") << "420/450/"
                             << "" << QStringList{StrengthText::missing(third)};
    QTest::newRow("decimals") << "420/450.12345/430"
                              << ""
                              << QStringList{StrengthText::tooManyDecimals(second, "450.12345", 4)};
    QTest::newRow("huge") << "420/99999999/430"
                          << "" << QStringList{StrengthText::tooLarge(second, "99999999")};
    QTest::newRow("factor") << "420/450/430"
                            << "0" << QStringList{StrengthText::factorOutOfRange("0")};
    QTest::newRow("factor too large")
        << "420/450/430"
        << "2.5" << QStringList{StrengthText::factorOutOfRange("2.5")};
}

void TestCubeStrength::typedValuesNameTheirBox()
{
    QFETCH(QString, values);
    QFETCH(QString, factor);
    QFETCH(QStringList, problems);
    const CubeStrength::Outcome outcome =
        CubeStrength::evaluate(entryOf(100, factor, Unit::Kilonewton, values), u"C30");
    QStringList said;
    for (const CubeStrength::Problem &problem : outcome.problems)
        said << problem.text;
    QCOMPARE(said, problems);
    QVERIFY(outcome.groups[0].state != Group::State::Valid);

    // Above 150 MPa is allowed, and named for the question before the save.
    const CubeStrength::Outcome high =
        CubeStrength::evaluate(entryOf(150, {}, Unit::Megapascal, "150/150.1/151"), u"C100");
    QCOMPARE(high.problems.size(), 0);
    QCOMPARE(high.unusuallyHigh.size(), 2);
    QCOMPARE(high.unusuallyHigh[0].text,
             StrengthText::unusuallyHigh(StrengthText::specimen(1, 2), "150.1"));
}

void TestCubeStrength::entryTravelsAsOneJournalText_data()
{
    QTest::addColumn<StrengthEntry>("entry");
    QTest::addColumn<QString>("text");
    StrengthEntry twoGroups = entryOf(100, {}, Unit::Kilonewton, "420/450/550");
    twoGroups.groups.append({"430", "", "445"});
    twoGroups.freeText = QStringLiteral(" 复检 〔强度 150mm kN〕");
    QTest::newRow("two groups, free text")
        << twoGroups
        << QStringLiteral("〔强度 100mm kN 420/450/550；430//445〕  复检 〔强度 150mm kN〕");
    QTest::newRow("other edge, factor") << entryOf(120, "0.93", Unit::Megapascal, "40/41/42")
                                        << QStringLiteral("〔强度 120mm×0.93 MPa 40/41/42〕");
    QTest::newRow("other size, no edge") << entryOf(0, "0.9", Unit::Megapascal, "40/41/42")
                                         << QStringLiteral("〔强度 其他×0.9 MPa 40/41/42〕");
    QTest::newRow("characters that separate")
        << entryOf(150, {}, Unit::Kilonewton, "4 2/〔\\〕/×；")
        << QStringLiteral("〔强度 150mm kN 4\\ 2/\\〔\\\\\\〕/\\×\\；〕");
    StrengthEntry freeOnly;
    freeOnly.freeText = QStringLiteral("35.2 MPa");
    QTest::newRow("free text only") << freeOnly << QStringLiteral("35.2 MPa");
    freeOnly.freeText = QStringLiteral("〔强度 150mm kN〕");
    QTest::newRow("free text like a head")
        << freeOnly << QStringLiteral("〔强度 150mm kN〕 〔强度 150mm kN〕");
    QTest::newRow("nothing") << StrengthEntry() << QString();
}

void TestCubeStrength::entryTravelsAsOneJournalText()
{
    QFETCH(StrengthEntry, entry);
    QFETCH(QString, text);
    QCOMPARE(entry.encode(), text);
    QVERIFY(StrengthEntry::decode(text) == entry);
}

void TestCubeStrength::olderFreeTextStaysFreeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringLiteral("35.2 MPa 合格");
    QTest::newRow("unknown size") << QStringLiteral("〔强度 abc kN 1/2/3〕");
    QTest::newRow("two values") << QStringLiteral("〔强度 100mm kN 1/2〕");
    QTest::newRow("unknown unit") << QStringLiteral("〔强度 100mm t 1/2/3〕");
    QTest::newRow("no blank after") << QStringLiteral("〔强度 100mm kN 1/2/3〕x");
    QTest::newRow("unclosed") << QStringLiteral("〔强度 100mm kN 1/2/3");
    QTest::newRow("leading zero edge") << QStringLiteral("〔强度 0100mm kN 1/2/3〕");
    QTest::newRow("empty factor") << QStringLiteral("〔强度 100mm× kN 1/2/3〕");
    QTest::newRow("stray separator") << QStringLiteral("〔强度 100mm kN 1/2×/3〕");
}

void TestCubeStrength::olderFreeTextStaysFreeText()
{
    QFETCH(QString, text);
    const StrengthEntry entry = StrengthEntry::decode(text);
    QCOMPARE(entry.freeText, text);
    QVERIFY(!entry.hasValues());
    QCOMPARE(entry.encode(), text);
    QCOMPARE(CubeStrength::resultText(text, u"C30"), text);
}

void TestCubeStrength::correctedResultSupersedesAndTheOldLineStays()
{
    QTemporaryDir dir;
    const QString key = sample().text();
    const QDateTime when(QDate(2026, 12, 29), QTime(9, 0));
    const QString first = entryOf(100, {}, Unit::Kilonewton, "420/450/550").encode();
    const QString corrected = entryOf(100, {}, Unit::Kilonewton, "420/450/460").encode();
    {
        ReminderJournal journal(dir.path());
        QCOMPARE(journal.markTested(key, when, QStringLiteral("张三"), first), QString());
        QCOMPARE(journal.markTested(key, when.addSecs(600), QStringLiteral("李四"), corrected),
                 QString());
    }
    ReminderJournal reread(dir.path());
    QCOMPARE(reread.loadAll(), QStringList());
    const ReminderJournal::Entry *entry = reread.find(key);
    QVERIFY(entry);
    QCOMPARE(reread.text(entry->result), corrected);
    QCOMPARE(reread.text(entry->testedBy), QStringLiteral("李四"));
    // (42.0 + 45.0 + 46.0) / 3 = 44.3; × 0.95 = 42.085 → 42.1.
    QCOMPARE(CubeStrength::resultText(reread.text(entry->result), u"C30"),
             QStringLiteral("42.1 MPa（140%）"));
    const QString file = QString::fromUtf8(readFile(reread.fileOf(key)));
    QCOMPARE(file.count(QStringLiteral("\nT\t")), 2);
    QVERIFY(file.contains(first));
    QVERIFY(file.indexOf(first) < file.indexOf(corrected));
}

void TestCubeStrength::laterAgesOfACastingAreAdvised()
{
    // Castings of one part and grade, told apart by mix and making date; ages 7, 28, 56, 90.
    const auto record = [](const char *mix, const char *making, const char *age) {
        return sample()
            .with(SpecimenRecord::StrengthGrade, QStringLiteral("C40"))
            .with(SpecimenRecord::MixNumber, QString::fromUtf8(mix))
            .with(SpecimenRecord::MakingDate, QString::fromUtf8(making))
            .with(SpecimenRecord::Age, QString::fromUtf8(age))
            .stored;
    };
    const QList<QStringList> table = {
        record("P1", "2026-11-01 08:00", "7"),  record("P1", "2026-11-01 08:00", "28"),
        record("P1", "2026-11-01 08:00", "56"), record("P1", "2026-11-01 08:00", "90"),
        record("P2", "2026-11-01 08:00", "28"), record("P2", "2026-11-01 08:00", "56"),
        record("P3", "2026-11-01 08:00", "28"), record("P3", "2026-11-01 08:00", "56"),
        record("P4", "2026-11-01 08:00", "28"), record("P4", "2026-11-01 08:00", "56"),
        record("P1", "2026-11-02 08:00", "60")};
    const QHash<int, QString> results = {
        {1, entryOf(100, {}, Unit::Kilonewton, "420/450/550").encode()}, // 42.8: 107 %
        {4, entryOf(150, {}, Unit::Megapascal, "38/39/40").encode()},    // 39.0: below
        {6, entryOf(150, {}, Unit::Megapascal, "30/40/50").encode()},    // invalid
        {8, QStringLiteral("合格")}};                                    // no values
    QList<PackedRow> rows; // the records' views point into these
    QList<HeldGroups::Record> records;
    for (const QStringList &fields : table)
        rows << PackedRow(fields);
    for (const PackedRow &row : std::as_const(rows))
        records << HeldGroups::Record::of(row);
    QList<qsizetype> asked;
    const auto recordOf = [&records](qsizetype i) { return records[i]; };
    const QList<HeldGroups::Advice> advice =
        HeldGroups::advise(records.size(), recordOf, [&](qsizetype i) {
            asked << i;
            return results.value(int(i));
        });
    using A = HeldGroups::Advice;
    QCOMPARE(advice, QList<A>({A::None, A::None, A::NoFurtherTest, A::NoFurtherTest, A::None,
                               A::TestOnTime, A::None, A::TestOnTime, A::None, A::None, A::None}));
    QCOMPARE(HeldGroups::text(advice[2]), StrengthText::noFurtherTest());
    QCOMPARE(HeldGroups::text(advice[5]), StrengthText::testOnTime());
    std::sort(asked.begin(), asked.end());
    QCOMPARE(asked, QList<qsizetype>({1, 4, 6, 8})); // only the design ages with later ones

    // Another design age: the 56-day records are then the design age, and nothing is later
    // but the 90 days of the first casting, whose 56-day record has no result.
    const auto resultOf = [&results](qsizetype i) { return results.value(int(i)); };
    QCOMPARE(HeldGroups::advise(records.size(), recordOf, resultOf, 56).count(A::None),
             records.size());
}

QTEST_GUILESS_MAIN(TestCubeStrength)
#include "tst_cubestrength.moc"
