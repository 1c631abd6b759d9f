#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

// One Tarvelin per user and data folder: a second monitor on the same records would remind
// twice. The first start holds a lock file and listens on a local socket; a later start finds
// the socket answering or the lock taken, asks the running one to bring its window to the front,
// and ends. A second lock of the same name in the user's application data folder keeps the folder
// when a cleaner of the temporary folder removed both the socket and the first lock.
//
// A socket that answers always means a running Tarvelin, whatever became of the lock file. Where
// none answers the lock decides: a lock whose holder died is taken over, so a crash never stops
// the next start, and the socket name it left behind is cleared; a lock held by a live start
// that does not listen yet keeps the folder for it.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &dataFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Name of the local socket; the lock file is the temporary folder's file of that name
    // followed by ".lock". Same user and same data folder give the same name.
    static QString serverNameFor(const QString &dataFolder);
    QString serverName() const { return m_name; }

    // Becomes the running instance. False when another one already runs for this folder (its
    // socket answers or it holds the lock), or when the lock cannot be made at all; error() then
    // says why.
    bool claim();
    // Chinese, for the user; empty unless the last claim() could not make the lock.
    const QString &error() const { return m_error; }

    // Asks the running instance to bring its window to the front. Waits up to timeoutMs for it
    // to answer, since it may still be starting; false when it never did.
    bool askToRaise(int timeoutMs = 10000);

signals:
    // A later start asked for the window.
    void raiseRequested();

private:
    void answer();

    QString m_name;
    QString m_error;
    QLockFile m_lock;
    QLockFile m_keeper; // the same lock in the user's application data folder
    QLocalServer *m_server = nullptr;
};
