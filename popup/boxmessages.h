#pragma once

#include "messages.h"

// Shows messages as modal message boxes. With dismissAfterMs above 0 a box closes itself after
// that long, as if OK (or "否") had been pressed.
class BoxMessages : public Messages
{
public:
    explicit BoxMessages(int dismissAfterMs = 0) : m_dismissAfterMs(dismissAfterMs) {}
    void show(const QString &text, const QString &title, MessageStyle style) override;
    bool ask(const QString &text, const QString &title) override;

private:
    int m_dismissAfterMs;
};
