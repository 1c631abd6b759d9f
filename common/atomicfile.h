#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes of both programs. The file is replaced in one step: a crash, a full disk or a
// refused write leaves the old file whole.
namespace AtomicFile {

struct Result
{
    bool ok = true;
    bool readOnly = false; // the file is write-protected; nothing was tried
    QString reason;        // why the write failed, as the system says it
};

Result replace(const QString &path, const QByteArray &data);

} // namespace AtomicFile
