#pragma once

#include "reminderjournal.h"
#include "services.h"

#include "schedulemodel.h"

#include <QDialog>

#include <optional>

class LabSettings;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class ScheduleModel;
class TextPrompts;

// "试验计划": every record in due-time order by group (逾期未试, 今天, 明天, 未来 7 天, …) with its
// count, a filter, the marking of tested batches (with an undo) and the exports. Not modal: the
// technician keeps it open beside the main window.
class ScheduleWindow : public QDialog
{
    Q_OBJECT

public:
    ScheduleWindow(const ManagerServices &services, ReminderJournal *journal, LabSettings *settings,
                   TextPrompts *prompts, QWidget *parent = nullptr);

    ScheduleModel *model() const { return m_model; }
    QTableView *view() const { return m_view; }

    // Reads a.bz and the journal again: the days the window opens on, or every record when the
    // group shown needs them.
    void reload();
    // Marks the selected rows tested; asks the technician's name once (remembered) and a
    // result, which may stay empty: one batch's strengths (StrengthDialog), or one free text
    // for several.
    void markSelectedTested();
    // The same for one batch known by its journal key (the main window's row): shown, the
    // filter cleared and every record read when it is not in the group shown, selected, marked.
    // False when no record of a.bz has that key.
    bool markTested(const QString &key);
    // Where the window stood when last closed on this computer, restored before it is first
    // shown; false when nothing is remembered or the place does not fit the work area now.
    bool restorePlace(const QRect &workArea);
    // Forgets the remembered place (a test's own settings start empty).
    static void forgetPlace();
    // Opened again: the list from its start, the first columns and the first rows in sight.
    void scrollToStart();
    // The printed list's title: the day, the group, the filter and the rows listed.
    QString printTitle() const;
    // Takes the last marking back.
    void undo();
    void exportCsv();
    void exportPdf();

signals:
    // The journal's test marks changed: what the main window counts is out of date.
    void marksChanged();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void load(ScheduleModel::Scope scope);
    // The group chosen: read every record first when it needs them.
    void showGroup(int index);
    void showCounts();
    bool askTechnician(bool always);
    void saveSettings();
    // The result of one batch, from its latest; nothing when the technician cancelled.
    std::optional<QString> askStrength(const QString &key);
    // The title of the lab's day, also the exports' title and suggested file name.
    QString dayTitle() const;
    // Column widths from the header and the texts shown.
    void fitColumns();
    // Says where the file went, or why it did not.
    void tellExported(const QString &error, const QString &path);
    QString exportPath(const QString &suffix, const QString &filter);

    struct Undo
    {
        QString key;
        ReminderJournal::Entry before;
    };

    ManagerServices m_services;
    ReminderJournal *m_journal;
    LabSettings *m_settings;
    TextPrompts *m_prompts;
    ScheduleModel *m_model;
    QComboBox *m_groups;
    QLineEdit *m_filter;
    QSpinBox *m_span;
    QTableView *m_view;
    QPushButton *m_undo;
    QLabel *m_technician;
    QLabel *m_belowGrade; // the results below the grade among the records read
    QList<Undo> m_lastMarking;
};
