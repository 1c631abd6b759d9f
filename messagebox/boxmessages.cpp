#include "boxmessages.h"

#include "windowsystem.h"

#include <QApplication>
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

// QMessageBox sizes itself to its text and leaves the title to a narrow frame: a window manager
// then shows even a title of two characters, or a short text, as "…". The box is made wide enough
// for its whole title beside the frame's icon and buttons.
class TitledBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event); // fixes the box's size to its contents
        const int wanted = BoxMessages::widthForTitle(windowTitle());
        if (width() < wanted)
            setFixedWidth(wanted);
        WindowSystem::prepareModalWindow(this);
    }
};
} // namespace

int BoxMessages::widthForTitle(const QString &title)
{
    // Title bars use a bold face of about the application's size; their icon and up to three
    // buttons each take about a line's height, and the frame pads both ends.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 5 * metrics.height();
}

void BoxMessages::show(const QString &text, const QString &title, MessageStyle style)
{
    TitledBox box(iconOf(style), title, text, QMessageBox::Ok, m_owner);
    if (m_dismissAfterMs > 0)
        QTimer::singleShot(m_dismissAfterMs, &box, &QMessageBox::accept);
    box.exec();
}

bool BoxMessages::question(const QString &text, const QString &title, bool yesByDefault)
{
    TitledBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, m_owner);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
    if (m_dismissAfterMs > 0)
        QTimer::singleShot(m_dismissAfterMs, &box, &QMessageBox::reject);
    return box.exec() == QMessageBox::Yes;
}

bool BoxMessages::ask(const QString &text, const QString &title)
{
    return question(text, title, true);
}

bool BoxMessages::confirm(const QString &text, const QString &title)
{
    return question(text, title, false);
}
