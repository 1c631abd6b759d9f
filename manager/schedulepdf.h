#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QAbstractItemModel;
class QFontMetrics;

// A table as shown, ready to print for the curing room or the press: A4 across, the title on
// every page, the header row repeated, the page number and the number of pages at the foot.
// Written through QPdfWriter (Qt Gui), which every build of Qt has, print support or not.
namespace SchedulePdf {

QByteArray bytes(const QAbstractItemModel &model, const QString &title);

// What a cell (row -1: the header) prints: one line, its start only when it is very long.
QString cellText(const QAbstractItemModel &model, int row, int column);
// Device pixels each side of a cell's text.
inline constexpr int Padding = 8;
// Each column as wide as its widest text and its padding: widened alike to fill the page, or, on
// a page too narrow, the widest cut down to one cap so that the others print whole.
QList<int> columnWidths(const QAbstractItemModel &model, const QFontMetrics &metrics, int width);

// Writes the file at once; returns what went wrong, empty when it was written.
QString save(const QAbstractItemModel &model, const QString &title, const QString &path);

} // namespace SchedulePdf
