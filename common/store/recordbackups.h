#pragma once

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QList>
#include <QString>
#include <QTime>

class Clock;
class Messages;

// Copies of a.bz in the data folder's "备份" folder, taken before the file is rewritten, so that
// a wrong deletion, "数据初始化" or a file damaged by another program can be undone. The first
// rewrite of a day keeps the file as the day found it; "数据初始化", a deletion and a restore
// keep it every time. Copies older than 30 days go, but for the newest one taken before a
// deletion. The day's copy that cannot be made never stops the rewrite; the copy a deletion,
// "数据初始化" or a restore promises in its question does: without it the records would be gone
// (a full disk has room for a smaller file, not for the copy). RecordStore's rewrite hands over
// the bytes it read under a.bz's lock; the copies never read or write a.bz themselves.
class RecordBackups
{
public:
    enum class Occasion { FirstSaveOfDay, BeforeInitialisation, BeforeDeletion, BeforeRestore };

    RecordBackups(QString dataFolder, const Clock *clock, Messages *messages);

    QString folder() const;

    // Keeps a.bz, whose bytes are now; unreadable: why they could not be read, which is told as
    // a copy that could not be written. A copy that cannot be written is told once, and again
    // only after one was written since.
    void keep(Occasion occasion, const QByteArray &now, const QString &unreadable = QString());
    // The same, told by the caller: why the copy could not be written, empty when it was.
    QString keepPromised(Occasion occasion, const QByteArray &now,
                         const QString &unreadable = QString());

    struct Backup
    {
        QString path;
        QString fileName;
        QDate day;
        QTime time;       // none for the first save of a day, which comes before the day's others
        QString occasion; // "数据初始化前", ...; empty for the first save of a day
    };
    // Newest first. kinds: QDir's filter; besides files, "从备份恢复" names what else bears a
    // copy's name (a folder, a pipe) as a backup it cannot read.
    QList<Backup> list(QDir::Filters kinds = QDir::Files) const;

    // Larger than decades of records: no copy of a.bz, and read whole it would hold up the window.
    static constexpr qint64 LargestCopy = 32 * 1024 * 1024;

    // A backup's bytes, to be put in a.bz's place (RecordStore::restore); error says why they
    // could not be read: never opened when it is no file (a pipe would wait for ever) or larger
    // than LargestCopy.
    struct Copy
    {
        QByteArray bytes;
        QString error;
    };
    static Copy read(const QString &backupPath);

private:
    QString copyName(Occasion occasion) const;
    QString write(Occasion occasion, const QByteArray &now, const QString &unreadable);
    void prune(const QList<Backup> &backups) const;

    QString m_dataFolder;
    const Clock *m_clock;
    Messages *m_messages;
    bool m_failureTold = false;
};
