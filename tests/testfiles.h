#pragma once

#include "gbkcodec.h"
#include "recordfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Small helpers for tests that work on real files.
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

// The ten stored fields of the sample record of the main window's tests: made 2026-12-1 8:30,
// five days of age, due at due.
inline QStringList storedFields(const QString &part,
                                const QString &due = QStringLiteral("2026-12-06 09:05"),
                                const QString &remark = {})
{
    return {part,
            QStringLiteral("C30"),
            QStringLiteral("P-01"),
            QStringLiteral("2026-12-1 8:30"),
            QStringLiteral("5"),
            due,
            QStringLiteral("标准养护"),
            QStringLiteral("12"),
            QStringLiteral("3"),
            remark};
}

// Its eleven fields as a line of a.bz holds them: the due mark is empty.
inline QStringList fileRecord(const QString &part, const QString &due)
{
    return storedFields(part, due) << QString();
}

// Cells 0 to 10 of the main window's row that shows it, due at 09:05, as yxts hands them over.
inline QStringList rowCells(const QString &number, const QString &part, const QString &remark = {})
{
    return QStringList{number} + storedFields(part, QStringLiteral("2026-12-06 09:05"), remark);
}

// The eleven fields of a record as the entry form saves it: made 2026-12-1 08:30, 28 days.
inline QStringList savedRecord(const QString &part, const QString &due, const QString &remark = {})
{
    return {part,
            QStringLiteral("C30"),
            QStringLiteral("P-01"),
            QStringLiteral("2026-12-1 08:30"),
            QStringLiteral("28"),
            due,
            QStringLiteral("标准养护"),
            QStringLiteral("12"),
            QStringLiteral("3"),
            remark,
            QString()};
}

// The eleven values the dispatcher writes into a slot for such a record, due 2026-12-29 08:30,
// in its key order: 编号 工程部位 强度等级 配合比编号 制作日期 龄期 养护方式 到期时间 工程量 组数
// 备注.
inline QStringList slotRecord(const QString &number = QStringLiteral("3"),
                              const QString &part = QStringLiteral("三号楼基础"),
                              const QString &remark = {})
{
    return {number,
            part,
            QStringLiteral("C30"),
            QStringLiteral("P-01"),
            QStringLiteral("2026-12-1 08:30"),
            QStringLiteral("28"),
            QStringLiteral("标准养护"),
            QStringLiteral("2026-12-29 08:30"),
            QStringLiteral("12"),
            QStringLiteral("3"),
            remark};
}
