#include "atomicfile.h"

#include "basetexts.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace AtomicFile {

namespace {

TestWritePath::Front *testFront = nullptr;

// Read at once after the failed call, before anything else can change it. Qt reports ENOSPC as a
// ResourceError, but a used-up quota (EDQUOT) only as a WriteError.
bool systemSaysDiskFull()
{
#ifdef Q_OS_WIN
    const DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
#else
    const int error = errno;
#ifdef EDQUOT
    if (error == EDQUOT)
        return true;
#endif
    return error == ENOSPC;
#endif
}

bool isDiskFull(const QFileDevice &file, bool systemSaid)
{
    return systemSaid || file.error() == QFileDevice::ResourceError;
}

Result linkRefused(const QFileInfo &link)
{
    Result result{false, false, false, link.symLinkTarget(), {}};
    result.reason = BaseText::symbolicLink(QDir::toNativeSeparators(result.linkTarget));
    return result;
}

} // namespace

QString diskFullText()
{
    return BaseText::diskFull();
}

QString failureText(const Result &failed, const QString &what, const QString &path)
{
    if (failed.readOnly)
        return BaseText::readOnlyNotSaved(what, path);
    return BaseText::notSaved(what, path, failed.reason);
}

Result replace(const QString &path, const QByteArray &data)
{
    const QFileInfo info(path);
    // QSaveFile follows a link and replaces its target.
    if (info.isSymbolicLink())
        return linkRefused(info);
    // A replace-by-rename would go straight past a read-only file; honour the attribute.
    if (info.exists() && !info.isWritable())
        return {false, true, false, {}, {}};
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const bool full = isDiskFull(file, systemSaysDiskFull());
        return {false, false, full, {}, full ? diskFullText() : file.errorString()};
    }
    std::unique_ptr<QIODevice> front = testFront ? (*testFront)(&file) : nullptr;
    QIODevice &out = front ? *front : file;
    // flush() first: commit() alone does not notice a buffered write that failed (disk full).
    errno = 0;
    const bool written = out.write(data) == data.size() && file.flush();
    // A link made since the check above may be what QSaveFile resolved at open().
    if (written && QFileInfo(path).isSymbolicLink()) {
        file.cancelWriting();
        return linkRefused(QFileInfo(path));
    }
    if (!written || !file.commit()) {
        const bool full = isDiskFull(file, systemSaysDiskFull());
        const QString reason = full ? diskFullText() : file.errorString();
        file.cancelWriting();
        return {false, false, full, {}, reason};
    }
    return {};
}

TestWritePath::TestWritePath(Front front)
{
    Q_ASSERT(!testFront);
    testFront = new Front(std::move(front));
}

TestWritePath::~TestWritePath()
{
    delete testFront;
    testFront = nullptr;
}

QString whyFolderRefusesWrites(const QString &folder)
{
    const QFileInfo info(folder);
    const QString where = QDir::toNativeSeparators(folder);
    if (!info.exists())
        return BaseText::folderMissing(where);
    if (!info.isDir())
        return BaseText::notAFolder(where);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("tarvelin-probe-XXXXXX")));
    errno = 0;
    if (!probe.open()) {
        const bool full = isDiskFull(probe, systemSaysDiskFull());
        return full ? diskFullText() : BaseText::cannotCreateIn(where, probe.errorString());
    }
    // A lock file holds about a hundred bytes; a block more than that is asked for.
    const QByteArray bytes(4096, 'x');
    errno = 0;
    if (probe.write(bytes) != bytes.size() || !probe.flush()) {
        const bool full = isDiskFull(probe, systemSaysDiskFull());
        return full ? diskFullText() : BaseText::cannotWriteFolder(where, probe.errorString());
    }
    return {};
}

} // namespace AtomicFile
