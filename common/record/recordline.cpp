#include "recordline.h"

namespace RecordLine {

QStringList keptAsRead(const QList<QStringView> &fields)
{
    QStringList asRead;
    if (fields.size() == Width)
        return asRead;
    asRead.reserve(fields.size());
    for (QStringView field : fields)
        asRead.append(field.toString());
    return asRead;
}

void appendClosing(QList<QStringView> &fields)
{
    for (int field = 0; field < Width; ++field)
        fields.append(QStringView());
}

QString text(const QList<QStringView> &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QChar(Separator);
        line += fields[i];
    }
    return line;
}

std::optional<QByteArrayView> fieldIn(QByteArrayView line, SpecimenRecord::Field field)
{
    const char separator = char(Separator);
    qsizetype start = 0;
    for (int before = 0; before < int(field); ++before) {
        const qsizetype comma = line.indexOf(separator, start);
        if (comma < 0)
            return std::nullopt;
        start = comma + 1;
    }
    const qsizetype end = line.indexOf(separator, start);
    return line.sliced(start, (end < 0 ? line.size() : end) - start);
}

} // namespace RecordLine
