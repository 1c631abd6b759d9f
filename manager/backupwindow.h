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
    // The records (lines holding any field) of a file, as rows of the grid; -1 when unreadable.
    qsizetype loadRecords(const QString &path, QList<QStringList> *rows) const;

    RecordBackups *m_backups;
    QString m_recordFile;
    Messages *m_messages;
    QList<RecordBackups::Backup> m_list;
    QComboBox *m_choice;
    QLabel *m_count;
    RecordGridModel *m_grid;
    QPushButton *m_restore;
    qsizetype m_records = 0;
};
