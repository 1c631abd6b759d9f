#include "enginetexts.h"

namespace EngineText {

namespace {
// The record a reminder was for, after the reason it gave none.
QString withRecord(const QString &text, const QString &record)
{
    return text + QStringLiteral("\n到期记录：") + record;
}
} // namespace

QString glance(int todayLeft, int overdue)
{
    return QStringLiteral("今天待试验 %1 批，逾期未试 %2 批").arg(todayLeft).arg(overdue);
}

QString reminderFileNotMade(const QString &reason, const QString &record)
{
    return withRecord(QStringLiteral("无法建立提示文件：") + reason, record);
}

QString popupCannotShow(const QString &reason, const QString &record)
{
    return withRecord(QStringLiteral("到期提醒无法弹出：") + reason, record);
}

QString popupNotStarted(const QString &program, const QString &record)
{
    return withRecord(QStringLiteral("无法启动提醒程序 %1。").arg(program), record);
}

QString allSlotsTaken()
{
    return QStringLiteral("所有提示位置都已占用，建议执行“提示初始化”。");
}

QString allSlotsShowing(qsizetype count)
{
    return QStringLiteral("全部 %1 个提示位置都被正在显示的提醒窗口占用。请阅读并关闭已处理的"
                          "提醒窗口，之后到期的记录就能弹出；不要执行“提示初始化”。")
        .arg(count);
}

QString reminderFileLocked(const QString &path, int seconds, const QString &record)
{
    return QStringLiteral("到期提醒无法弹出：提示文件 %1 一直被另一个程序锁定（锁文件 %1.lock），"
                          "等待 %2 秒后放弃。\n到期记录：%3")
        .arg(path, QString::number(seconds), record);
}

QString popupCameAfterAll(qint64 seconds, const QString &slot, const QString &record)
{
    return QStringLiteral("提醒窗口后来还是弹出了：上面列出的这条记录在 %1 秒后出现在提醒"
                          "窗口中（提示位置 %2），两处是同一条记录，只需处理一次。\n"
                          "到期记录：%3")
        .arg(seconds)
        .arg(slot, record);
}

QString popupEndedSilently()
{
    return QStringLiteral("提醒程序启动后没有显示这条记录就结束了。");
}

QString popupNotShown(const QString &reason, const QString &record)
{
    return withRecord(QStringLiteral("到期提醒没有弹出：") + reason, record);
}

QString popupTooSlow(int seconds, const QString &record)
{
    return withRecord(QStringLiteral("到期提醒没有弹出：提醒窗口在 %1 秒内没有出现，提醒程序可能被"
                                     "阻止或启动过慢。")
                          .arg(seconds),
                      record);
}

QString dueTimeMoved(const QString &record, const QString &from, const QString &to)
{
    return QStringLiteral("%1：到期时间由 %2 改为 %3").arg(record, from, to);
}

QString dueTimesMoved(qsizetype count, const QString &lines)
{
    return QStringLiteral(
               "按温度记录重新估计等效养护龄期（600℃·d），%1 批同条件养护试块的到期时间已改：\n%2")
        .arg(count)
        .arg(lines);
}

} // namespace EngineText
