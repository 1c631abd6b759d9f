#pragma once

#include "services.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

// Hands a due record to the popup program: writes it into the first free slot of vexa.ini, then
// starts vexa, which claims the first free slot and shows it.
//
// A slot this dispatcher filled is reserved until its popup has claimed it or two minutes have
// passed, so that rows falling due together each get their own slot and their own popup.
class ReminderDispatcher : public QObject
{
    Q_OBJECT

public:
    // Starts the program at the given absolute path, detached; returns whether it started.
    using Launcher = std::function<bool(const QString &program, const QString &dataFolder)>;

    ReminderDispatcher(const ManagerServices &services, std::function<int()> screenHeightTwips,
                       QObject *parent = nullptr);

    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

    struct Result
    {
        QString slot; // the slot filled, empty when none
        bool popupStarted = false;
    };

    // cells: the texts of grid columns 0 to 10 of the due row.
    Result dispatch(const QStringList &cells);

    // Text GBK cannot hold, spelt out so that the popup can show it: "😀" becomes "[U+1F600]".
    static QString spellUnencodable(const QString &text);

    // Starts program, which must be an executable file named by its absolute path, without a
    // shell and without arguments, with TARVELIN_DATA_DIR set to dataFolder.
    static bool startDetached(const QString &program, const QString &dataFolder);

signals:
    // The popup could not show this record; the manager must tell the user another way.
    void reminderNotShown(const QString &message);

private:
    QSet<QString> reservedSlots(const QString &path);
    QString describe(const QStringList &cells) const;

    ManagerServices m_services;
    std::function<int()> m_screenHeightTwips;
    Launcher m_launcher;
    QHash<QString, QDateTime> m_reserved;
};
