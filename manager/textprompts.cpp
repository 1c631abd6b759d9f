#include "textprompts.h"

#include "windowsystem.h"

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
    // A question of one line: a title and a close box, no minimise or maximise.
    QInputDialog dialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowCloseButtonHint);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    WindowSystem::prepareModalWindow(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString DialogPrompts::savePath(QWidget *owner, const QString &title, const QString &suggested,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(owner, title, suggested, filter);
}
