#pragma once

#include "recordstore.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Messages;
class RecordGridModel;
class RecordGridView;

// The main window's commands that remove records: one row from the grid (double click), the
// due records from the record file ("删除过期数据"), and every record ("数据初始化"). Each asks
// first, naming what will go, with "否" as the answer Return gives; after the answer, the file is
// read again, changed and replaced in one rewrite of the store (RecordStore::rewrite), so that no
// add made by another copy meanwhile is lost.
class RecordMaintenance : public QObject
{
    Q_OBJECT

public:
    // Deletions and "数据初始化" first keep the file in the store's backups, when it has them.
    RecordMaintenance(RecordGridModel *grid, RecordGridView *view, RecordStore store,
                      Messages *messages, QObject *parent = nullptr);

    // Removes the row at the end of the selection from the grid only; the file keeps it.
    void shanchuxuanzhong();

    // "删除过期数据": tells the user when the grid shows no record, else runs delgqshuju.
    void scgqsj_Click();
    // Rewrites the record file without the lines of the rows marked due.
    void delgqshuju();

    // "数据初始化": replaces the record file by an empty one.
    void sjcsh_Click();

private:
    // What "删除过期数据" would do to the file as it is now.
    struct Expiry
    {
        QString error;    // the file cannot be read: nothing is done
        QStringList kept; // the lines that stay, in file order
        qsizetype removed = 0;
        QList<int> dueRows; // the marked rows, one for each distinct record
    };
    Expiry expiry(const RecordFile::Text &read) const;
    QString initialisationQuestion() const;
    void showError(const QString &text) const;

    RecordGridModel *m_grid;
    RecordGridView *m_view;
    RecordStore m_store;
    const RecordFile &m_file = m_store.file();
    Messages *m_messages;
};
