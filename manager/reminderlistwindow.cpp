#include "reminderlistwindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ReminderListWindow::ReminderListWindow(const QString &title, const QString &intro, QWidget *parent)
    : QDialog(parent), m_intro(new QLabel(intro, this)), m_list(new QListWidget(this))
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
    if (!isVisible())
        show();
    raise();
    activateWindow();
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
