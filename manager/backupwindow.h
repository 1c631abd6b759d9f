#pragma once

#include "recordbackups.h"

#include <QDialog>

class Messages;
class QComboBox;
class QLabel;
class QPushButton;
class RecordGridModel;

// "从备份恢复": the backups of a.bz, newest first; the records of the one chosen; and "恢复",
// which asks before it puts that backup in place of a.bz (the replaced file is kept as a backup
// too). The main window follows the file by itself.
class BackupWindow : public QDialog
{
    Q_OBJECT

public:
    BackupWindow(RecordBackups *backups, QString recordFile, Messages *messages,
                 QWidget *owner = nullptr);

    RecordGridModel *grid() const { return m_grid; }

    // Shows the records of the backup at index of the list.
    void choose(int index);
    // Asks, then restores the chosen backup.
    void restoreChosen();

private:
    void fillChoices();
    // The records (lines holding any field) of a file, counted; -1 when unreadable.
    qsizetype countRecords(const QString &path) const;
    // The records of a backup's bytes, the first of them as rows of the grid; warns of what it
    // holds besides records.
    qsizetype look(const QByteArray &bytes, QList<QStringList> *rows);

    RecordBackups *m_backups;
    QString m_recordFile;
    Messages *m_messages;
    QList<RecordBackups::Backup> m_list;
    QComboBox *m_choice;
    QLabel *m_count;
    RecordGridModel *m_grid;
    QPushButton *m_restore;
    qsizetype m_records = 0;
    QString m_warning; // what the chosen backup holds that the program cannot use
};
