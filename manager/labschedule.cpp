#include "labschedule.h"

#include "apppaths.h"
#include "clock.h"
#include "messages.h"
#include "recordfilewatcher.h"
#include "recordgridmodel.h"
#include "recordline.h"
#include "reminderwatch.h"
#include "schedulewindow.h"
#include "specimenrecord.h"
#include "textprompts.h"

#include <QLabel>
#include <QSystemTrayIcon>
#include <QTimer>

LabSchedule::LabSchedule(const ManagerServices &services, QWidget *window, QLabel *statusLine,
                         QSystemTrayIcon *tray, TextPrompts *prompts)
    : QObject(window), m_services(services), m_journal(services.dataFolder),
      m_settings(services.dataFolder), m_owner(window), m_statusLine(statusLine), m_tray(tray),
      m_ownPrompts(prompts ? nullptr : new DialogPrompts),
      m_prompts(prompts ? prompts : m_ownPrompts.get())
{
    m_settings.load();
}

LabSchedule::~LabSchedule() = default;

void LabSchedule::open()
{
    if (!m_window) {
        m_window = new ScheduleWindow(m_services, &m_journal, &m_settings, m_prompts, m_owner);
        connect(m_window, &ScheduleWindow::marksChanged, this, &LabSchedule::refreshGlance);
    }
    m_window->reload();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void LabSchedule::refreshGlance()
{
    const QDateTime now = m_services.clock->now();
    report(m_journal.loadDays(now.date().addDays(-m_settings.overdueDays), now.date()));
    const QString text = ReminderWatch::glance(spanScan(now).records, m_journal, now).text();
    m_statusLine->setText(text);
    m_tray->setToolTip(QStringLiteral("Tarvelin\n") + text);
}

const ReminderWatch::Scan &LabSchedule::spanScan(const QDateTime &now)
{
    const QString path = AppPaths::recordFile(m_services.dataFolder);
    const QString stamp = RecordFileWatcher::stamp(path);
    const QString from = ReminderWatch::glanceFrom(now, m_settings.overdueDays);
    const QString before = ReminderWatch::glanceBefore(now);
    if (stamp.isEmpty() || stamp != m_scanned.stamp || from != m_scanned.from ||
        before != m_scanned.before) {
        m_scanned = {stamp, from, before, ReminderWatch::scanDue(path, from, before)};
    }
    return m_scanned.scan;
}

void LabSchedule::report(const QStringList &problems)
{
    if (problems.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, problems] {
        m_services.messages->show(problems.join(u'\n'), QStringLiteral("提示"),
                                  MessageStyle::Exclamation);
    });
}

QString LabSchedule::horizon()
{
    const QDateTime now = m_services.clock->now();
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

QList<int> LabSchedule::remindedRows(const RecordGridModel &grid)
{
    const QDate today = m_services.clock->now().date();
    report(m_journal.loadDays(today, today));
    const QString mark = SpecimenRecord::dueMarkText();
    QList<int> rows;
    for (int r = 1; r < grid.rows() - 1; ++r) {
        if (grid.textView(r, SpecimenRecord::DueMarkColumn) != mark &&
            m_journal.knows(RecordLine::textOfRow(grid, r)))
            rows << r;
    }
    return rows;
}

void LabSchedule::remindedByPopup(const QString &key)
{
    const QString error =
        m_journal.remind(key, ReminderJournal::How::Popup, m_services.clock->now());
    if (!error.isEmpty())
        report({error});
}

QStringList LabSchedule::catchUp(const QHash<QString, QString> &numbers)
{
    const QDateTime now = m_services.clock->now();
    const QString from = horizon();
    // The horizon is never before the overdue span, so the glance's scan holds every record the
    // watch answers for.
    QStringList texts;
    QStringList errors;
    for (const ReminderWatch::Due &record :
         ReminderWatch::neverReminded(spanScan(now).records, m_journal, from, now)) {
        // A record of another day has no number in the main window.
        const QStringList cells = QStringList{numbers.value(record.key, QStringLiteral("—"))} +
                                  record.key.split(RecordLine::Separator);
        texts << SpecimenRecord::summary(cells, SpecimenRecord::DueTimeAt::Front);
        const QString error = m_journal.remind(record.key, ReminderJournal::How::List, now);
        if (!error.isEmpty() && errors.isEmpty())
            errors << error;
    }
    report(errors);
    return texts;
}
