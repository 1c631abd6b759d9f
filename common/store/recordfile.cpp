#include "recordfile.h"

#include "gbkcodec.h"
#include "recordline.h"
#include "storetexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtAlgorithms>

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define TARVELIN_HAVE_SSE2 1
#endif

namespace {
// The first occurrence of needle in haystack at or after from, or -1. The day searched for is all
// digits and "-", as is most of a record file, so a byte-wise search stops everywhere; this one
// tests three of the needle's bytes at sixteen positions at once and compares the rest only
// where all three match.
qsizetype findBytes(QByteArrayView haystack, qsizetype from, QByteArrayView needle)
{
    const qsizetype n = needle.size();
#ifdef TARVELIN_HAVE_SSE2
    if (n >= 3) {
        const char *h = haystack.data();
        const qsizetype size = haystack.size();
        const __m128i first = _mm_set1_epi8(needle[0]);
        const __m128i beforeLast = _mm_set1_epi8(needle[n - 2]);
        const __m128i last = _mm_set1_epi8(needle[n - 1]);
        for (; from + n - 1 + 16 <= size; from += 16) {
            const auto at = [&](qsizetype offset) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + from + offset));
            };
            const __m128i matches = _mm_and_si128(
                _mm_and_si128(_mm_cmpeq_epi8(at(0), first), _mm_cmpeq_epi8(at(n - 2), beforeLast)),
                _mm_cmpeq_epi8(at(n - 1), last));
            for (quint32 mask = quint32(_mm_movemask_epi8(matches)); mask != 0; mask &= mask - 1) {
                const qsizetype hit = from + qCountTrailingZeroBits(mask);
                if (std::memcmp(h + hit + 1, needle.data() + 1, size_t(n - 3)) == 0)
                    return hit;
            }
        }
    }
#endif
    return haystack.indexOf(needle, from);
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

bool isSeparator(char16_t c)
{
    return c == RecordLine::Separator || c == u'\r' || c == u'\n';
}

// Calls at(i) for every "," CR and LF of text, in order; eight characters at a time where SSE2 is
// there, since the entry form's load looks at every character of the file.
template <typename Handler> void forEachSeparator(QStringView text, Handler &&at)
{
    const char16_t *chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
#ifdef TARVELIN_HAVE_SSE2
    const __m128i comma = _mm_set1_epi16(short(RecordLine::Separator));
    const __m128i cr = _mm_set1_epi16('\r');
    const __m128i lf = _mm_set1_epi16('\n');
    for (; i + 8 <= size; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(chars + i));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(block, comma), _mm_cmpeq_epi16(block, cr)),
                         _mm_cmpeq_epi16(block, lf));
        // Two mask bits per character.
        for (quint32 mask = quint32(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
            const uint bit = qCountTrailingZeroBits(mask);
            at(i + bit / 2);
            mask &= ~(1u << bit);
        }
    }
#endif
    for (; i < size; ++i) {
        if (isSeparator(chars[i]))
            at(i);
    }
}

// Whether b starts one character after the end of a in the same text.
bool oneApart(QStringView a, QStringView b)
{
    const quintptr end = quintptr(a.utf16()) + quintptr(a.size()) * sizeof(char16_t);
    return a.utf16() && end + sizeof(char16_t) == quintptr(b.utf16());
}

// Writes the fields joined by "," to out and returns the end. Fields that lie one character apart
// in their text (the cells of a packed row) are copied in one go, then their separators set.
char16_t *joinFields(const QList<QStringView> &fields, char16_t *out)
{
    const qsizetype count = fields.size();
    for (qsizetype first = 0; first < count;) {
        qsizetype last = first;
        while (last + 1 < count && oneApart(fields[last], fields[last + 1]))
            ++last;
        const qsizetype run = fields[last].utf16() + fields[last].size() - fields[first].utf16();
        if (run > 0)
            std::memcpy(out, fields[first].utf16(), size_t(run) * sizeof(char16_t));
        for (qsizetype f = first; f < last; ++f)
            out[fields[f].utf16() + fields[f].size() - fields[first].utf16()] =
                RecordLine::Separator;
        out += run;
        if (last + 1 < count)
            *out++ = RecordLine::Separator;
        first = last + 1;
    }
    return out;
}

// Hands take the fields of every line of text that holds a non-empty field. Lines end at CR, LF
// or CR LF; text ends with a line break unless it is the end of the file.
void takeFilledLines(QStringView text, QList<QStringView> &fields,
                     const RecordFile::FieldsTaker &take)
{
    qsizetype lineStart = 0;
    qsizetype fieldStart = 0;
    fields.clear();
    auto endLine = [&](qsizetype end) {
        // A line of commas alone holds no field.
        if (end - lineStart > fields.size()) {
            fields.append(text.sliced(fieldStart, end - fieldStart));
            take(fields);
        }
        fields.clear();
    };
    forEachSeparator(text, [&](qsizetype at) {
        if (at < lineStart)
            return; // the LF of a CR LF
        if (text[at] == RecordLine::Separator) {
            fields.append(text.sliced(fieldStart, at - fieldStart));
            fieldStart = at + 1;
            return;
        }
        endLine(at);
        const bool crlf = text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n';
        lineStart = fieldStart = at + (crlf ? 2 : 1);
    });
    if (lineStart < text.size())
        endLine(text.size());
}

// Read and decoded a piece at a time, each piece ending just after a line break (CR and LF are
// never part of a two-byte character, so no character is cut): the decoded text of the whole
// file, twice its size, is never held, and each piece is split while it is in cache.
constexpr qsizetype kPiece = 32 * 1024;

// Hands take the filled lines of piece; last: it ends the file, maybe in half a character, which
// becomes a replacement character.
void takeFilledPiece(QByteArrayView piece, bool last, QString &text, QList<QStringView> &fields,
                     const RecordFile::FieldsTaker &take)
{
    QStringView decoded;
    if (last) {
        text = Gbk::decode(piece);
        decoded = text;
    } else {
        if (text.size() < piece.size())
            text.resize(piece.size());
        const QChar *end = Gbk::decodeInto(text.data(), piece);
        decoded = QStringView(text.constData(), end);
    }
    takeFilledLines(decoded, fields, take);
}

// Why a text cannot be saved. U+FFFD stands for bytes of the file that were not code page 936
// text when it was read; writing the text back would destroy them.
QString unsavable(const QString &bad)
{
    if (bad == QChar(QChar::ReplacementCharacter)) {
        return StoreText::unreadableBytes(bad);
    }
    return StoreText::unsavableCharacter(Gbk::describe(bad));
}

// Why a file in UTF-8 is not written.
QString utf8Refused(const QString &path)
{
    return StoreText::utf8File(path);
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

QString RecordFile::cannotRead(const QString &reason) const
{
    return StoreText::cannotRead(m_path, reason);
}

QString RecordFile::whyNotAFile(const QString &path)
{
    // Never opened: a pipe would wait for a writer for ever, a device never end.
    const QFileInfo info(path);
    if (info.isFile())
        return {};
    if (info.isDir())
        return StoreText::isFolder();
    if (info.isSymLink() && !info.exists())
        return StoreText::brokenLink(QDir::toNativeSeparators(info.symLinkTarget()));
    if (info.exists())
        return StoreText::notRegular();
    return {};
}

RecordFile::Bytes RecordFile::readBytes() const
{
    Bytes bytes;
    QFile file(m_path);
    bytes.reason = whyNotAFile();
    if (!bytes.reason.isEmpty()) {
        bytes.exists = true;
        bytes.error = cannotRead(bytes.reason);
        return bytes;
    }
    if (!QFileInfo(file).isFile())
        return bytes;
    bytes.exists = true;
    if (file.open(QIODevice::ReadOnly))
        bytes.data = file.readAll();
    if (file.error() != QFile::NoError) {
        bytes.reason = file.errorString();
        bytes.error = cannotRead(bytes.reason);
        bytes.data.clear();
    }
    return bytes;
}

RecordFile::Records RecordFile::readDueOn(const QString &day, bool checkLines) const
{
    Records result;
    const Bytes read = readBytes();
    result.exists = read.exists;
    result.error = read.error;
    if (!read.exists || !read.error.isEmpty())
        return result;
    const QByteArray &data = read.data;
    if (checkLines) {
        result.unreadable = RecordCheck::unreadableLines(data);
        result.utf8 = RecordCheck::isUtf8(data);
    }
    const QByteArray dayBytes = day.toLatin1();
    auto keep = [&](QByteArrayView line) {
        const auto due = RecordLine::fieldIn(line, SpecimenRecord::DueTime);
        if (due && due->indexOf(dayBytes) >= 0)
            result.lines.append(Gbk::decode(line).split(QChar(RecordLine::Separator)));
    };
    if (dayBytes.isEmpty() || dayBytes.contains('\r') || dayBytes.contains('\n')) {
        for (QByteArrayView line : splitLines(data))
            keep(line);
        return result;
    }
    // A line that is kept holds the day somewhere, so only the lines around its occurrences are
    // split: a few dozen of a hundred thousand.
    forEachLineHolding(data, dayBytes, keep);
    return result;
}

void RecordFile::forEachLineHolding(QByteArrayView data, QByteArrayView needle,
                                    const std::function<void(QByteArrayView line)> &take)
{
    const qsizetype size = data.size();
    qsizetype from = 0;
    for (qsizetype hit; (hit = findBytes(data, from, needle)) >= 0;) {
        qsizetype start = hit;
        while (start > 0 && !isLineBreak(data[start - 1]))
            --start;
        qsizetype end = hit + needle.size();
        while (end < size && !isLineBreak(data[end]))
            ++end;
        take(data.sliced(start, end - start));
        from = end;
    }
}

RecordFile::Status RecordFile::forEachFilledLine(const FieldsTaker &take) const
{
    QFile file(m_path);
    if (const QString why = whyNotAFile(); !why.isEmpty())
        return Status{true, cannotRead(why)};
    if (!QFileInfo(file).isFile())
        return {};
    const auto failure = [&] { return Status{true, cannotRead(file.errorString())}; };
    if (!file.open(QIODevice::ReadOnly))
        return failure();

    QByteArray bytes;
    qsizetype held = 0;
    QString text;
    QList<QStringView> fields;
    for (bool atEnd = false; !atEnd;) {
        if (bytes.size() < held + kPiece)
            bytes.resize(held + kPiece);
        const qint64 got = file.read(bytes.data() + held, kPiece);
        if (got < 0)
            return failure();
        atEnd = got == 0;
        held += got;
        qsizetype cut = held;
        if (!atEnd) {
            // The bytes held before this read hold no line break.
            const qsizetype fresh = held - got;
            while (cut > fresh && !isLineBreak(bytes[cut - 1]))
                --cut;
            if (cut == fresh)
                continue;
        }
        takeFilledPiece(QByteArrayView(bytes.constData(), cut), atEnd, text, fields, take);
        std::memmove(bytes.data(), bytes.constData() + cut, size_t(held - cut));
        held -= cut;
    }
    return {true, {}};
}

void RecordFile::forEachFilledLine(QByteArrayView data, const FieldsTaker &take)
{
    QString text;
    QList<QStringView> fields;
    const qsizetype size = data.size();
    for (qsizetype start = 0; start < size;) {
        qsizetype cut = qMin(start + kPiece, size);
        qsizetype back = cut;
        while (back > start && back < size && !isLineBreak(data[back - 1]))
            --back;
        if (back > start) {
            cut = back;
        } else {
            // A line longer than a piece goes whole.
            while (cut < size && !isLineBreak(data[cut]))
                ++cut;
            cut += cut < size ? 1 : 0;
        }
        takeFilledPiece(data.sliced(start, cut - start), cut == size, text, fields, take);
        start = cut;
    }
}

RecordFile::Text RecordFile::readLines() const
{
    return linesOf(readBytes());
}

RecordFile::Text RecordFile::linesOf(const Bytes &read)
{
    Text result;
    result.exists = read.exists;
    result.error = read.error;
    for (QByteArrayView line : splitLines(read.data))
        result.lines.append(Gbk::decode(line));
    return result;
}

QByteArray RecordFile::tableBytes(const QList<QStringList> &rows, QString *unencodable)
{
    return tableBytes(
        rows.size(),
        [&rows](qsizetype line, QList<QStringView> &fields) {
            for (const QString &field : rows[line])
                fields.append(field);
        },
        unencodable);
}

QByteArray RecordFile::tableBytes(qsizetype count, const FieldsGiver &fieldsOf,
                                  QString *unencodable, qsizetype expectedSize)
{
    // Lines are gathered into a small piece of text that is encoded as soon as it is full: the
    // text of a year's records (twice the file's size) is never made whole, and each piece is
    // still in the cache when it is encoded.
    QByteArray bytes;
    // Grown a piece at a time, a buffer the size of a year's records goes through new memory on
    // every save, which costs more than the encoding itself.
    bytes.reserve(expectedSize);
    qsizetype written = 0;
    QString piece(kPiece, Qt::Uninitialized);
    qsizetype used = 0;
    auto encodePiece = [&] {
        const QStringView text(piece.constData(), used);
        bytes.resize(written + 2 * used);
        bool ok = false;
        written = Gbk::encodeInto(bytes.data() + written, text, &ok) - bytes.constData();
        if (!ok) {
            if (unencodable)
                *unencodable = Gbk::firstUnencodable(text);
            return false;
        }
        used = 0;
        return true;
    };
    QList<QStringView> fields;
    for (qsizetype r = 0; r < count; ++r) {
        fields.clear();
        fieldsOf(r, fields);
        qsizetype needed = r > 0 ? 2 : 0;
        for (QStringView field : fields)
            needed += field.size() + 1;
        if (used + needed > piece.size()) {
            if (!encodePiece())
                return {};
            if (needed > piece.size())
                piece.resize(needed);
        }
        char16_t *out = reinterpret_cast<char16_t *>(piece.data()) + used;
        if (r > 0) {
            *out++ = u'\r';
            *out++ = u'\n';
        }
        used = joinFields(fields, out) - reinterpret_cast<const char16_t *>(piece.constData());
    }
    if (!encodePiece())
        return {};
    bytes.truncate(written);
    return bytes;
}

RecordFile::Replacement RecordFile::tableReplacing(QByteArrayView now, qsizetype count,
                                                   const FieldsGiver &fieldsOf) const
{
    if (RecordCheck::isUtf8(now))
        return {{}, utf8Refused(m_path)};
    // A rewrite changes a few lines: the new file is about as long as the old.
    QString bad;
    QByteArray bytes = tableBytes(count, fieldsOf, &bad, now.size() + now.size() / 16 + kPiece);
    if (!bad.isEmpty())
        return {{}, unsavable(bad)};
    return {std::move(bytes), {}};
}

RecordFile::Replacement RecordFile::linesReplacing(QByteArrayView now,
                                                   const QStringList &lines) const
{
    // No line at all writes nothing back ("数据初始化"), so nothing is mixed.
    if (!lines.isEmpty() && RecordCheck::isUtf8(now))
        return {{}, utf8Refused(m_path)};
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    bool ok = false;
    QByteArray bytes = Gbk::encode(text, &ok);
    if (!ok)
        return {{}, unsavable(Gbk::firstUnencodable(text))};
    return {std::move(bytes), {}};
}
