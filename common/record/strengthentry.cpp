#include "strengthentry.h"

#include <algorithm>
#include <optional>

namespace {

const QString kHead = QStringLiteral("〔强度 ");
constexpr char16_t kClose = u'〕';
constexpr char16_t kBlank = u' ';
constexpr char16_t kTimes = u'×';
constexpr char16_t kGroupSeparator = u'；';
constexpr char16_t kValueSeparator = u'/';
constexpr char16_t kEscape = u'\\';
constexpr char16_t kEscaped[] = {kEscape, kBlank, kValueSeparator, kGroupSeparator,
                                 kTimes,  u'〔',  kClose};
const QString kOtherSize = QStringLiteral("其他");
const QString kMillimetres = QStringLiteral("mm");
const QString kUnits[] = {QStringLiteral("kN"), QStringLiteral("MPa")};

bool isSpecial(QChar c)
{
    return std::find(std::begin(kEscaped), std::end(kEscaped), c.unicode()) != std::end(kEscaped);
}

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (isSpecial(c))
            out += QChar(kEscape);
        out += c;
    }
    return out;
}

// The pieces of text between the separators that no "\" stands before; nothing when text ends
// in a lone "\".
std::optional<QList<QStringView>> split(QStringView text, char16_t separator)
{
    QList<QStringView> pieces;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == kEscape) {
            if (++i == text.size())
                return std::nullopt;
        } else if (text[i] == separator) {
            pieces.append(text.sliced(from, i - from));
            from = i + 1;
        }
    }
    pieces.append(text.sliced(from));
    return pieces;
}

// A piece as typed; nothing when it holds a character that encode would have escaped, or an
// escape encode never writes.
std::optional<QString> unescaped(QStringView piece)
{
    QString out;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (isSpecial(piece[i])) {
            if (piece[i] != kEscape || ++i == piece.size() || !isSpecial(piece[i]))
                return std::nullopt;
        }
        out += piece[i];
    }
    return out;
}

// "150mm" 150, "其他" 0; nothing for any other text, "0150mm" among them.
std::optional<int> edgeOf(QStringView size)
{
    if (size == kOtherSize)
        return 0;
    if (!size.endsWith(kMillimetres))
        return std::nullopt;
    bool ok = false;
    const int edge = size.chopped(kMillimetres.size()).toInt(&ok);
    if (!ok || edge <= 0 || QString::number(edge) + kMillimetres != size)
        return std::nullopt;
    return edge;
}

// An entry with nothing but its free text.
bool hasDefaults(const StrengthEntry &entry)
{
    return entry.groups.isEmpty() && entry.edge == StrengthEntry::StandardEdge &&
           entry.factor.isEmpty() && entry.unit == StrengthEntry::Unit::Kilonewton;
}

// The head's size, unit and groups, between "〔强度 " and "〕".
bool readHead(QStringView head, StrengthEntry *entry)
{
    const auto parts = split(head, kBlank);
    if (!parts || parts->size() < 2 || parts->size() > 3)
        return false;
    const auto size = split(parts->at(0), kTimes);
    if (!size || size->size() > 2)
        return false;
    const std::optional<int> edge = edgeOf(size->at(0));
    const std::optional<QString> factor =
        size->size() == 2 ? unescaped(size->at(1)) : std::optional<QString>(QString());
    if (!edge || !factor || (size->size() == 2 && factor->isEmpty()))
        return false;
    entry->edge = *edge;
    entry->factor = *factor;
    const auto unit = std::find(std::begin(kUnits), std::end(kUnits), parts->at(1));
    if (unit == std::end(kUnits))
        return false;
    entry->unit = StrengthEntry::Unit(unit - std::begin(kUnits));
    if (parts->size() == 2)
        return true;
    const auto groups = split(parts->at(2), kGroupSeparator);
    if (!groups)
        return false;
    for (QStringView group : *groups) {
        const auto values = split(group, kValueSeparator);
        if (!values || values->size() != 3)
            return false;
        StrengthEntry::Group typed;
        for (int i = 0; i < 3; ++i) {
            const std::optional<QString> value = unescaped(values->at(i));
            if (!value)
                return false;
            typed[i] = *value;
        }
        entry->groups.append(typed);
    }
    return true;
}

// The entry a text holds when it is a head and what follows it; nothing for any other text.
std::optional<StrengthEntry> readEncoded(QStringView text)
{
    if (!text.startsWith(kHead))
        return std::nullopt;
    // The head ends at the first "〕" that no "\" stands before.
    qsizetype close = -1;
    for (qsizetype i = kHead.size(); i < text.size() && close < 0; ++i) {
        if (text[i] == kEscape)
            ++i;
        else if (text[i] == kClose)
            close = i;
    }
    if (close < 0)
        return std::nullopt;
    const QStringView rest = text.sliced(close + 1);
    if (!rest.isEmpty() && (rest.size() < 2 || rest[0] != kBlank))
        return std::nullopt;
    StrengthEntry entry;
    if (!readHead(text.sliced(kHead.size(), close - kHead.size()), &entry))
        return std::nullopt;
    entry.freeText = rest.isEmpty() ? QString() : rest.sliced(1).toString();
    return entry;
}

} // namespace

bool StrengthEntry::hasValues() const
{
    return std::any_of(groups.begin(), groups.end(), [](const Group &group) {
        return std::any_of(group.begin(), group.end(),
                           [](const QString &value) { return !value.isEmpty(); });
    });
}

QString StrengthEntry::encode() const
{
    if (hasDefaults(*this) && !readEncoded(freeText))
        return freeText;
    QString text = kHead + (edge == 0 ? kOtherSize : QString::number(edge) + kMillimetres);
    if (!factor.isEmpty())
        text += QChar(kTimes) + escaped(factor);
    text += QChar(kBlank) + kUnits[int(unit)];
    for (qsizetype g = 0; g < groups.size(); ++g) {
        text += QChar(g == 0 ? kBlank : kGroupSeparator);
        for (int i = 0; i < 3; ++i)
            text += (i == 0 ? QString() : QString(QChar(kValueSeparator))) + escaped(groups[g][i]);
    }
    text += QChar(kClose);
    if (!freeText.isEmpty())
        text += QChar(kBlank) + freeText;
    return text;
}

bool StrengthEntry::mayHoldValues(QStringView text)
{
    return text.startsWith(kHead);
}

StrengthEntry StrengthEntry::decode(QStringView text)
{
    std::optional<StrengthEntry> entry = readEncoded(text);
    // A head of nothing but the defaults is written only before a free text that would read as
    // a head itself.
    if (entry && (!hasDefaults(*entry) || readEncoded(entry->freeText)))
        return *entry;
    StrengthEntry plain;
    plain.freeText = text.toString();
    return plain;
}
