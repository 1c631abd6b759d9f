#include "profilefile.h"

#include "atomicfile.h"
#include "basetexts.h"
#include "exchangetexts.h"
#include "gbkcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <optional>

namespace {

const QByteArray kLineBreak("\r\n");

struct Line
{
    qsizetype start;
    qsizetype contentEnd; // before the CR LF (or bare LF)
    qsizetype end;        // after it
};

// Lines end at LF, with or without a CR before it; the last line may have no break at all.
QList<Line> splitLines(QByteArrayView data)
{
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype size = data.size();
    while (start < size) {
        const qsizetype lf = data.indexOf('\n', start);
        if (lf < 0) {
            lines.append({start, size, size});
            break;
        }
        const qsizetype contentEnd = (lf > start && data[lf - 1] == '\r') ? lf - 1 : lf;
        lines.append({start, contentEnd, lf + 1});
        start = lf + 1;
    }
    return lines;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks are single bytes that never occur inside a GBK character, so trimming bytes is safe.
QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && isBlank(bytes[first]))
        ++first;
    while (last > first && isBlank(bytes[last - 1]))
        --last;
    return bytes.sliced(first, last - first);
}

QByteArrayView content(QByteArrayView data, const Line &line)
{
    return data.sliced(line.start, line.contentEnd - line.start);
}

bool isBlankLine(QByteArrayView data, const Line &line)
{
    return trimmed(content(data, line)).isEmpty();
}

// The name of a header line: the line less every "[" and "]", nothing trimmed. A "]" byte can be
// the second byte of a GBK character, so the closing bracket is checked on the decoded text.
std::optional<QString> headerName(QByteArrayView line)
{
    const QByteArrayView core = trimmed(line);
    if (core.size() < 2 || core.front() != '[' || core.back() != ']')
        return std::nullopt;
    const QString text = Gbk::decode(core);
    if (!text.endsWith(QLatin1Char(']')))
        return std::nullopt;
    QString name = Gbk::decode(line);
    name.remove(QLatin1Char('['));
    name.remove(QLatin1Char(']'));
    return name;
}

// '=' is below 0x40 and so never part of a GBK character.
bool isKeyLine(QByteArrayView line, QByteArrayView key, qsizetype *equals)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || trimmed(line.first(eq)) != key)
        return false;
    if (equals)
        *equals = eq;
    return true;
}

// Lines [first, end) of the first section called name; first is the header. False if none.
bool findSection(QByteArrayView data, const QList<Line> &lines, const QString &name,
                 qsizetype *header, qsizetype *end)
{
    *header = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> found = headerName(content(data, lines[i]));
        if (!found)
            continue;
        if (*header >= 0) {
            *end = i;
            return true;
        }
        if (*found == name)
            *header = i;
    }
    *end = lines.size();
    return *header >= 0;
}

bool encodeInto(const QString &text, QByteArray *bytes, QString *error)
{
    bool ok = false;
    *bytes = Gbk::encode(text, &ok);
    if (!ok) {
        *error = ExchangeText::unencodable(text, Gbk::describe(Gbk::firstUnencodable(text)));
    }
    return ok;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool checkNames(const QString &section, const QList<ProfileFile::Entry> &entries, QString *error)
{
    if (section.isEmpty() || section.contains(QLatin1Char('[')) ||
        section.contains(QLatin1Char(']')) || hasLineBreak(section)) {
        *error = ExchangeText::badSection(section);
        return false;
    }
    for (const ProfileFile::Entry &entry : entries) {
        const QString key = entry.first.trimmed();
        if (key.isEmpty() || key.startsWith(QLatin1Char('[')) || key.contains(QLatin1Char('=')) ||
            hasLineBreak(entry.first)) {
            *error = ExchangeText::badKey(entry.first);
            return false;
        }
        if (hasLineBreak(entry.second)) {
            *error = ExchangeText::valueLineBreak(entry.first);
            return false;
        }
    }
    return true;
}

// One write into buffer, with the effects of the Windows profile call.
void applyEntry(QByteArray *buffer, const QString &section, const QByteArray &sectionBytes,
                const QByteArray &key, const QByteArray &value)
{
    const QByteArray keyLine = key + '=' + value;
    const QList<Line> lines = splitLines(*buffer);
    qsizetype header = -1;
    qsizetype end = 0;
    if (!findSection(*buffer, lines, section, &header, &end)) {
        if (!buffer->isEmpty() && !buffer->endsWith('\n'))
            buffer->append(kLineBreak);
        buffer->append('[' + sectionBytes + ']' + kLineBreak + keyLine + kLineBreak);
        return;
    }
    const QByteArrayView trimmedKey = trimmed(key);
    qsizetype last = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = lines[i];
        if (isKeyLine(content(*buffer, line), trimmedKey, nullptr)) {
            buffer->replace(line.start, line.contentEnd - line.start, keyLine);
            return;
        }
        if (!isBlankLine(*buffer, line))
            last = i;
    }
    const Line &after = lines[last];
    if (after.end == after.contentEnd) // the file's last line, without a break
        buffer->insert(after.end, kLineBreak + keyLine + kLineBreak);
    else
        buffer->insert(after.end, keyLine + kLineBreak);
}

QString lockFailure(const QString &path)
{
    return BaseText::fileBusy(ExchangeText::profileFile(), path);
}

} // namespace

QString ReadIniValue(const QString &section, const QString &key, const QString &path)
{
    return ProfileFile(path).value(section, key);
}

QStringList ListIniSections(const QString &path)
{
    return ProfileFile(path).sections();
}

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

ProfileFile::Lock ProfileFile::lock(int waitMs) const
{
    return Lock(m_path, ExchangeText::profileFile(), waitMs);
}

ProfileFile::Contents ProfileFile::read() const
{
    Contents result;
    QFile file(m_path);
    const QFileInfo info(file);
    if (!info.exists())
        return result;
    result.exists = true;
    // A folder of the same name is not a file without slots: say so, or every caller would
    // report that all slots are taken.
    if (!info.isFile()) {
        result.error = ExchangeText::notAFile(m_path);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = ExchangeText::cannotRead(m_path, file.errorString());
        return result;
    }
    result.bytes = file.readAll();
    return result;
}

QString ProfileFile::value(const QString &section, const QString &key) const
{
    const Contents contents = read();
    if (!contents.error.isEmpty())
        return {};
    return valueIn(contents.bytes, section, key);
}

QStringList ProfileFile::sections() const
{
    const Contents contents = read();
    if (!contents.error.isEmpty())
        return {};
    return sectionsIn(contents.bytes);
}

ProfileFile::Outcome ProfileFile::write(const QString &section, const QString &key,
                                        const QString &value) const
{
    return write(section, {{key, value}});
}

ProfileFile::Outcome ProfileFile::write(const QString &section, const QList<Entry> &entries) const
{
    const Lock held = lock();
    if (!held.isLocked())
        return {false, held.error()};
    return write(held, section, entries);
}

ProfileFile::Outcome ProfileFile::write(const Lock &held, const QString &section,
                                        const QList<Entry> &entries) const
{
    if (!held.isLocked() || held.filePath() != m_path)
        return {false, lockFailure(m_path)};
    const Contents contents = read();
    if (!contents.error.isEmpty())
        return {false, ExchangeText::readFailedUnchanged(contents.error)};
    QString error;
    const QByteArray bytes = withEntries(contents.bytes, section, entries, &error);
    if (!error.isEmpty())
        return {false, error};
    if (contents.exists && bytes == contents.bytes)
        return {};
    return replace(held, bytes);
}

ProfileFile::Outcome ProfileFile::replace(const Lock &held, const QByteArray &bytes) const
{
    if (!held.isLocked() || held.filePath() != m_path)
        return {false, lockFailure(m_path)};
    const AtomicFile::Result written = AtomicFile::replace(m_path, bytes);
    if (!written.ok)
        return {false, AtomicFile::failureText(written, ExchangeText::profileFile(), m_path)};
    return {};
}

ProfileFile::Outcome ProfileFile::remove(const Lock &held) const
{
    if (!held.isLocked() || held.filePath() != m_path)
        return {false, lockFailure(m_path)};
    QFile file(m_path);
    if (!QFileInfo::exists(m_path) || file.remove())
        return {};
    return {false, ExchangeText::cannotRemove(m_path, file.errorString())};
}

QString ProfileFile::valueIn(QByteArrayView data, const QString &section, const QString &key)
{
    bool ok = false;
    const QByteArray keyBytes = Gbk::encode(key, &ok);
    if (!ok)
        return {};
    const QByteArrayView wanted = trimmed(keyBytes);
    const QList<Line> lines = splitLines(data);
    qsizetype header = -1;
    qsizetype end = 0;
    if (!findSection(data, lines, section, &header, &end))
        return {};
    for (qsizetype i = header + 1; i < end; ++i) {
        const QByteArrayView line = content(data, lines[i]);
        qsizetype equals = 0;
        if (isKeyLine(line, wanted, &equals)) {
            QString value = Gbk::decode(line.sliced(equals + 1));
            value.remove(QChar(0));
            return value;
        }
    }
    return {};
}

QStringList ProfileFile::sectionsIn(QByteArrayView data)
{
    QStringList names;
    for (const Line &line : splitLines(data)) {
        if (std::optional<QString> name = headerName(content(data, line)))
            names.append(std::move(*name));
    }
    return names;
}

QList<QPair<QString, QString>> ProfileFile::sectionsWithValueIn(QByteArrayView data,
                                                                const QString &key)
{
    bool ok = false;
    const QByteArray keyBytes = Gbk::encode(key, &ok);
    const QByteArrayView wanted = trimmed(keyBytes);
    QList<QPair<QString, QString>> sections;
    QHash<QString, qsizetype> firstOf; // name -> its first section's place in sections
    qsizetype open = -1;               // the section whose key is still looked for
    for (const Line &line : splitLines(data)) {
        const QByteArrayView text = content(data, line);
        if (std::optional<QString> name = headerName(text)) {
            const auto first = firstOf.constFind(*name);
            if (first == firstOf.constEnd()) {
                open = sections.size();
                firstOf.insert(*name, open);
                sections.append({std::move(*name), QString()});
            } else {
                // The first section of that name has ended: its value is final.
                open = -1;
                sections.append({*name, sections[*first].second});
            }
            continue;
        }
        qsizetype equals = 0;
        if (ok && open >= 0 && isKeyLine(text, wanted, &equals)) {
            QString value = Gbk::decode(text.sliced(equals + 1));
            value.remove(QChar(0));
            sections[open].second = std::move(value);
            open = -1; // the first key line counts
        }
    }
    return sections;
}

QByteArray ProfileFile::withEntries(QByteArrayView data, const QString &section,
                                    const QList<Entry> &entries, QString *error)
{
    QString failure;
    QByteArray sectionBytes;
    QList<QPair<QByteArray, QByteArray>> encoded;
    bool ok =
        checkNames(section, entries, &failure) && encodeInto(section, &sectionBytes, &failure);
    for (qsizetype i = 0; ok && i < entries.size(); ++i) {
        QByteArray key;
        QByteArray value;
        ok = encodeInto(entries[i].first, &key, &failure) &&
             encodeInto(entries[i].second, &value, &failure);
        encoded.append({key, value});
    }
    if (!ok) {
        if (error)
            *error = failure;
        return {};
    }
    QByteArray buffer = data.toByteArray();
    for (const auto &[key, value] : encoded)
        applyEntry(&buffer, section, sectionBytes, key, value);
    if (error)
        error->clear();
    return buffer;
}
