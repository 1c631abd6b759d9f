#include "recordmaintenance.h"

#include "messages.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordline.h"
#include "specimenrecord.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
const QString kNotice = QStringLiteral("提示");
const QString kError = QStringLiteral("错误");
const QString kConfirm = QStringLiteral("确认删除");

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
        !m_messages->confirm(
            QStringLiteral("从列表中移除这一行吗？\n\n%1\n\n记录文件中的这条记录不会删除，"
                           "“读取数据”后会重新显示。")
                .arg(describeRow(*m_grid, s)),
            QStringLiteral("确认移除"))) {
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
        m_messages->show(QStringLiteral("没有检测到数据"), kNotice, MessageStyle::Information);
        return;
    }
    delgqshuju();
}

RecordMaintenance::Expiry RecordMaintenance::expiry(const RecordFile::Text &read) const
{
    Expiry plan;
    if (!read.exists) {
        plan.error = QStringLiteral("找不到记录文件 %1，没有删除任何数据。").arg(m_file.path());
        return plan;
    }
    if (!read.error.isEmpty()) {
        plan.error = read.error + QStringLiteral("。没有删除任何数据。");
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
        QString question =
            QStringLiteral("将从记录文件中删除以下 %1 条已到期的记录").arg(plan.dueRows.size());
        if (plan.removed != plan.dueRows.size())
            question += QStringLiteral("（含重复的行，共 %1 行）").arg(plan.removed);
        question += QStringLiteral("（删除前的文件留有备份，可从“数据编辑 → 从备份恢复”找回）：\n");
        for (int row : plan.dueRows)
            question += QLatin1Char('\n') + describeRow(*m_grid, row);
        question += QStringLiteral("\n\n确定删除吗？");
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
        showError(planned ? QStringLiteral("删除过期数据失败：") + done.error : done.error);
}

void RecordMaintenance::sjcsh_Click()
{
    // Only a normal file counts: a hidden one is treated as absent and left alone.
    const QFileInfo info(m_file.path());
    if (!info.isFile() || info.isHidden()) {
        m_messages->show(QStringLiteral("无需初始化数据。"), kNotice, MessageStyle::Information);
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
        showError(locked ? QStringLiteral("数据初始化失败：") + done.error : done.error);
        return;
    }
    m_messages->show(QStringLiteral("初始化完成。"), kNotice, MessageStyle::Information);
}

QString RecordMaintenance::initialisationQuestion() const
{
    qsizetype records = 0;
    const RecordFile::Status read =
        m_file.forEachFilledLine([&records](const QList<QStringView> &) {
            ++records; // the closing line of a save, all empty, is not handed over
        });
    const QString what = read.error.isEmpty() ? QStringLiteral("全部 %1 条记录").arg(records)
                                              : QStringLiteral("全部记录");
    return QStringLiteral("数据初始化将删除记录文件 %1 中的%2（删除前的文件留有备份，可从“数据编辑 "
                          "→ 从备份恢复”找回）。\n\n确定删除吗？")
        .arg(QDir::toNativeSeparators(m_file.path()), what);
}

void RecordMaintenance::showError(const QString &text) const
{
    m_messages->show(text, kError, MessageStyle::Exclamation);
}
