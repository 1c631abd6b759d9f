#include "recordcheck.h"

#include "duecheck.h"
#include "duetime.h"
#include "gbkcodec.h"
#include "recordline.h"
#include "recordtexts.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QtAlgorithms>

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define TARVELIN_HAVE_SSE2 1
#endif

namespace RecordCheck {

namespace {
constexpr int kStartShown = 40; // characters of a line that name it

// Why a line that holds fields is no record the monitor can remind.
QString reasonFor(const QString &line)
{
    const QStringList fields = line.split(QChar(RecordLine::Separator));
    const qsizetype width = RecordLine::Width;
    if (fields.size() != width) {
        if (line.contains(QLatin1Char(';')) && line.split(QLatin1Char(';')).size() >= width)
            return RecordText::semicolonFields();
        if (line.contains(QLatin1Char('"')))
            return RecordText::quotedFields(fields.size(), width);
        return RecordText::fieldCount(fields.size(), width);
    }
    const QString due = fields[SpecimenRecord::DueTime];
    if (due.isEmpty())
        return RecordText::noDueTime();
    QString bare = due;
    if (bare.size() >= 2 && bare.startsWith(QLatin1Char('"')) && bare.endsWith(QLatin1Char('"')))
        bare = bare.mid(1, bare.size() - 2);
    const QString meant = DueTime::isRealDueTime(bare) ? bare : dueTimeFromSpreadsheet(bare);
    if (!meant.isEmpty())
        return RecordText::spreadsheetDueTime(due, meant);
    if (DueCheck::isDueTimeText(due))
        return RecordText::dueTimeNotReal(due);
    return RecordText::dueTimeMalformed(due);
}

// The pass over the file: counts the commas of each line and finds its due-time field, sixteen
// bytes at a time where SSE2 is there, since it sees every byte of the file at each load.
class LineScan
{
public:
    explicit LineScan(QByteArrayView data) : m_data(data) {}

    void commas(quint32 mask, qsizetype base)
    {
        // A block holds a comma or two: one step each beats a population count, which without
        // the POPCNT instruction is a library call.
        for (; mask != 0; mask &= mask - 1) {
            if (++m_commas == kDueStart)
                m_dueStart = base + qCountTrailingZeroBits(mask) + 1;
            else if (m_commas == kDueEnd)
                m_dueEnd = base + qCountTrailingZeroBits(mask);
        }
    }

    void lineBreak(qsizetype at)
    {
        // The LF of a CR LF ends no line of its own.
        if (!(at == m_lineStart && at > 0 && m_data[at] == '\n' && m_data[at - 1] == '\r'))
            endLine(at);
        m_lineStart = at + 1;
    }

    Report finish()
    {
        if (m_lineStart < m_data.size())
            endLine(m_data.size());
        return std::move(m_report);
    }

private:
    static constexpr int kDueStart = SpecimenRecord::DueTime;   // the comma before it
    static constexpr int kDueEnd = SpecimenRecord::DueTime + 1; // the comma after it

    void endLine(qsizetype end)
    {
        ++m_number;
        const QByteArrayView bytes = m_data.sliced(m_lineStart, end - m_lineStart);
        const bool record =
            m_commas == RecordLine::Width - 1 &&
            DueTime::isRealDueTime(m_data.sliced(m_dueStart, m_dueEnd - m_dueStart));
        // A record with bytes that are no code page 936 reminds, but shows them wrong and can
        // never be saved back: named too.
        const qsizetype invalid = record ? Gbk::firstInvalid(bytes) : -1;
        // A line of commas alone (the closing line of a save) holds no field.
        if ((!record && end - m_lineStart > m_commas) || invalid >= 0) {
            if (m_report.lines.size() < namedAtMost()) {
                const QString line = Gbk::decode(bytes);
                m_report.lines.append({m_number, line.left(kStartShown),
                                       record ? RecordText::notGbk(invalid + 1) : reasonFor(line)});
            }
            ++m_report.total;
        }
        m_commas = 0;
    }

    QByteArrayView m_data;
    Report m_report;
    qsizetype m_number = 0;
    qsizetype m_lineStart = 0;
    qsizetype m_dueStart = 0;
    qsizetype m_dueEnd = 0;
    int m_commas = 0;
};

// Follows UTF-8 through the bytes given to it, piece by piece.
class Utf8Scan
{
public:
    // False from the first byte that cannot be UTF-8 on.
    bool feed(QByteArrayView bytes)
    {
        const auto *p = reinterpret_cast<const uchar *>(bytes.data());
        const qsizetype size = bytes.size();
        for (qsizetype i = 0; m_ok && i < size;) {
            if (m_need == 0) {
                // Most of a record file is ASCII: eight bytes at a time.
                quint64 word;
                while (i + 8 <= size && (std::memcpy(&word, p + i, 8), !(word & kHighBits)))
                    i += 8;
                if (i == size)
                    break;
                start(p[i++]);
            } else {
                const uchar b = p[i++];
                m_ok = b >= m_low && b <= m_high;
                --m_need;
                m_low = 0x80;
                m_high = 0xBF;
            }
        }
        return m_ok;
    }
    // Chinese in UTF-8 takes three bytes a character. Code page 936 text that happens to be
    // valid UTF-8 ("楼一" is) reads as two-byte sequences, Latin and Cyrillic letters.
    bool isUtf8() const { return m_ok && m_need == 0 && m_longer > 0 && m_longer >= m_twoByte; }

private:
    static constexpr quint64 kHighBits = 0x8080808080808080ULL;

    void start(uchar b)
    {
        if (b < 0x80)
            return;
        // The second byte's range excludes overlong forms, surrogates and code points past
        // U+10FFFF.
        ++(b < 0xE0 ? m_twoByte : m_longer);
        if (b >= 0xC2 && b <= 0xDF)
            expect(1, 0x80, 0xBF);
        else if (b == 0xE0)
            expect(2, 0xA0, 0xBF);
        else if (b == 0xED)
            expect(2, 0x80, 0x9F);
        else if (b >= 0xE1 && b <= 0xEF)
            expect(2, 0x80, 0xBF);
        else if (b == 0xF0)
            expect(3, 0x90, 0xBF);
        else if (b >= 0xF1 && b <= 0xF3)
            expect(3, 0x80, 0xBF);
        else if (b == 0xF4)
            expect(3, 0x80, 0x8F);
        else
            m_ok = false;
    }
    void expect(int need, uchar low, uchar high)
    {
        m_need = need;
        m_low = low;
        m_high = high;
    }

    bool m_ok = true;
    qsizetype m_twoByte = 0;
    qsizetype m_longer = 0;
    int m_need = 0;
    uchar m_low = 0x80;
    uchar m_high = 0xBF;
};
} // namespace

Report unreadableLines(QByteArrayView data)
{
    LineScan scan(data);
    const char *bytes = data.data();
    const qsizetype size = data.size();
    qsizetype i = 0;
#ifdef TARVELIN_HAVE_SSE2
    const __m128i comma = _mm_set1_epi8(char(RecordLine::Separator));
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        quint32 commas = quint32(_mm_movemask_epi8(_mm_cmpeq_epi8(block, comma)));
        quint32 breaks = quint32(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
        for (; breaks != 0; breaks &= breaks - 1) {
            const uint at = qCountTrailingZeroBits(breaks);
            scan.commas(commas & ((1u << at) - 1), i);
            commas &= ~((2u << at) - 1);
            scan.lineBreak(i + at);
        }
        scan.commas(commas, i);
    }
#endif
    for (; i < size; ++i) {
        if (bytes[i] == char(RecordLine::Separator))
            scan.commas(1, i);
        else if (bytes[i] == '\r' || bytes[i] == '\n')
            scan.lineBreak(i);
    }
    return scan.finish();
}

QString dueTimeFromSpreadsheet(QStringView text)
{
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*(\d{4})([-/.])(\d{1,2})\2(\d{1,2})\s+(\d{1,2}):(\d{1,2})(?::\d{1,2})?\s*$)"));
    const QRegularExpressionMatch match = form.match(text.toString());
    if (!match.hasMatch())
        return {};
    const auto two = [&match](int group) {
        return match.captured(group).rightJustified(2, QLatin1Char('0'));
    };
    const QString due =
        QStringLiteral("%1-%2-%3 %4:%5").arg(match.captured(1), two(3), two(4), two(5), two(6));
    return DueTime::isRealDueTime(due) ? due : QString();
}

bool isUtf8(QByteArrayView data)
{
    Utf8Scan scan;
    scan.feed(data);
    return scan.isUtf8();
}

bool isUtf8File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Utf8Scan scan;
    QByteArray piece(64 * 1024, Qt::Uninitialized);
    for (qint64 got; (got = file.read(piece.data(), piece.size())) > 0;) {
        if (!scan.feed(QByteArrayView(piece.constData(), got)))
            return false;
    }
    return scan.isUtf8();
}

} // namespace RecordCheck
