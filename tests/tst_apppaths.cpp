#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The data folder rule: both programs must reach the same folder, or a reminder written by the
// manager is never seen by its popup.
class TestAppPaths : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void folderFollowsTheApplicationFolder_data();
    void folderFollowsTheApplicationFolder();
    void bothProgramsReachTheSameUserFolder();
    void environmentWins();

private:
    QString userFolder() const;
    QTemporaryDir m_home;
    QByteArray m_savedDataHome;
};

void TestAppPaths::initTestCase()
{
    QVERIFY(m_home.isValid());
    // The per-user folder lands in the temporary folder, not in the real home.
    m_savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("share"))));
#ifdef Q_OS_WIN
    // Windows has no XDG_DATA_HOME: Qt's test mode keeps the user's real folder out of reach.
    QStandardPaths::setTestModeEnabled(true);
#endif
    qunsetenv("TARVELIN_DATA_DIR");
}

QString TestAppPaths::userFolder() const
{
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tarvelin");
#else
    return m_home.filePath(QStringLiteral("share/Tarvelin"));
#endif
}

void TestAppPaths::cleanupTestCase()
{
    if (m_savedDataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_savedDataHome);
}

void TestAppPaths::folderFollowsTheApplicationFolder_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("expectAppFolder");

    QTest::newRow("portable copy: beside the programs") << true << false << true;
    QTest::newRow("installed for all users") << true << true << false;
    QTest::newRow("folder gone") << false << false << false;
}

void TestAppPaths::folderFollowsTheApplicationFolder()
{
    QFETCH(bool, exists);
    QFETCH(bool, marked);
    QFETCH(bool, expectAppFolder);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString appFolder = dir.filePath(QStringLiteral("program"));
    if (exists)
        QVERIFY(QDir().mkpath(appFolder));
    if (marked) {
        QFile marker(QDir(appFolder).filePath(QLatin1String(AppPaths::userFolderMarker)));
        QVERIFY(marker.open(QIODevice::WriteOnly));
    }

    const QString folder = AppPaths::dataFolderFor(appFolder);
    QCOMPARE(folder, expectAppFolder ? appFolder : userFolder());
    QVERIFY(QFileInfo(folder).isDir());
    // The write probe leaves nothing behind in the folder it tried.
    if (exists)
        QCOMPARE(QDir(appFolder).entryList(QDir::Files).size(), marked ? 1 : 0);
}

void TestAppPaths::bothProgramsReachTheSameUserFolder()
{
    const QString saved = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Tarvelin"));
    const QString manager = AppPaths::userDataFolder();
    QCoreApplication::setApplicationName(QStringLiteral("vexa"));
    const QString popup = AppPaths::userDataFolder();
    QCoreApplication::setApplicationName(saved);

    QCOMPARE(popup, manager);
    QCOMPARE(manager, userFolder());
}

void TestAppPaths::environmentWins()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString savedCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString expected = QDir::current().absoluteFilePath(QStringLiteral("data"));
    qputenv("TARVELIN_DATA_DIR", "data");
    const QString folder = AppPaths::dataFolder();
    qunsetenv("TARVELIN_DATA_DIR");
    QDir::setCurrent(savedCurrent);
    // A relative folder is taken from where the program started, and passed on whole.
    QCOMPARE(folder, expected);
}

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
