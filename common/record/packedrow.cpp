#include "packedrow.h"

#include <QVarLengthArray>

#include <cstring>

namespace {
constexpr qsizetype kNarrowLimit = 0xFFFF;
constexpr qsizetype kNarrowCount = 0x8000;

using Views = QVarLengthArray<QStringView, 16>;

// Whether b starts one character after the end of a in the same text.
bool oneApart(QStringView a, QStringView b)
{
    const quintptr end = quintptr(a.utf16()) + quintptr(a.size()) * sizeof(char16_t);
    return a.utf16() && end + sizeof(char16_t) == quintptr(b.utf16());
}
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
    qsizetype textSize = count - 1; // one separator between two cells
    for (qsizetype i = 0; i < count; ++i)
        textSize += cells[i].size();
    const bool wide = textSize > kNarrowLimit || count >= kNarrowCount;
    const qsizetype header = wide ? 3 + 2 * count : 1 + count;
    m_data = QString(header + textSize, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(m_data.data());
    char16_t *text = out + header;
    if (wide) {
        out[0] = kWide;
        out[1] = char16_t(count & 0xFFFF);
        out[2] = char16_t(count >> 16);
    } else {
        out[0] = char16_t(count);
    }
    qsizetype at = 0;
    for (qsizetype i = 0; i < count; ++i) {
        at += cells[i].size();
        if (wide) {
            out[3 + 2 * i] = char16_t(at & 0xFFFF);
            out[4 + 2 * i] = char16_t(at >> 16);
        } else {
            out[1 + i] = char16_t(at);
        }
        ++at;
    }
    // Cells that follow each other in their source with one character between (the fields of a
    // line, split at its commas) are copied in one go, that character standing in as separator.
    at = 0;
    for (qsizetype first = 0; first < count;) {
        qsizetype last = first;
        while (last + 1 < count && oneApart(cells[last], cells[last + 1]))
            ++last;
        const qsizetype run = cells[last].utf16() + cells[last].size() - cells[first].utf16();
        if (run > 0)
            std::memcpy(text + at, cells[first].utf16(), size_t(run) * sizeof(char16_t));
        at += run;
        if (last + 1 < count)
            text[at++] = u',';
        first = last + 1;
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
    const qsizetype start = i == 0 ? 0 : end(i - 1) + 1;
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
