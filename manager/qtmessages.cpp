#include "qtmessages.h"

#include <QMessageBox>
#include <QPushButton>

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

bool QtMessages::ask(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_owner);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
