#include "filelock.h"

#include "abandonedlock.h"
#include "atomicfile.h"
#include "basetexts.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>

namespace {
// This computer's name as QLockFile writes it into its lock files: on Windows the NetBIOS name
// ("VM"), which is not the host name QSysInfo gives.
QString lockHostName()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}
} // namespace

FileLock::FileLock(const QString &filePath, const QString &what, int waitMs)
    : m_filePath(filePath), m_file(std::make_unique<QLockFile>(filePath + QStringLiteral(".lock")))
{
    // Short random waits instead of QLockFile's doubling back-off: a holder keeps the lock for
    // a few milliseconds, and a popup should not wait seconds behind a crowd of others.
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (m_file->tryLock(0))
            return;
        const QLockFile::LockError reason = m_file->error();
        if (reason == QLockFile::PermissionError || reason == QLockFile::UnknownError) {
            // QLockFile names no cause; find it (a full disk, a missing or closed folder).
            const QString why =
                AtomicFile::whyFolderRefusesWrites(QFileInfo(filePath).absolutePath());
            m_error = why.isEmpty() ? BaseText::lockNotMade(what, filePath)
                                    : BaseText::lockNotMade(what, filePath, why);
            return;
        }
        if (isAbandonedLockFile(m_file->fileName()) && m_file->removeStaleLockFile())
            continue;
        if (deadline.hasExpired()) {
            m_busy = true;
            qint64 pid = 0;
            QString host, application;
            if (m_file->getLockInfo(&pid, &host, &application) && !host.isEmpty() &&
                host != lockHostName()) {
                const QDateTime since = QFileInfo(m_file->fileName()).lastModified();
                m_error = BaseText::fileBusyElsewhere(
                    what, filePath, host, since.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
            } else {
                m_error = BaseText::fileBusy(what, filePath);
            }
            return;
        }
        QThread::msleep(QRandomGenerator::global()->bounded(2, 12));
    }
}

FileLock::FileLock(FileLock &&other) noexcept = default;
FileLock &FileLock::operator=(FileLock &&other) noexcept = default;
FileLock::~FileLock() = default;

bool FileLock::isLocked() const
{
    return m_file && m_file->isLocked();
}
