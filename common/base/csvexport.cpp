#include "csvexport.h"

#include "atomicfile.h"
#include "basetexts.h"
#include "gbkcodec.h"

#include <QAbstractItemModel>
#include <QDir>

namespace CsvExport {

namespace {
void appendField(QString &out, const QString &field)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (QChar c : field)
        quote = quote || special.contains(c);
    if (!quote) {
        out += field;
        return;
    }
    out += u'"';
    out += QString(field).replace(u'"', QLatin1String("\"\""));
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
            appendField(text, model.index(r, c).data().toString());
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
