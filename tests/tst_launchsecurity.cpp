// How the manager starts other programs: vexa by its absolute path, without a shell and without
// arguments, and the autostart entry quoted so that no path can turn into a command.
#include "autostart.h"
#include "reminderdispatcher.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A stand-in for vexa: records its argument count and the data folder it was given.
void writeFakePopup(const QString &path, const QString &marker)
{
    writeFile(path,
              QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$TARVELIN_DATA_DIR\" > '%1'\n")
                  .arg(marker)
                  .toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The arguments a desktop entry's Exec value stands for, read as the desktop entry format says:
// first the string escapes, then blanks split arguments, double quotes group them, and inside
// quotes a backslash takes the next character literally; "%%" is a "%".
QStringList execArguments(const QString &value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == QLatin1Char('s')   ? QChar(' ')
                         : next == QLatin1Char('n') ? QChar('\n')
                         : next == QLatin1Char('t') ? QChar('\t')
                         : next == QLatin1Char('r') ? QChar('\r')
                                                    : next;
        } else {
            unescaped += value[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted && c == QLatin1Char('\\') && i + 1 < unescaped.size()) {
            current += unescaped[++i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (!quoted && c == QLatin1Char(' ')) {
            if (any || !current.isEmpty())
                arguments << current;
            current.clear();
            any = false;
        } else if (c == QLatin1Char('%') && i + 1 < unescaped.size() &&
                   unescaped[i + 1] == QLatin1Char('%')) {
            current += QLatin1Char('%');
            ++i;
        } else {
            current += c;
        }
    }
    if (any || !current.isEmpty())
        arguments << current;
    return arguments;
}
} // namespace

class TestLaunchSecurity : public QObject
{
    Q_OBJECT

private slots:
    void popupOnlyByAbsolutePath_data();
    void popupOnlyByAbsolutePath();
    void popupGetsNoShellAndNoArguments();
    void autostartCommandIsOneQuotedArgument_data();
    void autostartCommandIsOneQuotedArgument();
};

void TestLaunchSecurity::popupOnlyByAbsolutePath_data()
{
    QTest::addColumn<QString>("program"); // relative to the test's folder unless absolute
    QTest::newRow("bare name, found in the working folder and on PATH") << QStringLiteral("vexa");
    QTest::newRow("relative path") << QStringLiteral("./vexa");
    QTest::newRow("missing file") << QStringLiteral("ABS:missing/vexa");
    QTest::newRow("a folder") << QStringLiteral("ABS:folder");
    QTest::newRow("not executable") << QStringLiteral("ABS:plain");
    QTest::newRow("empty") << QString();
}

void TestLaunchSecurity::popupOnlyByAbsolutePath()
{
#ifdef Q_OS_WIN
    QSKIP("the stand-in popup is a shell script");
#else
    QFETCH(QString, program);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("started"));
    writeFakePopup(dir.filePath(QStringLiteral("vexa")), marker);
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("folder"))));
    writeFile(dir.filePath(QStringLiteral("plain")), "#!/bin/sh\ntouch started\n");
    if (program.startsWith(QLatin1String("ABS:")))
        program = dir.filePath(program.mid(4));

    // Everything a lookup could go by points at the stand-in.
    const QString oldCurrent = QDir::currentPath();
    const QByteArray oldPath = qgetenv("PATH");
    QDir::setCurrent(dir.path());
    qputenv("PATH", QFile::encodeName(dir.path()) + ':' + oldPath);
    const bool started = ReminderDispatcher::startDetached({program, dir.path(), {}, {}, {}}) != 0;
    qputenv("PATH", oldPath);
    QDir::setCurrent(oldCurrent);
    QVERIFY(!started);

    // The same program by its absolute path starts; by then the refused one would have run too.
    QVERIFY(ReminderDispatcher::startDetached(
        {dir.filePath(QStringLiteral("vexa")), dir.path(), {}, {}, {}}));
    QTRY_VERIFY_WITH_TIMEOUT(readFile(marker).endsWith('\n'), 30000);
    QCOMPARE(readFile(marker), "0\n" + QFile::encodeName(dir.path()) + '\n');
#endif
}

void TestLaunchSecurity::popupGetsNoShellAndNoArguments()
{
#ifdef Q_OS_WIN
    QSKIP("the stand-in popup is a shell script");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("started"));
    const QString program = dir.filePath(QStringLiteral("vexa"));
    writeFakePopup(program, marker);
    // A data folder whose name a shell would take apart and run.
    const QString hostile = QStringLiteral("数据 $(touch pwned1) `touch pwned2`; touch pwned3 | x");
    const QString dataFolder = dir.filePath(hostile);
    QVERIFY(QDir().mkpath(dataFolder));

    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QVERIFY(ReminderDispatcher::startDetached({program, dataFolder, {}, {}, {}}));
    QTRY_VERIFY_WITH_TIMEOUT(readFile(marker).endsWith('\n'), 30000);
    QDir::setCurrent(oldCurrent);

    QCOMPARE(QString::fromUtf8(readFile(marker)), QStringLiteral("0\n%1\n").arg(dataFolder));
    const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(left, QStringList({QStringLiteral("started"), QStringLiteral("vexa"), hostile}));
#endif
}

void TestLaunchSecurity::autostartCommandIsOneQuotedArgument_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("/opt/tarvelin/Tarvelin");
    QTest::newRow("blanks") << QStringLiteral("/home/张三/my apps/Tarvelin");
    QTest::newRow("command substitution") << QStringLiteral("/tmp/$(reboot)/`id`/Tarvelin");
    QTest::newRow("quotes") << QStringLiteral("/tmp/a\"b'c/Tarvelin");
    QTest::newRow("separators") << QStringLiteral("/tmp/a;b|c&d>e<f/Tarvelin");
    QTest::newRow("backslashes") << QStringLiteral("/tmp/a\\b\\\\c\\/Tarvelin");
    QTest::newRow("field codes") << QStringLiteral("/tmp/100%/%f %u/Tarvelin");
    QTest::newRow("line break") << QStringLiteral("/tmp/a\nExec=/bin/evil/Tarvelin");
    QTest::newRow("tab and hash") << QStringLiteral("/tmp/a\tb#c/Tarvelin");
}

void TestLaunchSecurity::autostartCommandIsOneQuotedArgument()
{
    QFETCH(QString, path);
    const QString exec = Autostart::desktopExec(path);
    // One line, read back as exactly one argument: the path.
    QVERIFY(!exec.contains(QLatin1Char('\n')) && !exec.contains(QLatin1Char('\r')));
    QCOMPARE(execArguments(exec), QStringList{path});
    const QString entry = Autostart(path).desktopEntryText();
    QCOMPARE(entry.count(QStringLiteral("\nExec=")), 1);

    // On Windows the Run value is the path, in quotes whenever it holds a blank.
    const QString command = Autostart::windowsCommand(path);
    if (path.contains(QLatin1Char(' '))) {
        QVERIFY(command.startsWith(QLatin1Char('"')) && command.endsWith(QLatin1Char('"')));
        QCOMPARE(command.count(QLatin1Char('"')), 2 + path.count(QLatin1Char('"')));
    }
}

QTEST_GUILESS_MAIN(TestLaunchSecurity)
#include "tst_launchsecurity.moc"
