#include "singleinstance.h"

#include "abandonedlock.h"
#include "atomicfile.h"
#include "windowtexts.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
const QByteArray kRaise = "raise\n";
const QByteArray kDone = "done\n";

QString lockPath(const QString &name)
{
    return QDir::temp().absoluteFilePath(name + QStringLiteral(".lock"));
}

// The second lock, where temporary-folder cleaners do not reach: the user's own application data.
QString keeperPath(const QString &name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).absoluteFilePath(name + QStringLiteral(".lock"));
}

// Takes the lock, or over a lock left empty by a start killed while it made it, or one that
// carries our own process number (Windows hands numbers out again, Wine even in the same order
// after every boot). A live holder keeps its file's native lock, so it is never robbed.
bool take(QLockFile &lock)
{
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return false;
    qint64 pid = 0;
    const bool ownNumber =
        lock.getLockInfo(&pid, nullptr, nullptr) && pid == QCoreApplication::applicationPid();
    return (ownNumber || isAbandonedLockFile(lock.fileName())) && lock.removeStaleLockFile() &&
           lock.tryLock(0);
}

QString cannotLock(const QString &lockFile)
{
    const QFileInfo lock(lockFile);
    QString why = AtomicFile::whyFolderRefusesWrites(lock.absolutePath());
    if (why.isEmpty())
        why = WindowText::noReasonGiven();
    return WindowText::cannotStart(QDir::toNativeSeparators(lock.absolutePath()), lock.fileName(),
                                   why);
}

bool answers(const QString &name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    const bool connected = socket.waitForConnected(1000);
    socket.abort();
    return connected;
}
} // namespace

SingleInstance::SingleInstance(const QString &dataFolder, QObject *parent)
    : QObject(parent), m_name(serverNameFor(dataFolder)), m_lock(lockPath(m_name)),
      m_keeper(keeperPath(m_name))
{
    // Only a dead holder makes a lock stale; a monitor running for days keeps it.
    m_lock.setStaleLockTime(0);
    m_keeper.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::serverNameFor(const QString &dataFolder)
{
    // The socket lives in the shared temporary folder: the user is part of the name, so that
    // two users on one machine each get their own Tarvelin.
    QString user = QDir::homePath();
#ifdef Q_OS_UNIX
    user += QLatin1Char(':') + QString::number(::getuid());
#endif
    const QFileInfo folder(dataFolder);
    const QString canonical = folder.canonicalFilePath();
    const QString where = canonical.isEmpty() ? folder.absoluteFilePath() : canonical;
    const QByteArray digest =
        QCryptographicHash::hash((user + QChar(0) + where).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("tarvelin-") + QString::fromLatin1(digest.toHex().left(24));
}

bool SingleInstance::claim()
{
    m_error.clear();
    // A running Tarvelin answers on its socket whatever became of its lock file, which a cleaner
    // of the temporary folder may have removed: a second monitor would remind twice.
    if (answers(m_name))
        return false;
    if (!take(m_lock)) {
        // Anything but "held by another" means the lock cannot be made at all (on a full disk
        // QLockFile creates the file, fails to write it and says only "unknown error").
        if (m_lock.error() != QLockFile::LockFailedError)
            m_error = cannotLock(m_lock.fileName());
        return false;
    }
    // A cleaner may have removed both the socket and the lock of a Tarvelin that still runs: the
    // keeper, outside the temporary folder, still holds. One that cannot be made at all (no
    // application data folder) stops nothing.
    if (!take(m_keeper) && m_keeper.error() == QLockFile::LockFailedError) {
        m_lock.unlock();
        return false;
    }
    // The lock is ours, so whatever still answers to the name is left over from a crash.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    if (!m_server->listen(m_name)) {
        // Still the only monitor; a second start will simply not find the window.
        qWarning("Tarvelin: cannot listen on %s: %s", qPrintable(m_name),
                 qPrintable(m_server->errorString()));
    }
    return true;
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRaise) {
                emit raiseRequested();
                socket->write(kDone);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::askToRaise(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(int(qMin<qint64>(1000, deadline.remainingTime())))) {
            socket.write(kRaise);
            socket.waitForBytesWritten(int(deadline.remainingTime()));
            while (!socket.canReadLine() &&
                   socket.waitForReadyRead(int(deadline.remainingTime()))) {
            }
            return socket.canReadLine() && socket.readLine() == kDone;
        }
        // The running instance may not be listening yet.
        QThread::msleep(100);
    }
    return false;
}
