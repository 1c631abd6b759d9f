#include "duemonitor.h"

#include "clock.h"
#include "duecheck.h"
#include "recordgridmodel.h"
#include "specimenrecord.h"

void HighlightRow(RecordGridModel *grid, int row, quint32 foreColour, quint32 backColour)
{
    const int cols = grid->cols();
    for (int c = 1; c < cols; ++c) {
        grid->setCellForeColour(row, c, foreColour);
        grid->setCellBackColour(row, c, backColour);
    }
}

DueMonitor::DueMonitor(RecordGridModel *grid, const Clock *clock) : m_grid(grid), m_clock(clock) {}

QList<int> DueMonitor::check()
{
    // The present minute is taken once: a minute that turns during the check belongs to the next.
    const QString present = TimeText::minute(m_clock->now());
    const DueCheck::Window window(m_previousMinute, present);
    m_previousMinute = present;

    const QString mark = SpecimenRecord::dueMarkText();
    QList<int> due;
    const int last = m_grid->rows() - 1;
    for (int row = 1; row <= last; ++row) {
        // Views, not copies: a busy day's grid is walked every few seconds.
        if (!window.contains(m_grid->textView(row, SpecimenRecord::DueTimeColumn)))
            continue;
        if (m_grid->textView(row, SpecimenRecord::DueMarkColumn) == mark)
            continue;
        HighlightRow(m_grid, row, RecordGridModel::Yellow, RecordGridModel::SystemHighlight);
        m_grid->setTextMatrix(row, SpecimenRecord::DueMarkColumn, mark);
        due.append(row);
    }
    return due;
}

void DueMonitor::restart()
{
    m_previousMinute.clear();
}
