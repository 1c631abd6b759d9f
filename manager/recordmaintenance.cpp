#include "recordmaintenance.h"

#include "messages.h"
#include "recordbackups.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordline.h"
#include "specimenrecord.h"

#include <QFileInfo>
#include <QSet>

namespace {
const QString kNotice = QStringLiteral("提示");
const QString kError = QStringLiteral("错误");
} // namespace

RecordMaintenance::RecordMaintenance(RecordGridModel *grid, RecordGridView *view,
                                     RecordFile recordFile, Messages *messages, QObject *parent)
    : QObject(parent), m_grid(grid), m_view(view), m_file(std::move(recordFile)),
      m_messages(messages)
{
    connect(view, &QAbstractItemView::doubleClicked, this, &RecordMaintenance::shanchuxuanzhong);
}

void RecordMaintenance::shanchuxuanzhong()
{
    const int rows = m_grid->rows();
    const int s = m_view->rowSel();
    if (s <= 0 || s >= rows)
        return;
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

void RecordMaintenance::delgqshuju()
{
    const RecordFile::Text read = m_file.readLines();
    if (!read.exists) {
        m_messages->show(QStringLiteral("找不到记录文件 %1，没有删除任何数据。").arg(m_file.path()),
                         kError, MessageStyle::Exclamation);
        return;
    }
    if (!read.error.isEmpty()) {
        m_messages->show(read.error + QStringLiteral("。没有删除任何数据。"), kError,
                         MessageStyle::Exclamation);
        return;
    }

    // The line each due row was loaded from.
    QSet<QString> due;
    const QString mark = SpecimenRecord::dueMarkText();
    for (int i = 1; i < m_grid->rows(); ++i) {
        if (m_grid->textMatrix(i, SpecimenRecord::DueMarkColumn) == mark)
            due.insert(RecordLine::textOfRow(*m_grid, i));
    }

    QStringList kept;
    kept.reserve(read.lines.size());
    for (const QString &line : read.lines) {
        if (!due.contains(line))
            kept << line;
    }
    if (m_file.backups())
        m_file.backups()->keep(RecordBackups::Occasion::BeforeDeletion);
    const RecordFile::Outcome written = m_file.writeLines(kept);
    if (!written.ok) {
        m_messages->show(QStringLiteral("删除过期数据失败：") + written.error, kError,
                         MessageStyle::Exclamation);
    }
}

void RecordMaintenance::sjcsh_Click()
{
    // Only a normal file counts: a hidden one is treated as absent and left alone.
    const QFileInfo info(m_file.path());
    if (!info.isFile() || info.isHidden()) {
        m_messages->show(QStringLiteral("无需初始化数据。"), kNotice, MessageStyle::Information);
        return;
    }
    // An atomic replace: the old records stay whole if the empty file cannot be put in place.
    if (m_file.backups())
        m_file.backups()->keep(RecordBackups::Occasion::BeforeInitialisation);
    const RecordFile::Outcome written = m_file.writeLines({});
    if (!written.ok) {
        m_messages->show(QStringLiteral("数据初始化失败：") + written.error, kError,
                         MessageStyle::Exclamation);
        return;
    }
    m_messages->show(QStringLiteral("初始化完成。"), kNotice, MessageStyle::Information);
}
