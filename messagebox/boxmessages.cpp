#include "boxmessages.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
QMessageBox::Icon iconOf(MessageStyle style)
{
    switch (style) {
    case MessageStyle::Exclamation:
        return QMessageBox::Warning;
    case MessageStyle::Information:
        return QMessageBox::Information;
    case MessageStyle::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void BoxMessages::show(const QString &text, const QString &title, MessageStyle style)
{
    QMessageBox box(iconOf(style), title, text, QMessageBox::Ok, m_owner);
    if (m_dismissAfterMs > 0)
        QTimer::singleShot(m_dismissAfterMs, &box, &QMessageBox::accept);
    box.exec();
}

bool BoxMessages::ask(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_owner);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    box.setDefaultButton(QMessageBox::Yes);
    if (m_dismissAfterMs > 0)
        QTimer::singleShot(m_dismissAfterMs, &box, &QMessageBox::reject);
    return box.exec() == QMessageBox::Yes;
}
