#pragma once

#include <QByteArray>
#include <QString>

class QAbstractItemModel;

// A table as shown, for Excel on a Chinese Windows: code page 936, the header row first, CR LF
// between rows, a field quoted (its quotes doubled) when it holds a comma, a quote or a line break,
// and a field a spreadsheet would run as a formula (=, +, -, @, tab or CR first, other than a
// signed number) written after an apostrophe, so that it is read as text.
namespace CsvExport {

// The file's bytes; empty, with unencodable set to the first character code page 936 cannot
// hold, when there is one (it is never written as "?").
QByteArray bytes(const QAbstractItemModel &model, QString *unencodable);

// Writes the file at once; returns what went wrong in the technician's words, empty when written.
QString save(const QAbstractItemModel &model, const QString &path);

} // namespace CsvExport
