#pragma once

#include <QObject>
#include <QString>

class QTimer;

// Tells when the record file was written, made or removed since the last look: by an add, a
// deletion, or another copy of the program sharing the data folder. It compares the file's size
// and times once a second; a QFileSystemWatcher would lose the file at the first save (every save
// replaces it) and hears nothing on many network folders.
class RecordFileWatcher : public QObject
{
    Q_OBJECT

public:
    explicit RecordFileWatcher(QString path, QObject *parent = nullptr);

    void start();
    // Emits changed when the file is not as it was at the last look; returns whether it did.
    bool poll();

    // What tells one state of the file at path from another; empty when there is no file.
    static QString stamp(const QString &path);

signals:
    void changed();

private:
    QString m_path;
    QString m_stamp;
    QTimer *m_timer;
};
