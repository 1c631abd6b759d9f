#include "helpmenu.h"

#include "messages.h"
#include "version.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QStringList>

namespace {
const QString kLineBreak = QStringLiteral("\r\n");
const QString kContact = QStringLiteral("400-820-2026");
} // namespace

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

QString HelpMenu::aboutText()
{
    return QStringList{QStringLiteral("软件名称：Tarvelin   版本号：") + Version::text(),
                       QString(),
                       QStringLiteral("-------------- 更新信息 --------------"),
                       QStringLiteral("1：修复了软件存数Bug"),
                       QStringLiteral("2：增加了托盘显示"),
                       QStringLiteral("3：增加了开机自启动"),
                       QStringLiteral("4：修改了提示样式"),
                       QString(),
                       QStringLiteral("如需技术支持，请联系 Tarvelin 开发组：") + kContact}
        .join(kLineBreak);
}

QString HelpMenu::donateText()
{
    return QStringList{
        QStringLiteral("感谢您使用 Tarvelin 试块到期提醒软件！"),
        QStringLiteral("Tarvelin 由开发组利用业余时间编写和维护，免费提供给各试验室使用。"),
        QStringLiteral("如果它为您的工作带来了方便，欢迎您捐助支持，"),
        QStringLiteral("您的支持将全部用于软件的改进和升级。"),
        QStringLiteral("联系方式：Tarvelin 开发组，电话 ") + kContact +
            QStringLiteral("，网址 https://tarvelin.example.com"),
        QStringLiteral("谢谢您的支持！")}
        .join(kLineBreak);
}

QUrl HelpMenu::feedbackPage()
{
    return QUrl(QStringLiteral("https://tarvelin.example.com/feedback"));
}

void HelpMenu::jz_Click()
{
    m_messages->show(donateText(), QCoreApplication::applicationName(), MessageStyle::Plain);
}

void HelpMenu::gy_Click()
{
    m_messages->show(aboutText(), QStringLiteral("此版本信息"), MessageStyle::Information);
}

void HelpMenu::sj_Click()
{
    // The address goes to the desktop's URL handler, never through a shell.
    if (!m_openUrl(feedbackPage())) {
        m_messages->show(QStringLiteral("无法打开网页 %1，请在浏览器中手动打开。")
                             .arg(feedbackPage().toString()),
                         QStringLiteral("提示"), MessageStyle::Exclamation);
    }
}
