#pragma once

#include "handoff.h"
#include "services.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <limits>

class QTimer;

// Hands a due record to the popup program: writes it into the first free slot of vexa.ini, then
// starts vexa and tells it which slot is its own, so that every record is shown by exactly one
// popup whatever order popups start and close in.
//
// Every popup started is watched until it has claimed its slot: it says so in its receipt
// (Handoff). A popup that ends without claiming, or does not claim in time, is reported through
// reminderNotShown, so its record is never lost silently. While a popup is watched its slot is not
// given to another record; one that claims after it was reported is reported again
// (reminderShownAfterAll), so that the technician knows the two are one record. Time is measured
// on the clock's monotonic side: setting the time of day neither ends a wait nor stretches it.
//
// When another process holds the exchange file's lock, the record waits in a queue and is tried
// again from the event loop, so the window never freezes behind the lock.
class ReminderDispatcher : public QObject
{
    Q_OBJECT

public:
    struct Launch
    {
        QString program;     // absolute path of vexa
        QString dataFolder;  // where the popup finds vexa.ini
        QString slot;        // the slot filled for this popup
        QString receiptFile; // the popup's standard output goes here; empty for none
        QString errorFile;   // and its standard error here
    };
    // Starts the program detached; returns its process id, or 0 when it could not be started.
    using Launcher = std::function<qint64(const Launch &)>;

    ReminderDispatcher(const ManagerServices &services, std::function<int()> screenHeightTwips,
                       QObject *parent = nullptr);
    ~ReminderDispatcher() override;

    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

    // How long a started popup has to claim its slot before its record is shown another way.
    static constexpr int ClaimDeadlineSeconds = 30;
    // How long the slot of a popup that missed the deadline stays kept for it, should it come late.
    static constexpr int ReservationSeconds = 120;
    // How long a record waits for another process to let go of the exchange file's lock.
    static constexpr int LockGiveUpSeconds = 30;

    struct Result
    {
        QString slot; // the slot filled, empty when none
        bool popupStarted = false;
        bool queued = false; // waiting for the exchange file's lock
    };

    // cells: the texts of grid columns 0 to 10 of the due row.
    Result dispatch(const QStringList &cells);

    // Records waiting for the lock, and popups started that have not claimed their slot yet.
    int queuedCount() const { return int(m_queue.size()); }
    int watchedCount() const { return int(m_watches.size()); }

    // Text GBK cannot hold, spelt out so that the popup can show it: "😀" becomes "[U+1F600]".
    static QString spellUnencodable(const QString &text);

    // Starts launch.program, which must be an executable file named by its absolute path, without
    // a shell and without arguments, in Handoff::popupEnvironment.
    static qint64 startDetached(const Launch &launch);

    // One step of the work done from the event loop: the queue, then the watched popups.
    void poll();

signals:
    // The popup could not show this record; the manager must tell the user another way.
    void reminderNotShown(const QString &message);
    // A popup whose record was reported through reminderNotShown has come after all.
    void reminderShownAfterAll(const QString &message);

private:
    struct Watch
    {
        QString slot;
        QStringList cells;
        QString receiptFile;
        QString errorFile;
        qint64 pid = 0;
        qint64 startedMs = 0;
        bool listed = false; // reported as not shown; still watched for a late claim
    };
    // A popup of ours that claimed its slot and has not ended when last looked at.
    struct Showing
    {
        QString slot;
        qint64 pid = 0;
    };
    struct Queued
    {
        QStringList cells;
        qint64 sinceMs = 0;
    };

    // False when the lock was busy and nothing was done.
    bool tryDispatch(const QStringList &cells, Result *result);
    void retryQueue();
    void checkWatches();
    // Whether the watch is over; reports a popup that will not show its record, or that came
    // after it was reported.
    bool watchIsOver(Watch &watch, const QString &path);
    void dropWatch(const Watch &watch);
    void updatePolling();
    QSet<QString> heldByOurPopups() const;
    QString noFreeSlotReason(QByteArrayView exchangeFile) const;
    QString describe(const QStringList &cells) const;
    qint64 msSince(qint64 startMs) const;

    ManagerServices m_services;
    std::function<int()> m_screenHeightTwips;
    Launcher m_launcher;
    QList<Queued> m_queue;
    QList<Watch> m_watches;
    QList<Showing> m_showing;
    qint64 m_lastCheckMs = std::numeric_limits<qint64>::min() / 2;
    QTimer *m_pollTimer;
    Handoff::ReceiptFolder m_receipts;
};
