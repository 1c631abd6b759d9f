// How the manager reads a popup's receipt. The environment and the receipts folder are tried
// with a real start in tst_reminderdispatcher and tst_launchsecurity.
#include "handoff.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

class TestHandoff : public QObject
{
    Q_OBJECT

private slots:
    void receiptIsReadBack_data();
    void receiptIsReadBack();
    void abandonedReceiptFoldersAreRemoved();
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

void TestHandoff::abandonedReceiptFoldersAreRemoved()
{
    QTemporaryDir temp;
    const auto folder = [&temp](const char *name, const QStringList &files, int daysOld) {
        const QString path = temp.filePath(QLatin1String(name));
        QDir().mkpath(path);
        for (const QString &file : files) {
            QFile out(QDir(path).filePath(file));
            QVERIFY(out.open(QIODevice::WriteOnly));
            QVERIFY(out.setFileTime(QDateTime::currentDateTime().addDays(-daysOld),
                                    QFileDevice::FileModificationTime));
        }
    };
    const QStringList receipts{QStringLiteral("popup-1.out"), QStringLiteral("popup-1.err")};
    folder("Tarvelin-alive", receipts, 3);
    folder("Tarvelin-killed", receipts, 0);
    folder("Tarvelin-old", receipts, 2);
    folder("Tarvelin-fresh", receipts, 0);
    folder("Tarvelin-other", {QStringLiteral("notes.txt")}, 2);
    folder("Tarvelin-starting", {}, 0);
    folder("Other-old", receipts, 2);

    QLockFile alive(temp.filePath(QStringLiteral("Tarvelin-alive/owner.lock")));
    QVERIFY(alive.tryLock(0));
    // The lock of a Tarvelin that was killed: written by a QLockFile, naming a process that is
    // no Tarvelin (the first process of the system, or none on Windows).
    QLockFile killed(temp.filePath(QStringLiteral("Tarvelin-killed/owner.lock")));
    QVERIFY(killed.tryLock(0));
    QFile lockFile(temp.filePath(QStringLiteral("Tarvelin-killed/owner.lock")));
    QVERIFY(lockFile.open(QIODevice::ReadOnly));
    QByteArray content = lockFile.readAll();
    lockFile.close();
    killed.unlock();
    content.replace(0, content.indexOf('\n'), "1");
    QVERIFY(lockFile.open(QIODevice::WriteOnly));
    lockFile.write(content);
    lockFile.close();

    QCOMPARE(Handoff::ReceiptFolder::removeAbandoned(temp.path()), 2);
    QCOMPARE(QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("Other-old"), QStringLiteral("Tarvelin-alive"),
                          QStringLiteral("Tarvelin-fresh"), QStringLiteral("Tarvelin-other"),
                          QStringLiteral("Tarvelin-starting")}));
}

QTEST_GUILESS_MAIN(TestHandoff)
#include "tst_handoff.moc"
