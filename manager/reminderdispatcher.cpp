#include "reminderdispatcher.h"

#include "apppaths.h"
#include "clock.h"
#include "gbkcodec.h"
#include "processprobe.h"
#include "reminderslots.h"
#include "specimenrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

namespace {
// A popup holds the lock for a few milliseconds; a longer hold is somebody else's trouble, and
// the window must not wait for it.
constexpr int kLockWaitMs = 150;
constexpr int kPollMs = 250;

bool secondsPassed(const QDateTime &since, const QDateTime &now, int seconds)
{
    // A clock set back counts as time passed, or a watch could last for ever.
    return since.secsTo(now) > seconds || since > now;
}

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}
} // namespace

ReminderDispatcher::ReminderDispatcher(const ManagerServices &services,
                                       std::function<int()> screenHeightTwips, QObject *parent)
    : QObject(parent), m_services(services), m_screenHeightTwips(std::move(screenHeightTwips)),
      m_launcher(&ReminderDispatcher::startDetached), m_pollTimer(new QTimer(this))
{
    m_pollTimer->setInterval(kPollMs);
    connect(m_pollTimer, &QTimer::timeout, this, &ReminderDispatcher::poll);
}

ReminderDispatcher::~ReminderDispatcher() = default;

qint64 ReminderDispatcher::startDetached(const Launch &launch)
{
    // Only a program file named by its absolute path: a bare or relative name would be looked up
    // on PATH or in the working folder, which could start some other program called vexa.
    const QFileInfo file(launch.program);
    if (!QDir::isAbsolutePath(launch.program) || !file.isFile() || !file.isExecutable())
        return 0;
    QProcess process;
    process.setProgram(launch.program);
    process.setArguments({});
    // The popup must come to the same data folder, whatever rule brought the manager to it, and
    // show the slot filled for it, not whichever is free when it gets round to looking.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARVELIN_DATA_DIR"), launch.dataFolder);
    environment.insert(QStringLiteral("VEXA_SLOT"), launch.slot);
    process.setProcessEnvironment(environment);
    if (!launch.receiptFile.isEmpty())
        process.setStandardOutputFile(launch.receiptFile);
    if (!launch.errorFile.isEmpty())
        process.setStandardErrorFile(launch.errorFile);
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return 0;
    return pid > 0 ? pid : 1;
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

QString ReminderDispatcher::describe(const QStringList &cells) const
{
    return SpecimenRecord::summary(cells);
}

ReminderDispatcher::Result ReminderDispatcher::dispatch(const QStringList &cells)
{
    Result result;
    // Records keep their order: none overtakes one that waits for the lock.
    if (!m_queue.isEmpty() || !tryDispatch(cells, &result)) {
        m_queue.append({cells, m_services.clock->now()});
        result.queued = true;
    }
    updatePolling();
    return result;
}

bool ReminderDispatcher::tryDispatch(const QStringList &cells, Result *result)
{
    const QString path = AppPaths::reminderFile(m_services.dataFolder);
    const ReminderSlots exchange(path);

    // A fresh installation has no exchange file yet: make the slots as the reset would.
    if (!QFileInfo::exists(path)) {
        const ProfileFile::Outcome made =
            exchange.reset(ReminderSlots::rowsPerLayer(m_screenHeightTwips()));
        if (!made.ok) {
            emit reminderNotShown(QStringLiteral("无法建立提示文件：%1\n到期记录：%2")
                                      .arg(made.error, describe(cells)));
            return true;
        }
    }

    QStringList values;
    for (SpecimenRecord::Field field : ReminderSlots::recordFields())
        values << spellUnencodable(cells.value(SpecimenRecord::column(field)));

    checkWatches();
    const ReminderSlots::Found found = exchange.fillFirstFree(values, watchedSlots(), kLockWaitMs);
    if (found.busy)
        return false;
    if (found.slot.isEmpty()) {
        const QString reason = found.error.isEmpty()
                                   ? QStringLiteral("所有提示位置都已占用，建议执行“提示初始化”。")
                                   : found.error;
        emit reminderNotShown(
            QStringLiteral("到期提醒无法弹出：%1\n到期记录：%2").arg(reason, describe(cells)));
        return true;
    }
    result->slot = found.slot;

    Watch watch{found.slot, cells, {}, {}, 0, m_services.clock->now()};
    const QString receipt = nextReceiptBase();
    if (!receipt.isEmpty()) {
        watch.receiptFile = receipt + QStringLiteral(".out");
        watch.errorFile = receipt + QStringLiteral(".err");
    }
    watch.pid = m_launcher({m_services.popupProgram, m_services.dataFolder, found.slot,
                            watch.receiptFile, watch.errorFile});
    result->popupStarted = watch.pid != 0;
    if (!result->popupStarted) {
        dropWatch(watch);
        emit reminderNotShown(QStringLiteral("无法启动提醒程序 %1。\n到期记录：%2")
                                  .arg(m_services.popupProgram, describe(cells)));
        return true;
    }
    m_watches.append(watch);
    return true;
}

QString ReminderDispatcher::nextReceiptBase()
{
    if (!m_receipts)
        m_receipts = std::make_unique<QTemporaryDir>();
    // Without a folder for receipts the popups still start; only a silent failure goes unseen.
    if (!m_receipts->isValid())
        return {};
    return m_receipts->filePath(QStringLiteral("popup-%1").arg(++m_launches));
}

QSet<QString> ReminderDispatcher::watchedSlots() const
{
    QSet<QString> taken;
    for (const Watch &watch : m_watches)
        taken.insert(watch.slot);
    return taken;
}

void ReminderDispatcher::poll()
{
    retryQueue();
    checkWatches();
    updatePolling();
}

void ReminderDispatcher::retryQueue()
{
    while (!m_queue.isEmpty()) {
        Result ignored;
        if (tryDispatch(m_queue.first().cells, &ignored)) {
            m_queue.removeFirst();
            continue;
        }
        if (!secondsPassed(m_queue.first().since, m_services.clock->now(), LockGiveUpSeconds))
            return;
        const Queued given = m_queue.takeFirst();
        emit reminderNotShown(
            QStringLiteral("到期提醒无法弹出：提示文件 %1 一直被另一个程序锁定（锁文件 %1.lock），"
                           "等待 %2 秒后放弃。\n到期记录：%3")
                .arg(QDir::toNativeSeparators(AppPaths::reminderFile(m_services.dataFolder)))
                .arg(LockGiveUpSeconds)
                .arg(describe(given.cells)));
    }
}

void ReminderDispatcher::checkWatches()
{
    if (m_watches.isEmpty())
        return;
    const QString path = AppPaths::reminderFile(m_services.dataFolder);
    for (qsizetype i = 0; i < m_watches.size();) {
        if (watchIsOver(m_watches[i], path)) {
            dropWatch(m_watches[i]);
            m_watches.removeAt(i);
        } else {
            ++i;
        }
    }
}

bool ReminderDispatcher::watchIsOver(const Watch &watch, const QString &path)
{
    const auto claimed = [&] {
        const QList<QByteArray> lines = readSmallFile(watch.receiptFile).split('\n');
        for (const QByteArray &line : lines) {
            if (QString::fromUtf8(line).trimmed() == watch.slot)
                return true;
        }
        return false;
    };
    // Claimed, by this popup or by one started by hand: the flag guards the slot from now on.
    if (claimed() ||
        !ReminderSlots::isFreeFlag(ReadIniValue(watch.slot, ReminderSlots::flagKey(), path)))
        return true;
    QString why;
    if (ProcessProbe::hasEnded(watch.pid)) {
        // It may have claimed, closed and ended since the first look.
        if (claimed())
            return true;
        why = QString::fromLocal8Bit(readSmallFile(watch.errorFile)).trimmed();
        if (why.isEmpty())
            why = QStringLiteral("提醒程序启动后没有显示这条记录就结束了。");
    } else if (secondsPassed(watch.started, m_services.clock->now(), ClaimDeadlineSeconds)) {
        why = QStringLiteral("提醒窗口在 %1 秒内没有出现，提醒程序可能被阻止或启动过慢。")
                  .arg(ClaimDeadlineSeconds);
    } else {
        return false;
    }
    // Without a receipt a popup that claimed and closed quickly cannot be told from one that
    // never came, so nothing is said.
    if (!watch.receiptFile.isEmpty())
        emit reminderNotShown(
            QStringLiteral("到期提醒没有弹出：%1\n到期记录：%2").arg(why, describe(watch.cells)));
    return true;
}

void ReminderDispatcher::dropWatch(const Watch &watch)
{
    // A popup still running may hold its file open; the folder goes with the dispatcher anyway.
    if (!watch.receiptFile.isEmpty())
        QFile::remove(watch.receiptFile);
    if (!watch.errorFile.isEmpty())
        QFile::remove(watch.errorFile);
}

void ReminderDispatcher::updatePolling()
{
    const bool work = !m_queue.isEmpty() || !m_watches.isEmpty();
    if (work && !m_pollTimer->isActive())
        m_pollTimer->start();
    else if (!work)
        m_pollTimer->stop();
}
