#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

// A folder on a disk that is really full: a small tmpfs mounted on it, then filled, so that a
// write fails with ENOSPC as on a full hard disk. Needs Linux and the right to mount (root).
// Put the files a test needs into the folder between mounted() and fill().
class FullDisk
{
public:
    explicit FullDisk(const QString &folder) : m_folder(folder)
    {
#ifdef Q_OS_LINUX
        QDir().mkpath(folder);
        m_mounted =
            ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256k") == 0;
#endif
    }
    ~FullDisk()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
#endif
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool mounted() const
    {
        return m_mounted;
    }

    // Fills the disk but for leaveFree bytes (a lock file fits in 4096); false if it could not.
    bool fill(qint64 leaveFree = 0)
    {
#ifdef Q_OS_LINUX
        const QByteArray filler =
            QFile::encodeName(QDir(m_folder).filePath(QStringLiteral(".filler")));
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        const bool full = errno == ENOSPC;
        const off_t size = ::lseek(fd, 0, SEEK_END);
        ::close(fd);
        return full && size >= leaveFree && ::truncate(filler.constData(), size - leaveFree) == 0;
#else
        Q_UNUSED(leaveFree);
        return false;
#endif
    }

private:
    QString m_folder;
    bool m_mounted = false;
};
