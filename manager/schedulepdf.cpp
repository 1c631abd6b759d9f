#include "schedulepdf.h"

#include "atomicfile.h"
#include "basetexts.h"
#include "recordgridview.h"

#include <QAbstractItemModel>
#include <QBuffer>
#include <QDir>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <numeric>
#include <optional>

namespace SchedulePdf {

namespace {
constexpr int kPadding = Padding;
// More characters than a cell shows: a field of thousands is measured and wrapped from its start
// only, or every cell of it would hold the export up for seconds.
constexpr qsizetype kLongestShown = 300;

struct Cell
{
    QString text;
    bool more = false; // cut short at kLongestShown
};

// A cell's text: a line break, tab or other control character (a journal's tester or result may
// hold any) would run into the rows below or draw as nothing; it prints as a space.
Cell cellOf(const QAbstractItemModel &model, int row, int column)
{
    Cell cell{row < 0 ? model.headerData(column, Qt::Horizontal).toString()
                      : model.index(row, column).data().toString()};
    if (cell.text.size() > kLongestShown) {
        cell.more = true;
        cell.text.truncate(kLongestShown -
                           (cell.text[kLongestShown - 1].isHighSurrogate() ? 1 : 0));
    }
    for (QChar &c : cell.text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return cell;
}

// A cell's text shaped once in lines of its column, at most the layout's limit: counted, then
// drawn.
class Wrapped
{
public:
    Wrapped(const Cell &cell, const QFont &font, int width, int limit)
        : m_metrics(font), m_width(width)
    {
        if (!cell.more && m_metrics.horizontalAdvance(cell.text) <= width) {
            m_text = cell.text; // the most of them: one line, nothing to lay out
            return;
        }
        m_layout.emplace(cell.text, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTextDirection(Qt::LeftToRight); // as a line is drawn
        m_layout->setTextOption(option);
        m_layout->setCacheEnabled(true); // or drawing shapes every line again
        m_layout->beginLayout();
        for (QTextLine line;
             m_layout->lineCount() < limit && (line = m_layout->createLine()).isValid();) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, (m_layout->lineCount() - 1) * m_metrics.lineSpacing()));
        }
        m_layout->endLayout();
        const QTextLine last = m_layout->lineAt(m_layout->lineCount() - 1);
        m_cut = cell.more || last.textStart() + last.textLength() < cell.text.size();
    }
    int count() const { return m_layout ? m_layout->lineCount() : 1; }
    QString line(int n) const
    {
        if (!m_layout)
            return m_text;
        const QTextLine line = m_layout->lineAt(n);
        const QString text = m_layout->text().mid(line.textStart(), line.textLength());
        return m_cut && n == count() - 1
                   ? m_metrics.elidedText(text + QChar(0x2026), Qt::ElideRight, m_width)
                   : text;
    }
    // Each line's top at origin, a line's spacing below the last.
    void draw(QPainter &painter, QPoint origin) const
    {
        for (int n = 0; n < count(); ++n) {
            if (m_layout && !(m_cut && n == count() - 1)) {
                m_layout->lineAt(n).draw(&painter, origin);
                continue;
            }
            painter.drawText(QRect(origin + QPoint(0, n * m_metrics.lineSpacing()),
                                   QSize(m_width, m_metrics.height())),
                             Qt::AlignVCenter | Qt::TextDontClip, line(n)); // it fits
        }
    }

private:
    QFontMetrics m_metrics;
    int m_width;
    QString m_text;
    std::optional<QTextLayout> m_layout;
    bool m_cut = false;
};

Wrapped wrapped(const QAbstractItemModel &model, int row, int column, const QFont &font,
                const Layout &layout)
{
    return Wrapped(cellOf(model, row, column), font, layout.widths[column] - 2 * kPadding,
                   layout.lineLimit);
}

// Each cell's advance, measured once for the widths and the heights: the header row's, then
// each row's.
QList<int> advances(const QAbstractItemModel &model, const QFontMetrics &metrics)
{
    QList<int> measured;
    measured.reserve((model.rowCount() + 1) * model.columnCount());
    for (int r = -1; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c)
            measured << metrics.horizontalAdvance(cellOf(model, r, c).text);
    }
    return measured;
}

QList<int> widest(const QList<int> &advances, int columns)
{
    QList<int> widths(columns, 0);
    for (qsizetype i = 0; i < advances.size(); ++i)
        widths[i % columns] = std::max(widths[i % columns], advances[i]);
    for (int &w : widths)
        w += 2 * kPadding;
    return widths;
}

// The lines each row takes, the header row's first: the limit at once for a cell that even full
// lines could not hold, which spares shaping the longest texts again.
QList<int> lineCounts(const QAbstractItemModel &model, const QFont &font, const Layout &layout,
                      const QList<int> &advances)
{
    QList<int> counts;
    for (int r = -1, i = 0; r < model.rowCount(); ++r) {
        int most = 1;
        for (int c = 0; c < layout.widths.size(); ++c, ++i) {
            const int width = layout.widths[c] - 2 * kPadding;
            if (advances[i] <= width || most == layout.lineLimit)
                continue; // one line, or no more than the row's
            most =
                advances[i] >= qint64(layout.lineLimit) * width
                    ? layout.lineLimit
                    : std::max(most,
                               Wrapped(cellOf(model, r, c), font, width, layout.lineLimit).count());
        }
        counts << most;
    }
    return counts;
}

// Rows are never split: one that does not fit above the foot starts the next page.
QList<int> pageStarts(const Layout &layout, int bottom)
{
    QList<int> starts{0};
    const int first = layout.top + layout.heights[0];
    for (int r = 0, y = first; r + 1 < layout.heights.size(); ++r) {
        if (y + layout.heights[r + 1] > bottom && r > starts.last()) {
            starts << r;
            y = first;
        }
        y += layout.heights[r + 1];
    }
    return starts;
}

QFont tableFont()
{
    QFont font = RecordGridView::gridFont();
    font.setPointSizeF(7.5);
    return font;
}

QFont titleFont()
{
    QFont font = tableFont();
    font.setPointSizeF(14);
    font.setBold(true);
    return font;
}

QPageLayout a4(QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

// The writer made ready, and the layout it is to print.
Layout prepare(QPdfWriter &pdf, const QAbstractItemModel &model, const QString &title)
{
    pdf.setCreator(QStringLiteral("Tarvelin"));
    pdf.setTitle(title);
    pdf.setResolution(300);
    const QFontMetrics metrics(tableFont(), &pdf);
    const int top = QFontMetrics(titleFont(), &pdf).height() + metrics.height() + kPadding;
    const QSize portrait = a4(QPageLayout::Portrait).paintRectPixels(pdf.resolution()).size();
    const Layout layout = layOut(model, QFont(tableFont(), &pdf), portrait, top);
    pdf.setPageLayout(a4(layout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait));
    return layout;
}

void drawRow(QPainter &painter, const QAbstractItemModel &model, int row, int top,
             const Layout &layout)
{
    const int height = layout.heights[row + 1];
    if (row < 0) // the header row heads every page
        painter.fillRect(QRect(0, top, layout.page.width(), height), QColor(225, 225, 225));
    int left = 0;
    for (int c = 0; c < layout.widths.size(); ++c) {
        painter.drawRect(QRect(left, top, layout.widths[c], height));
        wrapped(model, row, c, painter.font(), layout)
            .draw(painter, QPoint(left + kPadding, top + kPadding / 2));
        left += layout.widths[c];
    }
}
} // namespace

QString cellText(const QAbstractItemModel &model, int row, int column)
{
    return cellOf(model, row, column).text;
}

QList<int> naturalWidths(const QAbstractItemModel &model, const QFontMetrics &metrics)
{
    return widest(advances(model, metrics), model.columnCount());
}

QList<int> columnWidths(QList<int> widths, int width)
{
    for (int &w : widths) // no column takes more than a third of the page, whatever one holds
        w = std::min(w, width / 3 + 2 * kPadding);
    const qint64 total = std::accumulate(widths.begin(), widths.end(), qint64(0));
    if (total <= width) { // room for all: the page's width shared as they need it
        for (int &w : widths)
            w = int(qint64(w) * width / std::max<qint64>(total, 1));
        return widths;
    }
    // Too wide: only the widest give way, down to one cap, so that dates, due times, counts and
    // marks print whole while a long remark wraps in its own column.
    int low = 0, high = *std::max_element(widths.begin(), widths.end());
    while (low < high) {
        const int cap = (low + high + 1) / 2;
        qint64 sum = 0;
        for (int w : widths)
            sum += std::min(w, cap);
        (sum <= width ? low : high) = sum <= width ? cap : cap - 1;
    }
    for (int &w : widths)
        w = std::min(w, low);
    return widths;
}

QStringList lines(const QString &text, bool more, const QFont &font, int width, int limit)
{
    const Wrapped wrapped({text, more}, font, width, limit);
    QStringList shown;
    for (int n = 0; n < wrapped.count(); ++n)
        shown << wrapped.line(n);
    return shown;
}

Layout layOut(const QAbstractItemModel &model, const QFont &font, QSize portrait, int top)
{
    const QFontMetrics metrics(font);
    const auto height = [&metrics](int lines) {
        return metrics.height() + (lines - 1) * metrics.lineSpacing() + kPadding;
    };
    const QList<int> measured = advances(model, metrics);
    const QList<int> natural = widest(measured, model.columnCount());
    Layout layout;
    layout.landscape =
        std::accumulate(natural.begin(), natural.end(), qint64(0)) > portrait.width();
    layout.page = layout.landscape ? portrait.transposed() : portrait;
    layout.top = top;
    layout.widths = columnWidths(natural, layout.page.width());
    layout.lineLimit =
        std::max(1, (layout.page.height() / 3 - height(1)) / metrics.lineSpacing() + 1);
    for (int lines : lineCounts(model, font, layout, measured))
        layout.heights << height(lines);
    layout.pageStarts = pageStarts(layout, layout.page.height() - 2 * height(1));
    return layout;
}

Layout pdfLayout(const QAbstractItemModel &model, const QString &title)
{
    QBuffer buffer;
    QPdfWriter pdf(&buffer);
    return prepare(pdf, model, title);
}

QByteArray bytes(const QAbstractItemModel &model, const QString &title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        const Layout layout = prepare(pdf, model, title);
        QPainter painter(&pdf);
        const int width = layout.page.width(), height = layout.page.height();
        const int foot = QFontMetrics(tableFont(), &pdf).height() + kPadding;
        const qsizetype pages = layout.pageStarts.size();
        for (qsizetype page = 0; page < pages; ++page) {
            if (page > 0)
                pdf.newPage();
            painter.setFont(titleFont());
            painter.drawText(QRect(0, 0, width, layout.top), Qt::AlignHCenter | Qt::AlignTop,
                             title);
            painter.setFont(tableFont());
            drawRow(painter, model, -1, layout.top, layout);
            int top = layout.top + layout.heights[0];
            const int last = page + 1 < pages ? layout.pageStarts[page + 1] : model.rowCount();
            for (int r = layout.pageStarts[page]; r < last; ++r) {
                drawRow(painter, model, r, top, layout);
                top += layout.heights[r + 1];
            }
            painter.drawText(QRect(0, height - foot, width, foot), Qt::AlignCenter,
                             QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(pages));
        }
    }
    return buffer.data();
}

QString save(const QAbstractItemModel &model, const QString &title, const QString &path)
{
    const AtomicFile::Result saved = AtomicFile::replace(path, bytes(model, title));
    return saved.ok ? QString()
                    : AtomicFile::failureText(saved, BaseText::exportFile(),
                                              QDir::toNativeSeparators(path));
}

} // namespace SchedulePdf
