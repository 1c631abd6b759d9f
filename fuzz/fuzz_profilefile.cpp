// Profile (INI) file code on arbitrary file content: reading a value, listing the sections,
// writing entries, and the reminder slots' search for a free slot.
//
// Input: section, key and value (each a length byte and that many bytes, read as code page 936
// so that names in the file can be hit), a byte that picks a second key, then the file content.

#include "fuzzinput.h"
#include "gbkcodec.h"
#include "profilefile.h"
#include "reminderslots.h"

#include <QHash>

namespace {

// The lines of bytes, each without its LF and the CR before it.
QList<QByteArray> linesOf(QByteArrayView bytes)
{
    QList<QByteArray> lines = bytes.toByteArray().split('\n');
    // Every piece but the last was ended by a LF; the last one is a line only if not empty.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].endsWith('\r'))
            lines[i].chop(1);
    }
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// How many lines of before are not lines of after, counted with their repeats.
qsizetype linesLost(QByteArrayView before, QByteArrayView after)
{
    QHash<QByteArray, qsizetype> present;
    for (const QByteArray &line : linesOf(after))
        ++present[line];
    qsizetype lost = 0;
    for (const QByteArray &line : linesOf(before)) {
        qsizetype &count = present[line];
        if (count > 0)
            --count;
        else
            ++lost;
    }
    return lost;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString section = Gbk::decode(input.take(32));
    const QString key = Gbk::decode(input.take(32));
    const QString value = Gbk::decode(input.take(64));
    const quint8 pick = input.takeByte();
    const QByteArrayView content = input.rest();

    const QStringList sections = ProfileFile::sectionsIn(content);
    for (const QString &name : sections)
        FUZZ_CHECK(!name.contains(QLatin1Char('[')) && !name.contains(QLatin1Char(']')));
    const QString before = ProfileFile::valueIn(content, section, key);
    FUZZ_CHECK(!before.contains(QChar(0)));
    // The one-pass search for a free slot finds what looking up each flag on its own finds.
    QString expectedFree;
    for (const QString &name : sections) {
        if (ReminderSlots::parseName(name) && ReminderSlots::isFreeFlag(ProfileFile::valueIn(
                                                  content, name, ReminderSlots::flagKey()))) {
            expectedFree = name;
            break;
        }
    }
    FUZZ_CHECK(ReminderSlots::firstFreeIn(content) == expectedFree);
    const auto withValues = ProfileFile::sectionsWithValueIn(content, key);
    FUZZ_CHECK(withValues.size() == sections.size());
    for (qsizetype i = 0; i < withValues.size(); ++i) {
        FUZZ_CHECK(withValues[i].first == sections[i]);
        FUZZ_CHECK(withValues[i].second == ProfileFile::valueIn(content, sections[i], key));
    }

    // A second key of the same section in the same write, when the input asks for one.
    QList<ProfileFile::Entry> entries{{key, value}};
    const QString otherKey = ReminderSlots::resetKeys().value(pick % 16);
    if (!otherKey.isEmpty() && otherKey.trimmed() != key.trimmed())
        entries.append({otherKey, QStringLiteral("1")});

    QString error;
    const QByteArray after = ProfileFile::withEntries(content, section, entries, &error);
    if (!error.isEmpty()) {
        FUZZ_CHECK(after.isEmpty());
        return 0;
    }
    for (const ProfileFile::Entry &entry : entries) {
        QString stored = entry.second;
        stored.remove(QChar(0));
        FUZZ_CHECK(ProfileFile::valueIn(after, section, entry.first) == stored);
    }
    // Sections are only ever added, at the end.
    const QStringList sectionsAfter = ProfileFile::sectionsIn(after);
    FUZZ_CHECK(sectionsAfter.mid(0, sections.size()) == sections);
    FUZZ_CHECK(sectionsAfter.size() == sections.size() ||
               (sectionsAfter.size() == sections.size() + 1 && !sections.contains(section) &&
                sectionsAfter.last() == section));
    // Only the line of a key written is replaced; every other line stays as it was.
    FUZZ_CHECK(linesLost(content, after) <= entries.size());
    FUZZ_CHECK(linesOf(after).size() <= linesOf(content).size() + 1 + entries.size());
    // Writing what is already there changes nothing.
    QString again;
    FUZZ_CHECK(ProfileFile::withEntries(after, section, entries, &again) == after);
    FUZZ_CHECK(again.isEmpty());
    return 0;
}
