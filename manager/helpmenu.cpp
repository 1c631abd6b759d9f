#include "helpmenu.h"

#include "messages.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>

HelpMenu::HelpMenu(Messages *messages, QObject *parent)
    : QObject(parent), m_messages(messages), m_openUrl(&QDesktopServices::openUrl)
{
}

void HelpMenu::attach(QAction *jz, QAction *gy, QAction *sj)
{
    connect(jz, &QAction::triggered, this, &HelpMenu::jz_Click);
    connect(gy, &QAction::triggered, this, &HelpMenu::gy_Click);
    connect(sj, &QAction::triggered, this, &HelpMenu::sj_Click);
}

QUrl HelpMenu::feedbackPage()
{
    return QUrl(QStringLiteral("https://tarvelin.example.com/feedback"));
}

void HelpMenu::jz_Click()
{
    m_messages->show(WindowText::donation(), QCoreApplication::applicationName(),
                     MessageStyle::Plain);
}

void HelpMenu::gy_Click()
{
    m_messages->show(WindowText::about(), Title::about(), MessageStyle::Information);
}

void HelpMenu::sj_Click()
{
    // The address goes to the desktop's URL handler, never through a shell.
    if (!m_openUrl(feedbackPage())) {
        m_messages->show(WindowText::cannotOpenPage(feedbackPage().toString()), Title::notice(),
                         MessageStyle::Exclamation);
    }
}
