#pragma once

#include <QList>
#include <QString>

class Clock;
class RecordGridModel;

// Colours a due row: the text and background colour of columns 1 to Cols-1; column 0 keeps its
// look.
void HighlightRow(RecordGridModel *grid, int row, quint32 foreColour, quint32 backColour);

// The due-time check over the main window's grid. A row falls due when its due time lies in the
// minutes since the previous check (the present minute alone on the first check) and it is not
// marked "到期" yet; it is then highlighted and marked, so it never falls due twice.
class DueMonitor
{
public:
    DueMonitor(RecordGridModel *grid, const Clock *clock);

    // One check: marks the rows that fell due and returns them, upper row first.
    QList<int> check();

    // The next check looks at the present minute onwards, not at the minutes before (start-up,
    // after the monitor was off): a first check that only comes in the next minute still sees
    // the minute of the restart.
    void restart();

    // Marks the rows of today whose due minute has already passed and that are not marked yet,
    // and returns them, upper row first: the records whose reminder time went by while the
    // program was not running.
    QList<int> markPassed();

    // Highlights a row and marks it "到期".
    void mark(int row);

private:
    // Marks, upper row first, the rows not marked yet whose due-time cell the predicate takes.
    template <typename Falls> QList<int> markUnmarked(Falls falls);

    RecordGridModel *m_grid;
    const Clock *m_clock;
    QString m_previousMinute;
};
