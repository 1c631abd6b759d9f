#include "platformtexts.h"

namespace PlatformText {

QString autostartComment()
{
    return QStringLiteral("混凝土试块到期提醒");
}

QString autostartNotSet()
{
    return QStringLiteral("开机自启动未设置。");
}

QString autostartNotCancelled()
{
    return QStringLiteral("开机自启动未取消。");
}

QString autostartForUserOnly()
{
    return QStringLiteral("没有写入本机启动项的权限，已改为只为当前用户设置开机自启动。");
}

QString registryNotWritten()
{
    return QStringLiteral("无法写入注册表启动项，") + autostartNotSet();
}

QString machineEntryNotRemoved()
{
    return QStringLiteral("没有删除本机启动项的权限，") + autostartNotCancelled() +
           QStringLiteral("请以管理员身份运行后再试。");
}

QString userEntryNotRemoved()
{
    return QStringLiteral("无法删除当前用户的启动项，") + autostartNotCancelled();
}

QString folderNotMade(const QString &folder)
{
    return QStringLiteral("无法创建文件夹 %1，").arg(folder) + autostartNotSet();
}

QString readOnlyFile()
{
    return QStringLiteral("文件是只读的");
}

QString entryNotWritten(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入 %1：%2。").arg(path, reason) + autostartNotSet();
}

QString entryNotRemoved(const QString &path, const QString &reason)
{
    return QStringLiteral("无法删除 %1：%2。").arg(path, reason) + autostartNotCancelled();
}

} // namespace PlatformText
