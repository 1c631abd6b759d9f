#include "cubestrength.h"

#include "numberreading.h"
#include "strengthtexts.h"

#include <algorithm>

namespace CubeStrength {

namespace {

constexpr qint64 kScale = 10000; // a typed value is read in ten-thousandths: MaxDecimals
constexpr qint64 kLargest = 1000000 * kScale; // 10^6 kN or MPa: far beyond any press
constexpr qint64 kLargestFactor = 2 * kScale;
constexpr qint64 kLargestEdge = 10000;        // mm
constexpr int kLowestGradeOfTypedFactor = 60; // C60 and above: the factor is found by test

// A typed value read exactly, in ten-thousandths, or what is wrong with it.
struct Typed
{
    enum class Kind { Missing, NotANumber, TooManyDecimals, TooLarge, Zero, Negative, Ok };
    Kind kind = Kind::Missing;
    qint64 units = 0;
};

// Plain ASCII decimals, what a technician types nearly always, without a copy: "420", "42.75".
std::optional<Typed> readPlain(QStringView text)
{
    qint64 whole = 0, fraction = 0;
    int decimals = -1; // none before the point is met
    for (QChar c : text) {
        if (c == u'.' && decimals < 0) {
            decimals = 0;
        } else if (c < u'0' || c > u'9' || decimals == MaxDecimals || whole > kLargest / kScale) {
            return std::nullopt; // the long way says what is wrong, if anything
        } else if (decimals < 0) {
            whole = whole * 10 + c.digitValue();
        } else {
            fraction = fraction * 10 + c.digitValue();
            ++decimals;
        }
    }
    if (text.isEmpty() || text == u".")
        return std::nullopt;
    for (int d = qMax(decimals, 0); d < MaxDecimals; ++d)
        fraction *= 10;
    const qint64 units = whole * kScale + fraction;
    if (units > kLargest)
        return Typed{Typed::Kind::TooLarge};
    return units == 0 ? Typed{Typed::Kind::Zero} : Typed{Typed::Kind::Ok, units};
}

Typed readTyped(const QString &text)
{
    if (const std::optional<Typed> plain = readPlain(text))
        return *plain;
    if (text.trimmed().isEmpty())
        return {};
    // NumberReading decides what is a number, as in every other box; the digits are then taken
    // as written, so that no binary fraction stands between the box and the result.
    if (!NumberReading::wholeNumber(text))
        return {Typed::Kind::NotANumber};
    QString digits = NumberReading::asciiForm(text);
    digits.remove(u' ').remove(u'\t').remove(u'\n').remove(u'\r');
    const bool negative = digits.startsWith(u'-');
    if (negative || digits.startsWith(u'+'))
        digits.remove(0, 1);
    const qsizetype point = digits.indexOf(u'.');
    QString whole = point < 0 ? digits : digits.left(point);
    QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (fraction.size() > MaxDecimals)
        return {Typed::Kind::TooManyDecimals};
    if (whole.size() > 7)
        return {Typed::Kind::TooLarge};
    const qint64 units =
        whole.toLongLong() * kScale + fraction.leftJustified(MaxDecimals, u'0').toLongLong();
    if (units > kLargest)
        return {Typed::Kind::TooLarge};
    if (units == 0)
        return {Typed::Kind::Zero};
    if (negative)
        return {Typed::Kind::Negative};
    return {Typed::Kind::Ok, units};
}

// What is wrong with a typed value, naming its box; empty when nothing is.
QString problemOf(const Typed &typed, const QString &box, const QString &text,
                  const QString &quantity)
{
    switch (typed.kind) {
    case Typed::Kind::Missing:
        return StrengthText::missing(box);
    case Typed::Kind::NotANumber:
        return StrengthText::notANumber(box, text);
    case Typed::Kind::TooManyDecimals:
        return StrengthText::tooManyDecimals(box, text, MaxDecimals);
    case Typed::Kind::TooLarge:
        return StrengthText::tooLarge(box, text);
    case Typed::Kind::Zero:
        return StrengthText::zero(box, quantity);
    case Typed::Kind::Negative:
        return StrengthText::negative(box, text);
    case Typed::Kind::Ok:
        break;
    }
    return {};
}

// Ten-thousandths as the shortest decimal: 9500 "0.95".
QString unitsText(qint64 units)
{
    QString text = QString::number(units / kScale);
    QString fraction = QString::number(units % kScale).rightJustified(MaxDecimals, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    return fraction.isEmpty() ? text : text + u'.' + fraction;
}

// The size factor in ten-thousandths, or why there is none yet.
struct Factor
{
    std::optional<qint64> units;
    QString missing;
};

Factor factorOf(const StrengthEntry &entry, std::optional<int> grade, QList<Problem> *problems)
{
    if (entry.edge == StrengthEntry::StandardEdge)
        return {kScale, {}};
    if (!entry.factor.trimmed().isEmpty()) {
        const Typed typed = readTyped(entry.factor);
        QString problem = problemOf(typed, StrengthText::factorBox(), entry.factor, QString());
        if (problem.isEmpty() && typed.units > kLargestFactor)
            problem = StrengthText::factorOutOfRange(entry.factor);
        if (typed.kind == Typed::Kind::Zero)
            problem = StrengthText::factorOutOfRange(entry.factor);
        if (problem.isEmpty())
            return {typed.units, {}};
        problems->append({0, 0, problem});
        return {std::nullopt, problem};
    }
    if (entry.edge != 100 && entry.edge != 200)
        return {std::nullopt, StrengthText::factorNeededOtherSize()};
    if (!grade)
        return {std::nullopt, StrengthText::factorNeededUnreadableGrade()};
    if (*grade >= kLowestGradeOfTypedFactor)
        return {std::nullopt, StrengthText::factorNeededHighGrade()};
    return {entry.edge == 100 ? 9500 : 10500, {}};
}

} // namespace

std::optional<int> gradeNumber(QStringView grade)
{
    QString text = NumberReading::asciiForm(grade);
    text.remove(u' ').remove(u'\t').remove(u'\n').remove(u'\r');
    if (text.isEmpty())
        return std::nullopt;
    const char16_t first = text[0].unicode();
    if (first != u'C' && first != u'c' && first != u'Ｃ' && first != u'ｃ')
        return std::nullopt;
    qsizetype end = 1;
    while (end < text.size() && text[end].isDigit() && text[end].unicode() < 0x80)
        ++end;
    if (end == 1 || end > 4 || (end < text.size() && text[end] == u'.'))
        return std::nullopt;
    const int number = text.mid(1, end - 1).toInt();
    return number > 0 ? std::optional<int>(number) : std::nullopt;
}

qint64 roundHalfEven(qint64 num, qint64 den)
{
    const qint64 quotient = num / den, twice = 2 * (num % den);
    if (twice < den)
        return quotient;
    if (twice > den)
        return quotient + 1;
    return quotient % 2 == 0 ? quotient : quotient + 1;
}

QString tenthsText(qint64 tenths)
{
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString Group::valueText() const
{
    if (state == State::Invalid)
        return StrengthText::invalid();
    return state == State::Valid ? tenthsText(tenths) + QStringLiteral(" MPa") : QString();
}

QString Group::percentText() const
{
    return state == State::Valid && percent ? QStringLiteral("%1%").arg(*percent) : QString();
}

QString Group::summary() const
{
    switch (state) {
    case State::Empty:
        return {};
    case State::Incomplete:
        return StrengthText::incomplete();
    case State::NeedsFactor:
        return StrengthText::notComputed();
    case State::Invalid:
        return StrengthText::invalid();
    case State::Valid:
        break;
    }
    return percent ? QStringLiteral("%1（%2）").arg(valueText(), percentText()) : valueText();
}

bool Outcome::hasValue() const
{
    return std::any_of(groups.begin(), groups.end(),
                       [](const Group &group) { return group.state != Group::State::Empty; });
}

bool Outcome::belowGrade() const
{
    return std::any_of(groups.begin(), groups.end(),
                       [](const Group &group) { return group.belowGrade(); });
}

QString Outcome::summary(const QString &freeText) const
{
    QStringList parts;
    for (const Group &group : groups) {
        if (group.state != Group::State::Empty)
            parts << group.summary();
    }
    if (!freeText.isEmpty())
        return parts.isEmpty() ? freeText : parts.join(u'；') + u' ' + freeText;
    return parts.join(u'；');
}

Outcome evaluate(const StrengthEntry &entry, QStringView grade)
{
    Outcome out;
    out.grade = gradeNumber(grade);
    const Factor factor = factorOf(entry, out.grade, &out.problems);
    const bool byLoad = entry.unit == StrengthEntry::Unit::Kilonewton;
    // An edge past any press's plate is no edge: its area would overflow the arithmetic.
    const qint64 edge = entry.edge <= kLargestEdge ? entry.edge : 0;
    if (byLoad && edge == 0)
        out.problems.append({0, 0, StrengthText::edgeMissing()});
    const QString quantity = byLoad ? StrengthText::load() : StrengthText::strength();
    // A specimen's strength in 0.1 MPa: the load in N over the area in mm², times ten.
    const qint64 den = byLoad ? kScale * edge * edge : kScale;
    const qint64 times = byLoad ? 1000 * 10 : 10;

    for (int g = 0; g < entry.groups.size(); ++g) {
        const StrengthEntry::Group &typed = entry.groups[g];
        Group group;
        if (std::all_of(typed.begin(), typed.end(),
                        [](const QString &text) { return text.trimmed().isEmpty(); })) {
            out.groups.append(group);
            continue;
        }
        group.state = Group::State::Incomplete;
        bool complete = den > 0;
        for (int i = 0; i < 3; ++i) {
            const Typed value = readTyped(typed[i]);
            const QString box =
                value.kind == Typed::Kind::Ok ? QString() : StrengthText::specimen(g + 1, i + 1);
            const QString problem = problemOf(value, box, typed[i], quantity);
            if (!problem.isEmpty()) {
                out.problems.append({g + 1, i + 1, problem});
                group.reason = group.reason.isEmpty() ? problem : group.reason;
                complete = false;
            } else if (den > 0) {
                group.specimens[i] = roundHalfEven(value.units * times, den);
                if (group.specimens[i] > UnusualStrength)
                    out.unusuallyHigh.append(
                        {g + 1, i + 1,
                         StrengthText::unusuallyHigh(StrengthText::specimen(g + 1, i + 1),
                                                     tenthsText(group.specimens[i]))});
            }
        }
        if (!complete) {
            if (group.reason.isEmpty())
                group.reason = StrengthText::edgeMissing();
            out.groups.append(group);
            continue;
        }
        std::array<qint64, 3> sorted = group.specimens;
        std::sort(sorted.begin(), sorted.end());
        const qint64 low = sorted[0], middle = sorted[1], high = sorted[2];
        // More than 15 % of the middle value, in integers: 100 × difference > 15 × middle.
        const bool highOut = 100 * (high - middle) > 15 * middle;
        const bool lowOut = 100 * (middle - low) > 15 * middle;
        if (highOut && lowOut) {
            group.state = Group::State::Invalid;
            group.reason =
                StrengthText::invalidBoth(tenthsText(high), tenthsText(low), tenthsText(middle));
            out.groups.append(group);
            continue;
        }
        const qint64 value = highOut || lowOut ? middle : roundHalfEven(low + middle + high, 3);
        group.reason = highOut  ? StrengthText::middleTaken(StrengthText::largest(),
                                                            tenthsText(high), tenthsText(middle))
                       : lowOut ? StrengthText::middleTaken(StrengthText::smallest(),
                                                            tenthsText(low), tenthsText(middle))
                                : StrengthText::mean();
        if (!factor.units) {
            group.state = Group::State::NeedsFactor;
            group.reason = factor.missing;
            out.groups.append(group);
            continue;
        }
        group.state = Group::State::Valid;
        group.tenths = roundHalfEven(value * *factor.units, kScale);
        if (*factor.units != kScale)
            group.reason +=
                StrengthText::factorApplied(tenthsText(value), unitsText(*factor.units));
        // Rounded down: 100 % only when the grade is reached.
        if (out.grade)
            group.percent = int(group.tenths * 10 / *out.grade);
        out.groups.append(group);
    }
    return out;
}

QString resultText(QStringView journalResult, QStringView grade)
{
    const StrengthEntry entry = StrengthEntry::decode(journalResult);
    if (!entry.hasValues())
        return entry.freeText;
    return evaluate(entry, grade).summary(entry.freeText);
}

bool isBelowGrade(QStringView journalResult, QStringView grade)
{
    return StrengthEntry::mayHoldValues(journalResult) &&
           evaluate(StrengthEntry::decode(journalResult), grade).belowGrade();
}

} // namespace CubeStrength
