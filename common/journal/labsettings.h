#pragma once

#include "heldgroups.h"

#include <QString>
#include <QStringView>

#include <optional>

// What the laboratory sets once and Tarvelin remembers, in a small file of its own beside a.bz
// ("tarvelin-settings.txt", UTF-8, one "key=value" a line): the technician's name, how many days
// back an untested record counts as overdue, since when the reminders are watched, and the design
// age whose result decides on the groups held for later ages.
class LabSettings
{
public:
    explicit LabSettings(const QString &dataFolder);
    static constexpr int kDefaultOverdueDays = 30;
    static constexpr int kFewestOverdueDays = 1;
    static constexpr int kMostOverdueDays = 3650;
    static constexpr int kDefaultDesignAge = HeldGroups::DefaultDesignAge;
    static constexpr int kShortestDesignAge = 1;
    static constexpr int kLongestDesignAge = 365;

    // The monitor's check interval, in milliseconds: typed into the settings window, which starts
    // with the default at every start; 0 stops the monitor.
    static constexpr int kDefaultIntervalMs = 5000;
    static constexpr int kLongestIntervalMs = 65535; // what the timer of old could take
    // A typed interval, or nothing when it is no whole number from 0 to kLongestIntervalMs.
    static std::optional<int> readInterval(QStringView text);

    // Reads the file; a missing or unreadable file leaves the defaults.
    void load();
    // Replaces the file at once; returns what went wrong, empty when it was saved.
    QString save() const;

    QString technician;
    int overdueDays = kDefaultOverdueDays;
    QString watchedSince;              // "YYYY-MM-DD hh:mm"; empty before the first start
    int designAge = kDefaultDesignAge; // days

private:
    QString m_path;
};
