#include "atomicfile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace AtomicFile {

Result replace(const QString &path, const QByteArray &data)
{
    // A replace-by-rename would go straight past a read-only file; honour the attribute.
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable())
        return {false, true, {}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, false, file.errorString()};
    // flush() first: commit() alone does not notice a buffered write that failed (disk full).
    if (file.write(data) != data.size() || !file.flush() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, false, reason};
    }
    return {};
}

} // namespace AtomicFile
