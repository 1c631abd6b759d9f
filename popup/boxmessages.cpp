#include "boxmessages.h"

#include <QMessageBox>
#include <QPushButton>
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

bool BoxMessages::ask(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    box.setDefaultButton(QMessageBox::Yes);
    if (m_dismissAfterMs > 0)
        QTimer::singleShot(m_dismissAfterMs, &box, &QMessageBox::reject);
    return box.exec() == QMessageBox::Yes;
}
