#include "heldgroups.h"

#include "batch.h"
#include "cubestrength.h"
#include "numberreading.h"
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

Record Record::of(const QStringView *fields, qsizetype count)
{
    const auto field = [fields, count](SpecimenRecord::Field f) {
        return f < count ? fields[f] : QStringView();
    };
    return {field(SpecimenRecord::WorksPart), field(SpecimenRecord::StrengthGrade),
            field(SpecimenRecord::MixNumber), field(SpecimenRecord::MakingDate),
            field(SpecimenRecord::Age)};
}

Record Record::of(const Batch &batch)
{
    QList<QStringView> fields;
    for (const QString &field : batch.storedFields())
        fields.append(field);
    return of(fields.constData(), fields.size());
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

QList<Advice> advise(const QList<Record> &records,
                     const std::function<QString(qsizetype)> &resultOf, int designAge)
{
    QList<Advice> advice(records.size(), Advice::None);
    // Only the design age and the later ones count: the records of one casting are found among
    // them by a hash of the four fields, then compared field by field.
    struct Candidate
    {
        quint64 hash;
        qsizetype index;
        int days;
    };
    std::vector<Candidate> candidates;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const int days = daysOf(records[i].age);
        if (days >= designAge)
            candidates.push_back({castingHash(records[i]), i, days});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return std::make_pair(a.hash, a.index) < std::make_pair(b.hash, b.index);
    });

    std::vector<bool> done(candidates.size());
    for (size_t first = 0; first < candidates.size();) {
        size_t end = first;
        while (end < candidates.size() && candidates[end].hash == candidates[first].hash)
            ++end;
        for (size_t lead = first; lead < end; ++lead) {
            if (done[lead])
                continue;
            const Record &casting = records[candidates[lead].index];
            QList<qsizetype> later;
            Advice found = Advice::None;
            bool hasDesignAge = false;
            for (size_t k = lead; k < end; ++k) {
                if (done[k] || !sameCasting(casting, records[candidates[k].index]))
                    continue;
                done[k] = true;
                if (candidates[k].days > designAge)
                    later.append(candidates[k].index);
                else
                    hasDesignAge = true;
            }
            if (later.isEmpty() || !hasDesignAge)
                continue;
            // Every design-age record of the casting: one below the grade is enough to test.
            for (size_t k = lead; k < end && found != Advice::TestOnTime; ++k) {
                const qsizetype index = candidates[k].index;
                if (candidates[k].days != designAge || !sameCasting(casting, records[index]))
                    continue;
                const Advice said = verdict(resultOf(index), records[index].grade);
                found = said == Advice::None ? found : said;
            }
            for (qsizetype index : std::as_const(later))
                advice[index] = found;
        }
        first = end;
    }
    return advice;
}

} // namespace HeldGroups
