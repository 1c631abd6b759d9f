#include "csvexport.h"

#include "atomicfile.h"
#include "basetexts.h"
#include "gbkcodec.h"

#include <QAbstractItemModel>
#include <QDir>

namespace CsvExport {

namespace {
// A spreadsheet opening the file takes a cell that starts with one of these as a formula (a
// tab or a carriage return before one hides it): "=HYPERLINK(...)", "+cmd|...", "@SUM(...)".
bool readAsFormula(const QString &field)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    if (field.isEmpty() || !starts.contains(field.front()))
        return false;
    // A signed number stays a number: "-5", "+0.5".
    bool number = false;
    field.toDouble(&number);
    return !number;
}

void appendField(QString &out, const QString &field)
{
    static const QString special = QStringLiteral(",\"\r\n");
    // An apostrophe first makes the spreadsheet read the cell as text, and shows the value after
    // it unchanged.
    const QString value = readAsFormula(field) ? u'\'' + field : field;
    bool quote = false;
    for (QChar c : value)
        quote = quote || special.contains(c);
    if (!quote) {
        out += value;
        return;
    }
    out += u'"';
    out += QString(value).replace(u'"', QLatin1String("\"\""));
    out += u'"';
}
} // namespace

QByteArray bytes(const QAbstractItemModel &model, QString *unencodable)
{
    QString text;
    const int columns = model.columnCount();
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            text += u',';
        appendField(text, model.headerData(c, Qt::Horizontal).toString());
    }
    text += QLatin1String("\r\n");
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                text += u',';
            // A view may cut a long text for the screen: the file takes it whole.
            const QModelIndex index = model.index(r, c);
            const QVariant whole = index.data(Qt::EditRole);
            appendField(text, (whole.isValid() ? whole : index.data()).toString());
        }
        text += QLatin1String("\r\n");
    }
    *unencodable = Gbk::firstUnencodable(text);
    return unencodable->isEmpty() ? Gbk::encode(text) : QByteArray();
}

QString save(const QAbstractItemModel &model, const QString &path)
{
    QString unencodable;
    const QByteArray data = bytes(model, &unencodable);
    if (!unencodable.isEmpty())
        return BaseText::unexportable(Gbk::describe(unencodable));
    const AtomicFile::Result saved = AtomicFile::replace(path, data);
    return saved.ok ? QString()
                    : AtomicFile::failureText(saved, BaseText::exportFile(),
                                              QDir::toNativeSeparators(path));
}

} // namespace CsvExport
