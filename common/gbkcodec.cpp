#include "gbkcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Gbk {

namespace {
bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QString decode(QByteArrayView bytes)
{
    // ASCII is the same in GBK, and most fields (dates, numbers, grades) are plain ASCII.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder("GBK");
    if (static_cast<unsigned char>(bytes.back()) < 0x80)
        return decoder.decode(bytes);
    // The decoder keeps a lone lead byte at the end back, waiting for more input; a blank after
    // it turns it into a replacement character like any other broken pair.
    QByteArray padded = bytes.toByteArray();
    padded.append(' ');
    QString text = decoder.decode(padded);
    text.chop(1);
    return text;
}

QByteArray encode(QStringView text, bool *ok)
{
    if (isAscii(text)) {
        if (ok)
            *ok = true;
        return text.toLatin1();
    }
    QStringEncoder encoder("GBK");
    QByteArray bytes = encoder.encode(text);
    if (ok)
        *ok = !encoder.hasError();
    return bytes;
}

bool canEncode(QStringView text)
{
    bool ok = false;
    encode(text, &ok);
    return ok;
}

QString firstUnencodable(QStringView text)
{
    if (isAscii(text))
        return {};
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QStringView one = text.mid(i, len);
        if (!canEncode(one))
            return one.toString();
        i += len - 1;
    }
    return {};
}

} // namespace Gbk
