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

template <typename Falls> QList<int> DueMonitor::markUnmarked(Falls falls)
{
    const QString mark = SpecimenRecord::dueMarkText();
    QList<int> marked;
    const int last = m_grid->rows() - 1;
    for (int row = 1; row <= last; ++row) {
        // Views, not copies: a busy day's grid is walked every few seconds.
        if (!falls(m_grid->textView(row, SpecimenRecord::DueTimeColumn)))
            continue;
        if (m_grid->textView(row, SpecimenRecord::DueMarkColumn) == mark)
            continue;
        this->mark(row);
        marked.append(row);
    }
    return marked;
}

QList<int> DueMonitor::check()
{
    // The present minute is taken once: a minute that turns during the check belongs to the next.
    const QString present = TimeText::minute(m_clock->now());
    const DueCheck::Window window(m_previousMinute, present);
    m_previousMinute = present;

    return markUnmarked([&window](QStringView due) { return window.contains(due); });
}

void DueMonitor::mark(int row)
{
    HighlightRow(m_grid, row, RecordGridModel::Yellow, RecordGridModel::SystemHighlight);
    m_grid->setTextMatrix(row, SpecimenRecord::DueMarkColumn, SpecimenRecord::dueMarkText());
}

void DueMonitor::restart()
{
    m_previousMinute = TimeText::minute(m_clock->now().addSecs(-60));
}

QList<int> DueMonitor::markPassed()
{
    const QDateTime now = m_clock->now();
    const QString present = TimeText::minute(now);
    const QString today = TimeText::date(now);
    return markUnmarked([&present, &today](QStringView due) {
        return DueCheck::isDueTimeText(due) && due.startsWith(today) && due < present;
    });
}
