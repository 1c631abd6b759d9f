#pragma once

#include <QList>

// How wide the columns of a record grid are drawn. Each column has the width it is given (its
// twips, or none), the width its header and its cells need, and the least width it can still
// show its cells in with the header on two lines. A column grows to what it needs, up to a
// limit; when the columns then do not fit the room there is, those with room to spare give it
// up in proportion, down to their least width, so that the last columns (the due mark) stay in
// sight without scrolling.
namespace ColumnFit {

struct Column
{
    int given = 0;  // the width set for the column in pixels; 0 for the grid's default
    int needed = 0; // header on one line and the widest cell
    int least = 0;  // the widest cell, header on two lines
};

// The widths to draw, one per column. room <= 0 means as much as they want.
QList<int> widths(const QList<Column> &columns, int room, int limit);

} // namespace ColumnFit
