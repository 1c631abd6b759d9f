#include "reminderjournal.h"

#include "batch.h"
#include "journaltexts.h"

#include "atomicfile.h"
#include "duecheck.h"
#include "recordline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUtf8StringView>

#include <algorithm>
#include <cerrno>

namespace {

const QString kTimeForm = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QByteArray kHeader = QByteArrayLiteral("# Tarvelin 提醒与试验记录\n");
const QString kUndated = QStringLiteral("undated");

// The characters a field cannot hold as they are, and the letter that stands for each after "\\".
constexpr char16_t kEscapes[][2] = {{u'\\', u'\\'}, {u'\t', u't'}, {u'\n', u'n'}, {u'\r', u'r'}};

QString escaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const auto *escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [c](const char16_t *e) { return e[0] == c; });
        if (escape == std::end(kEscapes))
            out += c;
        else
            out.append(u'\\').append(QChar((*escape)[1]));
    }
    return out;
}

// Empty with ok false when an escape is none that escaped() writes.
QString unescaped(QStringView text, bool *ok)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        const QChar letter = ++i < text.size() ? text[i] : QChar();
        const auto *escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [letter](const char16_t *e) { return e[1] == letter; });
        if (escape == std::end(kEscapes))
            return *ok = false, QString();
        out += QChar((*escape)[0]);
    }
    return out;
}

QString timeText(const QDateTime &time)
{
    return time.toString(kTimeForm);
}

// "yyyy-MM-dd HH:mm:ss" as yyyyMMddhhmmss; 0 for any other text.
qint64 parseStamp(QByteArrayView text)
{
    static const char form[] = "0000-00-00 00:00:00";
    if (text.size() != 19)
        return 0;
    qint64 stamp = 0;
    for (int i = 0; i < 19; ++i) {
        const char c = text[i];
        if (form[i] != '0') {
            if (c != form[i])
                return 0;
        } else if (c < '0' || c > '9') {
            return 0;
        } else {
            stamp = stamp * 10 + (c - '0');
        }
    }
    return stamp;
}

QString dayName(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

qint64 ReminderJournal::stampOf(const QDateTime &time)
{
    return parseStamp(timeText(time).toLatin1());
}

QDateTime ReminderJournal::timeOf(qint64 stamp)
{
    if (stamp == 0)
        return {};
    const auto part = [stamp](int from, qint64 unit) { return int(stamp / unit % from); };
    return QDateTime(QDate(int(stamp / 10000000000), part(100, 100000000), part(100, 1000000)),
                     QTime(part(100, 10000), part(100, 100), part(100, 1)));
}

namespace {
constexpr quint64 kFnvBasis = 14695981039346656037ull; // FNV-1a, over UTF-16 code units
constexpr quint64 kFnvPrime = 1099511628211ull;
} // namespace

quint64 ReminderJournal::hashOf(QStringView key)
{
    quint64 hash = kFnvBasis;
    for (QChar c : key)
        hash = (hash ^ c.unicode()) * kFnvPrime;
    return hash;
}

quint64 ReminderJournal::hashOfUtf8(QByteArrayView key)
{
    // The code units the UTF-8 decodes to, one after the other: no string is made.
    quint64 hash = kFnvBasis;
    const auto feed = [&hash](char16_t unit) { hash = (hash ^ unit) * kFnvPrime; };
    for (qsizetype i = 0; i < key.size();) {
        const uchar lead = uchar(key[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
        char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < key.size(); ++k)
            point = (point << 6) | (uchar(key[i + k]) & 0x3F);
        i += extra + 1;
        if (point > 0xFFFF) {
            feed(QChar::highSurrogate(point));
            feed(QChar::lowSurrogate(point));
        } else {
            feed(char16_t(point));
        }
    }
    return hash;
}

ReminderJournal::ReminderJournal(const QString &dataFolder) : m_folder(folderIn(dataFolder)) {}

QString ReminderJournal::folderIn(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("tarvelin-journal"));
}

QString ReminderJournal::keyOf(const QList<QStringView> &fields)
{
    return Batch::fromFields(fields).line();
}

QString ReminderJournal::keyOf(QStringView line)
{
    return Batch::fromLine(line).line();
}

QString ReminderJournal::fileOf(const QString &key) const
{
    qsizetype start = 0;
    for (int field = 0; field < SpecimenRecord::DueTime; ++field) {
        start = key.indexOf(RecordLine::Separator, start) + 1;
        if (start == 0)
            return QDir(m_folder).filePath(kUndated + QStringLiteral(".tsv"));
    }
    const QStringView due = QStringView(key).mid(start, 16);
    const bool dated = DueCheck::isDueTimeText(due) && key.size() > start + 16 &&
                       key[start + 16] == RecordLine::Separator;
    return QDir(m_folder).filePath((dated ? due.left(10).toString() : kUndated) +
                                   QStringLiteral(".tsv"));
}

QStringList ReminderJournal::loadDays(const QDate &from, const QDate &to)
{
    QStringList names{kUndated};
    for (QDate day = from; day <= to; day = day.addDays(1))
        names << dayName(day);
    return load(names, true);
}

QStringList ReminderJournal::loadAll()
{
    QStringList names;
    for (const QFileInfo &file : QDir(m_folder).entryInfoList({QStringLiteral("*.tsv")}))
        if (!file.completeBaseName().contains(u'.')) // not a damaged file set aside
            names << file.completeBaseName();
    return load(names, false);
}

QStringList ReminderJournal::load(const QStringList &names, bool watch)
{
    QStringList problems;
    for (const QString &name : names) {
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".tsv"));
        if (watch)
            m_watched.insert(path);
        if (m_read.contains(name))
            continue;
        m_read.insert(name);
        const QString problem = loadFile(path, 0);
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems;
}

QStringList ReminderJournal::refresh()
{
    QStringList problems;
    for (const QString &path : std::as_const(m_watched)) {
        const QFileInfo info(path);
        const qint64 size = info.exists() ? info.size() : 0;
        Known &known = m_known[path];
        if (size == known.seen)
            continue;
        known.seen = size;
        // Grown: what another copy (or anyone) appended; shrunk or replaced: read again whole.
        const QString problem = loadFile(path, size > known.read ? known.read : 0);
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems;
}

namespace {

// The whole lines of data, without empty lines and comments. What follows the last line break
// is an append cut short: not damage, just never written.
QList<QByteArrayView> wholeLines(QByteArrayView data)
{
    const QByteArrayView whole = data.first(data.lastIndexOf('\n') + 1);
    QList<QByteArrayView> lines;
    for (qsizetype from = 0; from < whole.size();) {
        const qsizetype end = whole.indexOf('\n', from);
        const QByteArrayView line = whole.sliced(from, end - from);
        from = end + 1;
        if (!line.isEmpty() && !line.startsWith('#'))
            lines.append(line);
    }
    return lines;
}

} // namespace

QString ReminderJournal::loadFile(const QString &path, qint64 from)
{
    QFile file(path);
    if (!file.exists()) {
        m_known.remove(path);
        return {};
    }
    if (!file.open(QIODevice::ReadOnly))
        return JournalText::cannotRead(QDir::toNativeSeparators(path), file.errorString());
    if (from > 0 && !file.seek(from))
        from = 0;
    const QByteArray data = file.readAll();
    file.close();
    Known &known = m_known[path];
    known.read = from + data.lastIndexOf('\n') + 1;
    known.seen = qMax(known.seen, from + data.size());

    const QList<QByteArrayView> lines = wholeLines(data);
    const bool utf8 = QUtf8StringView(data.first(known.read - from)).isValidUtf8();
    bool damaged = false;
    for (QByteArrayView line : lines)
        damaged |= !(utf8 || QUtf8StringView(line).isValidUtf8()) || !apply(line, true);
    return damaged ? setAside(path) : QString();
}

QString ReminderJournal::setAside(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return JournalText::cannotRead(QDir::toNativeSeparators(path), file.errorString());
    const QByteArray data = file.readAll();
    file.close();
    QByteArray kept = kHeader;
    for (QByteArrayView line : wholeLines(data)) {
        if (QUtf8StringView(line).isValidUtf8() && apply(line, false))
            kept += line.toByteArray() + '\n';
    }

    const QFileInfo info(path);
    const QString aside = info.dir().filePath(
        QStringLiteral("%1.damaged-%2.tsv")
            .arg(info.completeBaseName(),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmsszzz"))));
    if (!QFile::rename(path, aside))
        return JournalText::damagedNotMoved(QDir::toNativeSeparators(path));
    const AtomicFile::Result rewritten = AtomicFile::replace(path, kept);
    m_known.insert(path, rewritten.ok ? Known{kept.size(), kept.size()} : Known{});
    const QString said =
        JournalText::damagedMoved(QDir::toNativeSeparators(path), QDir::toNativeSeparators(aside));
    if (!rewritten.ok)
        return said + JournalText::readableNotWrittenBack(rewritten.reason);
    return said + JournalText::readableKept();
}

bool ReminderJournal::apply(QByteArrayView line, bool commit)
{
    QByteArrayView parts[5];
    qsizetype count = 0;
    for (qsizetype from = 0;;) {
        if (count == 5)
            return false;
        const qsizetype tab = line.indexOf('\t', from);
        parts[count++] = line.sliced(from, (tab < 0 ? line.size() : tab) - from);
        if (tab < 0)
            break;
        from = tab + 1;
    }
    const int widths[] = {4, 5, 3}; // R T U
    const int kind = parts[0].size() != 1 ? -1 : int(QByteArrayView("RTU").indexOf(parts[0][0]));
    if (kind < 0 || widths[kind] != count)
        return false;
    const qint64 when = parseStamp(parts[1]);
    bool ok = when != 0;
    const QByteArrayView keyText = parts[count - 1];
    // Most keys hold no escape: hashed as read, without being decoded into a string.
    const quint64 key = keyText.contains('\\') ? hashOf(unescaped(QString::fromUtf8(keyText), &ok))
                                               : hashOfUtf8(keyText);
    if (!ok)
        return false;
    if (kind == 0) {
        if (parts[2] != "popup" && parts[2] != "list")
            return false;
        if (!commit)
            return true;
        Entry &entry = m_entries[key];
        if (entry.reminded == 0) { // the first reminder is the one that counts
            entry.reminded = when;
            entry.how = parts[2] == "list" ? How::List : How::Popup;
        }
    } else if (kind == 1) {
        QString by = unescaped(QString::fromUtf8(parts[2]), &ok);
        QString result = unescaped(QString::fromUtf8(parts[3]), &ok);
        if (!ok)
            return false;
        if (!commit)
            return true;
        Entry &entry = m_entries[key];
        entry.tested = when;
        entry.testedBy = intern(std::move(by));
        entry.result = intern(std::move(result));
    } else if (!commit) {
        return true;
    } else if (const auto it = m_entries.find(key); it != m_entries.end()) {
        it->tested = 0;
        it->testedBy = it->result = 0;
    }
    return true;
}

quint32 ReminderJournal::intern(QString text)
{
    if (text.isEmpty())
        return 0;
    const auto it = m_textNumbers.constFind(text);
    if (it != m_textNumbers.constEnd())
        return *it;
    const auto number = quint32(m_textList.size());
    m_textNumbers.insert(text, number);
    m_textList.append(std::move(text));
    return number;
}

QSet<quint64> ReminderJournal::keysWithText(QStringView text, Qt::CaseSensitivity cs) const
{
    // Each text is searched once, not once per entry that holds it.
    QList<bool> holds(m_textList.size());
    bool any = false;
    for (qsizetype i = 1; i < m_textList.size(); ++i)
        any |= holds[i] = m_textList[i].contains(text, cs);
    QSet<quint64> keys;
    if (!any)
        return keys;
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it) {
        if (holds[it->testedBy] || holds[it->result])
            keys.insert(it.key());
    }
    return keys;
}

const ReminderJournal::Entry *ReminderJournal::find(QStringView key) const
{
    const auto it = m_entries.constFind(hashOf(key));
    return it == m_entries.constEnd() ? nullptr : &*it;
}

QString ReminderJournal::remind(const QString &key, How how, const QDateTime &when)
{
    const QString line =
        QStringLiteral("R\t%1\t%2\t%3")
            .arg(timeText(when),
                 how == How::List ? QStringLiteral("list") : QStringLiteral("popup"), escaped(key));
    return applyAndAppend(key, line);
}

QString ReminderJournal::markTested(const QString &key, const QDateTime &when, const QString &by,
                                    const QString &result)
{
    const QString line = QStringLiteral("T\t%1\t%2\t%3\t%4")
                             .arg(timeText(when), escaped(by), escaped(result), escaped(key));
    return applyAndAppend(key, line);
}

QString ReminderJournal::unmarkTested(const QString &key, const QDateTime &when)
{
    const QString line = QStringLiteral("U\t%1\t%2").arg(timeText(when), escaped(key));
    return applyAndAppend(key, line);
}

QString ReminderJournal::applyAndAppend(const QString &key, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    apply(bytes, true);
    return append(key, bytes);
}

QString ReminderJournal::append(const QString &key, const QByteArray &line)
{
    m_unwritten.append({fileOf(key), line});
    return writeUnwritten(1);
}

QString ReminderJournal::writeUnwritten(qsizetype fresh)
{
    const qsizetype heldBefore = m_unwritten.size() - fresh;
    QString error;
    while (!m_unwritten.isEmpty() && error.isEmpty()) {
        error = writeLine(m_unwritten.first().path, m_unwritten.first().line);
        if (error.isEmpty())
            m_unwritten.removeFirst();
    }
    // Said once when the journal stops taking entries, and once when it takes them again.
    const bool failing = !error.isEmpty();
    if (failing == m_failing)
        return {};
    m_failing = failing;
    return failing ? error + JournalText::keptUntilWritable()
                   : JournalText::writtenAgain(heldBefore);
}

QString ReminderJournal::writeLine(const QString &path, const QByteArray &line)
{
    const auto failed = [&path](const QString &why) {
        return JournalText::cannotWrite(QDir::toNativeSeparators(path), why);
    };
    if (!QDir().mkpath(m_folder))
        return failed(AtomicFile::whyFolderRefusesWrites(QFileInfo(m_folder).path()));
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return failed(file.errorString());
    // Cut off an append that a kill or a full disk left without its line break.
    qint64 size = file.size();
    if (size > 0 && file.seek(size - 1) && file.read(1) != "\n") {
        file.seek(0);
        size = file.readAll().lastIndexOf('\n') + 1;
        if (!file.resize(size))
            return failed(file.errorString());
    }
    QByteArray bytes = size == 0 ? kHeader : QByteArray();
    bytes += line + '\n';
    errno = 0;
    const bool written = file.seek(size) && file.write(bytes) == bytes.size() && file.flush();
    if (written) {
        m_watched.insert(path);
        // Up to date with the file: this entry is known already. Otherwise the next refresh reads
        // what came before it, this entry with it.
        Known &known = m_known[path];
        if (known.read == size)
            known.read = known.seen = size + bytes.size();
        return {};
    }
    const bool full = errno == ENOSPC || file.error() == QFileDevice::ResourceError;
    const QString why = full ? AtomicFile::diskFullText() : file.errorString();
    file.resize(size); // no half an entry left behind
    return failed(why);
}
