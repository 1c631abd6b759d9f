#pragma once

#include "messages.h"

#include <QPointer>
#include <QWidget>

// Messages shown as modal message boxes, the same in both programs: over the owner window when
// there is one, with the style's icon. With dismissAfterMs above 0 a box closes itself after that
// long, as if OK (or "否") had been pressed.
class BoxMessages : public Messages
{
public:
    explicit BoxMessages(QWidget *owner = nullptr, int dismissAfterMs = 0)
        : m_owner(owner), m_dismissAfterMs(dismissAfterMs)
    {
    }
    void setOwner(QWidget *owner) { m_owner = owner; }
    void show(const QString &text, const QString &title, MessageStyle style) override;
    bool ask(const QString &text, const QString &title) override;

private:
    QPointer<QWidget> m_owner;
    int m_dismissAfterMs;
};
