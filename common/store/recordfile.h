#pragma once

#include "recordcheck.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// a.bz: one record per line (the line's shape is RecordLine's), lines joined by CR LF, in code
// page 936. Reads it, and makes the bytes that replace it; RecordStore alone writes them.
class RecordFile
{
public:
    explicit RecordFile(QString path);
    const QString &path() const { return m_path; }

    struct Records
    {
        bool exists = false;
        QString error; // set when the file exists but cannot be read
        QList<QStringList> lines;
        RecordCheck::Report unreadable; // lines that are no record the monitor can remind
        bool utf8 = false;              // with checkLines: the file is in UTF-8, not code page 936
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
    // The same for bytes of the file already read.
    static void forEachFilledLine(QByteArrayView data, const FieldsTaker &take);

    // The file's bytes as they are; exists false when there is no file, error set (naming the
    // file) when it exists but cannot be read, reason then the system's words for it.
    struct Bytes
    {
        bool exists = false;
        QString error;
        QByteArray data;
        QString reason;
    };
    Bytes readBytes() const;

    struct Text
    {
        bool exists = false;
        QString error;
        QStringList lines;
    };
    Text readLines() const;
    static Text linesOf(const Bytes &read);

    // fieldsOf(i, fields) appends the fields of line i of a table to fields, for i from 0 to
    // count - 1; the views need to live during that call only.
    using FieldsGiver = std::function<void(qsizetype line, QList<QStringView> &fields)>;
    // Rows (each the fields of one line) joined by "," and CR LF, no break after the last;
    // unencodable (if given) receives the first character that code page 936 cannot hold, and the
    // result is then empty. expectedSize: the bytes to make room for at once.
    static QByteArray tableBytes(const QList<QStringList> &rows, QString *unencodable = nullptr);
    static QByteArray tableBytes(qsizetype count, const FieldsGiver &fieldsOf,
                                 QString *unencodable = nullptr, qsizetype expectedSize = 0);

    // The bytes that take the file's place, or why it is left alone (error, ending by saying so).
    struct Replacement
    {
        QByteArray bytes;
        QString error;
    };
    // tableBytes, or lines each followed by CR LF, to replace the file whose bytes are now. Both
    // refuse a file in UTF-8: what they write back comes from it, read as code page 936, and
    // would leave it in two encodings.
    Replacement tableReplacing(QByteArrayView now, qsizetype count,
                               const FieldsGiver &fieldsOf) const;
    Replacement linesReplacing(QByteArrayView now, const QStringList &lines) const;

    // Splits at CR LF, and also at a bare CR or LF; no empty line is made after a final break.
    static QList<QByteArrayView> splitLines(QByteArrayView data);
    // Calls take once for each line of data that holds needle, which holds no line break; only
    // the lines around its occurrences are looked at, found a block of bytes at a time.
    static void forEachLineHolding(QByteArrayView data, QByteArrayView needle,
                                   const std::function<void(QByteArrayView line)> &take);

    // Why the path holds no file that can be read, though something is there (a folder, a pipe,
    // a device, a link to nothing or to itself); empty for a file and for nothing at all.
    static QString whyNotAFile(const QString &path);

private:
    QString whyNotAFile() const { return whyNotAFile(m_path); }
    // "无法读取记录文件 …：reason", the one way a failed read is said.
    QString cannotRead(const QString &reason) const;

    QString m_path;
};
