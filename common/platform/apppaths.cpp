#include "apppaths.h"

#include "handoff.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace AppPaths {

namespace {
bool canWriteIn(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.tarvelin-write-test-XXXXXX"));
    return probe.open();
}
} // namespace

QString dataFolder()
{
    const QString fromEnvironment = Handoff::dataFolder();
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();
    return dataFolderFor(QCoreApplication::applicationDirPath());
}

QString dataFolderFor(const QString &appFolder)
{
    const bool installedForAll =
        QFileInfo::exists(QDir(appFolder).filePath(QLatin1String(userFolderMarker)));
    if (!installedForAll && canWriteIn(appFolder))
        return QDir(appFolder).absolutePath();
    return userDataFolder();
}

QString userDataFolder()
{
    // The generic location, not the per-program one, so that Tarvelin and vexa agree.
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                            QStringLiteral("/Tarvelin");
    QDir().mkpath(perUser);
    return perUser;
}

QString recordFile(const QString &folder)
{
    return folder + QStringLiteral("/a.bz");
}

QString reminderFile(const QString &folder)
{
    return folder + QStringLiteral("/vexa.ini");
}

QString temperatureFile(const QString &folder)
{
    return folder + QStringLiteral("/温度记录.csv");
}

QString popupProgram()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("vexa.exe");
#else
    const QString name = QStringLiteral("vexa");
#endif
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
}

} // namespace AppPaths
