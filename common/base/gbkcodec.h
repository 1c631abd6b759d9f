#pragma once

#include <QByteArray>
#include <QString>

// Every file the two programs share is in code page 936 (GBK), as on a Chinese Windows system.
// The table is our own (cp936table.inc), so the bytes are the same on every platform and with
// every Qt, also one built without ICU.
namespace Gbk {

// Bytes that are not valid GBK become U+FFFD; decoding never fails.
QString decode(QByteArrayView bytes);

// Encodes text as Windows does; ok (if given) is false when a character has no form in code
// page 936. Such characters are never silently written as "?": callers refuse or escape the text
// instead. The unit signs ² ³ µ are stored as Windows' best fit stores them ("2", "3", "μ").
QByteArray encode(QStringView text, bool *ok = nullptr);

// The same a piece at a time, into room the caller holds: decodeInto needs bytes.size()
// characters, encodeInto 2 * text.size() bytes. Both return the end of what they wrote.
QChar *decodeInto(QChar *out, QByteArrayView bytes);
char *encodeInto(char *out, QStringView text, bool *ok);

bool canEncode(QStringView text);

// The index of the first byte that starts no code page 936 character (a lead byte without its
// trail, 0xFF, a four-byte GB18030 sequence), or -1 when every byte is part of one.
qsizetype firstInvalid(QByteArrayView bytes);

// The first character of text that GBK cannot hold, or an empty string when there is none.
QString firstUnencodable(QStringView text);

// The first character of text that code page 936 holds only by Windows' best fit, as another
// character ("²" as "2"), and what it would become; empty when there is none.
struct BestFitted
{
    QString character;
    QString savedAs;
};
BestFitted firstBestFitted(QStringView text);

// One character for a message a technician can act on: “😀”（U+1F600）, or for a character
// nobody can see its name, 不间断空格（U+00A0）.
QString describe(QStringView character);

} // namespace Gbk
