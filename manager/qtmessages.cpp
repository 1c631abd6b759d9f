#include "qtmessages.h"

#include <QMessageBox>

void QtMessages::show(const QString &text, const QString &title, MessageStyle style)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (style == MessageStyle::Exclamation)
        icon = QMessageBox::Warning;
    else if (style == MessageStyle::Information)
        icon = QMessageBox::Information;
    QMessageBox box(icon, title, text, QMessageBox::Ok, m_owner);
    box.exec();
}
