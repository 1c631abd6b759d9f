#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

// What the technician typed for a batch's compressive strength: the cube's size, a typed size
// factor, the unit, three values a group and a free text. It is kept as the result text of the
// journal's test mark, which older copies show as it stands in 试验结果, so it reads as Chinese:
//   〔强度 100mm kN 420/450/550；430/440/445〕 复检
// The size is "150mm", "100mm", "200mm", another edge ("120mm") or "其他" (no edge given), with
// "×" and the factor when one was typed; then "kN" or "MPa"; then the groups, "；" between them
// and "/" between a group's three texts. A typed text keeps its characters; "\", blank, "/",
// "；", "×", "〔" and "〕" in it are written after a "\".
//
// An entry without values, size, factor or unit of its own is its free text alone, as older
// copies wrote it (with the head of the defaults only when the free text would read as a head).
// A text that is not exactly such a head, any text an older copy wrote, reads as free text only.
class StrengthEntry
{
public:
    enum class Unit { Kilonewton, Megapascal };
    static constexpr int StandardEdge = 150;
    using Group = std::array<QString, 3>;

    int edge = StandardEdge; // mm, not negative; 0: another size whose edge was not given
    QString factor;          // the size factor as typed; empty: the standard's, where it has one
    Unit unit = Unit::Kilonewton;
    QList<Group> groups;
    QString freeText;

    // Whether any group holds a typed text.
    bool hasValues() const;

    QString encode() const;
    static StrengthEntry decode(QStringView text);
    // False for a text that decode reads as free text only, at a glance: most results are.
    static bool mayHoldValues(QStringView text);

    friend bool operator==(const StrengthEntry &a, const StrengthEntry &b)
    {
        return a.edge == b.edge && a.factor == b.factor && a.unit == b.unit &&
               a.groups == b.groups && a.freeText == b.freeText;
    }
};
