#include "recordfile.h"

#include "gbkcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QByteArray kLineBreak("\r\n");

// Field index 5 of a raw line, or an empty view when the line has fewer than six fields. In GBK
// no byte of a two-byte character is below 0x40, so commas can be found in the raw bytes.
QByteArrayView dueTimeField(QByteArrayView line, bool *hasField)
{
    qsizetype start = 0;
    for (int field = 0; field < 5; ++field) {
        const qsizetype comma = line.indexOf(',', start);
        if (comma < 0) {
            *hasField = false;
            return {};
        }
        start = comma + 1;
    }
    *hasField = true;
    const qsizetype end = line.indexOf(',', start);
    return line.sliced(start, (end < 0 ? line.size() : end) - start);
}

} // namespace

RecordFile::RecordFile(QString path) : m_path(std::move(path)) {}

QList<QByteArrayView> RecordFile::splitLines(QByteArrayView data)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    const qsizetype size = data.size();
    const char *bytes = data.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(data.sliced(start, i - start));
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(data.sliced(start));
    return lines;
}

bool RecordFile::readBytes(QByteArray *data, Records *result) const
{
    QFile file(m_path);
    if (!QFileInfo(file).isFile())
        return false;
    result->exists = true;
    if (!file.open(QIODevice::ReadOnly)) {
        result->error = QStringLiteral("无法读取记录文件 %1：%2").arg(m_path, file.errorString());
        return false;
    }
    *data = file.readAll();
    return true;
}

RecordFile::Records RecordFile::readDueOn(const QString &day) const
{
    Records result;
    QByteArray data;
    if (!readBytes(&data, &result))
        return result;
    const QByteArray dayBytes = day.toLatin1();
    for (QByteArrayView line : splitLines(data)) {
        bool hasField = false;
        const QByteArrayView due = dueTimeField(line, &hasField);
        if (!hasField || due.indexOf(dayBytes) < 0)
            continue;
        result.lines.append(Gbk::decode(line).split(QLatin1Char(',')));
    }
    return result;
}

RecordFile::Records RecordFile::readAll() const
{
    Records result;
    QByteArray data;
    if (!readBytes(&data, &result))
        return result;
    const QString text = Gbk::decode(data);
    // Decode once and split the text: cheaper than decoding line by line.
    const QStringView view(text);
    qsizetype start = 0;
    const qsizetype size = view.size();
    auto takeLine = [&](qsizetype end) {
        const QStringView line = view.sliced(start, end - start);
        bool filled = false;
        for (QChar c : line) {
            if (c != QLatin1Char(',')) {
                filled = true;
                break;
            }
        }
        if (filled)
            result.lines.append(line.toString().split(QLatin1Char(',')));
    };
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = view[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        takeLine(i);
        if (c == QLatin1Char('\r') && i + 1 < size && view[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        takeLine(size);
    return result;
}

RecordFile::Text RecordFile::readLines() const
{
    Text result;
    Records probe;
    QByteArray data;
    const bool read = readBytes(&data, &probe);
    result.exists = probe.exists;
    result.error = probe.error;
    if (!read)
        return result;
    for (QByteArrayView line : splitLines(data))
        result.lines.append(Gbk::decode(line));
    return result;
}

QByteArray RecordFile::tableBytes(const QList<QStringList> &rows, QString *unencodable)
{
    QString text;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            text += QLatin1String("\r\n");
        text += rows[r].join(QLatin1Char(','));
    }
    bool ok = false;
    QByteArray bytes = Gbk::encode(text, &ok);
    if (!ok) {
        if (unencodable)
            *unencodable = Gbk::firstUnencodable(text);
        return {};
    }
    return bytes;
}

RecordFile::Outcome RecordFile::writeTable(const QList<QStringList> &rows) const
{
    QString bad;
    const QByteArray bytes = tableBytes(rows, &bad);
    if (!bad.isEmpty()) {
        return {false, QStringLiteral("记录中含有无法保存的字符“%1”，记录文件未被改动。").arg(bad)};
    }
    return writeBytes(bytes);
}

RecordFile::Outcome RecordFile::writeLines(const QStringList &lines) const
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    bool ok = false;
    const QByteArray bytes = Gbk::encode(text, &ok);
    if (!ok) {
        return {false, QStringLiteral("记录中含有无法保存的字符“%1”，记录文件未被改动。")
                           .arg(Gbk::firstUnencodable(text))};
    }
    return writeBytes(bytes);
}

RecordFile::Outcome RecordFile::writeBytes(const QByteArray &data) const
{
    // A replace-by-rename would go straight past a read-only file; honour the attribute.
    const QFileInfo info(m_path);
    if (info.exists() && !info.isWritable()) {
        return {false,
                QStringLiteral("记录文件 %1 是只读的，无法保存。原文件未被改动。").arg(m_path)};
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, QStringLiteral("无法保存记录文件 %1：%2。原文件未被改动。")
                           .arg(m_path, file.errorString())};
    }
    // flush() first: commit() alone does not notice a buffered write that failed (disk full).
    if (file.write(data) != data.size() || !file.flush() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false,
                QStringLiteral("无法保存记录文件 %1：%2。原文件未被改动。").arg(m_path, reason)};
    }
    return {};
}
