#include "autostart.h"

#include "atomicfile.h"
#include "platformtexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

#ifdef Q_OS_WIN
const QString kMachineRun =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kUserRun =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

bool hasValue(const QString &key, const QString &name)
{
    return QSettings(key, QSettings::NativeFormat).contains(name);
}

bool startsProgram(const QString &key, const QString &name, const QString &programPath)
{
    const QVariant data = QSettings(key, QSettings::NativeFormat).value(name);
    return data.isValid() && Autostart::windowsCommandStarts(data.toString(), programPath);
}

// QSettings only reports a refused registry write after sync().
bool writeValue(const QString &key, const QString &name, const QString &data)
{
    QSettings run(key, QSettings::NativeFormat);
    run.setValue(name, data);
    run.sync();
    return run.status() == QSettings::NoError && hasValue(key, name);
}

bool removeValue(const QString &key, const QString &name)
{
    if (!hasValue(key, name))
        return true;
    QSettings run(key, QSettings::NativeFormat);
    run.remove(name);
    run.sync();
    return run.status() == QSettings::NoError && !hasValue(key, name);
}
#endif

// The characters that force an Exec argument into double quotes.
bool needsQuotes(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    for (QChar c : argument) {
        if (reserved.contains(c))
            return true;
    }
    return argument.isEmpty();
}

// The first argument of a desktop entry's Exec value, its string escapes and then its quoting
// undone.
QString firstExecArgument(const QString &value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            unescaped += c;
            continue;
        }
        const QChar next = value[++i];
        static const QString from = QStringLiteral("sntr");
        static const QString to = QStringLiteral(" \n\t\r");
        const qsizetype at = from.indexOf(next);
        unescaped += at < 0 ? next : to[at];
    }
    QString argument;
    bool quoted = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (quoted && c == QLatin1Char('\\') && i + 1 < unescaped.size()) {
            argument += unescaped[++i];
        } else if (!quoted && c.isSpace()) {
            if (!argument.isEmpty())
                break;
        } else if (c == QLatin1Char('%') && i + 1 < unescaped.size() &&
                   unescaped[i + 1] == QLatin1Char('%')) {
            argument += unescaped[++i];
        } else {
            argument += c;
        }
    }
    return argument;
}

QString configHome()
{
    // Relative values are to be ignored, as if unset.
    const QString fromEnvironment = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

Autostart::Autostart(QString programPath, QString name)
    : m_programPath(std::move(programPath)), m_name(std::move(name))
{
}

// Windows' form of a path wherever it is computed, so that the Run value's rules are the same in
// every build.
static QString windowsPath(QString path)
{
    return path.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString Autostart::windowsCommand(const QString &programPath)
{
    return QLatin1Char('"') + windowsPath(programPath) + QLatin1Char('"');
}

bool Autostart::windowsCommandStarts(const QString &command, const QString &programPath)
{
    QString program = command.trimmed();
    if (program.startsWith(QLatin1Char('"'))) {
        const qsizetype end = program.indexOf(QLatin1Char('"'), 1);
        program = program.mid(1, end < 0 ? -1 : end - 1);
    }
    return !program.isEmpty() &&
           windowsPath(program).compare(windowsPath(programPath), Qt::CaseInsensitive) == 0;
}

bool Autostart::desktopEntryStarts(const QByteArray &entry, const QString &programPath)
{
    bool inEntry = false;
    QString exec;
    for (const QByteArray &rawLine : entry.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
        } else if (inEntry && line.startsWith(QLatin1String("Exec="))) {
            exec = line.mid(5);
        } else if (inEntry && (line == QLatin1String("Hidden=true") ||
                               line == QLatin1String("X-GNOME-Autostart-enabled=false"))) {
            return false;
        }
    }
    return !programPath.isEmpty() && firstExecArgument(exec) == programPath;
}

QString Autostart::desktopExec(const QString &programPath)
{
    QString argument = programPath;
    if (needsQuotes(argument)) {
        QString quoted;
        for (QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        argument = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // Field codes start with "%", and the value is a string whose own escapes are undone first.
    QString value;
    for (QChar c : argument) {
        switch (c.unicode()) {
        case '%':
            value += QLatin1String("%%");
            break;
        case '\\':
            value += QLatin1String("\\\\");
            break;
        case '\n':
            value += QLatin1String("\\n");
            break;
        case '\t':
            value += QLatin1String("\\t");
            break;
        case '\r':
            value += QLatin1String("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

QString Autostart::desktopEntryText() const
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Comment=%2\n"
                          "Exec=%3\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(m_name, PlatformText::autostartComment(), desktopExec(m_programPath));
}

QString Autostart::desktopFilePath() const
{
    return configHome() + QStringLiteral("/autostart/") + m_name.toLower() +
           QStringLiteral(".desktop");
}

#ifdef Q_OS_WIN

bool Autostart::isEnabled() const
{
    return startsProgram(kMachineRun, m_name, m_programPath) ||
           startsProgram(kUserRun, m_name, m_programPath);
}

Autostart::Outcome Autostart::enable() const
{
    const QString data = windowsCommand(m_programPath);
    if (writeValue(kMachineRun, m_name, data)) {
        // One registration: a user's value left by an older copy would start nothing.
        removeValue(kUserRun, m_name);
        return {};
    }
    if (writeValue(kUserRun, m_name, data)) {
        return {true, PlatformText::autostartForUserOnly()};
    }
    return {false, PlatformText::registryNotWritten()};
}

Autostart::Outcome Autostart::disable() const
{
    const bool userRemoved = removeValue(kUserRun, m_name);
    if (!removeValue(kMachineRun, m_name))
        return {false, PlatformText::machineEntryNotRemoved()};
    if (!userRemoved)
        return {false, PlatformText::userEntryNotRemoved()};
    return {};
}

#else

bool Autostart::isEnabled() const
{
    QFile entry(desktopFilePath());
    return entry.open(QIODevice::ReadOnly) && desktopEntryStarts(entry.readAll(), m_programPath);
}

Autostart::Outcome Autostart::enable() const
{
    const QString path = desktopFilePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return {false, PlatformText::folderNotMade(folder)};
    const AtomicFile::Result written = AtomicFile::replace(path, desktopEntryText().toUtf8());
    if (!written.ok) {
        const QString reason = written.readOnly ? PlatformText::readOnlyFile() : written.reason;
        return {false, PlatformText::entryNotWritten(path, reason)};
    }
    return {};
}

Autostart::Outcome Autostart::disable() const
{
    const QString path = desktopFilePath();
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.remove())
        return {false, PlatformText::entryNotRemoved(path, file.errorString())};
    return {};
}

#endif
