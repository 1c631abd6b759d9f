#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

// Whole-file writes of both programs. The file is replaced in one step: a crash, a full disk or a
// refused write leaves the old file whole.
namespace AtomicFile {

struct Result
{
    bool ok = true;
    bool readOnly = false; // the file is write-protected; nothing was tried
    bool diskFull = false; // no room left on the disk (or in the user's quota)
    QString linkTarget;    // the path is a symbolic link to this; nothing was written
    // Why the write failed: in Chinese for a full disk and a link, else as the system says it.
    QString reason;
};

// A symbolic link is never written through (its target may be any file) nor silently replaced
// by a file of its own (the link may be the user's arrangement): the write is refused.
Result replace(const QString &path, const QByteArray &data);

// "磁盘空间已满…", the words every writer uses for a full disk.
QString diskFullText();

// Why a failed replace left the file as it was, in the words of every file of both programs:
// what names the file ("记录文件", "提示文件"), followed by its path.
QString failureText(const Result &failed, const QString &what, const QString &path);

// Why nothing can be written into folder, in Chinese, found by writing a small file there; empty
// when that works. For a failure that names no cause (a lock file that could not be made).
QString whyFolderRefusesWrites(const QString &folder);

// The seam for tests of a full disk on any machine, without root or a disk to fill: while one
// lives, every whole-file write of the process goes through the device that front makes in front
// of the file (tests/failingdevice.h has one that fails part-way as a full disk does). One at a
// time; the programs never make one.
class TestWritePath
{
public:
    using Front = std::function<std::unique_ptr<QIODevice>(QIODevice *file)>;
    explicit TestWritePath(Front front);
    ~TestWritePath();
    TestWritePath(const TestWritePath &) = delete;
    TestWritePath &operator=(const TestWritePath &) = delete;
};

} // namespace AtomicFile
