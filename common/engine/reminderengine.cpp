#include "reminderengine.h"

#include "apppaths.h"
#include "clock.h"
#include "clockwatchers.h"
#include "duecheck.h"
#include "dueestimates.h"
#include "messages.h"
#include "recordfile.h"
#include "recordfilewatcher.h"
#include "recordstore.h"
#include "storetexts.h"
#include "titles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

ReminderEngine::ReminderEngine(const QString &dataFolder, const Clock *clock, Messages *messages,
                               QObject *parent)
    : QObject(parent), m_recordFile(AppPaths::recordFile(dataFolder)), m_clock(clock),
      m_messages(messages), m_journal(dataFolder), m_settings(dataFolder),
      m_dayWatcher(new DayWatcher(clock, this)),
      m_fileWatcher(new RecordFileWatcher(m_recordFile, this)), m_temperatures(dataFolder),
      m_temperatureWatcher(new RecordFileWatcher(m_temperatures.path(), this)),
      m_nextSlice(new QTimer(this))
{
    m_settings.load();
    m_nextSlice->setSingleShot(true);
    m_nextSlice->setInterval(0);
    connect(m_nextSlice, &QTimer::timeout, this, [this] { handOn(); });
    connect(m_dayWatcher, &DayWatcher::dayChanged, this, &ReminderEngine::newDay);
    connect(m_fileWatcher, &RecordFileWatcher::changed, this, [this] {
        // A new day reloads by itself, after the last check of the day that ended.
        if (!m_dayWatcher->poll())
            reload();
    });
    connect(m_temperatureWatcher, &RecordFileWatcher::changed, this, [this] {
        if (!m_dayWatcher->poll())
            temperaturesChanged();
    });
}

ReminderEngine::~ReminderEngine() = default;

void ReminderEngine::setMonitoring(std::function<Monitoring()> monitoring)
{
    m_monitoring = std::move(monitoring);
}

ReminderEngine::Monitoring ReminderEngine::monitoring() const
{
    return m_monitoring ? m_monitoring() : Monitoring::NoRecords;
}

void ReminderEngine::start()
{
    m_dayWatcher->start();
    m_fileWatcher->start();
    m_temperatureWatcher->start();
}

void ReminderEngine::load()
{
    // A monitor switched on by what this load shows lists nothing itself: the reload does.
    const bool wasLoading = m_loading;
    m_loading = true;
    const QDateTime now = m_clock->now();
    // The lines of a file already checked are known; "读取数据" and a new day read an unchanged
    // file again.
    const QString stamp = RecordFileWatcher::stamp(m_recordFile);
    LoadReport report;
    report.checked = stamp.isEmpty() || stamp != m_checkedStamp;
    const RecordFile::Records read =
        RecordFile(m_recordFile).readDueOn(TimeText::date(now), report.checked);
    report.error = read.error;
    report.unreadable = read.unreadable;
    if (read.utf8)
        report.warning = StoreText::utf8Loaded(QDir::toNativeSeparators(m_recordFile));
    else if (m_hadFile && !read.exists)
        report.warning = StoreText::recordFileGone(QDir::toNativeSeparators(m_recordFile));
    m_hadFile = read.exists;
    if (report.checked)
        m_checkedStamp = stamp;

    this->report(m_journal.loadDays(now.date(), now.date()));
    // Batches found due are handed on before the list they are counted in goes.
    handOn(true);
    m_today.clear();
    m_reminded.clear();
    m_today.reserve(read.lines.size());
    for (const QStringList &fields : read.lines) {
        QList<QStringView> views(fields.cbegin(), fields.cend());
        m_today.append(Batch::fromFields(views));
        // Reminded before this load, in this run or an earlier one.
        m_reminded.append(m_journal.knows(m_today.last().line()));
    }
    emit loaded(report);
    m_loading = wasLoading;
}

void ReminderEngine::reload()
{
    if (m_estimatesDue)
        updateEstimates();
    load();
    // A record saved after its minute, or the record file back after a while away; also when
    // today holds no record, but not while the user has the reminders stopped.
    if (monitoring() != Monitoring::Stopped)
        catchUp();
}

void ReminderEngine::temperaturesChanged()
{
    m_estimatesDue = true;
    reload();
}

void ReminderEngine::updateEstimates()
{
    m_estimatesDue = false;
    const TemperatureLog::Reading temperatures = m_temperatures.read();
    // A record that cannot be read moves nothing: without it every estimate would be 28 days.
    if (!temperatures.error.isEmpty()) {
        report({temperatures.error});
        return;
    }
    const QString lines = TemperatureLog::unreadableText(m_temperatures.path(), temperatures);
    if (lines != m_toldTemperatureLines && !lines.isEmpty())
        report({lines});
    m_toldTemperatureLines = lines;
    const DueEstimates::Outcome outcome =
        DueEstimates::update(RecordStore(m_recordFile, RecordStore::DefaultLockWaitMs, m_backups),
                             temperatures.means, m_journal, m_clock->now());
    report(outcome.problems);
    if (outcome.moved.isEmpty())
        return;
    const QString text = DueEstimates::movedText(outcome.moved);
    QTimer::singleShot(0, this, [this, text] {
        m_messages->show(text, Title::notice(), MessageStyle::Information);
    });
}

void ReminderEngine::check()
{
    // The present minute is taken once: a minute that turns during the check belongs to the next.
    const QString present = TimeText::minute(m_clock->now());
    // Entries the journal could not write are tried again at every check, until it takes them.
    if (const QString said = m_journal.flush(); !said.isEmpty())
        report({said});
    report(m_journal.refresh());
    const DueCheck::Window window(m_previousMinute, present);
    m_previousMinute = present;
    // Read through const references: a busy day's batches are walked every few seconds, and a
    // non-const look would ask each time whether the list must be copied.
    const QList<Batch> &today = m_today;
    const QList<bool> &reminded = m_reminded;
    // One rule for lateness, whatever made the check late (a machine asleep, the clock moved on,
    // a long interval): on time is within the due minute; a batch found after it is listed with
    // its due time, as the catch-up lists, not popped up as if it were due now.
    QList<int> late;
    for (int i = 0; i < today.size(); ++i) {
        if (reminded.at(i) || !window.contains(today.at(i).dueTime()))
            continue;
        m_reminded[i] = true;
        (today.at(i).dueTime() < present ? late : m_pending).append(i);
    }
    listLate(late);
    handOn();
}

void ReminderEngine::listLate(const QList<int> &indexes)
{
    if (indexes.isEmpty())
        return;
    const QDateTime now = m_clock->now();
    for (int i : indexes)
        journal(m_today.at(i).line(), ReminderJournal::How::List, now);
    emit markedPassed(indexes);
    for (int i : indexes) {
        emit missed(SpecimenRecord::summary(m_today.at(i).cells(QString::number(i + 1)),
                                            SpecimenRecord::DueTimeAt::Front));
    }
}

void ReminderEngine::handOn(bool whole)
{
    QElapsedTimer slice;
    slice.start();
    while (!m_pending.isEmpty()) {
        if (!whole && slice.elapsed() >= SliceMs) {
            m_nextSlice->start();
            break;
        }
        const int i = m_pending.takeFirst();
        emit fellDue(i);
        const ReminderJournal::How how = m_road ? m_road(i) : ReminderJournal::How::Popup;
        journal(m_today.at(i).line(), how, m_clock->now());
    }
}

void ReminderEngine::journal(const QString &key, ReminderJournal::How how, const QDateTime &when)
{
    // The journal speaks only when it stops taking entries or takes them again: each is said.
    if (const QString said = m_journal.remind(key, how, when); !said.isEmpty())
        report({said});
}

void ReminderEngine::restart()
{
    m_previousMinute = TimeText::minute(m_clock->now().addSecs(-60));
}

void ReminderEngine::resume()
{
    restart();
    // Switched back on by the user: what fell due while it was off is listed now.
    if (!m_loading)
        catchUp();
}

void ReminderEngine::newDay()
{
    // Whatever fell due since the last check belongs to the day that ends; check it first.
    if (monitoring() == Monitoring::On)
        check();
    updateEstimates();
    load();
    if (monitoring() == Monitoring::Stopped)
        return;
    // A check that comes late (the computer slept) covers the present minute onwards; what
    // passed before is listed as late, not popped up one by one.
    if (monitoring() == Monitoring::On)
        restart();
    catchUp();
    // The new day's first minute has begun: its records are due now, not at the next tick.
    if (monitoring() == Monitoring::On)
        check();
}

void ReminderEngine::catchUp()
{
    const QDateTime now = m_clock->now();
    const QString from = horizon();
    // Today's batches are named by their row's number in the main window; of equal lines, the
    // last row's.
    QHash<QString, QString> numbers;
    for (int i = 0; i < m_today.size(); ++i)
        numbers.insert(m_today[i].line(), QString::number(i + 1));
    // The horizon is never before the overdue span, so the glance's scan holds every record the
    // watch answers for.
    QStringList texts;
    for (const ReminderWatch::Due &record :
         ReminderWatch::neverReminded(spanScan(now).records, m_journal, from, now)) {
        // A record of another day has no number in the main window.
        const Batch batch = Batch::fromLine(record.key);
        texts << SpecimenRecord::summary(
            batch.cells(numbers.value(record.key, QStringLiteral("—"))),
            SpecimenRecord::DueTimeAt::Front);
        journal(record.key, ReminderJournal::How::List, now);
    }
    for (const QString &text : texts)
        emit missed(text);

    // Today's batches whose minute has passed are marked: they were just listed, or were
    // reminded before the watch's horizon.
    const QString present = TimeText::minute(now);
    const QString today = TimeText::date(now);
    QList<int> passed;
    for (int i = 0; i < m_today.size(); ++i) {
        const QStringView due = m_today[i].dueTime();
        if (!m_reminded[i] && DueCheck::isDueTimeText(due) && due.startsWith(today) &&
            due < present) {
            m_reminded[i] = true;
            passed << i;
        }
    }
    if (!passed.isEmpty())
        emit markedPassed(passed);
}

QString ReminderEngine::horizon()
{
    const QDateTime now = m_clock->now();
    if (m_settings.watchedSince.isEmpty()) {
        // The first start: the overdue span before it is all the watch answers for.
        m_settings.watchedSince = TimeText::minute(now.addDays(-m_settings.overdueDays));
        const QString error = m_settings.save();
        if (!error.isEmpty())
            report({error});
    }
    const QString from =
        ReminderWatch::horizon(m_settings.watchedSince, now, m_settings.overdueDays);
    report(m_journal.loadDays(QDate::fromString(from.left(10), Qt::ISODate), now.date()));
    return from;
}

ReminderWatch::Glance ReminderEngine::glance()
{
    const QDateTime now = m_clock->now();
    report(m_journal.loadDays(now.date().addDays(-m_settings.overdueDays), now.date()));
    return ReminderWatch::glance(spanScan(now).records, m_journal, now);
}

const ReminderWatch::Scan &ReminderEngine::spanScan(const QDateTime &now)
{
    // One read of a.bz serves the glance and the catch-up of a load: it is read again only when
    // the file, the day or the span changed.
    const QString stamp = RecordFileWatcher::stamp(m_recordFile);
    const QString from = ReminderWatch::glanceFrom(now, m_settings.overdueDays);
    const QString before = ReminderWatch::glanceBefore(now);
    if (stamp.isEmpty() || stamp != m_scanned.stamp || from != m_scanned.from ||
        before != m_scanned.before) {
        m_scanned = {stamp, from, before, ReminderWatch::scanDue(m_recordFile, from, before)};
    }
    return m_scanned.scan;
}

void ReminderEngine::report(const QStringList &problems)
{
    if (problems.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, problems] {
        m_messages->show(problems.join(u'\n'), Title::notice(), MessageStyle::Exclamation);
    });
}
