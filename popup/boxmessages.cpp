#include "boxmessages.h"

#include <QMessageBox>
#include <QTimer>

void BoxMessages::show(const QString &text, const QString &title, MessageStyle style)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (style == MessageStyle::Exclamation)
        icon = QMessageBox::Warning;
    else if (style == MessageStyle::Information)
        icon = QMessageBox::Information;
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    if (m_dismissAfterMs > 0)
        QTimer::singleShot(m_dismissAfterMs, &box, &QMessageBox::accept);
    box.exec();
}
