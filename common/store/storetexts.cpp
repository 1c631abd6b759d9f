#include "storetexts.h"

#include "basetexts.h"

namespace StoreText {

QString recordFile()
{
    return QStringLiteral("记录文件");
}

QString recordFileUnchanged()
{
    return BaseText::unchanged(recordFile());
}

QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取记录文件 %1：%2").arg(path, reason);
}

QString readFailedUnchanged(const QString &readError)
{
    return readError + QStringLiteral("。") + recordFileUnchanged();
}

QString cannotReadUnchanged(const QString &path)
{
    return QStringLiteral("无法读取记录文件 %1。").arg(path) + recordFileUnchanged();
}

QString recordGone()
{
    return QStringLiteral("记录文件中已没有这条记录（可能已在别处修改或删除），表格已按记录"
                          "文件重新显示。") +
           recordFileUnchanged();
}

QString unreadableBytes(const QString &shown)
{
    return QStringLiteral("记录文件中有无法识别的内容（不是 GBK 编码的文字，显示为“%1”），"
                          "保存会把它们改坏，所以")
               .arg(shown) +
           recordFileUnchanged() +
           QStringLiteral("请先用文本编辑器按 GBK 编码修正或删去这些内容。");
}

QString unsavableCharacter(const QString &character)
{
    return QStringLiteral("记录中含有无法保存的字符%1，").arg(character) + recordFileUnchanged();
}

QString isFolder()
{
    return QStringLiteral("这是一个文件夹，不是记录文件");
}

QString brokenLink(const QString &target)
{
    return QStringLiteral("这是一个链接，指向的“%1”不存在或又指回它自己").arg(target);
}

QString notRegular()
{
    return QStringLiteral("这不是普通文件（是管道、设备或套接字）");
}

QString utf8Loaded(const QString &path)
{
    return QStringLiteral("记录文件 %1 是 UTF-8 编码的（大概被别的程序另存过），本程序按 GBK 编码"
                          "（代码页 936）读它，所以其中的汉字显示为乱码；到期时间照常提醒，但添加、"
                          "修改和删除都会被拒绝。请用记事本打开它，“另存为”时把编码选为“ANSI”。")
        .arg(path);
}

QString recordFileGone(const QString &path)
{
    return QStringLiteral("记录文件 %1 不见了（被删除、移走或改了名）。在它回到原处之前，"
                          "今天的记录不再显示，也不会提醒。")
        .arg(path);
}

QString utf8File(const QString &path)
{
    return QStringLiteral(
               "记录文件 %1 是 UTF-8 编码的（大概被别的程序另存过），本程序的记录文件须是 "
               "GBK 编码（代码页 936）。为免一个文件里混有两种编码，")
               .arg(path) +
           recordFileUnchanged() +
           QStringLiteral("请用记事本打开它，“另存为”时把编码选为“ANSI”后再试。");
}

QString fieldTooLong(const QString &name, qsizetype length, qsizetype longest, const QString &then)
{
    return QStringLiteral("“%1”中的文字有 %2 个字符，超过了一栏最多能保存的 %3 个字符。请删短%4。")
        .arg(name)
        .arg(length)
        .arg(longest)
        .arg(then);
}

QString fieldComma(const QString &name, const QString &then)
{
    return QStringLiteral("“%1”中有逗号“,”。记录文件用逗号分隔字段，这个逗号会把记录拆开。"
                          "请去掉逗号（可改用全角逗号“，”）%2。")
        .arg(name, then);
}

QString fieldLineBreak(const QString &name, const QString &then)
{
    return QStringLiteral("“%1”中有换行符，它会把记录拆成两行。请去掉换行%2。").arg(name, then);
}

QString fieldUnencodable(const QString &name, const QString &character, const QString &then)
{
    return QStringLiteral("“%1”中的字符%2无法保存到记录文件（代码页 936 中没有这个字符）。"
                          "请换用其他写法%3。")
        .arg(name, character, then);
}

QString fieldBestFitted(const QString &name, const QString &character, const QString &savedAs,
                        const QString &then)
{
    return QStringLiteral("“%1”中的字符%2在记录文件里只能存成“%3”（代码页 936 中没有这个字符），"
                          "保存后就不再是原样。请直接写成“%3”或换用其他写法%4。")
        .arg(name, character, savedAs, then);
}

QString invalidDueTime(const QString &due)
{
    return QStringLiteral("到期时间“%1”不是有效的时间（应写成“2024-05-31 09:05”这样的"
                          "年-月-日 时:分），这样的记录永远不会提醒。")
        .arg(due);
}

QString beforeAdding()
{
    return QStringLiteral("后再添加");
}

QString notAddedUnchanged()
{
    return QStringLiteral("这条信息没有添加，") + recordFileUnchanged();
}

QString dueTimeMissing()
{
    return QStringLiteral("到期时间未填写。请先按“?”计算到期时间，或照“2024-05-31 09:05”"
                          "这样的形式填写。");
}

QString invalidDueTimeOnAdd(const QString &due)
{
    return invalidDueTime(due) + QStringLiteral("请按“?”重新计算，或按此形式填写。");
}

QString notAdded()
{
    return QStringLiteral("这条信息没有添加。");
}

QString noneAdded()
{
    return QStringLiteral("这些信息都没有添加。");
}

QString added()
{
    return QStringLiteral("此条信息添加完成！");
}

QString added(qsizetype count)
{
    return QStringLiteral("%1 条信息添加完成！").arg(count);
}

QString fewerRecords(qsizetype now, qsizetype before)
{
    return QStringLiteral("记录文件中现在只有 %1 条记录，而本窗口之前读入时有 %2 条：记录文件可能被"
                          "别的程序清空或截短了。\n\n是否仍把这条信息添加到现在的记录文件中？\n"
                          "选“否”不添加，记录文件保持原样；之前的记录可以用“从备份恢复”找回。")
        .arg(now)
        .arg(before);
}

QString dueTimeStale(const QString &due)
{
    return QStringLiteral(
               "按“?”之后，制作日期、时间或龄期改动过，到期时间“%1”是按改动前的内容算出的")
        .arg(due);
}

QString dueTimeNow(const QString &due)
{
    return QStringLiteral("（按现在的内容应为“%1”）").arg(due);
}

QString recomputeFirst(const QString &due)
{
    return QStringLiteral("。\n\n是否先按现在的内容重新计算到期时间再添加？\n"
                          "选“是”重新计算后添加；选“否”仍按“%1”添加。")
        .arg(due);
}

QString backupFolder()
{
    return QStringLiteral("备份");
}

QString beforeInitialisation()
{
    return QStringLiteral("数据初始化前");
}

QString beforeDeletion()
{
    return QStringLiteral("删除前");
}

QString beforeRestore()
{
    return QStringLiteral("恢复备份前");
}

QString readOnly()
{
    return QStringLiteral("文件只读");
}

QString backupNotKept(const QString &folder, const QString &why)
{
    return QStringLiteral("无法在 %1 中保存记录文件的备份：%2\n记录文件照常保存；"
                          "在备份能再次保存之前，不再提示此事。")
        .arg(folder, why);
}

QString backupRequired(const QString &folder, const QString &recordPath, const QString &why)
{
    return QStringLiteral("无法在 %1 中保存记录文件 %2 的备份：%3\n没有这份备份就不能继续，")
               .arg(folder, recordPath, why) +
           recordFileUnchanged();
}

QString cannotReadBackup(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取备份文件 %1：%2").arg(path, reason);
}

QString backupTooLarge(const QString &path, qint64 size, qint64 largest)
{
    const auto mb = [](qint64 bytes) { return QString::number(double(bytes) / (1 << 20), 'f', 1); };
    return cannotReadBackup(path, QStringLiteral("它有 %1 MB，远大于记录文件可能有的大小（%2 MB "
                                                 "以内），不是记录文件的备份，没有读取")
                                      .arg(mb(size), mb(largest)));
}

} // namespace StoreText
