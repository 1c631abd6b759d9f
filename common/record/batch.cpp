#include "batch.h"

#include "recordline.h"

Batch Batch::fromFields(const QList<QStringView> &fields)
{
    Batch batch;
    const qsizetype shown = RecordLine::shownFields(fields.size(), RecordLine::Stored);
    QList<QStringView> line;
    for (qsizetype i = 0; i < RecordLine::Stored; ++i) {
        const QStringView field = i < shown ? fields[i] : QStringView();
        batch.m_fields.append(field.toString());
        line.append(field);
    }
    line.append(QStringView()); // the due mark, never stored
    batch.m_line = RecordLine::text(line);
    return batch;
}

Batch Batch::fromLine(QStringView line)
{
    QList<QStringView> fields;
    for (QStringView field : line.tokenize(RecordLine::Separator))
        fields.append(field);
    return fromFields(fields);
}

QString Batch::field(SpecimenRecord::Field field) const
{
    return m_fields.value(int(field));
}

QStringList Batch::cells(const QString &number) const
{
    return QStringList{number} + m_fields;
}
