#pragma once

#include <QByteArray>
#include <QString>

class QAbstractItemModel;

// A table as shown, ready to print for the curing room or the press: A4 across, the title on
// every page, the header row repeated, the page number and the number of pages at the foot.
// Written through QPdfWriter (Qt Gui), which every build of Qt has, print support or not.
namespace SchedulePdf {

QByteArray bytes(const QAbstractItemModel &model, const QString &title);

// Writes the file at once; returns what went wrong, empty when it was written.
QString save(const QAbstractItemModel &model, const QString &title, const QString &path);

} // namespace SchedulePdf
