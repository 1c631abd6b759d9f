#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class Messages;
class QAction;

// The help menu: "捐助" and "关于" show fixed texts, "提供建议/升级" opens our feedback page in
// the user's browser. None of them touches any data.
class HelpMenu : public QObject
{
    Q_OBJECT

public:
    HelpMenu(Messages *messages, QObject *parent = nullptr);

    // Connects the three items of the menu.
    void attach(QAction *jz, QAction *gy, QAction *sj);

    void jz_Click();
    void gy_Click();
    void sj_Click();

    static QUrl feedbackPage();

    // How a web page is opened; tests record the address instead.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { m_openUrl = std::move(opener); }

private:
    Messages *m_messages;
    std::function<bool(const QUrl &)> m_openUrl;
};
