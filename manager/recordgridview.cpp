#include "recordgridview.h"

#include "labfont.h"
#include "recordgridmodel.h"
#include "twips.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QScrollBar>
#include <QTextBoundaryFinder>

namespace {
// Cells beyond these rows are not measured: a table of a year's records stays quick to show.
constexpr int kMeasuredRows = 1000;
// How wide a column may grow for a long text, in characters of the grid's font.
constexpr int kWidestColumnInCharacters = 16;

// The width of a header on two lines: the wider line, broken where that is least among the breaks
// the header's wrapping allows ("强度等|级(C)", "龄期|（D）": never after an opening bracket).
int twoLineWidth(const QString &title, const QFontMetrics &metrics)
{
    int least = metrics.horizontalAdvance(title);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, title);
    for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < title.size();
         at = breaks.toNextBoundary()) {
        least = qMin(least, qMax(metrics.horizontalAdvance(title.left(at).trimmed()),
                                 metrics.horizontalAdvance(title.mid(at))));
    }
    return least;
}
} // namespace

RecordGridView::RecordGridView(RecordGridModel *model, QWidget *parent)
    : QTableView(parent), m_model(model)
{
    setModel(model);
    setFont(gridFont());
    horizontalHeader()->setFont(gridFont());
    // A header wider than its column shows on two lines rather than clipped at both ends.
    horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // By pixel, so that a column moved out from under the fixed one shows whole.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    buildFixedColumn();

    m_refit.setSingleShot(true);
    m_refit.setInterval(0);
    connect(&m_refit, &QTimer::timeout, this, &RecordGridView::fitColumns);
    const auto refit = [this] { m_refit.start(); };
    connect(model, &RecordGridModel::columnWidthChanged, this, refit);
    connect(model, &QAbstractItemModel::modelReset, this, refit);
    connect(model, &QAbstractItemModel::rowsInserted, this, refit);
    connect(model, &QAbstractItemModel::headerDataChanged, this, refit);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [refit](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    refit();
            });
    fitColumns();
}

QFont RecordGridView::gridFont()
{
    // The grid's own family where it is installed and draws what a lab writes; otherwise the
    // programs' font, which LabFont chose to draw it.
    static const QString chosen = [] {
        const QStringList installed = QFontDatabase::families();
        const QStringList preferred = {QStringLiteral("SimSun"),
                                       QStringLiteral("宋体"),
                                       QStringLiteral("NSimSun"),
                                       QStringLiteral("Noto Sans CJK SC"),
                                       QStringLiteral("Noto Serif CJK SC"),
                                       QStringLiteral("WenQuanYi Zen Hei"),
                                       QStringLiteral("WenQuanYi Micro Hei")};
        for (const QString &family : preferred) {
            if (installed.contains(family) && LabFont::drawsAll(family, LabFont::labSymbols()))
                return family;
        }
        return QString();
    }();
    QFont font;
    if (!chosen.isEmpty())
        font.setFamilies({chosen});
    font.setPointSize(12);
    return font;
}

int RecordGridView::rowSel() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void RecordGridView::buildFixedColumn()
{
    m_fixed = new QTableView(this);
    m_fixed->setObjectName(QStringLiteral("fixedColumn"));
    shareWithFixedColumn();
    m_fixed->setFont(font());
    m_fixed->horizontalHeader()->setFont(horizontalHeader()->font());
    m_fixed->horizontalHeader()->setDefaultAlignment(horizontalHeader()->defaultAlignment());
    m_fixed->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fixed->verticalHeader()->hide();
    m_fixed->setFocusPolicy(Qt::NoFocus);
    m_fixed->setFrameShape(QFrame::NoFrame);
    m_fixed->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fixed->setSelectionMode(selectionMode());
    m_fixed->setWordWrap(false);
    m_fixed->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixed->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->stackUnder(m_fixed);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (column != 0)
                    return;
                m_fixed->setColumnWidth(0, size);
                placeFixedColumn();
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, m_fixed,
            [this](int row, int, int size) { m_fixed->setRowHeight(row, size); });
    connect(m_fixed->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_fixed->verticalScrollBar(),
            &QAbstractSlider::setValue);
    // A double click on a number is one on its row.
    connect(m_fixed, &QAbstractItemView::doubleClicked, this, &QAbstractItemView::doubleClicked);
    m_fixed->show();
}

void RecordGridView::shareWithFixedColumn()
{
    m_fixed->setModel(model());
    QItemSelectionModel *own = m_fixed->selectionModel();
    m_fixed->setSelectionModel(selectionModel());
    delete own;
    for (int c = 1; c < model()->columnCount(); ++c)
        m_fixed->setColumnHidden(c, true);
}

void RecordGridView::showThrough(QAbstractItemModel *shown)
{
    QItemSelectionModel *old = selectionModel();
    setModel(shown);
    shareWithFixedColumn();
    delete old; // the fixed column let go of it too
    m_fixed->setColumnWidth(0, columnWidth(0));
    fitColumns();
}

void RecordGridView::placeFixedColumn()
{
    if (!m_fixed)
        return;
    m_fixed->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    m_fixed->setGeometry(frameWidth(), frameWidth(), columnWidth(0),
                         viewport()->height() + horizontalHeader()->height());
}

void RecordGridView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitColumns();
    placeFixedColumn();
}

void RecordGridView::updateGeometries()
{
    QTableView::updateGeometries();
    placeFixedColumn();
}

QModelIndex RecordGridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    // Moving left, the cell comes out from under the fixed column.
    const int hidden = columnWidth(0) - visualRect(current).left();
    if (cursorAction == MoveLeft && current.column() > 0 && hidden > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
    return current;
}

void RecordGridView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // The number column is always in sight; scrolling to it would hide the others' start.
    if (index.column() > 0)
        QTableView::scrollTo(index, hint);
}

int RecordGridView::widthLimit() const
{
    return fontMetrics().horizontalAdvance(QChar(0x6C49)) * kWidestColumnInCharacters;
}

QList<ColumnFit::Column> RecordGridView::measure() const
{
    // Cells as the delegate draws them (its margins, the scale's rounding), and a pixel for the
    // grid line; a text one pixel too wide would be cut short with "…".
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QFontMetrics header(horizontalHeader()->font());
    const int rows = qMin(m_model->rowCount(), kMeasuredRows);
    QList<ColumnFit::Column> columns;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        int widestCell = 0;
        for (int r = 0; r < rows; ++r) {
            if (!m_model->textView(r + 1, c).isEmpty()) {
                widestCell = qMax(widestCell,
                                  itemDelegate()->sizeHint(option, m_model->index(r, c)).width());
            }
        }
        widestCell += 2;
        const QString title = m_model->textMatrix(0, c);
        const int oneLine = horizontalHeader()->sectionSizeHint(c);
        const int twoLines =
            oneLine - header.horizontalAdvance(title) + twoLineWidth(title, header);
        ColumnFit::Column column;
        const int twips = m_model->columnWidthTwips(c);
        column.given = twips > 0 ? Twips::toPixels(twips) : 0;
        column.needed = qMax(widestCell, oneLine);
        column.least = qMax(widestCell, twoLines);
        columns << column;
    }
    return columns;
}

int RecordGridView::naturalWidth() const
{
    int total = 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int width : ColumnFit::widths(measure(), 0, widthLimit()))
        total += width;
    return total;
}

void RecordGridView::fitColumns()
{
    if (m_fitting)
        return;
    m_fitting = true;
    m_refit.stop();
    const QList<ColumnFit::Column> columns = measure();
    // Before the view is shown its viewport says nothing of the room it will have.
    const int room = isVisible() ? viewport()->width() : 0;
    const QList<int> widths = ColumnFit::widths(columns, room, widthLimit());
    bool twoLineHeader = false;
    for (int c = 0; c < widths.size(); ++c) {
        setColumnWidth(c, widths[c]);
        twoLineHeader = twoLineHeader || widths[c] < horizontalHeader()->sectionSizeHint(c);
    }
    const QFontMetrics header(horizontalHeader()->font());
    horizontalHeader()->setMinimumHeight(
        twoLineHeader ? 2 * header.lineSpacing() + header.height() / 2 : 0);
    m_fitting = false;
    placeFixedColumn();
}
