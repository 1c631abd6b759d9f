#include "basetexts.h"

namespace BaseText {

QString unchanged(const QString &what)
{
    return what + QStringLiteral("未被改动。");
}

QString diskFull()
{
    return QStringLiteral("磁盘空间已满，请腾出空间后再试");
}

QString symbolicLink(const QString &target)
{
    return QStringLiteral("它是指向 %1 的符号链接，为免改动链接所指的文件，"
                          "没有写入；请删除这个链接后再试")
        .arg(target);
}

QString readOnlyNotSaved(const QString &what, const QString &path)
{
    return QStringLiteral("%1 %2 是只读的，无法保存。").arg(what, path) +
           unchanged(QStringLiteral("原文件"));
}

QString notSaved(const QString &what, const QString &path, const QString &reason)
{
    return QStringLiteral("无法保存%1 %2：%3。").arg(what, path, reason) +
           unchanged(QStringLiteral("原文件"));
}

QString folderMissing(const QString &folder)
{
    return QStringLiteral("文件夹 %1 不存在").arg(folder);
}

QString notAFolder(const QString &path)
{
    return QStringLiteral("%1 不是文件夹").arg(path);
}

QString cannotCreateIn(const QString &folder, const QString &reason)
{
    return QStringLiteral("无法在文件夹 %1 中建立文件（%2）").arg(folder, reason);
}

QString cannotWriteFolder(const QString &folder, const QString &reason)
{
    return QStringLiteral("无法写入文件夹 %1（%2）").arg(folder, reason);
}

QString lockNotMade(const QString &what, const QString &path, const QString &why)
{
    return QStringLiteral("无法在 %1 旁建立锁文件：%2。").arg(path, why) + unchanged(what);
}

QString lockNotMade(const QString &what, const QString &path)
{
    return QStringLiteral("无法在 %1 旁建立锁文件，").arg(path) + unchanged(what) +
           QStringLiteral("请检查该文件夹是否存在并且可以写入。");
}

QString fileBusy(const QString &what, const QString &path)
{
    return QStringLiteral("%1 %2 正被另一个程序使用，请稍后再试。").arg(what, path) +
           unchanged(what);
}

QString fileBusyElsewhere(const QString &what, const QString &path, const QString &host,
                          const QString &since)
{
    return QStringLiteral("%1 %2 被计算机“%3”上的本程序锁住（自 %4 起），请稍后再试。")
               .arg(what, path, host, since) +
           unchanged(what);
}

QString exportFile()
{
    return QStringLiteral("导出文件");
}

QString unexportable(const QString &character)
{
    return QStringLiteral("无法导出：列表中的字符 %1 无法以 GBK 编码保存，请先修改这一条记录。")
        .arg(character);
}

} // namespace BaseText
