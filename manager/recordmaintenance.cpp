#include "recordmaintenance.h"

#include "messages.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordline.h"
#include "specimenrecord.h"
#include "titles.h"
#include "windowtexts.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
const QString kNotice = Title::notice();
const QString kError = Title::error();
const QString kConfirm = Title::confirmDelete();

QString describeRow(const RecordGridModel &grid, int row)
{
    QStringList cells;
    for (int c = 0; c <= SpecimenRecord::column(SpecimenRecord::Remark); ++c)
        cells << grid.textMatrix(row, c);
    return SpecimenRecord::summary(cells);
}

bool holdsRecord(const RecordGridModel &grid, int row)
{
    for (int c = 1; c < grid.cols(); ++c) {
        if (!grid.textView(row, c).isEmpty())
            return true;
    }
    return false;
}
} // namespace

RecordMaintenance::RecordMaintenance(RecordGridModel *grid, RecordGridView *view, RecordStore store,
                                     Messages *messages, QObject *parent)
    : QObject(parent), m_grid(grid), m_view(view), m_store(std::move(store)), m_messages(messages)
{
    connect(view, &QAbstractItemView::doubleClicked, this, &RecordMaintenance::shanchuxuanzhong);
}

void RecordMaintenance::shanchuxuanzhong()
{
    const int rows = m_grid->rows();
    const int s = m_view->rowSel();
    if (s <= 0 || s >= rows)
        return;
    // An empty row takes nothing with it; a record row goes only when the user says so.
    if (holdsRecord(*m_grid, s) &&
        !m_messages->confirm(WindowText::removeRowQuestion(describeRow(*m_grid, s)),
                             Title::confirmRemove())) {
        return;
    }
    // Only texts move up; colours stay with the row positions.
    for (int i = s + 1; i < rows; ++i) {
        for (int j = 1; j < m_grid->cols(); ++j)
            m_grid->setTextMatrix(i - 1, j, m_grid->textMatrix(i, j));
    }
    m_grid->setRows(rows - 1);
    // Every row gets its number, the trailing row included.
    for (int k = 1; k < m_grid->rows(); ++k)
        m_grid->setTextMatrix(k, 0, QString::number(k));
}

void RecordMaintenance::scgqsj_Click()
{
    if (!m_grid->hasRecords()) {
        m_messages->show(WindowText::noRecordsShown(), kNotice, MessageStyle::Information);
        return;
    }
    delgqshuju();
}

RecordMaintenance::Expiry RecordMaintenance::expiry(const RecordFile::Text &read) const
{
    Expiry plan;
    if (!read.exists) {
        plan.error = WindowText::noRecordFile(m_file.path());
        return plan;
    }
    if (!read.error.isEmpty()) {
        plan.error = WindowText::readFailedNothingDeleted(read.error);
        return plan;
    }

    // The line each due row was loaded from.
    QSet<QString> due;
    const QString mark = SpecimenRecord::dueMarkText();
    for (int i = 1; i < m_grid->rows(); ++i) {
        if (m_grid->textMatrix(i, SpecimenRecord::DueMarkColumn) != mark)
            continue;
        const QString line = RecordLine::textOfRow(*m_grid, i);
        if (!due.contains(line))
            plan.dueRows << i;
        due.insert(line);
    }

    plan.kept.reserve(read.lines.size());
    for (const QString &line : read.lines) {
        if (!due.contains(line))
            plan.kept << line;
    }
    plan.removed = read.lines.size() - plan.kept.size();
    return plan;
}

void RecordMaintenance::delgqshuju()
{
    Expiry plan = expiry(m_file.readLines());
    if (!plan.error.isEmpty()) {
        showError(plan.error);
        return;
    }
    if (plan.removed > 0) {
        // A record held twice in the file goes with all its lines; the question says so.
        QString question = WindowText::deleteDueQuestion(plan.dueRows.size());
        if (plan.removed != plan.dueRows.size())
            question += WindowText::duplicateLines(plan.removed);
        question += WindowText::dueListFollows();
        for (int row : plan.dueRows)
            question += QLatin1Char('\n') + describeRow(*m_grid, row);
        question += WindowText::confirmDeletion();
        if (!m_messages->confirm(question, kConfirm))
            return;
    }
    // The file as it is after the user's answer, under the lock: an add made meanwhile is kept.
    // What fails once the due lines are known is the deletion's failure.
    bool planned = false;
    const RecordStore::Outcome done =
        m_store.rewrite(RecordBackups::Occasion::BeforeDeletion,
                        [&](const RecordFile::Bytes &now) -> RecordFile::Replacement {
                            plan = expiry(RecordFile::linesOf(now));
                            if (!plan.error.isEmpty())
                                return {{}, plan.error};
                            planned = true;
                            return m_file.linesReplacing(now.data, plan.kept);
                        });
    if (!done.ok())
        showError(planned ? WindowText::deleteDueFailed(done.error) : done.error);
}

void RecordMaintenance::sjcsh_Click()
{
    // Only a normal file counts: a hidden one is treated as absent and left alone.
    const QFileInfo info(m_file.path());
    if (!info.isFile() || info.isHidden()) {
        m_messages->show(WindowText::nothingToInitialise(), kNotice, MessageStyle::Information);
        return;
    }
    if (!m_messages->confirm(initialisationQuestion(), kConfirm))
        return;
    // Under the lock, the backup is the file that is emptied, with every add made before it. An
    // atomic replace: the old records stay whole if the empty file cannot be put in place.
    bool locked = false;
    const RecordStore::Outcome done =
        m_store.rewrite(RecordBackups::Occasion::BeforeInitialisation,
                        [&locked](const RecordFile::Bytes &) -> RecordFile::Replacement {
                            locked = true;
                            return {};
                        });
    if (!done.ok()) {
        showError(locked ? WindowText::initialiseFailed(done.error) : done.error);
        return;
    }
    m_messages->show(WindowText::initialised(), kNotice, MessageStyle::Information);
}

QString RecordMaintenance::initialisationQuestion() const
{
    qsizetype records = 0;
    const RecordFile::Status read =
        m_file.forEachFilledLine([&records](const QList<QStringView> &) {
            ++records; // the closing line of a save, all empty, is not handed over
        });
    const QString what =
        read.error.isEmpty() ? WindowText::allRecords(records) : WindowText::allRecordsUncounted();
    return WindowText::initialiseQuestion(QDir::toNativeSeparators(m_file.path()), what);
}

void RecordMaintenance::showError(const QString &text) const
{
    m_messages->show(text, kError, MessageStyle::Exclamation);
}
