#include "exchangetexts.h"

#include "basetexts.h"

namespace ExchangeText {

QString profileFile()
{
    return QStringLiteral("提示文件");
}

QString profileFileUnchanged()
{
    return BaseText::unchanged(profileFile());
}

QString unencodable(const QString &text, const QString &character)
{
    return QStringLiteral("“%1”中含有代码页 936 无法保存的字符%2，").arg(text, character) +
           profileFileUnchanged();
}

QString badSection(const QString &section)
{
    return QStringLiteral("提示文件的节名“%1”无效，").arg(section) + profileFileUnchanged();
}

QString badKey(const QString &key)
{
    return QStringLiteral("提示文件的键名“%1”无效，").arg(key) + profileFileUnchanged();
}

QString valueLineBreak(const QString &key)
{
    return QStringLiteral("“%1”的值含有换行，无法写入提示文件，").arg(key) + profileFileUnchanged();
}

QString wrongFieldCount(qsizetype count)
{
    return QStringLiteral("提醒记录应有 11 个字段，实际为 %1 个，").arg(count) +
           profileFileUnchanged();
}

QString notAFile(const QString &path)
{
    return QStringLiteral("提示文件 %1 不是一个文件（可能是同名的文件夹），无法读取").arg(path);
}

QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取提示文件 %1：%2").arg(path, reason);
}

QString readFailedUnchanged(const QString &readError)
{
    return readError + QStringLiteral("。") + profileFileUnchanged();
}

QString cannotRemove(const QString &path, const QString &reason)
{
    return QStringLiteral("无法删除提示文件 %1：%2。").arg(path, reason);
}

QString notASlotName(const QString &slot)
{
    return QStringLiteral("“%1”不是提示位置的名称，").arg(slot) + profileFileUnchanged();
}

QString slotTaken(const QString &slot)
{
    return QStringLiteral("提示位置 %1 已被另一个提示窗口占用，").arg(slot) +
           profileFileUnchanged();
}

QString noSuchSlot(const QString &slot)
{
    return QStringLiteral("提示文件中没有提示位置 %1，").arg(slot) + profileFileUnchanged();
}

QString popupFailed()
{
    return QStringLiteral("上次关闭异常。或已经全部提示。此次提示失败。建议立即初始化。");
}

QString slotNotFreed(const QString &slot, const QString &reason)
{
    return QStringLiteral("无法把提示位置 %1 标记为空闲：%2\n请稍后运行“提示初始化”。")
        .arg(slot, reason);
}

} // namespace ExchangeText
