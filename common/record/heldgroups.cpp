#include "heldgroups.h"

#include "cubestrength.h"
#include "numberreading.h"
#include "packedrow.h"
#include "specimenrecord.h"
#include "strengthtexts.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace HeldGroups {

namespace {

// The age in whole days; -1 for an age of another form.
int daysOf(QStringView age)
{
    // Most ages are a few ASCII digits: read without a copy, as the schedule reads years of them.
    if (!age.isEmpty() && age.size() <= 5 &&
        std::all_of(age.begin(), age.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        const int days = age.toInt();
        return days >= 1 ? days : -1;
    }
    const std::optional<double> days = NumberReading::wholeNumber(age);
    if (!days || *days < 1 || *days > 100000 || std::floor(*days) != *days)
        return -1;
    return int(*days);
}

quint64 castingHash(const Record &record)
{
    quint64 hash = 14695981039346656037ull; // FNV-1a over the code units, a 0 after each field
    for (QStringView field : {record.part, record.grade, record.mix, record.making}) {
        for (QChar c : field)
            hash = (hash ^ c.unicode()) * 1099511628211ull;
        hash *= 1099511628211ull;
    }
    return hash;
}

bool sameCasting(const Record &a, const Record &b)
{
    return a.part == b.part && a.grade == b.grade && a.mix == b.mix && a.making == b.making;
}

} // namespace

QString text(Advice advice)
{
    switch (advice) {
    case Advice::NoFurtherTest:
        return StrengthText::noFurtherTest();
    case Advice::TestOnTime:
        return StrengthText::testOnTime();
    case Advice::None:
        break;
    }
    return {};
}

Record Record::of(const PackedRow &fields)
{
    return {fields.at(SpecimenRecord::WorksPart), fields.at(SpecimenRecord::StrengthGrade),
            fields.at(SpecimenRecord::MixNumber), fields.at(SpecimenRecord::MakingDate),
            fields.at(SpecimenRecord::Age)};
}

Advice verdict(QStringView result, QStringView grade)
{
    const StrengthEntry entry = StrengthEntry::decode(result);
    const CubeStrength::Outcome outcome = CubeStrength::evaluate(entry, grade);
    if (!outcome.grade)
        return Advice::None;
    bool complete = false;
    for (const CubeStrength::Group &group : outcome.groups) {
        using State = CubeStrength::Group::State;
        if (group.state == State::Invalid || group.belowGrade())
            return Advice::TestOnTime;
        if (group.state == State::Incomplete || group.state == State::NeedsFactor)
            return Advice::None;
        complete |= group.state == State::Valid;
    }
    return complete ? Advice::NoFurtherTest : Advice::None;
}

QList<Advice> advise(qsizetype count, const std::function<Record(qsizetype)> &recordOf,
                     const std::function<QString(qsizetype)> &resultOf, int designAge)
{
    QList<Advice> advice(count, Advice::None);
    // Only the design age and the later ones count: the records of one casting are found among
    // them by a hash of the four fields, then compared field by field.
    struct Candidate
    {
        quint64 hash;
        int index; // records: a.bz's lines, far below 2^31
        int days;
    };
    // Made once at its largest size, never grown: it is held beside the schedule's years of
    // records, whose memory is watched.
    std::vector<Candidate> candidates;
    candidates.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const Record record = recordOf(i);
        const int days = daysOf(record.age);
        if (days >= designAge)
            candidates.push_back({castingHash(record), int(i), days});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return std::make_pair(a.hash, a.index) < std::make_pair(b.hash, b.index);
    });

    std::vector<bool> done(candidates.size());
    for (size_t first = 0; first < candidates.size();) {
        size_t end = first;
        while (end < candidates.size() && candidates[end].hash == candidates[first].hash)
            ++end;
        for (size_t lead = first; end - first > 1 && lead < end; ++lead) {
            if (done[lead])
                continue;
            const Record casting = recordOf(candidates[lead].index);
            QList<qsizetype> later;
            QList<qsizetype> design;
            for (size_t k = lead; k < end; ++k) {
                if (done[k] || !sameCasting(casting, recordOf(candidates[k].index)))
                    continue;
                done[k] = true;
                if (candidates[k].days > designAge)
                    later.append(candidates[k].index);
                else
                    design.append(candidates[k].index);
            }
            // Every design-age record of the casting: one below the grade is enough to test.
            Advice found = Advice::None;
            for (qsizetype k = 0; !later.isEmpty() && k < design.size(); ++k) {
                const Advice said = verdict(resultOf(design[k]), casting.grade);
                found = said == Advice::None ? found : said;
                if (found == Advice::TestOnTime)
                    break;
            }
            for (qsizetype index : std::as_const(later))
                advice[index] = found;
        }
        first = end;
    }
    return advice;
}

} // namespace HeldGroups
