#pragma once

#include "batch.h"
#include "labsettings.h"
#include "recordcheck.h"
#include "reminderjournal.h"
#include "reminderwatch.h"
#include "temperaturelog.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class Clock;
class DayWatcher;
class Messages;
class QTimer;
class RecordBackups;
class RecordFileWatcher;

// The reminder engine, without a window: the batches due today, which of them were reminded
// (in this run or an earlier one: the journal knows), the minutes already checked, the watchers of
// the day and of a.bz, and the catch-up of what was never reminded. Windows show its state and
// start what it asks for: a batch that fell due goes to the popup, a missed one to the list.
class ReminderEngine : public QObject
{
    Q_OBJECT

public:
    // Whether the monitor runs, as its switch in the window says.
    enum class Monitoring {
        NoRecords, // off until records are shown: start-up with none
        On,
        Stopped, // off by the user until the user starts it again
    };

    ReminderEngine(const QString &dataFolder, const Clock *clock, Messages *messages,
                   QObject *parent = nullptr);
    ~ReminderEngine() override;

    // Asked whenever a reload or a new day decides what to check; NoRecords until given.
    void setMonitoring(std::function<Monitoring()> monitoring);

    // Hands a batch that fell due (by its index in today()) to whoever reminds of it, and says
    // how that was done: by a popup, or in a list when no popup could show it. The journal keeps
    // that. Without a road every batch is journalled as popped up.
    using Road = std::function<ReminderJournal::How(int index)>;
    void setRoad(Road road) { m_road = std::move(road); }

    // A check that finds many batches due hands them on from the event loop, this long at a time,
    // so that the windows never stop answering.
    static constexpr int SliceMs = 40;
    // Batches found due and not handed on yet.
    qsizetype pendingCount() const { return m_pending.size(); }

    // The backups a rewrite of a.bz keeps: the due times of records tested at their equivalent
    // age are moved by one (DueEstimates).
    void setBackups(RecordBackups *backups) { m_backups = backups; }

    ReminderJournal &journal() { return m_journal; }
    LabSettings &settings() { return m_settings; }
    const QString &recordFile() const { return m_recordFile; }

    // Today's batches in file order; grid row r shows batch r - 1.
    const QList<Batch> &today() const { return m_today; }
    bool isReminded(int index) const { return m_reminded.value(index); }

    // Starts watching the day and a.bz, before the first reload, so that no change is missed.
    void start();

    // Today's batches read again; those reminded before are known again from the journal.
    void load();
    // load, then what was never reminded is listed, unless the user stopped the reminders. The
    // first reload, and one after the temperatures changed, first moves the due times of records
    // tested at their equivalent age to the present estimate, so that a batch whose new due time
    // has passed is listed with the others.
    void reload();
    // The temperature record changed (the window "温度记录", or 温度记录.csv written elsewhere).
    void temperaturesChanged();
    // One check: every batch whose due minute came since the previous check (the present minute
    // alone after a restart) is marked. Those due in the present minute are handed on (fellDue
    // and the road), upper first, and journalled, a slice at a time when there are many; those
    // of an earlier minute (the check came late) are listed as missed.
    void check();
    // The monitor was switched on: the next check starts at the present minute, and what fell due
    // while it was off is listed (not during a load, which lists it itself).
    void resume();

    // The lab's day at a glance, over the overdue span.
    ReminderWatch::Glance glance();

    struct LoadReport
    {
        QString error;                  // a.bz exists but could not be read
        bool checked = false;           // the file's lines were checked (it changed since)
        RecordCheck::Report unreadable; // when checked
        // a.bz is read but not as it should be: in UTF-8 (when checked), or gone since the last
        // load.
        QString warning;
    };

signals:
    // today() was replaced, with its marks.
    void loaded(const ReminderEngine::LoadReport &report);
    // The batch at index fell due and is marked: its popup must be started.
    void fellDue(int index);
    // These batches of today were marked without a popup (listed as missed instead).
    void markedPassed(const QList<int> &indexes);
    // A record whose minute went by unreminded, as its text for the list of missed reminders.
    void missed(const QString &text);

private:
    // Hands on pending batches for one slice, and asks for the next slice when some are left; all
    // of them at once with whole set.
    void handOn(bool whole = false);
    // One entry into the journal; what the journal says of it goes to report.
    void journal(const QString &key, ReminderJournal::How how, const QDateTime &when);
    // Journals today's batches found after their minute as listed, marks them and lists them.
    void listLate(const QList<int> &indexes);
    void newDay();
    // DueEstimates over the temperature record; says which batches moved, in one message.
    void updateEstimates();
    void restart();
    void catchUp();
    QString horizon();
    const ReminderWatch::Scan &spanScan(const QDateTime &now);
    // A journal that cannot be read or written is said in a message box of its own, after the
    // present work: the reminders go on.
    void report(const QStringList &problems);
    Monitoring monitoring() const;

    QString m_recordFile;
    const Clock *m_clock;
    Messages *m_messages;
    ReminderJournal m_journal;
    LabSettings m_settings;
    std::function<Monitoring()> m_monitoring;
    Road m_road;
    QList<int> m_pending; // indexes into m_today, marked and not handed on yet
    DayWatcher *m_dayWatcher;
    RecordFileWatcher *m_fileWatcher;
    TemperatureLog m_temperatures;
    RecordFileWatcher *m_temperatureWatcher;
    RecordBackups *m_backups = nullptr;
    bool m_estimatesDue = true;     // at the next reload
    QString m_toldTemperatureLines; // the unreadable lines of 温度记录.csv last said
    QTimer *m_nextSlice;
    QList<Batch> m_today;
    QList<bool> m_reminded;
    QString m_previousMinute; // the last minute checked
    QString m_checkedStamp;   // a.bz as it was when its lines were last checked
    bool m_hadFile = false;   // a.bz was there at the last load
    bool m_loading = false;   // within load
    struct Scanned
    {
        QString stamp, from, before; // a.bz's stamp and the span scanned
        ReminderWatch::Scan scan;
    } m_scanned;
};
