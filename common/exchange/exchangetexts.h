#pragma once

#include <QString>

// The texts of vexa.ini and of the popup vexa that reads it: the profile file, its slots, and
// what the popup says when it cannot show a record.
namespace ExchangeText {

// How the messages name vexa.ini, and the ending of every message that left it as it was.
QString profileFile();
QString profileFileUnchanged();

// A write refused before anything is written.
QString unencodable(const QString &text, const QString &character);
QString badSection(const QString &section);
QString badKey(const QString &key);
QString valueLineBreak(const QString &key);
QString wrongFieldCount(qsizetype count);

// A read or removal that failed.
QString notAFile(const QString &path);
QString cannotRead(const QString &path, const QString &reason);
QString readFailedUnchanged(const QString &readError);
QString cannotRemove(const QString &path, const QString &reason);

// A popup started for one slot that cannot claim it.
QString notASlotName(const QString &slot);
QString slotTaken(const QString &slot);
QString noSuchSlot(const QString &slot);

// The popup found no free slot (shown, and written for the manager), or could not free its own
// on closing.
QString popupFailed();
QString slotNotFreed(const QString &slot, const QString &reason);

} // namespace ExchangeText
