#include "recordadder.h"

#include "messages.h"
#include "numberreading.h"
#include "recordcorrection.h"

namespace {
QString unchangedNote()
{
    return QStringLiteral("这条信息没有添加，记录文件未被改动。");
}

QString errorTitle()
{
    return QStringLiteral("错误");
}
} // namespace

QStringList RecordEntry::storedFields() const
{
    QStringList fields = typed;
    fields[SpecimenRecord::MakingDate] = DueTime::pickerDateText(making.makingDate) +
                                         QLatin1Char(' ') + NumberReading::asciiForm(making.hour) +
                                         QLatin1Char(':') + NumberReading::asciiForm(making.minute);
    fields[SpecimenRecord::Age] = making.age;
    return fields;
}

RecordAdder::RecordAdder(const QString &recordPath, Messages *messages, int lockWaitMs,
                         RecordBackups *backups)
    : m_store(recordPath, lockWaitMs, backups), m_messages(messages)
{
}

QString RecordAdder::refusal(const RecordEntry &entry)
{
    // In the order of the record's fields; the making date is typed as an hour and a minute.
    QList<std::pair<QString, QString>> boxes;
    for (int f = 0; f < RecordLine::Stored; ++f) {
        const auto field = SpecimenRecord::Field(f);
        if (field == SpecimenRecord::MakingDate) {
            boxes.append({QStringLiteral("制作时间的小时"), entry.making.hour});
            boxes.append({QStringLiteral("制作时间的分钟"), entry.making.minute});
        } else {
            boxes.append({SpecimenRecord::texts(field).name,
                          field == SpecimenRecord::Age ? entry.making.age : entry[field]});
        }
    }
    for (const auto &[name, value] : boxes) {
        const QString refused =
            RecordCorrection::fieldRefusal(name, value, QStringLiteral("后再添加"));
        if (!refused.isEmpty())
            return refused + unchangedNote();
    }
    if (!entry.making.makingDate.isValid())
        return entry.makingDateProblem + unchangedNote();
    const QString numbers = DueTime::numberRefusal(entry.making);
    if (!numbers.isEmpty())
        return numbers + unchangedNote();
    const QString &due = entry.dueTime();
    if (due.isEmpty()) {
        return QStringLiteral("到期时间未填写。请先按“?”计算到期时间，或按“YYYY-MM-DD hh:mm”的形式"
                              "填写。") +
               unchangedNote();
    }
    if (!DueTime::isRealDueTime(due)) {
        return QStringLiteral("到期时间“%1”不是“YYYY-MM-DD hh:mm”形式的有效时间（例如 2024-05-31 "
                              "09:05），这样的记录永远不会提醒。请按“?”重新计算，或按此形式填写。")
                   .arg(due) +
               unchangedNote();
    }
    return {};
}

RecordAdder::Result RecordAdder::add(const QList<RecordEntry> &entries, qsizetype recordsSeen)
{
    Result result;
    result.entries = entries;
    for (const RecordEntry &entry : entries) {
        const QString refused = refusal(entry);
        if (!refused.isEmpty()) {
            m_messages->show(refused, errorTitle(), MessageStyle::Exclamation);
            return result;
        }
    }
    // Asked before the lock is taken: another copy must not wait for this user's answer.
    for (RecordEntry &entry : result.entries) {
        if (!offerToRecompute(entry))
            return result;
    }

    // A file holding fewer records than the caller saw stops the first try; once the lock is let
    // go the user is asked, and at a yes the entries go into the file as it is then.
    bool fewer = false;
    const RecordStore::Edit append = [&](RecordTable &table) {
        if (recordsSeen > 0 && table.size() < recordsSeen) {
            fewer = true;
            return fewerRecordsQuestion(table.size(), recordsSeen);
        }
        for (const RecordEntry &entry : result.entries)
            table.append(entry.storedFields());
        return QString();
    };
    RecordStore::Outcome saved = m_store.change(append);
    if (fewer) {
        if (!m_messages->ask(saved.error, QStringLiteral("提示"))) {
            m_messages->show(unchangedNote(), QStringLiteral("提示"), MessageStyle::Information);
            return result;
        }
        recordsSeen = -1;
        saved = m_store.change(append);
    }
    if (!saved.ok()) {
        m_messages->show(saved.error + (entries.size() == 1
                                            ? QStringLiteral("这条信息没有添加。")
                                            : QStringLiteral("这些信息都没有添加。")),
                         errorTitle(), MessageStyle::Exclamation);
        return result;
    }
    result.added = true;
    result.table = std::move(saved.table);
    m_messages->show(entries.size() == 1
                         ? QStringLiteral("此条信息添加完成！")
                         : QStringLiteral("%1 条信息添加完成！").arg(entries.size()),
                     QStringLiteral("信息"), MessageStyle::Plain);
    return result;
}

QString RecordAdder::fewerRecordsQuestion(qsizetype records, qsizetype recordsSeen)
{
    return QStringLiteral("记录文件中现在只有 %1 条记录，而本窗口之前读入时有 %2 条：记录文件可能被"
                          "别的程序清空或截短了。\n\n是否仍把这条信息添加到现在的记录文件中？\n"
                          "选“否”不添加，记录文件保持原样；之前的记录可以用“从备份恢复”找回。")
        .arg(records)
        .arg(recordsSeen);
}

bool RecordAdder::offerToRecompute(RecordEntry &entry)
{
    // A due time typed by hand is saved as typed; so is one that still matches the entry.
    const QString due = entry.dueTime();
    if (entry.computedDue.isEmpty() || due != entry.computedDue)
        return true;
    const DueTime::Outcome now = DueTime::compute(entry.making);
    if (now.ok() && now.dueTime == due)
        return true;

    QString question =
        QStringLiteral("按“?”之后，制作日期、时间或龄期改动过，到期时间“%1”是按改动前的内容算出的")
            .arg(due);
    if (now.ok())
        question += QStringLiteral("（按现在的内容应为“%1”）").arg(now.dueTime);
    question += QStringLiteral("。\n\n是否先按现在的内容重新计算到期时间再添加？\n"
                               "选“是”重新计算后添加；选“否”仍按“%1”添加。")
                    .arg(due);
    if (!m_messages->ask(question, QStringLiteral("提示"))) {
        // Kept on purpose: from now on it counts as typed.
        entry.computedDue.clear();
        return true;
    }
    if (!now.ok()) {
        m_messages->show(now.error + QStringLiteral("\n") + unchangedNote(), DueTime::errorTitle(),
                         MessageStyle::Plain);
        return false;
    }
    entry.dueTime() = now.dueTime;
    entry.computedDue = now.dueTime;
    return true;
}
