// Record file a.bz: line splitting, both loaders and the store's save, on arbitrary bytes.
//
// Input: a flag byte, then a length byte and that many bytes for the day the main window's loader
// looks for, then the file's bytes. The loaders read a real file, as they do in the programs.
// When the flag's two top bits are set, the file's bytes follow some 32 KiB of long plain lines
// that end a few bytes before a 32 KiB boundary (set by the flag's other bits), so that a loader
// that reads in pieces meets the fuzzed bytes where one piece ends and the next begins.

#include "fuzzinput.h"
#include "gbkcodec.h"
#include "recordcheck.h"
#include "recordfile.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QString &scratchPath()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("a.bz"));
    return path;
}

void writeScratch(QByteArrayView bytes)
{
    QFile file(scratchPath());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size());
}

bool isBreak(char c)
{
    return c == '\r' || c == '\n';
}

// The lines lie in order inside data, hold no line break, and what lies between two of them
// (and after the last) is exactly one CR LF, CR or LF.
void checkSplit(QByteArrayView data, const QList<QByteArrayView> &lines)
{
    qsizetype at = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        FUZZ_CHECK(line.data() >= data.data());
        const qsizetype start = line.data() - data.data();
        FUZZ_CHECK(start + line.size() <= data.size());
        if (i == 0) {
            FUZZ_CHECK(start == 0);
        } else {
            const QByteArrayView gap = data.sliced(at, start - at);
            FUZZ_CHECK(gap == "\r\n" || gap == "\r" || gap == "\n");
        }
        for (char c : line)
            FUZZ_CHECK(!isBreak(c));
        at = start + line.size();
    }
    const QByteArrayView tail = data.sliced(at);
    FUZZ_CHECK(tail.isEmpty() || tail == "\r\n" || tail == "\r" || tail == "\n");
}

// The main window's filter, the plain way: the sixth raw field contains day.
QList<QStringList> expectedDue(QByteArrayView data, QByteArrayView day)
{
    QList<QStringList> lines;
    for (QByteArrayView line : RecordFile::splitLines(data)) {
        const QList<QByteArray> fields = line.toByteArray().split(',');
        if (fields.size() >= 6 && fields[5].indexOf(day) >= 0)
            lines.append(Gbk::decode(line).split(QLatin1Char(',')));
    }
    return lines;
}

// The entry form's filter, the plain way: every line holding anything but commas.
QList<QStringList> expectedFilled(QByteArrayView data)
{
    QList<QStringList> lines;
    for (QByteArrayView line : RecordFile::splitLines(data)) {
        const QString text = Gbk::decode(line);
        bool filled = false;
        for (QChar c : text)
            filled = filled || c != QLatin1Char(',');
        if (filled)
            lines.append(text.split(QLatin1Char(',')));
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 flags = input.takeByte();
    const QByteArrayView day = input.take(16);
    QByteArray padded;
    if ((flags & 0xc0) == 0xc0) {
        padded = (QByteArray(1022, 'a') + "\r\n").repeated(33);
        padded.truncate((32 << 10) - (flags & 0x3f));
        padded += input.rest();
    }
    const QByteArrayView bytes = padded.isEmpty() ? input.rest() : QByteArrayView(padded);

    const QList<QByteArrayView> lines = RecordFile::splitLines(bytes);
    checkSplit(bytes, lines);

    writeScratch(bytes);
    const RecordFile file(scratchPath());

    for (const QString &wanted : {QString::fromLatin1(day), QStringLiteral("2026-12-06")}) {
        const RecordFile::Records due = file.readDueOn(wanted);
        FUZZ_CHECK(due.exists && due.error.isEmpty());
        FUZZ_CHECK(due.lines == expectedDue(bytes, wanted.toLatin1()));
    }

    const RecordFile::Records all = readFilled(file);
    FUZZ_CHECK(all.exists && all.error.isEmpty());
    FUZZ_CHECK(all.lines == expectedFilled(bytes));

    const RecordFile::Text text = file.readLines();
    FUZZ_CHECK(text.lines.size() == lines.size());

    // What the entry form loaded, saved, loads the same again.
    QString unencodable;
    const QByteArray saved = RecordFile::tableBytes(all.lines, &unencodable);
    if (unencodable.isEmpty()) {
        const RecordStore::Outcome written = rewriteTable(RecordStore(scratchPath()), all.lines);
        if (RecordCheck::isUtf8(bytes)) {
            // A file that reads as UTF-8 is refused for writing and left as it was.
            FUZZ_CHECK(!written.ok());
            QFile scratch(scratchPath());
            FUZZ_CHECK(scratch.open(QIODevice::ReadOnly) && scratch.readAll() == bytes);
        } else {
            FUZZ_CHECK(written.ok());
            FUZZ_CHECK(readFilled(file).lines == all.lines);
        }
    } else {
        FUZZ_CHECK(saved.isEmpty());
        FUZZ_CHECK(!Gbk::canEncode(unencodable));
    }
    return 0;
}
