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

#include <algorithm>
#include <numeric>

namespace SchedulePdf {

namespace {
constexpr int kMeasuredRows = 500; // enough to size the columns of any list
constexpr int kPadding = Padding;
// More characters than a line across the page holds: a field of thousands is measured and
// elided from its start only, or every cell of it would hold the export up for seconds.
constexpr qsizetype kLongestShown = 300;
} // namespace

// A cell's text on one line: a line break, tab or other control character (a journal's tester or
// result may hold any) would run into the rows below or draw as nothing; it prints as a space.
QString cellText(const QAbstractItemModel &model, int row, int column)
{
    QString text = row < 0 ? model.headerData(column, Qt::Horizontal).toString()
                           : model.index(row, column).data().toString();
    if (text.size() > kLongestShown)
        text.truncate(kLongestShown - (text[kLongestShown - 1].isHighSurrogate() ? 1 : 0));
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text;
}

QList<int> columnWidths(const QAbstractItemModel &model, const QFontMetrics &metrics, int width)
{
    QList<int> widths;
    const int rows = std::min(model.rowCount(), kMeasuredRows);
    for (int c = 0; c < model.columnCount(); ++c) {
        int widest = 0;
        for (int r = -1; r < rows; ++r)
            widest = std::max(widest, metrics.horizontalAdvance(cellText(model, r, c)));
        // No column takes more than a third of the page, whatever one field holds.
        widths << std::min(widest, width / 3) + 2 * kPadding;
    }
    const qint64 total = std::accumulate(widths.begin(), widths.end(), qint64(0));
    if (total <= width) { // room for all: the page's width shared as they need it
        for (int &w : widths)
            w = int(qint64(w) * width / std::max<qint64>(total, 1));
        return widths;
    }
    // Too wide: only the widest give way, down to one cap, so that dates, due times, counts and
    // marks print whole while a long remark is cut in its own column.
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

QByteArray bytes(const QAbstractItemModel &model, const QString &title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Tarvelin"));
        pdf.setTitle(title);
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QPainter painter(&pdf);
        QFont font = RecordGridView::gridFont();
        font.setPointSizeF(7.5);
        QFont titleFont = font;
        titleFont.setPointSizeF(14);
        titleFont.setBold(true);
        painter.setFont(font);
        const QFontMetrics metrics(font, &pdf);
        const int width = pdf.width(), height = pdf.height();
        const int rowHeight = metrics.height() + kPadding;
        const int titleHeight = QFontMetrics(titleFont, &pdf).height() + rowHeight;
        const int perPage = std::max(1, (height - titleHeight - 3 * rowHeight) / rowHeight);
        const int rows = model.rowCount();
        const int pages = std::max(1, (rows + perPage - 1) / perPage);
        const QList<int> widths = columnWidths(model, metrics, width);

        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                pdf.newPage();
            painter.setFont(titleFont);
            painter.drawText(QRect(0, 0, width, titleHeight), Qt::AlignHCenter | Qt::AlignTop,
                             title);
            painter.setFont(font);
            const int first = page * perPage, last = std::min(rows, first + perPage);
            for (int r = first - 1; r < last; ++r) {
                const int top = titleHeight + (r < first ? 0 : r - first + 1) * rowHeight;
                const int row = r < first ? -1 : r; // the header row heads every page
                if (row < 0)
                    painter.fillRect(QRect(0, top, width, rowHeight), QColor(225, 225, 225));
                int left = 0;
                for (int c = 0; c < widths.size(); ++c) {
                    const QRect cell(left, top, widths[c], rowHeight);
                    painter.drawRect(cell);
                    painter.drawText(cell.adjusted(kPadding, 0, -kPadding, 0), Qt::AlignVCenter,
                                     metrics.elidedText(cellText(model, row, c), Qt::ElideRight,
                                                        widths[c] - 2 * kPadding));
                    left += widths[c];
                }
            }
            painter.drawText(QRect(0, height - rowHeight, width, rowHeight), Qt::AlignCenter,
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
