#pragma once

#include "gbkcodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>

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
