#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// When a record falls due. Due times are the text "YYYY-MM-DD hh:mm"; in that form text order is
// time order, so the check compares texts and never parses them.
namespace DueCheck {

// Whether text has the exact form of a due time: digits where digits belong. The one definition
// of the form; DueTime::isRealDueTime adds the calendar for the entry form.
bool isDueTimeText(QStringView text);
// The same for the bytes of a field of a.bz (digits and separators are ASCII in code page 936).
bool isDueTimeText(QByteArrayView field);

// The window of minutes one check covers: after the minute of the previous check (exclusive) up to
// the present minute (inclusive). The first check, and any check after the clock went back, covers
// the present minute alone, so records due earlier are not all fired at once.
class Window
{
public:
    Window(const QString &previousMinute, const QString &presentMinute);
    bool contains(QStringView dueTime) const;

private:
    QString m_after;
    QString m_upTo;
};

} // namespace DueCheck
