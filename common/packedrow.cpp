#include "packedrow.h"

#include <QVarLengthArray>

namespace {
constexpr qsizetype kNarrowLimit = 0xFFFF;
constexpr qsizetype kNarrowCount = 0x8000;

using Views = QVarLengthArray<QStringView, 16>;
} // namespace

PackedRow::PackedRow(const QStringList &cells)
{
    Views views;
    views.reserve(cells.size());
    for (const QString &cell : cells)
        views.append(cell);
    *this = PackedRow(views.constData(), views.size());
}

PackedRow::PackedRow(const QStringView *cells, qsizetype count)
{
    if (count <= 0)
        return;
    qsizetype textSize = 0;
    for (qsizetype i = 0; i < count; ++i)
        textSize += cells[i].size();
    const bool wide = textSize > kNarrowLimit || count >= kNarrowCount;
    const qsizetype header = wide ? 3 + 2 * count : 1 + count;
    m_data = QString(header + textSize, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(m_data.data());
    char16_t *text = out + header;
    qsizetype at = 0;
    if (wide) {
        out[0] = kWide;
        out[1] = char16_t(count & 0xFFFF);
        out[2] = char16_t(count >> 16);
    } else {
        out[0] = char16_t(count);
    }
    for (qsizetype i = 0; i < count; ++i) {
        // Most cells are a few characters: a plain loop beats a call to memcpy.
        const QStringView cell = cells[i];
        const char16_t *from = cell.utf16();
        for (qsizetype k = 0, n = cell.size(); k < n; ++k)
            text[at + k] = from[k];
        at += cell.size();
        if (wide) {
            out[3 + 2 * i] = char16_t(at & 0xFFFF);
            out[4 + 2 * i] = char16_t(at >> 16);
        } else {
            out[1 + i] = char16_t(at);
        }
    }
}

QStringView PackedRow::wideAt(qsizetype i) const
{
    const qsizetype count = size();
    if (i < 0 || i >= count)
        return {};
    const char16_t *units = unitsOf();
    const auto end = [units](qsizetype cell) {
        return qsizetype(units[3 + 2 * cell]) | (qsizetype(units[4 + 2 * cell]) << 16);
    };
    const qsizetype start = i == 0 ? 0 : end(i - 1);
    return QStringView(units + 3 + 2 * count + start, end(i) - start);
}

QStringList PackedRow::toList() const
{
    QStringList cells;
    const qsizetype count = size();
    cells.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        cells.append(at(i).toString());
    return cells;
}

void PackedRow::set(qsizetype i, QStringView text)
{
    if (i < 0)
        return;
    const qsizetype count = qMax(size(), i + 1);
    Views views(count);
    for (qsizetype c = 0; c < count; ++c)
        views[c] = c == i ? text : at(c);
    // The views point into the old string, which lives until the new one is made.
    *this = PackedRow(views.constData(), count);
}

void PackedRow::truncate(qsizetype count)
{
    if (count >= size())
        return;
    Views views(qMax<qsizetype>(count, 0));
    for (qsizetype c = 0; c < views.size(); ++c)
        views[c] = at(c);
    *this = PackedRow(views.constData(), views.size());
}

bool operator==(const PackedRow &a, const PackedRow &b)
{
    const qsizetype count = a.size();
    if (count != b.size())
        return false;
    for (qsizetype i = 0; i < count; ++i) {
        if (a.at(i) != b.at(i))
            return false;
    }
    return true;
}
