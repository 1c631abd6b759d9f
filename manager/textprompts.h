#pragma once

#include <QString>

#include <optional>

class QDialog;
class QWidget;

// The questions that want a typed answer, a file name or a window of answers, so that tests can
// answer them without a dialog. The program asks with QInputDialog and QFileDialog (DialogPrompts).
class TextPrompts
{
public:
    virtual ~TextPrompts() = default;
    // Nothing when the user cancelled.
    virtual std::optional<QString> text(QWidget *owner, const QString &title, const QString &label,
                                        const QString &initial) = 0;
    // Where to save; empty when the user cancelled.
    virtual QString savePath(QWidget *owner, const QString &title, const QString &suggested,
                             const QString &filter) = 0;
    // A window of several answers, shown modally; whether the user accepted it.
    virtual bool run(QDialog *dialog);
};

class DialogPrompts : public TextPrompts
{
public:
    std::optional<QString> text(QWidget *owner, const QString &title, const QString &label,
                                const QString &initial) override;
    QString savePath(QWidget *owner, const QString &title, const QString &suggested,
                     const QString &filter) override;
};
