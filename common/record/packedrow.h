#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The cells of one table row kept in a single string: a short header of cell ends, then the cells'
// text. A row of a 100,000-record table then costs one allocation instead of
// one per cell, which keeps a table within a few times the size of its file.
//
// A value type: copies share the string until one of them changes. Cells past the end read empty.
class PackedRow
{
public:
    PackedRow() = default;
    explicit PackedRow(const QStringList &cells);
    PackedRow(const QStringView *cells, qsizetype count);

    qsizetype size() const
    {
        if (m_data.isEmpty())
            return 0;
        const char16_t *units = unitsOf();
        return units[0] != kWide ? units[0] : qsizetype(units[1]) | (qsizetype(units[2]) << 16);
    }
    bool isEmpty() const { return size() == 0; }

    // A view of cell i, valid until this row changes or goes away; empty past the end. Inline:
    // loops over whole tables call it for every cell.
    QStringView at(qsizetype i) const
    {
        if (m_data.isEmpty())
            return {};
        const char16_t *units = unitsOf();
        if (units[0] == kWide)
            return wideAt(i);
        const qsizetype count = units[0];
        if (i < 0 || i >= count)
            return {};
        const qsizetype start = i == 0 ? 0 : units[i] + 1;
        return QStringView(units + 1 + count + start, units[1 + i] - start);
    }
    QString value(qsizetype i) const { return at(i).toString(); }
    QStringList toList() const;

    // Sets cell i, adding empty cells before it where the row is shorter.
    void set(qsizetype i, QStringView text);
    // Drops the cells from count on.
    void truncate(qsizetype count);

    friend bool operator==(const PackedRow &a, const PackedRow &b);
    friend bool operator!=(const PackedRow &a, const PackedRow &b) { return !(a == b); }

private:
    // Layout of m_data. Narrow rows (the usual): one unit holding the count, then the end of
    // each cell as one unit. Wide rows (65,536 characters or more, or 32,768 cells or more): the
    // unit kWide, the count in two units, then each end in two units. Then the text: the cells with
    // one separator character between each two, so that cells taken from one line are copied
    // together. Ends count from the first character of the text.
    static constexpr char16_t kWide = 0xFFFF;
    const char16_t *unitsOf() const
    {
        return reinterpret_cast<const char16_t *>(m_data.constData());
    }
    QStringView wideAt(qsizetype i) const;

    QString m_data; // empty for a row without cells
};
Q_DECLARE_TYPEINFO(PackedRow, Q_RELOCATABLE_TYPE);
