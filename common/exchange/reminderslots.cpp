#include "reminderslots.h"

#include "exchangetexts.h"
#include "gbkcodec.h"
#include "numberreading.h"

#include <QRegularExpression>

namespace {

QStringList keysOf(const QList<SpecimenRecord::Field> &fields)
{
    QStringList keys;
    for (SpecimenRecord::Field field : fields)
        keys << SpecimenRecord::texts(field).name;
    return keys;
}

} // namespace

ReminderSlots::ReminderSlots(QString path) : m_file(std::move(path)) {}

QString ReminderSlots::flagKey()
{
    return QStringLiteral("是否显示");
}

const QStringList &ReminderSlots::resetKeys()
{
    static const QStringList keys = QStringList{flagKey()} + recordKeys();
    return keys;
}

const QList<SpecimenRecord::Field> &ReminderSlots::recordFields()
{
    using namespace SpecimenRecord;
    // 养护方式 is written before 到期时间, although the grid holds them the other way round.
    static const QList<Field> fields{Number,     WorksPart, StrengthGrade, MixNumber,
                                     MakingDate, Age,       CuringMethod,  DueTime,
                                     Quantity,   Groups,    Remark};
    return fields;
}

const QStringList &ReminderSlots::recordKeys()
{
    static const QStringList keys = keysOf(recordFields());
    return keys;
}

const QStringList &ReminderSlots::popupKeys()
{
    using namespace SpecimenRecord;
    static const QStringList keys = keysOf({Number, StrengthGrade, WorksPart, MixNumber, MakingDate,
                                            Age, CuringMethod, DueTime, Quantity, Groups, Remark});
    return keys;
}

std::optional<ReminderSlots::Slot> ReminderSlots::parseName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("\\A([1-9][0-9]{0,8})\\|([1-9][0-9]{0,8})\\z"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    return Slot{match.captured(1).toInt(), match.captured(2).toInt()};
}

QString ReminderSlots::name(int layer, int row)
{
    return QStringLiteral("%1|%2").arg(layer).arg(row);
}

bool ReminderSlots::isFreeFlag(const QString &flag)
{
    const std::optional<double> number = NumberReading::leadingNumber(flag);
    return number && *number == 0.0;
}

int ReminderSlots::rowsPerLayer(int screenHeightTwips)
{
    // Single precision, as the height has always been taken; 12555 / 2790 is exactly 4.5 either
    // way.
    const float quotient = float(screenHeightTwips) / float(RowTwips);
    const double rows = NumberReading::roundHalfEven(double(quotient)) - 1.0;
    return rows < 1.0 ? 0 : int(rows);
}

QByteArray ReminderSlots::resetBytes(int rows)
{
    if (rows < 1)
        return {};
    QByteArray keyLines;
    for (const QString &key : resetKeys())
        keyLines += Gbk::encode(key) + "=0\r\n";
    QByteArray bytes;
    bytes.reserve(qsizetype(Layers) * rows * (keyLines.size() + 16));
    for (int layer = 1; layer <= Layers; ++layer) {
        for (int row = 1; row <= rows; ++row) {
            bytes += '[' + name(layer, row).toLatin1() + "]\r\n";
            bytes += keyLines;
        }
    }
    return bytes;
}

QString ReminderSlots::firstFreeIn(QByteArrayView data, const QSet<QString> &skip)
{
    // One pass over the file: looking each flag up on its own takes time in the square of the
    // file's size, minutes for a damaged file of many thousand sections.
    for (const auto &[section, flag] : ProfileFile::sectionsWithValueIn(data, flagKey())) {
        if (!parseName(section) || skip.contains(section))
            continue;
        if (isFreeFlag(flag))
            return section;
    }
    return {};
}

ReminderSlots::Found ReminderSlots::firstFree(const QSet<QString> &skip) const
{
    const ProfileFile::Contents contents = m_file.read();
    if (!contents.error.isEmpty())
        return {{}, contents.error};
    return {firstFreeIn(contents.bytes, skip), {}};
}

QList<ProfileFile::Entry> ReminderSlots::recordEntries(const QStringList &values)
{
    QList<ProfileFile::Entry> entries;
    for (qsizetype i = 0; i < values.size(); ++i)
        entries.append({recordKeys()[i], values[i]});
    return entries;
}

ReminderSlots::Found ReminderSlots::writeFirstFree(const QSet<QString> &skip,
                                                   const QList<ProfileFile::Entry> &entries,
                                                   int lockWaitMs) const
{
    // Finding and writing under one hold of the lock: no other process can take the same slot.
    const ProfileFile::Lock held = m_file.lock(lockWaitMs);
    if (!held.isLocked())
        return {{}, held.error(), held.busy()};
    const ProfileFile::Contents contents = m_file.read();
    if (!contents.error.isEmpty())
        return {{}, contents.error};
    const QString slot = firstFreeIn(contents.bytes, skip);
    if (slot.isEmpty())
        return {};
    const ProfileFile::Outcome written = m_file.write(held, slot, entries);
    if (!written.ok)
        return {{}, written.error};
    return {slot, {}};
}

ReminderSlots::Found ReminderSlots::fillFirstFree(const QStringList &values,
                                                  const QSet<QString> &skip, int lockWaitMs) const
{
    if (values.size() != recordKeys().size())
        return {{}, ExchangeText::wrongFieldCount(values.size())};
    return writeFirstFree(skip, recordEntries(values), lockWaitMs);
}

ReminderSlots::Found ReminderSlots::claim() const
{
    return writeFirstFree({}, {{flagKey(), QStringLiteral("1")}});
}

ReminderSlots::Found ReminderSlots::claim(const QString &slot) const
{
    if (!parseName(slot))
        return {{}, ExchangeText::notASlotName(slot)};
    const ProfileFile::Lock held = m_file.lock();
    if (!held.isLocked())
        return {{}, held.error(), held.busy()};
    const ProfileFile::Contents contents = m_file.read();
    if (!contents.error.isEmpty())
        return {{}, contents.error};
    for (const auto &[section, flag] :
         ProfileFile::sectionsWithValueIn(contents.bytes, flagKey())) {
        if (section != slot)
            continue;
        // Taken by another popup: showing the slot now would show that popup's record twice.
        if (!isFreeFlag(flag))
            return {{}, ExchangeText::slotTaken(slot)};
        const ProfileFile::Outcome written =
            m_file.write(held, slot, {{flagKey(), QStringLiteral("1")}});
        if (!written.ok)
            return {{}, written.error};
        return {slot, {}};
    }
    return {{}, ExchangeText::noSuchSlot(slot)};
}

ProfileFile::Outcome ReminderSlots::release(const QString &slot) const
{
    return m_file.write(slot, flagKey(), QStringLiteral("0"));
}

QStringList ReminderSlots::values(const QString &slot, const QStringList &keys) const
{
    const ProfileFile::Contents contents = m_file.read();
    QStringList result;
    for (const QString &key : keys)
        result.append(ProfileFile::valueIn(contents.bytes, slot, key));
    return result;
}

ProfileFile::Outcome ReminderSlots::reset(int rows) const
{
    const ProfileFile::Lock held = m_file.lock();
    if (!held.isLocked())
        return {false, held.error()};
    if (rows < 1)
        return m_file.remove(held);
    return m_file.replace(held, resetBytes(rows));
}
