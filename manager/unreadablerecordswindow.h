#pragma once

#include "recordcheck.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QSet>

class QLabel;
class QTableView;

// The lines of a.bz the programs cannot use: line number, the line's start, the reason.
class UnreadableLinesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;
    void setLines(QList<RecordCheck::Unreadable> lines);
    const QList<RecordCheck::Unreadable> &lines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<RecordCheck::Unreadable> m_lines;
};

// "无法识别的记录": names the lines of a.bz that never show and never remind, after a load that
// found any the user was not told of yet. Not modal, so that the monitor goes on; it stands in
// the tray's corner of the screen, clear of the main window's menus. The file is left as it is.
class UnreadableRecordsWindow : public QDialog
{
    Q_OBJECT

public:
    explicit UnreadableRecordsWindow(QWidget *owner);

    // What a load of recordFile found. The window comes up when a line is among them that was
    // not among those of the load before; otherwise it only follows what the file now holds.
    void loaded(const QString &recordFile, const RecordCheck::Report &report);

    const UnreadableLinesModel *model() const { return m_model; }

private:
    void placeInTrayCorner();

    UnreadableLinesModel *m_model;
    QLabel *m_intro;
    QTableView *m_view;
    QSet<QString> m_named; // the lines of the last load, by start and reason
};
