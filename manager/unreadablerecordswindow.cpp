#include "unreadablerecordswindow.h"

#include "windowsystem.h"
#include "windowtexts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

void UnreadableLinesModel::setLines(QList<RecordCheck::Unreadable> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int UnreadableLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int UnreadableLinesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant UnreadableLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const RecordCheck::Unreadable &line = m_lines.at(index.row());
    switch (index.column()) {
    case 0:
        return QString::number(line.line);
    case 1:
        return line.start;
    default:
        return line.reason;
    }
}

QVariant UnreadableLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList headers{QStringLiteral("行号"), QStringLiteral("行的开头"),
                                     QStringLiteral("原因")};
    return headers.value(section);
}

UnreadableRecordsWindow::UnreadableRecordsWindow(QWidget *owner)
    : QDialog(owner), m_model(new UnreadableLinesModel(this)), m_intro(new QLabel(this)),
      m_view(new QTableView(this))
{
    setObjectName(QStringLiteral("unreadableRecords"));
    setWindowTitle(QStringLiteral("无法识别的记录"));
    setWindowModality(Qt::NonModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_intro->setWordWrap(true);
    m_view->setModel(m_model);
    m_view->setWordWrap(true);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_intro);
    layout->addWidget(m_view, 1);
    layout->addWidget(buttons);
    resize(720, 320);
}

void UnreadableRecordsWindow::loaded(const QString &recordFile, const RecordCheck::Report &report)
{
    QSet<QString> lines;
    for (const RecordCheck::Unreadable &line : report.lines)
        lines.insert(line.start + QLatin1Char('\n') + line.reason);
    const bool news = !QSet<QString>(lines).subtract(m_named).isEmpty();
    m_named = lines;

    QString intro = WindowText::unreadableIntro(recordFile, report.total);
    if (report.total > report.lines.size())
        intro += WindowText::firstLinesListed(report.lines.size());
    m_intro->setText(intro);
    m_model->setLines(report.lines);
    m_view->resizeColumnToContents(0);
    m_view->resizeColumnToContents(1);
    m_view->resizeRowsToContents();
    if (!news)
        return;
    if (!isVisible()) {
        show();
        placeInTrayCorner();
    }
    raise();
}

void UnreadableRecordsWindow::placeInTrayCorner()
{
    // The notification area sits at the bottom right of most desktops.
    constexpr int kMargin = 8;
    WindowSystem::placeOnWorkArea(this, nullptr, Qt::AlignRight | Qt::AlignBottom, kMargin);
}
