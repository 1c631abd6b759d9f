#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>

// Cuts one fuzz input into parts: each part but the last is a length byte followed by that many
// bytes (fewer when the input runs out); the rest of the input is the last part.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data), qsizetype(size))
    {
    }

    QByteArrayView take(int maxLength = 255)
    {
        if (m_data.isEmpty())
            return {};
        const qsizetype length = qMin<qsizetype>(
            static_cast<unsigned char>(m_data[0]) % (maxLength + 1), m_data.size() - 1);
        const QByteArrayView part = m_data.sliced(1, length);
        m_data = m_data.sliced(1 + length);
        return part;
    }

    // A part as text: UTF-8, so that any character (also those code page 936 lacks) can appear.
    QString takeText(int maxLength = 255) { return QString::fromUtf8(take(maxLength)); }

    quint8 takeByte()
    {
        if (m_data.isEmpty())
            return 0;
        const quint8 byte = static_cast<quint8>(m_data[0]);
        m_data = m_data.sliced(1);
        return byte;
    }

    QByteArrayView rest() const { return m_data; }

private:
    QByteArrayView m_data;
};

// A failed property: abort, so that libFuzzer keeps the input and reports it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            qFatal("fuzz check failed: %s (%s:%d)", #condition, __FILE__, __LINE__);               \
        }                                                                                          \
    } while (false)
