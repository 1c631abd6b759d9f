#pragma once

#include "messages.h"

#include <QPointer>
#include <QWidget>

// Messages shown as modal message boxes, the same in both programs: over the owner window when
// there is one, with the style's icon, wide enough for the whole title, without minimise. With
// dismissAfterMs above 0 a box closes itself after that long, as if OK (or "否") had been pressed.
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
    bool confirm(const QString &text, const QString &title) override;

    // The least width of a box whose frame shows the whole title.
    static int widthForTitle(const QString &title);

private:
    bool question(const QString &text, const QString &title, bool yesByDefault);

    QPointer<QWidget> m_owner;
    int m_dismissAfterMs;
};
