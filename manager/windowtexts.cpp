#include "windowtexts.h"

#include "labsettings.h"
#include "storetexts.h"
#include "version.h"

#include <QDir>
#include <QStringList>

namespace WindowText {

namespace {
const QString kContact = QStringLiteral("400-820-2026");

QString nothingDeleted()
{
    return QStringLiteral("没有删除任何数据。");
}

QString backupKept()
{
    return QStringLiteral("（删除前的文件留有备份，可从“数据编辑 → 从备份恢复”找回）");
}
} // namespace

QString notResponding()
{
    return QStringLiteral("Tarvelin 已经在运行，但没有响应，无法把它的窗口调到前面。"
                          "请在任务栏或通知区域找到它，或结束它后再启动。");
}

QString noReasonGiven()
{
    return QStringLiteral("系统没有说明原因，请检查这个文件夹是否存在并且可以写入");
}

QString cannotStart(const QString &folder, const QString &lockFile, const QString &why)
{
    return QStringLiteral("Tarvelin 无法启动：无法在临时文件夹 %1 中建立锁文件 %2。原因：%3。")
        .arg(folder, lockFile, why);
}

QString monitorNotStarted()
{
    return QStringLiteral("开启失败");
}

QString zeroInterval()
{
    return QStringLiteral("刷新间隔为 0 毫秒，提醒没有开启：请在“设置”中填写 1 到 %1 毫秒。")
        .arg(LabSettings::kLongestIntervalMs);
}

QString monitorStarted()
{
    return QStringLiteral("已经开启");
}

QString monitorStopped()
{
    return QStringLiteral("已经关闭");
}

QString badInterval(const QString &typed, int kept)
{
    // One arg: a typed "%2" stays as typed.
    return QStringLiteral("刷新间隔“%1”无效：只能是 0 到 %2 毫秒。提醒间隔保持为 %3 毫秒。")
        .arg(typed, QString::number(LabSettings::kLongestIntervalMs), QString::number(kept));
}

QString notShownIntro()
{
    return QStringLiteral("以下记录已经到期，但提示窗口未能弹出，请立即处理：");
}

QString lateIntro()
{
    return QStringLiteral("以下记录已经到期，但没有按时提醒（到期时本程序没有运行或没有检查，"
                          "或记录在到期之后才保存）：");
}

QString resetFailed(const QString &reason)
{
    return QStringLiteral("提示初始化失败：%1").arg(reason);
}

QString resetDone()
{
    return QStringLiteral("初始化完成。此初始化仅会修改提示组数。不会对数据进行损坏");
}

QString removeRowQuestion(const QString &record)
{
    return QStringLiteral("从列表中移除这一行吗？\n\n%1\n\n记录文件中的这条记录不会删除，"
                          "“读取数据”后会重新显示。")
        .arg(record);
}

QString noRecordsShown()
{
    return QStringLiteral("没有检测到数据");
}

QString noRecordFile(const QString &path)
{
    return QStringLiteral("找不到记录文件 %1，").arg(path) + nothingDeleted();
}

QString readFailedNothingDeleted(const QString &readError)
{
    return readError + QStringLiteral("。") + nothingDeleted();
}

QString deleteDueQuestion(qsizetype records)
{
    return QStringLiteral("将从记录文件中删除以下 %1 条已到期的记录").arg(records);
}

QString duplicateLines(qsizetype lines)
{
    return QStringLiteral("（含重复的行，共 %1 行）").arg(lines);
}

QString dueListFollows()
{
    return backupKept() + QStringLiteral("：\n");
}

QString confirmDeletion()
{
    return QStringLiteral("\n\n确定删除吗？");
}

QString deleteDueFailed(const QString &reason)
{
    return QStringLiteral("删除过期数据失败：") + reason;
}

QString nothingToInitialise()
{
    return QStringLiteral("无需初始化数据。");
}

QString allRecords(qsizetype records)
{
    return QStringLiteral("全部 %1 条记录").arg(records);
}

QString allRecordsUncounted()
{
    return QStringLiteral("全部记录");
}

QString initialiseQuestion(const QString &path, const QString &records)
{
    return QStringLiteral("数据初始化将删除记录文件 %1 中的%2").arg(path, records) + backupKept() +
           QStringLiteral("。") + confirmDeletion();
}

QString initialiseFailed(const QString &reason)
{
    return QStringLiteral("数据初始化失败：") + reason;
}

QString initialised()
{
    return QStringLiteral("初始化完成。");
}

QString makingDateMissing()
{
    return QStringLiteral("制作日期未填写。");
}

QString makingDateUnreadable(const QString &typed)
{
    return QStringLiteral("制作日期“%1”无法识别。请按“年-月-日”填写，年份写四位，例如 "
                          "2024-05-03 或 2024-5-3；“-”也可写成“/”或“.”。")
        .arg(typed);
}

QString monthOutOfRange(const QString &typed, int month)
{
    return QStringLiteral("制作日期“%1”的月份 %2 不在 1 到 12 之间。").arg(typed).arg(month);
}

QString dayMissing(const QString &typed, int year, int month, int day)
{
    return QStringLiteral("制作日期“%1”不存在：%2年%3月没有 %4 日。")
        .arg(typed)
        .arg(year)
        .arg(month)
        .arg(day);
}

QString furtherAgeRefused(int days, const QString &reason)
{
    return QStringLiteral("另加龄期 %1 天的记录：%2\n这些信息都没有添加，").arg(days).arg(reason) +
           StoreText::recordFileUnchanged();
}

QString ofAge(const QString &age)
{
    return QStringLiteral("龄期 %1 天的记录：").arg(age);
}

QString exportedTo(const QString &path)
{
    return QStringLiteral("已导出到 %1。").arg(path);
}

QString dueTimePassed(const QString &due)
{
    // What follows is true: no popup, but the list of those not reminded on time names it.
    return QStringLiteral("到期时间 %1 已经过去，不会再弹出提示窗口；保存后它会列在“没有按时提醒”"
                          "的记录中。")
        .arg(due);
}

QString sameRecord(int row)
{
    return QStringLiteral("记录文件中已有完全相同的记录（编号 %1）。").arg(row);
}

QString addTheseAnyway()
{
    return QStringLiteral("\n\n仍要添加这些记录吗？");
}

QString dueTimeRecomputed(const QString &field, const QString &due)
{
    return QStringLiteral("到期时间已按新的%1重新计算为 %2。").arg(field, due);
}

QString correctionNotSaved(const QString &reason)
{
    return reason + QStringLiteral("\n这次修改没有保存，") + StoreText::recordFileUnchanged();
}

QString saveCorrectionAnyway()
{
    return QStringLiteral("\n\n仍要保存这次修改吗？");
}

QString addThisAnyway()
{
    return QStringLiteral("\n\n仍要添加这条记录吗？");
}

QString deleteRecordQuestion(const QString &record)
{
    return QStringLiteral(
               "从记录文件中删除这条记录吗？删除前的文件留有备份（数据编辑 → 从备份恢复）。\n\n") +
           record;
}

QString searchDone()
{
    return QStringLiteral("搜索结束！");
}

QString intervalAdvice()
{
    return QStringLiteral("最好不要设置的太大 不然每次都会有误差，当误差大了就是错误。");
}

QString firstSaveOfDay(const QString &day, const QString &file)
{
    return QStringLiteral("%1 当天第一次保存前（%2）").arg(day, file);
}

QString noBackups(const QString &folder)
{
    return QStringLiteral("%1 中还没有备份。").arg(folder);
}

QString backupRecords(qsizetype records)
{
    return QStringLiteral("这个备份有 %1 条记录。").arg(records);
}

QString backupUnreadable()
{
    return QStringLiteral("无法读取这个备份。");
}

QString backupRecordsShown(qsizetype shown)
{
    return QStringLiteral("表格中列出前 %1 条。").arg(shown);
}

QString backupInUtf8()
{
    return QStringLiteral("这个备份是 UTF-8 编码的，不是记录文件所用的 GBK 编码：恢复后其中的中文"
                          "会显示为乱码，也不能再添加记录。");
}

QString backupUnreadableLines(qsizetype lines)
{
    return QStringLiteral("其中有 %1 行不是本程序能识别的记录（文件可能已损坏或不完整）：恢复后"
                          "这些行不会显示，到期时也不会提醒。")
        .arg(lines);
}

QString restoreQuestion(const QString &file, qsizetype records, qsizetype now)
{
    return QStringLiteral("是否用备份“%1”（%2 条记录）替换现在的记录文件%3？\n\n"
                          "现在的记录文件会先另存为备份，以后也可以恢复。")
        .arg(file)
        .arg(records)
        .arg(now >= 0 ? QStringLiteral("（%1 条记录）").arg(now) : QString());
}

QString restored(const QString &file, qsizetype records)
{
    return QStringLiteral("已用备份“%1”恢复记录文件，共 %2 条记录。").arg(file).arg(records);
}

QString unreadableIntro(const QString &path, qsizetype lines)
{
    return QStringLiteral("记录文件 %1 中有 %2 行不是本程序能识别的记录：它们不会在主窗口中"
                          "显示，到期时也不会提醒。记录文件没有被改动。本程序的记录每行"
                          "有 11 个以逗号“,”分隔的字段，到期时间写作“2024-05-31 09:05”这样的形式；"
                          "请用记事本按下面的说明改正这些行。")
        .arg(path)
        .arg(lines);
}

QString firstLinesListed(qsizetype lines)
{
    return QStringLiteral("下面列出前 %1 行。").arg(lines);
}

QString selectToMark()
{
    return QStringLiteral("请先选中要标为已试验的记录。");
}

QString about()
{
    return QStringList{QStringLiteral("软件名称：Tarvelin   版本号：") + Version::text(),
                       QString(),
                       QStringLiteral("-------------- 更新信息 --------------"),
                       QStringLiteral("1：修复了软件存数Bug"),
                       QStringLiteral("2：增加了托盘显示"),
                       QStringLiteral("3：增加了开机自启动"),
                       QStringLiteral("4：修改了提示样式"),
                       QString(),
                       QStringLiteral("如需技术支持，请联系 Tarvelin 开发组：") + kContact}
        .join(QStringLiteral("\r\n"));
}

QString donation()
{
    return QStringList{
        QStringLiteral("感谢您使用 Tarvelin 试块到期提醒软件！"),
        QStringLiteral("Tarvelin 由开发组利用业余时间编写和维护，免费提供给各试验室使用。"),
        QStringLiteral("如果它为您的工作带来了方便，欢迎您捐助支持，"),
        QStringLiteral("您的支持将全部用于软件的改进和升级。"),
        QStringLiteral("联系方式：Tarvelin 开发组，电话 ") + kContact +
            QStringLiteral("，网址 https://tarvelin.example.com"),
        QStringLiteral("谢谢您的支持！")}
        .join(QStringLiteral("\r\n"));
}

QString cannotOpenPage(const QString &address)
{
    return QStringLiteral("无法打开网页 %1，请在浏览器中手动打开。").arg(address);
}

QString temperatureMissing()
{
    return QStringLiteral("请填写今天的日平均温度，或今天的最高温度和最低温度。");
}

QString highestBelowLowest(const QString &highest, const QString &lowest)
{
    return QStringLiteral("最高温度 %1 ℃ 低于最低温度 %2 ℃，请检查后再记录。").arg(highest, lowest);
}

QString replaceMeanQuestion(const QString &date, const QString &old, const QString &typed)
{
    return QStringLiteral("%1 已记录日平均温度 %2 ℃。\n改为 %3 ℃ 吗？").arg(date, old, typed);
}

QString temperatureLinesUnreadable(const QString &path, qsizetype lines)
{
    return QStringLiteral("温度记录文件 %1 中有 %2 行无法识别，估计等效养护龄期时不用这些行，"
                          "文件中保持原样；请用记事本按下面的说明改正：")
        .arg(QDir::toNativeSeparators(path))
        .arg(lines);
}

} // namespace WindowText
