#pragma once

#include "equivalentage.h"
#include "services.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QDialog>

class QLabel;
class QLineEdit;
class QTableView;
class UnreadableLinesModel;

// The last 30 days of the temperature record, today first: the date and its daily mean, which may
// be typed over. A typed mean is handed to the window, which asks and records it; the table then
// shows the file again.
class TemperatureModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int Days = 30;
    enum Column { DateColumn, MeanColumn, ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    void show(const QDate &today, EquivalentAge::Means means);
    QDate dateAt(int row) const { return m_today.addDays(-row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void meanTyped(const QDate &date, const QString &text);

private:
    QDate m_today;
    EquivalentAge::Means m_means;
};

// "温度记录": today's daily mean typed, or the day's highest and lowest (their mean is kept); the
// last 30 days listed and corrected in place; the lines of 温度记录.csv that are no day's mean
// named. A mean already recorded is replaced only after a question. Every recording tells the
// owner (recorded), which brings the due times of the equivalent age up to date.
class TemperatureWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TemperatureWindow(const ManagerServices &services, QWidget *owner = nullptr);

    TemperatureModel *model() const { return m_model; }
    // "记录": today's mean from the boxes.
    void recordToday();
    // Records text as the mean of date, asking first when it replaces one; false when it did not.
    bool recordMean(const QDate &date, const QString &text);

signals:
    void recorded();

private:
    // The file read again into the table and the list of unreadable lines.
    void reload();
    // The mean the boxes hold, or nothing after saying why.
    std::optional<double> typedMean();
    bool record(const QDate &date, double mean);

    ManagerServices m_services;
    TemperatureModel *m_model;
    UnreadableLinesModel *m_unreadable;
    QLineEdit *m_mean, *m_highest, *m_lowest;
    QLabel *m_today, *m_unreadableIntro;
    QTableView *m_unreadableView;
    EquivalentAge::Means m_means;
};
