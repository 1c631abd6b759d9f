#pragma once

#include "gbkcodec.h"
#include "reminderslots.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

// Whether bytes is a whole, well-formed exchange file of slotCount slots: CR LF lines, nothing but
// slot headers and key lines, every slot named once and holding the twelve keys once each.
// Otherwise why is set.
inline bool isWellFormedExchange(const QByteArray &bytes, int slotCount, QString *why)
{
    if (!bytes.endsWith("\r\n")) {
        *why = QStringLiteral("the file does not end with CR LF");
        return false;
    }
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // after the final LF
    QSet<QString> names;
    QStringList keysOfSlot;
    const QSet<QString> expectedKeys(ReminderSlots::resetKeys().cbegin(),
                                     ReminderSlots::resetKeys().cend());
    auto closeSlot = [&]() {
        if (names.isEmpty())
            return true;
        if (keysOfSlot.size() != expectedKeys.size() ||
            QSet<QString>(keysOfSlot.cbegin(), keysOfSlot.cend()) != expectedKeys) {
            *why =
                QStringLiteral("a slot holds the keys %1").arg(keysOfSlot.join(QLatin1Char(' ')));
            return false;
        }
        return true;
    };
    for (QByteArray line : lines) {
        if (!line.endsWith('\r')) {
            *why = QStringLiteral("a line ends with a bare LF");
            return false;
        }
        line.chop(1);
        const QString text = Gbk::decode(line);
        if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
            if (!closeSlot())
                return false;
            const QString name = text.mid(1, text.size() - 2);
            if (!ReminderSlots::parseName(name) || names.contains(name)) {
                *why = QStringLiteral("the header [%1] is not a new slot").arg(name);
                return false;
            }
            names.insert(name);
            keysOfSlot.clear();
            continue;
        }
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (names.isEmpty() || equals <= 0) {
            *why = QStringLiteral("the line “%1” is neither a header nor a key").arg(text);
            return false;
        }
        keysOfSlot.append(text.left(equals));
    }
    if (!closeSlot())
        return false;
    if (names.size() != slotCount) {
        *why = QStringLiteral("%1 slots instead of %2").arg(names.size()).arg(slotCount);
        return false;
    }
    return true;
}
