#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// What was reminded and what was tested, kept beside a.bz in files of its own: one file per day
// of the records' due times ("tarvelin-journal/2026-12-08.tsv", "undated.tsv" for a due time of
// another form), so that a start reads the weeks it needs and not years of tests.
//
// A file is UTF-8, one entry per line, only ever appended to:
//   R <when> <popup|list> <record line>            reminded
//   T <when> <by> <result> <record line>           marked tested
//   U <when> <record line>                         the test mark taken back
// fields separated by Tab, with "\\", "\t", "\n" and "\r" escaped. A record is known by the text of
// its line, as the main window's reload knows it. The last entry for a record wins.
//
// A kill in mid-append leaves a last line without its line break: the reader skips it and the next
// append cuts it off first. A line that cannot be read means the file was damaged otherwise: the
// file is set aside under a new name, written again from what could be read, and said so; nothing
// of it stops a reminder.
class ReminderJournal
{
public:
    enum class How { Popup, List };
    // Times are kept as the number yyyyMMddhhmmss (0: none): years of entries are read at every
    // opening of the schedule, and a number is read and kept far more cheaply than a QDateTime.
    struct Entry
    {
        qint64 reminded = 0; // 0: marked tested without a reminder
        qint64 tested = 0;   // 0: not marked tested
        // The tester's name and the result, as numbers of the journal's texts (text()): names
        // and results repeat from entry to entry, and years of entries are held at once.
        quint32 testedBy = 0;
        quint32 result = 0;
        How how = How::Popup;
        bool isTested() const { return tested != 0; }
        QDateTime remindedAt() const { return timeOf(reminded); }
        QDateTime testedAt() const { return timeOf(tested); }
    };
    static qint64 stampOf(const QDateTime &time);
    static QDateTime timeOf(qint64 stamp);

    explicit ReminderJournal(const QString &dataFolder);
    static QString folderIn(const QString &dataFolder);

    // The journal key of a line read as fields: its first ten stored fields and an empty due
    // mark, the line a grid row loaded from those fields gives back.
    static QString keyOf(const QList<QStringView> &fields);
    static QString keyOf(QStringView line);

    // Reads the files of the due days from to to (inclusive) that were not read yet, and the
    // undated file. Returns what went wrong, one text per damaged file set aside.
    QStringList loadDays(const QDate &from, const QDate &to);
    // Every file of the journal.
    QStringList loadAll();
    // Reads what was added to the files of the days loaded and of the entries written since they
    // were read (by another copy, or anyone), so that damage is named while running and not at the
    // next start. Cheap when nothing changed: one look at each file's size.
    QStringList refresh();

    const Entry *find(QStringView key) const;
    // A text of an entry (testedBy, result); 0 is the empty text.
    const QString &text(quint32 number) const { return m_textList.at(number); }
    bool knows(QStringView key) const { return find(key) != nullptr; }
    qsizetype size() const { return m_entries.size(); }

    // Each appends one entry. An entry whose write fails is kept in memory, so that a reminder
    // given is not given twice in a run, and held to be written, in order, before the next entry
    // and at every flush. Returns a text only when that changes: the journal stopped taking
    // entries (what went wrong), or took the held ones again; empty otherwise.
    QString remind(const QString &key, How how, const QDateTime &when);
    QString markTested(const QString &key, const QDateTime &when, const QString &by,
                       const QString &result);
    QString unmarkTested(const QString &key, const QDateTime &when);

    // Writes the entries held since a write failed; says so when they are written at last.
    QString flush() { return m_unwritten.isEmpty() ? QString() : writeUnwritten(0); }
    qsizetype unwrittenCount() const { return m_unwritten.size(); }

    // The keys (as hashOf gives them) whose tester or result holds text.
    QSet<quint64> keysWithText(QStringView text, Qt::CaseSensitivity cs) const;
    static quint64 hashOf(QStringView key);

    // The file that holds the entries of a record's key.
    QString fileOf(const QString &key) const;

private:
    // watch: refresh() looks at the files again.
    QStringList load(const QStringList &names, bool watch);
    // Applies the whole lines from byte from on; a damaged file is set aside.
    QString loadFile(const QString &path, qint64 from);
    // Moves a damaged file aside and writes its readable lines back; says so.
    QString setAside(const QString &path);
    QString applyAndAppend(const QString &key, const QString &line);
    QString append(const QString &key, const QByteArray &line);
    // Writes the held entries, the last fresh of them just added.
    QString writeUnwritten(qsizetype fresh);
    // Appends one line to the file, cutting off a half line a kill left; what went wrong.
    QString writeLine(const QString &path, const QByteArray &line);
    // Whether line is an entry; commit: take it into the entries.
    bool apply(QByteArrayView line, bool commit);
    // hashOf the text that key decodes to.
    static quint64 hashOfUtf8(QByteArrayView key);
    quint32 intern(QString text);

    QString m_folder;
    // By a 64-bit hash of the key, not the key: the journal of years then takes a few bytes per
    // record instead of a second copy of a.bz. Two of 100,000 records share a hash about once in
    // 10^9 journals.
    QHash<quint64, Entry> m_entries;
    QStringList m_textList{QString()}; // names and results, each kept once, by number
    QHash<QString, quint32> m_textNumbers;
    QSet<QString> m_read; // file names already read
    struct Known
    {
        qint64 read = 0; // bytes of whole lines taken in
        qint64 seen = 0; // the size at the last look
    };
    QHash<QString, Known> m_known; // by path
    QSet<QString> m_watched;       // paths refresh() looks at
    struct Unwritten
    {
        QString path;
        QByteArray line;
    };
    QList<Unwritten> m_unwritten; // entries whose write failed, oldest first
    bool m_failing = false;       // the last write failed
};
