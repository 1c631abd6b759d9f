#include "reminderdispatcher.h"

#include "apppaths.h"
#include "clock.h"
#include "gbkcodec.h"
#include "reminderslots.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {
constexpr int kReservationSeconds = 120;
}

ReminderDispatcher::ReminderDispatcher(const ManagerServices &services,
                                       std::function<int()> screenHeightTwips, QObject *parent)
    : QObject(parent), m_services(services), m_screenHeightTwips(std::move(screenHeightTwips)),
      m_launcher(&ReminderDispatcher::startDetached)
{
}

bool ReminderDispatcher::startDetached(const QString &program, const QString &dataFolder)
{
    // Only a program file named by its absolute path: a bare or relative name would be looked up
    // on PATH or in the working folder, which could start some other program called vexa.
    const QFileInfo file(program);
    if (!QDir::isAbsolutePath(program) || !file.isFile() || !file.isExecutable())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments({});
    // The popup must come to the same data folder, whatever rule brought the manager to it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARVELIN_DATA_DIR"), dataFolder);
    process.setProcessEnvironment(environment);
    return process.startDetached();
}

QString ReminderDispatcher::spellUnencodable(const QString &text)
{
    if (Gbk::canEncode(text))
        return text;
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString one = text.mid(i, len);
        if (Gbk::canEncode(one))
            result += one;
        else
            result += QStringLiteral("[U+%1]").arg(QString::number(one.toUcs4().value(0), 16)
                                                       .toUpper()
                                                       .rightJustified(4, QLatin1Char('0')));
        i += len - 1;
    }
    return result;
}

QSet<QString> ReminderDispatcher::reservedSlots(const QString &path)
{
    const QDateTime now = m_services.clock->now();
    QSet<QString> skip;
    for (auto it = m_reserved.begin(); it != m_reserved.end();) {
        const bool expired = it.value().secsTo(now) > kReservationSeconds || it.value() > now;
        // Once its popup has claimed the slot the flag guards it; the reservation has done its job.
        const bool claimed =
            !ReminderSlots::isFreeFlag(ReadIniValue(it.key(), ReminderSlots::flagKey(), path));
        if (expired || claimed) {
            it = m_reserved.erase(it);
        } else {
            skip.insert(it.key());
            ++it;
        }
    }
    return skip;
}

QString ReminderDispatcher::describe(const QStringList &cells) const
{
    return QStringLiteral("编号 %1，工程部位 %2，强度等级 %3，配合比编号 %4，到期时间 %5")
        .arg(cells.value(0), cells.value(1), cells.value(2), cells.value(3), cells.value(6));
}

ReminderDispatcher::Result ReminderDispatcher::dispatch(const QStringList &cells)
{
    Result result;
    const QString path = AppPaths::reminderFile(m_services.dataFolder);
    const ReminderSlots exchange(path);

    // A fresh installation has no exchange file yet: make the slots as the reset would.
    if (!QFileInfo::exists(path)) {
        const ProfileFile::Outcome made =
            exchange.reset(ReminderSlots::rowsPerLayer(m_screenHeightTwips()));
        if (!made.ok) {
            emit reminderNotShown(QStringLiteral("无法建立提示文件：%1\n到期记录：%2")
                                      .arg(made.error, describe(cells)));
            return result;
        }
    }

    QStringList values;
    for (int column : ReminderSlots::recordColumns())
        values << spellUnencodable(cells.value(column));

    const ReminderSlots::Found found = exchange.fillFirstFree(values, reservedSlots(path));
    if (found.slot.isEmpty()) {
        const QString reason = found.error.isEmpty()
                                   ? QStringLiteral("所有提示位置都已占用，建议执行“提示初始化”。")
                                   : found.error;
        emit reminderNotShown(
            QStringLiteral("到期提醒无法弹出：%1\n到期记录：%2").arg(reason, describe(cells)));
        return result;
    }
    result.slot = found.slot;
    m_reserved.insert(found.slot, m_services.clock->now());

    result.popupStarted = m_launcher(m_services.popupProgram, m_services.dataFolder);
    if (!result.popupStarted) {
        emit reminderNotShown(QStringLiteral("无法启动提醒程序 %1。\n到期记录：%2")
                                  .arg(m_services.popupProgram, describe(cells)));
    }
    return result;
}
