#include "abandonedlock.h"

#include <QDateTime>
#include <QFileInfo>

bool isAbandonedLockFile(const QString &lockPath)
{
    const QFileInfo info(lockPath);
    return info.exists() && info.size() == 0 &&
           info.lastModified().msecsTo(QDateTime::currentDateTime()) > 1000;
}
