#include "gbkcodec.h"

#include <QList>

#include <array>

namespace Gbk {

namespace {
#include "cp936table.inc"

constexpr char16_t kEuro = 0x20AC;    // the single byte 0x80
constexpr char16_t kLastPua = 0xF8F5; // the single byte 0xFF

// Windows' best fit for the unit signs technicians type into 工程量 ("12m³").
struct BestFit
{
    char16_t from;
    quint16 to;
};
constexpr BestFit kBestFits[] = {{0x00B2, '2'}, {0x00B3, '3'}, {0x00B5, 0xA6CC}};

int column(uchar trail)
{
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
        return -1;
    return trail < 0x7F ? trail - 0x40 : trail - 0x41;
}

// For each UTF-16 unit its bytes (a value above 0xFF is a lead and a trail byte), 0 for none.
using EncodeTable = std::array<quint16, 0x10000>;

EncodeTable buildEncodeTable()
{
    EncodeTable table{};
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const int col = column(uchar(trail));
            if (col < 0)
                continue;
            const char16_t u = kCp936Rows[lead - 0x81][col];
            if (u != 0 && table[u] == 0)
                table[u] = quint16(lead << 8 | trail);
        }
    }
    table[kEuro] = 0x80;
    table[kLastPua] = 0xFF;
    for (const BestFit &fit : kBestFits)
        table[fit.from] = fit.to;
    return table;
}

const EncodeTable &encodeTable()
{
    static const EncodeTable table = buildEncodeTable();
    return table;
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The length of the character at i: two for a surrogate pair, else one.
qsizetype charLength(QStringView text, qsizetype i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}
} // namespace

QString decode(QByteArrayView bytes)
{
    // ASCII is the same in GBK, and most fields (dates, numbers, grades) are plain ASCII.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    text.truncate(decodeInto(text.data(), bytes) - text.constData());
    return text;
}

QChar *decodeInto(QChar *out, QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80) {
            *out++ = QChar(b);
        } else if (b == 0x80) {
            *out++ = QChar(kEuro);
        } else if (b == 0xFF) {
            *out++ = QChar(kLastPua);
        } else {
            // A lead byte. A bad trail byte is not swallowed: it starts the next character.
            const int col = i + 1 < n ? column(uchar(bytes[i + 1])) : -1;
            const char16_t u = col < 0 ? 0 : kCp936Rows[b - 0x81][col];
            if (u == 0) {
                *out++ = QChar(QChar::ReplacementCharacter);
            } else {
                *out++ = QChar(u);
                ++i;
            }
        }
    }
    return out;
}

qsizetype firstInvalid(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uchar b = uchar(bytes[i]);
        if (b <= 0x80)
            continue;
        if (b == 0xFF)
            return i;
        const int col = i + 1 < n ? column(uchar(bytes[i + 1])) : -1;
        if (col < 0 || kCp936Rows[b - 0x81][col] == 0)
            return i;
        ++i;
    }
    return -1;
}

QByteArray encode(QStringView text, bool *ok)
{
    if (isAscii(text)) {
        if (ok)
            *ok = true;
        return text.toLatin1();
    }
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    bool found = false;
    bytes.truncate(encodeInto(bytes.data(), text, &found) - bytes.constData());
    if (ok)
        *ok = found;
    return bytes;
}

char *encodeInto(char *out, QStringView text, bool *ok)
{
    const EncodeTable &table = encodeTable();
    bool allFound = true;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const quint16 code = u < 0x80 ? u : table[u];
        if (u >= 0x80 && code == 0) {
            // Surrogates land here too: code page 936 holds nothing beyond U+FFFF.
            allFound = false;
            *out++ = '?';
        } else if (code > 0xFF) {
            *out++ = char(code >> 8);
            *out++ = char(code & 0xFF);
        } else {
            *out++ = char(code);
        }
    }
    *ok = allFound;
    return out;
}

bool canEncode(QStringView text)
{
    if (isAscii(text))
        return true;
    const EncodeTable &table = encodeTable();
    for (QChar c : text) {
        if (c.unicode() >= 0x80 && table[c.unicode()] == 0)
            return false;
    }
    return true;
}

QString firstUnencodable(QStringView text)
{
    if (isAscii(text))
        return {};
    for (qsizetype i = 0; i < text.size(); i += charLength(text, i)) {
        const QStringView one = text.mid(i, charLength(text, i));
        if (!canEncode(one))
            return one.toString();
    }
    return {};
}

BestFitted firstBestFitted(QStringView text)
{
    for (QChar c : text) {
        for (const BestFit &fit : kBestFits) {
            if (c.unicode() == fit.from)
                return {QString(c), decode(encode(QStringView(&c, 1)))};
        }
    }
    return {};
}

QString describe(QStringView character)
{
    const char32_t code = character.isEmpty() ? 0 : character.toUcs4().value(0);
    const QString number =
        QStringLiteral("U+%1").arg(QString::number(uint(code), 16).toUpper(), 4, QLatin1Char('0'));
    static const struct
    {
        char32_t code;
        const char *name;
    } kNames[] = {
        {0x00A0, "不间断空格"},   {0x00AD, "软连字符"},     {0x2007, "数字空格"},
        {0x200B, "零宽空格"},     {0x200C, "零宽不连字"},   {0x200D, "零宽连字"},
        {0x2028, "行分隔符"},     {0x2029, "段落分隔符"},   {0x202F, "窄不间断空格"},
        {0x2060, "零宽不换行符"}, {0xFEFF, "字节顺序标记"},
    };
    for (const auto &entry : kNames) {
        if (entry.code == code)
            return QString::fromUtf8(entry.name) + QStringLiteral("（%1）").arg(number);
    }
    const char *kind = nullptr;
    switch (QChar::category(code)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        kind = "空白字符";
        break;
    case QChar::Other_Control:
        kind = "控制字符";
        break;
    case QChar::Other_Format:
        kind = "不可见的格式字符";
        break;
    case QChar::Other_Surrogate:
        kind = "不成对的代理字符";
        break;
    case QChar::Other_PrivateUse:
        kind = "私用区字符";
        break;
    case QChar::Other_NotAssigned:
        kind = "未分配的字符";
        break;
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        kind = "组合用附加符号";
        break;
    default:
        break;
    }
    if (kind)
        return QString::fromUtf8(kind) + QStringLiteral("（%1）").arg(number);
    return QStringLiteral("“%1”（%2）").arg(character, number);
}

} // namespace Gbk
