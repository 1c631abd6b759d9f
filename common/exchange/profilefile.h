#pragma once

#include "filelock.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The value of key in section of the profile (INI) file at path; empty when the file, the
// section or the key is missing, or the value is empty.
QString ReadIniValue(const QString &section, const QString &key, const QString &path);

// The section names of the file at path, in file order, each its header line less every "[" and
// "]". Only a line that, blanks aside, starts with "[" and ends with "]" is a header. A missing or
// unreadable file yields an empty list.
QStringList ListIniSections(const QString &path);

// A profile (INI) file in code page 936 with CR LF line ends, shared by several processes.
//
// Writes have the effects of the Windows profile calls: the file is created if missing, a new
// section is appended at the end, a new key at the end of its section (after its last non-blank
// line), an existing key's line is replaced in place, and every other line stays byte for byte.
// Unlike those calls, a write that cannot be done is reported, and every write replaces the
// whole file atomically, so that no reader ever sees half a file.
//
// Names are matched exactly (no case folding). Blanks around a key are ignored when matching;
// values are stored and returned as they stand. Duplicates: the first section or key counts.
class ProfileFile
{
public:
    explicit ProfileFile(QString path);
    const QString &path() const { return m_path; }

    struct Outcome
    {
        bool ok = true;
        QString error; // Chinese, for the user
    };

    using Entry = QPair<QString, QString>; // key, value

    // The cross-process lock beside the file (its path + ".lock"). Every read-modify-write of the
    // file runs under it; a caller that needs a read and a write to be one step holds it itself.
    using Lock = FileLock;

    // Waits up to waitMs for the lock; check isLocked(). A lock left by a process that died is
    // taken over.
    Lock lock(int waitMs = DefaultLockWaitMs) const;
    static constexpr int DefaultLockWaitMs = 10000;

    struct Contents
    {
        bool exists = false;
        QString error; // set when the file exists but cannot be read
        QByteArray bytes;
    };
    Contents read() const;

    QString value(const QString &section, const QString &key) const;
    QStringList sections() const;

    // One key, or several keys of one section in one read-modify-write; they take the lock.
    Outcome write(const QString &section, const QString &key, const QString &value) const;
    Outcome write(const QString &section, const QList<Entry> &entries) const;
    // The same for a caller that holds the lock.
    Outcome write(const Lock &held, const QString &section, const QList<Entry> &entries) const;

    // Replaces the whole file with bytes; the caller holds the lock.
    Outcome replace(const Lock &held, const QByteArray &bytes) const;
    // Deletes the file; a missing file is no error. The caller holds the lock.
    Outcome remove(const Lock &held) const;

    // The same operations on the bytes of a file, for callers that read the file once.
    static QString valueIn(QByteArrayView data, const QString &section, const QString &key);
    static QStringList sectionsIn(QByteArrayView data);
    // Every section of data in file order, each with what valueIn would give for key in it (for a
    // repeated name, the value in its first section), in one pass over data.
    static QList<QPair<QString, QString>> sectionsWithValueIn(QByteArrayView data,
                                                              const QString &key);
    // data with the entries written into section, one after the other; on failure error is set
    // and the result is empty.
    static QByteArray withEntries(QByteArrayView data, const QString &section,
                                  const QList<Entry> &entries, QString *error);

private:
    QString m_path;
};
