#pragma once

#include "gbkcodec.h"
#include "recordfile.h"
#include "recordstore.h"
#include "specimenrecord.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Small helpers for tests that work on real files.

// The last line of a table save: the spare row's eleven empty fields, no line break.
inline const QByteArray kClosingLine(",,,,,,,,,,");

inline QByteArray gbk(const QString &text)
{
    return Gbk::encode(text);
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

// a.bz holding rows as the entry form's save writes a table.
inline void makeRecordFile(const QString &path, const QList<QStringList> &rows)
{
    writeFile(path, RecordFile::tableBytes(rows));
}

// The store's rewrite of a.bz into rows as a save writes a table, or into lines each followed by
// CR LF as "删除过期数据" writes them; the day's copy kept as for an add.
inline RecordStore::Outcome rewriteTable(const RecordStore &store, const QList<QStringList> &rows)
{
    return store.rewrite(
        RecordBackups::Occasion::FirstSaveOfDay, [&](const RecordFile::Bytes &now) {
            return store.file().tableReplacing(now.data, rows.size(),
                                               [&rows](qsizetype line, QList<QStringView> &fields) {
                                                   for (const QString &field : rows[line])
                                                       fields.append(field);
                                               });
        });
}
inline RecordStore::Outcome rewriteLines(const RecordStore &store, const QStringList &lines)
{
    return store.rewrite(
        RecordBackups::Occasion::FirstSaveOfDay,
        [&](const RecordFile::Bytes &now) { return store.file().linesReplacing(now.data, lines); });
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The entry form's load of file, each line's fields in a list of their own.
inline RecordFile::Records readFilled(const RecordFile &file)
{
    RecordFile::Records result;
    const RecordFile::Status status =
        file.forEachFilledLine([&result](const QList<QStringView> &fields) {
            QStringList line;
            for (QStringView field : fields)
                line.append(field.toString());
            result.lines.append(line);
        });
    result.exists = status.exists;
    result.error = status.error;
    return result;
}

// The tests' one sample record, field by field: made 2026-12-1 08:30, 28 days of age, so due
// 2026-12-29 08:30, number 3 in its grid. A test names the fields it is about and takes the rest
// as they are: sample(QStringLiteral("甲")).with(SpecimenRecord::Remark, QStringLiteral("复检")).
struct SampleRecord
{
    QString number = QStringLiteral("3");
    // The ten stored fields, by SpecimenRecord::Field.
    QStringList stored{QStringLiteral("三号楼基础"), QStringLiteral("C30"),
                       QStringLiteral("P-01"),       QStringLiteral("2026-12-1 08:30"),
                       QStringLiteral("28"),         QStringLiteral("2026-12-29 08:30"),
                       QStringLiteral("标准养护"),   QStringLiteral("12"),
                       QStringLiteral("3"),          QString()};

    SampleRecord with(SpecimenRecord::Field field, const QString &value) const
    {
        SampleRecord changed = *this;
        if (field == SpecimenRecord::Number)
            changed.number = value;
        else
            changed.stored[field] = value;
        return changed;
    }
    // The eleven fields of its line of a.bz: the due mark is empty.
    QStringList fields() const { return stored + QStringList{QString()}; }
    // Its line of a.bz, without the line break; line() in code page 936.
    QString text() const { return fields().join(QLatin1Char(',')); }
    QByteArray line() const { return gbk(text()); }
    // Cells 0 to 10 of the grid row that shows it, as the main window hands them to yxts.
    QStringList cells() const { return QStringList{number} + stored; }
    // The eleven values a slot holds for it, in the order the dispatcher writes the keys:
    // 编号 工程部位 强度等级 配合比编号 制作日期 龄期 养护方式 到期时间 工程量 组数 备注.
    QStringList slotValues() const
    {
        using namespace SpecimenRecord;
        QStringList values{number};
        for (Field field : {WorksPart, StrengthGrade, MixNumber, MakingDate, Age, CuringMethod,
                            SpecimenRecord::DueTime, Quantity, Groups, Remark})
            values << stored[field];
        return values;
    }
};

// The sample record of a works part, due at due: the two fields most tests are about.
inline SampleRecord sample(const QString &part = QStringLiteral("三号楼基础"),
                           const QString &due = QStringLiteral("2026-12-29 08:30"))
{
    return SampleRecord().with(SpecimenRecord::WorksPart, part).with(SpecimenRecord::DueTime, due);
}
