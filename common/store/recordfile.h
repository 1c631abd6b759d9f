#pragma once

#include "recordcheck.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

class RecordBackups;

// a.bz: one record per line (the line's shape is RecordLine's), lines joined by CR LF, in code
// page 936. Every whole-file write is atomic: a crash or a full disk leaves the old file.
class RecordFile
{
public:
    // With backups, every rewrite first keeps the file as the day found it (RecordBackups).
    explicit RecordFile(QString path, RecordBackups *backups = nullptr);
    const QString &path() const { return m_path; }
    RecordBackups *backups() const { return m_backups; }

    struct Records
    {
        bool exists = false;
        QString error; // set when the file exists but cannot be read
        QList<QStringList> lines;
        RecordCheck::Report unreadable; // lines that are no record the monitor can remind
    };

    // The main window's load: lines whose due time (field 6) contains day ("YYYY-MM-DD").
    // Lines with fewer than six fields are skipped. Only kept lines are decoded.
    // With checkLines, unreadable holds RecordCheck's report on every line of the file.
    Records readDueOn(const QString &day, bool checkLines = true) const;

    struct Status
    {
        bool exists = false;
        QString error;
    };
    // The entry form's load: every line holding any non-empty field, split as it stands (a line
    // with more than eleven fields keeps them all, so that a save writes it back unchanged). take
    // receives each such line's fields as views into the decoded file, valid during the call
    // only, so that no list per line and field is made.
    using FieldsTaker = std::function<void(const QList<QStringView> &fields)>;
    Status forEachFilledLine(const FieldsTaker &take) const;

    struct Text
    {
        bool exists = false;
        QString error;
        QStringList lines;
    };
    Text readLines() const;

    struct Outcome
    {
        bool ok = true;
        QString error;
    };

    // Writes rows (each the fields of one line) joined by "," and CR LF, no break after the last.
    Outcome writeTable(const QList<QStringList> &rows) const;
    // The same for a table not held as lists: fieldsOf(i, fields) appends the fields of line i to
    // fields, for i from 0 to count - 1; the views need to live during that call only.
    using FieldsGiver = std::function<void(qsizetype line, QList<QStringView> &fields)>;
    Outcome writeTable(qsizetype count, const FieldsGiver &fieldsOf) const;
    // Both writes refuse a file in UTF-8: what they write back comes from it, read as code page
    // 936, and would leave it in two encodings.
    // Writes every line followed by CR LF.
    Outcome writeLines(const QStringList &lines) const;

    // The bytes writeTable would write; unencodable (if given) receives the first character that
    // code page 936 cannot hold, and the result is then empty.
    static QByteArray tableBytes(const QList<QStringList> &rows, QString *unencodable = nullptr);
    static QByteArray tableBytes(qsizetype count, const FieldsGiver &fieldsOf,
                                 QString *unencodable = nullptr);

    // The file's bytes as they are; exists false when there is no file, error set (naming the
    // file) when it exists but cannot be read.
    struct Bytes
    {
        bool exists = false;
        QString error;
        QByteArray data;
    };
    Bytes readBytes() const;

    // Splits at CR LF, and also at a bare CR or LF; no empty line is made after a final break.
    static QList<QByteArrayView> splitLines(QByteArrayView data);
    // Calls take once for each line of data that holds needle, which holds no line break; only
    // the lines around its occurrences are looked at, found a block of bytes at a time.
    static void forEachLineHolding(QByteArrayView data, QByteArrayView needle,
                                   const std::function<void(QByteArrayView line)> &take);

private:
    // "无法读取记录文件 …：reason", the one way a failed read is said.
    QString cannotRead(const QString &reason) const;
    Outcome writeBytes(const QByteArray &data) const;

    QString m_path;
    RecordBackups *m_backups;
};
