#include "reminderdispatcher.h"

#include "apppaths.h"
#include "clock.h"
#include "enginetexts.h"
#include "gbkcodec.h"
#include "processprobe.h"
#include "reminderslots.h"
#include "specimenrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {
// A popup holds the lock for a few milliseconds; a longer hold is somebody else's trouble, and
// the window must not wait for it.
constexpr int kLockWaitMs = 150;
constexpr int kPollMs = 250;
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
    process.setProcessEnvironment(Handoff::popupEnvironment(launch.dataFolder, launch.slot));
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
        m_queue.append({cells, m_services.clock->elapsedMs()});
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
            emit reminderNotShown(EngineText::reminderFileNotMade(made.error, describe(cells)));
            return true;
        }
    }

    QStringList values;
    for (SpecimenRecord::Field field : ReminderSlots::recordFields())
        values << spellUnencodable(cells.value(SpecimenRecord::column(field)));

    // In a burst of records due together the popups would otherwise be looked at for each one.
    if (msSince(m_lastCheckMs) >= kPollMs)
        checkWatches();
    QSet<QString> reserved;
    for (const Watch &watch : std::as_const(m_watches))
        reserved.insert(watch.slot);
    // Most records of such a burst find every slot held. A look without the lock tells so (the
    // file is only ever replaced whole); the lock, a file made and synced to disk, is taken only
    // when a slot may be free.
    const ProfileFile::Contents snapshot = ProfileFile(path).read();
    ReminderSlots::Found found;
    if (!snapshot.error.isEmpty() ||
        !ReminderSlots::firstFreeIn(snapshot.bytes, reserved).isEmpty())
        found = exchange.fillFirstFree(values, reserved, kLockWaitMs);
    if (found.busy)
        return false;
    if (found.slot.isEmpty()) {
        const QString reason =
            found.error.isEmpty() ? noFreeSlotReason(snapshot.bytes) : found.error;
        emit reminderNotShown(EngineText::popupCannotShow(reason, describe(cells)));
        return true;
    }
    result->slot = found.slot;

    const Handoff::ReceiptFolder::Files files = m_receipts.next();
    Watch watch{found.slot, cells, files.receipt, files.reason, 0, m_services.clock->elapsedMs()};
    watch.pid = m_launcher({m_services.popupProgram, m_services.dataFolder, found.slot,
                            watch.receiptFile, watch.errorFile});
    result->popupStarted = watch.pid != 0;
    if (!result->popupStarted) {
        dropWatch(watch);
        emit reminderNotShown(
            EngineText::popupNotStarted(m_services.popupProgram, describe(cells)));
        return true;
    }
    m_watches.append(watch);
    return true;
}

qint64 ReminderDispatcher::msSince(qint64 startMs) const
{
    return m_services.clock->elapsedMs() - startMs;
}

QSet<QString> ReminderDispatcher::heldByOurPopups() const
{
    QSet<QString> held;
    for (const Watch &watch : m_watches)
        held.insert(watch.slot);
    for (const Showing &popup : m_showing)
        held.insert(popup.slot);
    return held;
}

QString ReminderDispatcher::noFreeSlotReason(QByteArrayView exchangeFile) const
{
    // Slots held by popups that still run need the technician to read and close them; a reset
    // would only put the next popups over them. Any other held slot may be left by a popup that
    // did not close normally, which only the reset frees.
    const QSet<QString> held = heldByOurPopups();
    QSet<QString> slotNames;
    for (const QString &section : ProfileFile::sectionsIn(exchangeFile)) {
        if (ReminderSlots::parseName(section))
            slotNames.insert(section);
    }
    if (slotNames.isEmpty() || !held.contains(slotNames))
        return EngineText::allSlotsTaken();
    return EngineText::allSlotsShowing(slotNames.size());
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
        if (msSince(m_queue.first().sinceMs) <= LockGiveUpSeconds * 1000)
            return;
        const Queued given = m_queue.takeFirst();
        emit reminderNotShown(EngineText::reminderFileLocked(
            QDir::toNativeSeparators(AppPaths::reminderFile(m_services.dataFolder)),
            LockGiveUpSeconds, describe(given.cells)));
    }
}

void ReminderDispatcher::checkWatches()
{
    m_lastCheckMs = m_services.clock->elapsedMs();
    m_showing.removeIf([](const Showing &popup) { return ProcessProbe::hasEnded(popup.pid); });
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

bool ReminderDispatcher::watchIsOver(Watch &watch, const QString &path)
{
    const auto claimed = [&] {
        return Handoff::receiptClaims(Handoff::readFile(watch.receiptFile), watch.slot);
    };
    const auto cameAfterAll = [&] {
        if (watch.listed)
            emit reminderShownAfterAll(EngineText::popupCameAfterAll(
                msSince(watch.startedMs) / 1000, watch.slot, describe(watch.cells)));
        return true;
    };
    const bool ended = ProcessProbe::hasEnded(watch.pid);
    // Claimed, by this popup or by one started by hand: the flag guards the slot from now on.
    if (claimed() ||
        !ReminderSlots::isFreeFlag(ReadIniValue(watch.slot, ReminderSlots::flagKey(), path))) {
        if (!ended)
            m_showing.append({watch.slot, watch.pid});
        return cameAfterAll();
    }
    QString why;
    if (ended) {
        // It may have claimed, closed and ended since the first look.
        if (claimed())
            return cameAfterAll();
        why = Handoff::readReason(Handoff::readFile(watch.errorFile));
        if (why.isEmpty())
            why = EngineText::popupEndedSilently();
        // Without a receipt a popup that claimed and closed quickly cannot be told from one that
        // never came, so nothing is said.
        if (!watch.listed && !watch.receiptFile.isEmpty())
            emit reminderNotShown(EngineText::popupNotShown(why, describe(watch.cells)));
        return true;
    }
    const qint64 waited = msSince(watch.startedMs);
    if (!watch.listed && waited > ClaimDeadlineSeconds * 1000) {
        watch.listed = true;
        emit reminderNotShown(
            EngineText::popupTooSlow(ClaimDeadlineSeconds, describe(watch.cells)));
    }
    return waited > ReservationSeconds * 1000;
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
