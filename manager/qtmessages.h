#pragma once

#include "messages.h"

#include <QPointer>
#include <QWidget>

// Shows messages as modal message boxes over the given window.
class QtMessages : public Messages
{
public:
    explicit QtMessages(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }
    void show(const QString &text, const QString &title, MessageStyle style) override;
    bool ask(const QString &text, const QString &title) override;

private:
    QPointer<QWidget> m_owner;
};
