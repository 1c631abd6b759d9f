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

// The eleven fields of a record line, as the entry form saves it.
inline QStringList fileRecord(const QString &part, const QString &due)
{
    return {part,
            QStringLiteral("C30"),
            QStringLiteral("P-01"),
            QStringLiteral("2026-12-1 8:30"),
            QStringLiteral("5"),
            due,
            QStringLiteral("标准养护"),
            QStringLiteral("1"),
            QStringLiteral("3"),
            QString(),
            QString()};
}

// The eleven values the dispatcher writes into a slot, in its key order: 编号 工程部位 强度等级
// 配合比编号 制作日期 龄期 养护方式 到期时间 工程量 组数 备注.
inline QStringList slotRecord()
{
    return {QStringLiteral("3"),
            QStringLiteral("三号楼基础"),
            QStringLiteral("C30"),
            QStringLiteral("P-01"),
            QStringLiteral("2026-12-1 08:30"),
            QStringLiteral("28"),
            QStringLiteral("标准养护"),
            QStringLiteral("2026-12-29 08:30"),
            QStringLiteral("12"),
            QStringLiteral("3"),
            QString()};
}
