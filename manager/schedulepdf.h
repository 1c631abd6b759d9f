#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QFont;
class QFontMetrics;

// A table as shown, ready to print for the curing room or the press: A4, upright when every
// column fits across it whole, else across; a long text wraps in its cell and its row grows, no
// row split between pages; the title on every page, the header row repeated, the page number and
// the number of pages at the foot. Written through QPdfWriter (Qt Gui), which every build of Qt
// has, print support or not.
namespace SchedulePdf {

QByteArray bytes(const QAbstractItemModel &model, const QString &title);

// What a cell (row -1: the header) prints: its start only when it is very long, control
// characters as spaces.
QString cellText(const QAbstractItemModel &model, int row, int column);
// Device pixels each side of a cell's text.
inline constexpr int Padding = 8;
// Each column's widest text and its padding.
QList<int> naturalWidths(const QAbstractItemModel &model, const QFontMetrics &metrics);
// Those widened alike to fill the page, or, on a page too narrow, the widest cut down to one cap
// so that the others print whole; no column over a third of the page.
QList<int> columnWidths(QList<int> widths, int width);
// A text's lines in a column of width pixels, at most limit, in font as it prints on its device;
// a text cut short before (more) or here ends in "…".
QStringList lines(const QString &text, bool more, const QFont &font, int width, int limit);

// Where everything falls, worked out before anything is drawn: the foot names the page count.
struct Layout
{
    bool landscape = false;
    QSize page;            // the printable area, as it is turned
    int top = 0;           // the title's height: the header row starts below it
    QList<int> widths;     // each column's
    int lineLimit = 1;     // what a cell prints at most: the lines that fill a third of the page
    QList<int> heights;    // the header row's, then each row's
    QList<int> pageStarts; // each page's first row
};
// On pages whose printable area upright is portrait, in font as it prints on its device.
Layout layOut(const QAbstractItemModel &model, const QFont &font, QSize portrait, int top);
// The layout that bytes() prints.
Layout pdfLayout(const QAbstractItemModel &model, const QString &title);

// Writes the file at once; returns what went wrong, empty when it was written.
QString save(const QAbstractItemModel &model, const QString &title, const QString &path);

} // namespace SchedulePdf
