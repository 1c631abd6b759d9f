#include "autostart.h"
#include "platformtexts.h"
#include "testfiles.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Points XDG_CONFIG_HOME and HOME into a temporary folder for one test, and back afterwards.
class TemporaryHome
{
public:
    TemporaryHome()
        : m_oldHome(qgetenv("HOME")), m_oldConfig(qgetenv("XDG_CONFIG_HOME")),
          m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", config().toUtf8());
    }
    ~TemporaryHome()
    {
        qputenv("HOME", m_oldHome);
        if (m_hadConfig)
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString home() const { return m_dir.path(); }
    QString config() const { return m_dir.filePath(QStringLiteral("config")); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome, m_oldConfig;
    bool m_hadConfig;
};
QString windowsProgram()
{
    return QStringLiteral("C:\\试验室 软件\\Tarvelin\\bin\\Tarvelin.exe");
}

QString linuxProgram()
{
    return QStringLiteral("/home/张三/my apps/Tarvelin");
}
} // namespace

class TestAutostart : public QObject
{
    Q_OBJECT

private slots:
    void windowsCommandQuotesBlanks_data();
    void windowsCommandQuotesBlanks();
    void entryStartsOnlyThisProgram_data();
    void entryStartsOnlyThisProgram();
    void runValuesFollowTheBox();
    void desktopExecQuotesAndEscapes_data();
    void desktopExecQuotesAndEscapes();
    void entryWrittenAndRemoved();
    void configFolderFallsBackToHome();
    void failuresAreReported();
};

void TestAutostart::windowsCommandQuotesBlanks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command");
    QTest::newRow("no blank") << QStringLiteral("D:/Lab/Tarvelin.exe")
                              << QStringLiteral("\"D:\\Lab\\Tarvelin.exe\"");
    QTest::newRow("blank") << QStringLiteral("C:\\Program Files\\Tarvelin\\Tarvelin.exe")
                           << QStringLiteral("\"C:\\Program Files\\Tarvelin\\Tarvelin.exe\"");
    QTest::newRow("chinese with blank") << QStringLiteral("D:\\试验室 软件\\Tarvelin.exe")
                                        << QStringLiteral("\"D:\\试验室 软件\\Tarvelin.exe\"");
}

void TestAutostart::windowsCommandQuotesBlanks()
{
    QFETCH(QString, path);
    QFETCH(QString, command);
    QCOMPARE(Autostart::windowsCommand(path), command);
}

void TestAutostart::entryStartsOnlyThisProgram_data()
{
    QTest::addColumn<QString>("runValue");
    QTest::addColumn<bool>("runStarts");
    QTest::addColumn<QByteArray>("desktopEntry");
    QTest::addColumn<bool>("entryStarts");
    const QString program = windowsProgram();
    const QByteArray entry = "[Desktop Entry]\nType=Application\nExec=";
    QTest::newRow("as written") << Autostart::windowsCommand(program) << true
                                << entry + Autostart::desktopExec(linuxProgram()).toUtf8() + "\n"
                                << true;
    QTest::newRow("unquoted, other case and slashes")
        << QStringLiteral("c:/试验室 软件/TARVELIN/bin/tarvelin.exe") << true
        << entry + "\"/home/张三/my apps/Tarvelin\" %u\n"
        << true;
    QTest::newRow("a folder installed before")
        << QStringLiteral("\"C:\\Program Files\\Tarvelin\\bin\\Tarvelin.exe\"") << false
        << entry + "/opt/Tarvelin\n"
        << false;
    QTest::newRow("the path begins another") << program + QStringLiteral(".old") << false
                                             << entry + "\"" + linuxProgram().toUtf8() + "2\"\n"
                                             << false;
    QTest::newRow("blanks around, hidden")
        << QStringLiteral("  \"") + program + QStringLiteral("\" ") << true
        << entry + "\"" + linuxProgram().toUtf8() + "\"\nHidden=true\n"
        << false;
    QTest::newRow("empty, Exec of another group")
        << QString() << false
        << "[Desktop Action x]\nExec=" + linuxProgram().toUtf8() +
               "\n[Desktop Entry]\nExec=/bin/true\n"
        << false;
}

void TestAutostart::entryStartsOnlyThisProgram()
{
    QFETCH(QString, runValue);
    QFETCH(bool, runStarts);
    QFETCH(QByteArray, desktopEntry);
    QFETCH(bool, entryStarts);
    QCOMPARE(Autostart::windowsCommandStarts(runValue, windowsProgram()), runStarts);
    QCOMPARE(Autostart::desktopEntryStarts(desktopEntry, linuxProgram()), entryStarts);
}

void TestAutostart::runValuesFollowTheBox()
{
#ifndef Q_OS_WIN
    QSKIP("The Run key is Windows' own.");
#else
    const QString name = QStringLiteral("TarvelinTest");
    const QString program = windowsProgram();
    QSettings machine(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                                     "CurrentVersion\\Run"),
                      QSettings::NativeFormat);
    QSettings user(QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                  "CurrentVersion\\Run"),
                   QSettings::NativeFormat);
    // A value left by a copy in another folder: the box stays empty.
    user.setValue(name, QStringLiteral("C:\\Old\\Tarvelin.exe"));
    user.sync();
    const Autostart autostart(program, name);
    QVERIFY(!autostart.isEnabled());

    QVERIFY(autostart.enable().ok);
    machine.sync();
    user.sync();
    QCOMPARE(machine.value(name).toString(), QStringLiteral("\"") + program + QStringLiteral("\""));
    QVERIFY(!user.contains(name));
    QVERIFY(autostart.isEnabled());

    user.setValue(name, Autostart::windowsCommand(program));
    user.sync();
    QVERIFY(autostart.disable().ok);
    machine.sync();
    user.sync();
    QVERIFY(!machine.contains(name));
    QVERIFY(!user.contains(name));
    QVERIFY(!autostart.isEnabled());
#endif
}

void TestAutostart::desktopExecQuotesAndEscapes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << QStringLiteral("/opt/tarvelin/Tarvelin")
                           << QStringLiteral("/opt/tarvelin/Tarvelin");
    QTest::newRow("blank") << QStringLiteral("/home/张三/my apps/Tarvelin")
                           << QStringLiteral("\"/home/张三/my apps/Tarvelin\"");
    // Inside quotes " ` $ \ take a backslash, and the string escape doubles every backslash.
    QTest::newRow("dollar and quote") << QStringLiteral("/tmp/a$b\"c/Tarvelin")
                                      << QStringLiteral("\"/tmp/a\\\\$b\\\\\"c/Tarvelin\"");
    QTest::newRow("backslash") << QStringLiteral("/tmp/a\\b/Tarvelin")
                               << QStringLiteral("\"/tmp/a\\\\\\\\b/Tarvelin\"");
    QTest::newRow("percent") << QStringLiteral("/tmp/100%/Tarvelin")
                             << QStringLiteral("/tmp/100%%/Tarvelin");
    QTest::newRow("semicolon") << QStringLiteral("/tmp/a;b/Tarvelin")
                               << QStringLiteral("\"/tmp/a;b/Tarvelin\"");
}

void TestAutostart::desktopExecQuotesAndEscapes()
{
    QFETCH(QString, path);
    QFETCH(QString, exec);
    QCOMPARE(Autostart::desktopExec(path), exec);
}

void TestAutostart::entryWrittenAndRemoved()
{
#ifdef Q_OS_WIN
    QSKIP("The Windows registration goes to the registry.");
#else
    TemporaryHome home;
    const QString program = home.home() + QStringLiteral("/my apps/Tarvelin");
    const Autostart autostart(program);
    const QString entry = home.config() + QStringLiteral("/autostart/tarvelin.desktop");
    QCOMPARE(autostart.desktopFilePath(), entry);
    QVERIFY(!autostart.isEnabled());

    Autostart::Outcome outcome = autostart.enable();
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.message, QString());
    QVERIFY(autostart.isEnabled());
    const QByteArray text = readFile(entry);
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY(text.contains("\nType=Application\n"));
    QVERIFY(text.contains("\nExec=\"" + program.toUtf8() + "\"\n"));

    // A second registration leaves one entry with the same text.
    QVERIFY(autostart.enable().ok);
    QCOMPARE(readFile(entry), text);
    QCOMPARE(QDir(home.config() + QStringLiteral("/autostart")).entryList(QDir::Files).size(), 1);

    outcome = autostart.disable();
    QVERIFY(outcome.ok);
    QVERIFY(!QFileInfo::exists(entry));
    QVERIFY(!autostart.isEnabled());
    // Removing what is not there is no failure.
    QVERIFY(autostart.disable().ok);
#endif
}

void TestAutostart::configFolderFallsBackToHome()
{
#ifdef Q_OS_WIN
    QSKIP("No XDG folders on Windows.");
#else
    TemporaryHome home;
    const QString expected = home.home() + QStringLiteral("/.config/autostart/tarvelin.desktop");
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(Autostart(QStringLiteral("/opt/Tarvelin")).desktopFilePath(), expected);
    // A relative XDG_CONFIG_HOME is ignored.
    qputenv("XDG_CONFIG_HOME", "relative/config");
    QCOMPARE(Autostart(QStringLiteral("/opt/Tarvelin")).desktopFilePath(), expected);
#endif
}

void TestAutostart::failuresAreReported()
{
#ifdef Q_OS_WIN
    QSKIP("The Windows registration goes to the registry.");
#else
    TemporaryHome home;
    const Autostart autostart(QStringLiteral("/opt/Tarvelin"));
    QVERIFY(QDir().mkpath(home.config()));

    // A file where the autostart folder belongs: nothing can be registered.
    writeFile(home.config() + QStringLiteral("/autostart"), "x");
    Autostart::Outcome outcome = autostart.enable();
    QVERIFY(!outcome.ok);
    QVERIFY(outcome.message.endsWith(PlatformText::autostartNotSet()));
    QVERIFY(!autostart.isEnabled());
    QCOMPARE(readFile(home.config() + QStringLiteral("/autostart")), QByteArray("x"));

    // An entry that cannot be removed is reported, not passed over.
    QVERIFY(QFile::remove(home.config() + QStringLiteral("/autostart")));
    QVERIFY(QDir().mkpath(autostart.desktopFilePath() + QStringLiteral("/inside")));
    outcome = autostart.disable();
    QVERIFY(!outcome.ok);
    QVERIFY(outcome.message.endsWith(PlatformText::autostartNotCancelled()));
#endif
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
