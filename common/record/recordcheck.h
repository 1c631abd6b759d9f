#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// Lines of a.bz that the programs cannot use, and files that are not in code page 936. A line
// another program wrote (a spreadsheet, an editor) can look like a record and still never show
// or remind: these are found so that the user is told, never to change the file.
namespace RecordCheck {

struct Unreadable
{
    qsizetype line = 0; // 1 for the file's first line, counted as a text editor counts
    QString start;      // the line's first characters
    QString reason;     // why it is no record, and what it should look like
};

struct Report
{
    QList<Unreadable> lines; // the first of them, at most namedAtMost()
    qsizetype total = 0;     // all of them
};
constexpr qsizetype namedAtMost()
{
    return 500;
}

// One pass over the bytes of a.bz: every line that holds any field but is not a record line
// whose due time the monitor can read. Only such lines are decoded.
Report unreadableLines(QByteArrayView data);

// The due time a spreadsheet's form ("2026-12-8 7:37", "2026/12/8 7:37", with or without
// seconds) stands for, as "YYYY-MM-DD hh:mm"; empty when text is no such real time.
QString dueTimeFromSpreadsheet(QStringView text);

// Whether the bytes are UTF-8 and not code page 936: every sequence valid, and as many of three
// bytes or more (Chinese) as of two. Text in code page 936 nearly always breaks UTF-8 within its
// first characters; the rare short text that does not reads as two-byte letters.
bool isUtf8(QByteArrayView data);
// The same for a file, read a piece at a time and only until its first byte that is not UTF-8.
bool isUtf8File(const QString &path);

} // namespace RecordCheck
