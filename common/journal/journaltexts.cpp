#include "journaltexts.h"

namespace JournalText {

QString settingsFile()
{
    return QStringLiteral("设置文件");
}

QString remindersGoOn()
{
    return QStringLiteral("提醒照常进行。");
}

QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取提醒记录 %1：%2。").arg(path, reason) + remindersGoOn();
}

QString damagedNotMoved(const QString &path)
{
    return QStringLiteral("提醒记录 %1 已损坏，也无法改名另存。").arg(path) + remindersGoOn();
}

QString damagedMoved(const QString &path, const QString &aside)
{
    return QStringLiteral("提醒记录 %1 已损坏，原文件已另存为 %2").arg(path, aside);
}

QString readableNotWrittenBack(const QString &reason)
{
    return QStringLiteral("，可读的部分无法写回：%1。").arg(reason) + remindersGoOn();
}

QString readableKept()
{
    return QStringLiteral("，可读的部分已保留。") + remindersGoOn();
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入提醒记录 %1：%2。").arg(path, reason) + remindersGoOn();
}

QString keptUntilWritable()
{
    return QStringLiteral("本次运行中的提醒先记在内存里，能写入时自动补写；在此之前请不要退出本程序。"
                          "写入恢复前不再提示。");
}

QString writtenAgain(qsizetype count)
{
    return QStringLiteral("提醒记录又能写入了，先前未能写入的 %1 条已经补写。").arg(count);
}

} // namespace JournalText
