#include "recordfilewatcher.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>

RecordFileWatcher::RecordFileWatcher(QString path, QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_timer(new QTimer(this))
{
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &RecordFileWatcher::poll);
}

void RecordFileWatcher::start()
{
    m_stamp = stamp(m_path);
    m_timer->start();
}

bool RecordFileWatcher::poll()
{
    const QString now = stamp(m_path);
    if (now == m_stamp)
        return false;
    m_stamp = now;
    emit changed();
    return true;
}

QString RecordFileWatcher::stamp(const QString &path)
{
    // Every save replaces the file, so its change time moves even when size and content do not.
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.metadataChangeTime().toMSecsSinceEpoch());
}
