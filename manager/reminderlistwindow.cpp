#include "reminderlistwindow.h"

#include "windowsystem.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

ReminderListWindow::ReminderListWindow(const QString &title, const QString &intro, int cornerOffset,
                                       QWidget *parent)
    : QDialog(parent), m_intro(new QLabel(intro, this)), m_list(new QListWidget(this)),
      m_cornerOffset(cornerOffset)
{
    setWindowTitle(title);
    setWindowModality(Qt::NonModal);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_intro->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setWordWrap(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(560, 300);
}

void ReminderListWindow::addEntry(const QString &text)
{
    m_list->addItem(text);
    m_list->scrollToBottom();
    if (!isVisible()) {
        show();
        standInCorner();
    }
    raise();
    activateWindow();
}

void ReminderListWindow::standInCorner()
{
    // By the notification area, where a taskbar has it: away from the main window's menus.
    const QRect area = screen()->availableGeometry();
    const QMargins frame = WindowSystem::frameMargins(this);
    const QSize outer = size().grownBy(frame);
    const int offset = m_cornerOffset * (frame.top() > 0 ? frame.top() : fontMetrics().height());
    move(qMax(area.left(), area.right() + 1 - outer.width() - offset),
         qMax(area.top(), area.bottom() + 1 - outer.height() - offset));
}

QStringList ReminderListWindow::entries() const
{
    QStringList texts;
    for (int i = 0; i < m_list->count(); ++i)
        texts << m_list->item(i)->text();
    return texts;
}

void ReminderListWindow::done(int result)
{
    // Read and dismissed: the next reminder starts a fresh list.
    m_list->clear();
    QDialog::done(result);
}

ReminderListWindows::ReminderListWindows(QWidget *owner)
    : QObject(owner),
      m_notShown(new ReminderListWindow(
          QStringLiteral("到期提醒"),
          QStringLiteral("以下记录已经到期，但提示窗口未能弹出，请立即处理："), 0, owner)),
      m_late(new ReminderListWindow(
          QStringLiteral("错过的到期提醒"),
          QStringLiteral("以下记录今天已经到期，到期时本程序没有运行或没有检查，未能按时提醒："), 1,
          owner))
{
    m_notShown->setObjectName(QStringLiteral("notShownReminders"));
    m_late->setObjectName(QStringLiteral("lateReminders"));
}

void ReminderListWindows::notShown(const QString &text)
{
    m_notShown->addEntry(text);
}

void ReminderListWindows::late(const QString &text)
{
    m_late->addEntry(text);
}
