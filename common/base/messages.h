#pragma once

#include <QString>

// The styles of the programs' message boxes.
enum class MessageStyle { Plain = 0, Exclamation = 48, Information = 64 };

// Every message box goes through this interface: the programs show a modal box, tests record
// what was asked and never block.
class Messages
{
public:
    virtual ~Messages() = default;
    virtual void show(const QString &text, const QString &title, MessageStyle style) = 0;
    // A question answered with "是" (true) or "否" (false); closing the box answers "否".
    virtual bool ask(const QString &text, const QString &title) = 0;
    // A question before something is lost for good: "否" is the answer Return gives, so that a
    // hurried key press keeps the data.
    virtual bool confirm(const QString &text, const QString &title) { return ask(text, title); }
};
