#include "autostart.h"

#include "atomicfile.h"

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

QString Autostart::windowsCommand(const QString &programPath)
{
    const QString path = QDir::toNativeSeparators(programPath);
    if (path.contains(QLatin1Char(' ')))
        return QLatin1Char('"') + path + QLatin1Char('"');
    return path;
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
                          "Comment=混凝土试块到期提醒\n"
                          "Exec=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(m_name, desktopExec(m_programPath));
}

QString Autostart::desktopFilePath() const
{
    return configHome() + QStringLiteral("/autostart/") + m_name.toLower() +
           QStringLiteral(".desktop");
}

#ifdef Q_OS_WIN

bool Autostart::isEnabled() const
{
    return hasValue(kMachineRun, m_name) || hasValue(kUserRun, m_name);
}

Autostart::Outcome Autostart::enable() const
{
    const QString data = windowsCommand(m_programPath);
    if (writeValue(kMachineRun, m_name, data))
        return {};
    if (writeValue(kUserRun, m_name, data)) {
        return {true,
                QStringLiteral("没有写入本机启动项的权限，已改为只为当前用户设置开机自启动。")};
    }
    return {false, QStringLiteral("无法写入注册表启动项，开机自启动未设置。")};
}

Autostart::Outcome Autostart::disable() const
{
    const bool userRemoved = removeValue(kUserRun, m_name);
    if (!removeValue(kMachineRun, m_name)) {
        return {false, QStringLiteral("没有删除本机启动项的权限，开机自启动未取消。"
                                      "请以管理员身份运行后再试。")};
    }
    if (!userRemoved)
        return {false, QStringLiteral("无法删除当前用户的启动项，开机自启动未取消。")};
    return {};
}

#else

bool Autostart::isEnabled() const
{
    return QFileInfo(desktopFilePath()).isFile();
}

Autostart::Outcome Autostart::enable() const
{
    const QString path = desktopFilePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return {false, QStringLiteral("无法创建文件夹 %1，开机自启动未设置。").arg(folder)};
    }
    const AtomicFile::Result written = AtomicFile::replace(path, desktopEntryText().toUtf8());
    if (!written.ok) {
        const QString reason = written.readOnly ? QStringLiteral("文件是只读的") : written.reason;
        return {false, QStringLiteral("无法写入 %1：%2。开机自启动未设置。").arg(path, reason)};
    }
    return {};
}

Autostart::Outcome Autostart::disable() const
{
    const QString path = desktopFilePath();
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.remove()) {
        return {
            false,
            QStringLiteral("无法删除 %1：%2。开机自启动未取消。").arg(path, file.errorString())};
    }
    return {};
}

#endif
