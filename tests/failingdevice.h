#pragma once

#include "atomicfile.h"

#include <QIODevice>

#include <cerrno>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// A device in front of a file that takes room bytes and then fails as a full disk does: what fits
// reaches the file, the rest is refused with the system's "no space" error.
class DiskFullDevice : public QIODevice
{
public:
    DiskFullDevice(QIODevice *file, qint64 room) : m_file(file), m_room(room)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 fits = qMin(size, m_room);
        if (fits > 0 && m_file->write(data, fits) != fits)
            return -1;
        m_room -= fits;
        if (fits == size)
            return size;
#ifdef Q_OS_WIN
        SetLastError(ERROR_DISK_FULL);
#else
        errno = ENOSPC;
#endif
        return fits > 0 ? fits : -1;
    }

private:
    QIODevice *m_file;
    qint64 m_room;
};

// While what it returns lives, every whole-file write has room for room bytes and no more.
inline AtomicFile::TestWritePath diskFullAfter(qint64 room)
{
    return AtomicFile::TestWritePath(
        [room](QIODevice *file) { return std::make_unique<DiskFullDevice>(file, room); });
}
