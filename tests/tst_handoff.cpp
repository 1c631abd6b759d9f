// How the manager reads a popup's receipt. The environment and the receipts folder are tried
// with a real start in tst_reminderdispatcher and tst_launchsecurity.
#include "handoff.h"

#include <QtTest>

class TestHandoff : public QObject
{
    Q_OBJECT

private slots:
    void receiptIsReadBack_data();
    void receiptIsReadBack();
};

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

QTEST_GUILESS_MAIN(TestHandoff)
#include "tst_handoff.moc"
