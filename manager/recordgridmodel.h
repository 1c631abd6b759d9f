#pragma once

#include "packedrow.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// A table of text cells with the operations the windows rely on: row 0 is the fixed header row
// and column 0 the fixed number column, as in the record grids. The view shows rows 1 and
// following; row 0 supplies the horizontal header.
//
// Colours are 32-bit values: 0 = the standard colour, 0x00BBGGRR an explicit colour,
// 0x80000000 + index a system colour (0x8000000D = highlight).
class RecordGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr quint32 DefaultColour = 0;
    static constexpr quint32 Yellow = 0x0000FFFF;
    static constexpr quint32 Red = 0x000000FF;
    static constexpr quint32 SystemHighlight = 0x8000000D;

    explicit RecordGridModel(int cols, QObject *parent = nullptr);

    int rows() const { return int(m_rows.size()); }
    int cols() const { return m_cols; }
    // A record grid holds records between the header row and the spare last row.
    bool hasRecords() const { return rows() > 2; }
    void setRows(int count); // grows with empty rows or drops rows from the bottom

    QString textMatrix(int row, int col) const;
    // The same without a copy, for loops over many rows; valid until the grid changes.
    QStringView textView(int row, int col) const
    {
        if (!valid(row, col))
            return {};
        return m_rows[size_t(row)].cells.at(col);
    }
    void setTextMatrix(int row, int col, const QString &text);
    void addItem(const QString &text = QString());

    // Replaces rows 1.. by the given rows (cells from column 0, without colours), keeping row 0.
    // One reset instead of one signal per cell, for large tables.
    void replaceBody(const QList<QStringList> &body);
    void replacePackedBody(QList<PackedRow> body);

    // Numbers rows 1 to Rows-1 and clears the number of the spare last row.
    void renumber();

    // Shows a row that fell due: "到期" in its mark column and yellow on the highlight colour
    // from column 1 on; the number column keeps its look.
    void markDue(int row);

    // Row 0's headers and the column widths of a record grid (SpecimenRecord).
    void layOutRecordColumns();

    void setColumnWidthTwips(int col, int twips);
    int columnWidthTwips(int col) const; // 0 = the view's default width

    quint32 cellForeColour(int row, int col) const;
    quint32 cellBackColour(int row, int col) const;
    void setCellForeColour(int row, int col, quint32 colour);
    void setCellBackColour(int row, int col, quint32 colour);

    static QColor toColor(quint32 colour); // invalid for the standard colour

    // Where a row's tooltip comes from, asked when it shows: from the row's texts, which move when
    // a row is removed, while colours stay with the positions.
    void setToolTips(std::function<QString(int row)> source) { m_toolTips = std::move(source); }
    // Whether a row's batch was tested, asked as it is drawn, from the row's texts likewise: such
    // a row has a colour of its own, above the due colour, and its due-mark cell says "已试验".
    void setTested(std::function<bool(int row)> source) { m_tested = std::move(source); }
    // The look of every row asked again (marks changed elsewhere).
    void lookAgain();
    static QString testedMark();

    // Lets the user type into the cells of the stored fields (the entry form's table). A typed
    // text does not go into the cell: it is offered through cellEdited, for the owner to check
    // and save, and the cell changes only once the file has it.
    void setEditable(bool editable) { m_editable = editable; }

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void columnWidthChanged(int col);
    void cellEdited(int row, int col, const QString &text);

private:
    struct Colours
    {
        QList<quint32> fore, back; // each empty until a colour of its kind is set
    };
    // One packed string per row: a table of 100,000 records stays a few times its file's size.
    struct Row
    {
        PackedRow cells;                  // may be shorter than cols: missing cells are empty
        std::unique_ptr<Colours> colours; // null while the row has no colours
    };

    bool valid(int row, int col) const
    {
        return row >= 0 && row < rows() && col >= 0 && col < m_cols;
    }
    void changed(int row, int col, int role);
    const QList<quint32> *colours(int row, bool fore) const;
    void setColour(int row, int col, quint32 colour, bool fore);

    int m_cols;
    std::vector<Row> m_rows;
    QList<int> m_widths;
    bool m_editable = false;
    std::function<QString(int row)> m_toolTips;
    std::function<bool(int row)> m_tested;
};
