#pragma once

#include <QByteArray>
#include <QString>

// Every file the two programs share is in code page 936 (GBK), as on a Chinese Windows system.
namespace Gbk {

// Bytes that are not valid GBK become U+FFFD; decoding never fails.
QString decode(QByteArrayView bytes);

// Encodes text; ok (if given) is false when a character has no GBK form. Such characters are
// never silently written as "?": callers refuse or escape the text instead.
QByteArray encode(QStringView text, bool *ok = nullptr);

bool canEncode(QStringView text);

// The first character of text that GBK cannot hold, or an empty string when there is none.
QString firstUnencodable(QStringView text);

} // namespace Gbk
