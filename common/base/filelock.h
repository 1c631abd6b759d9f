#pragma once

#include <QString>

#include <memory>

class QLockFile;

// A lock beside a file that several processes change (the file's path + ".lock"): whoever holds
// it may read, change and replace the file as one step. Two copies of a program on one data
// folder (two users, or two PCs on a shared folder) take turns through it.
class FileLock
{
public:
    // Waits up to waitMs for the lock; check isLocked(). A lock left by a process that died is
    // taken over, and so is one another computer wrote more than half a minute ago (QLockFile's
    // stale time: a save takes a second at most). A lock that stays held names the computer
    // holding it, when it is another, and since when. what names the file in the messages
    // ("记录文件", "提示文件").
    FileLock(const QString &filePath, const QString &what, int waitMs);
    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&other) noexcept;
    ~FileLock();

    bool isLocked() const;
    // Another process held the lock for the whole wait; trying again later may succeed.
    bool busy() const { return m_busy; }
    // Why the lock is not held, in Chinese, ending with the file left unchanged.
    const QString &error() const { return m_error; }
    const QString &filePath() const { return m_filePath; }

private:
    QString m_filePath;
    std::unique_ptr<QLockFile> m_file;
    QString m_error;
    bool m_busy = false;
};
