#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>

#include <functional>

class QMenu;
class QWidget;

// The main window's icon in the notification area. A click or double click on the icon restores
// the window, a context click pops up the window's menu; minimising the window hides it while
// the icon is there to bring it back. Only the icon's own activations act on it.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(QWidget *window, QMenu *menu, QObject *parent = nullptr);

    QSystemTrayIcon *icon() const { return m_icon; }

    void show();
    void remove();

    // Whether a notification area exists to hold the icon; tests replace the system's answer.
    void setTrayAvailableCheck(std::function<bool()> check) { m_trayAvailable = std::move(check); }

    // The window's icon, or a drawn clock face while the window has none.
    static QIcon iconFor(const QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void restoreWindow();

    QPointer<QWidget> m_window;
    QPointer<QMenu> m_menu;
    QSystemTrayIcon *m_icon;
    // Where the window stood when it went to the tray; a window manager places a window that
    // comes back from hiding anew unless it is told where.
    QRect m_normalGeometry;
    std::function<bool()> m_trayAvailable;
};
