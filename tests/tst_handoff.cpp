// The contract between the manager and the popup: what the popup is given, and how its receipt
// is read back.
#include "handoff.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class TestHandoff : public QObject
{
    Q_OBJECT

private slots:
    void popupEnvironmentNamesFolderAndSlot();
    void receiptIsReadBack_data();
    void receiptIsReadBack();
    void receiptFolderIsMadeAgainWhenRemoved();
};

void TestHandoff::popupEnvironmentNamesFolderAndSlot()
{
    QProcessEnvironment base;
    base.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin"));
    base.insert(QLatin1String(Handoff::SlotVariable), QStringLiteral("9|9")); // the manager's own
    const QProcessEnvironment given =
        Handoff::popupEnvironment(QStringLiteral("/data/测试"), QStringLiteral("2|3"), base);
    QCOMPARE(given.value(QLatin1String(Handoff::DataFolderVariable)), QStringLiteral("/data/测试"));
    QCOMPARE(given.value(QLatin1String(Handoff::SlotVariable)), QStringLiteral("2|3"));
    QCOMPARE(given.value(QStringLiteral("PATH")), QStringLiteral("/usr/bin"));
}

void TestHandoff::receiptIsReadBack_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("claims");
    const QByteArray own = Handoff::receipt(QStringLiteral("1|2"));
    QTest::newRow("the receipt") << own << true;
    QTest::newRow("Windows line break") << QByteArray("1|2\r\n") << true;
    QTest::newRow("after other output") << QByteArray("Qt: warning\n") + own << true;
    QTest::newRow("not finished yet") << QByteArray("1|") << false;
    QTest::newRow("another slot") << Handoff::receipt(QStringLiteral("1|20")) << false;
    QTest::newRow("nothing") << QByteArray() << false;
}

void TestHandoff::receiptIsReadBack()
{
    QFETCH(QByteArray, output);
    QFETCH(bool, claims);
    QCOMPARE(Handoff::receiptClaims(output, QStringLiteral("1|2")), claims);
}

void TestHandoff::receiptFolderIsMadeAgainWhenRemoved()
{
    Handoff::ReceiptFolder receipts;
    const Handoff::ReceiptFolder::Files first = receipts.next();
    QVERIFY(!first.receipt.isEmpty());
    const QString folder = receipts.path();
    QCOMPARE(QFileInfo(first.receipt).absolutePath(), folder);
    QVERIFY(QDir(folder).removeRecursively());

    const Handoff::ReceiptFolder::Files second = receipts.next();
    QVERIFY(QFileInfo(QFileInfo(second.receipt).absolutePath()).isDir());
    QVERIFY(second.receipt != first.receipt);
    QVERIFY(second.reason != second.receipt);
}

QTEST_GUILESS_MAIN(TestHandoff)
#include "tst_handoff.moc"
