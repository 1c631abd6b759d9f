#include "textprompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>

bool TextPrompts::run(QDialog *dialog)
{
    return dialog->exec() == QDialog::Accepted;
}

std::optional<QString> DialogPrompts::text(QWidget *owner, const QString &title,
                                           const QString &label, const QString &initial)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(owner, title, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

QString DialogPrompts::savePath(QWidget *owner, const QString &title, const QString &suggested,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(owner, title, suggested, filter);
}
