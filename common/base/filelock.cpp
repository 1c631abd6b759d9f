#include "filelock.h"

#include "abandonedlock.h"
#include "atomicfile.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>

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
            if (!why.isEmpty()) {
                m_error = QStringLiteral("无法在 %2 旁建立锁文件：%3。%1未被改动。")
                              .arg(what, filePath, why);
            } else {
                m_error = QStringLiteral("无法在 %2 旁建立锁文件，%1未被改动。请检查该文件夹"
                                         "是否存在并且可以写入。")
                              .arg(what, filePath);
            }
            return;
        }
        if (isAbandonedLockFile(m_file->fileName()) && m_file->removeStaleLockFile())
            continue;
        if (deadline.hasExpired()) {
            m_error = busyText(what, filePath);
            m_busy = true;
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

QString FileLock::busyText(const QString &what, const QString &filePath)
{
    return QStringLiteral("%1 %2 正被另一个程序使用，请稍后再试。%1未被改动。").arg(what, filePath);
}
