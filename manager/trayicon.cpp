#include "trayicon.h"

#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <QWindow>

TrayIcon::TrayIcon(QWidget *window, QMenu *menu, QObject *parent)
    : QObject(parent), m_window(window), m_menu(menu), m_icon(new QSystemTrayIcon(this)),
      m_trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable)
{
    m_icon->setObjectName(QStringLiteral("TrayIcon"));
    m_icon->setToolTip(QStringLiteral("Tarvelin"));
    m_icon->setIcon(iconFor(window));
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activated);
    window->installEventFilter(this);
}

void TrayIcon::show()
{
    if (m_window)
        m_icon->setIcon(iconFor(m_window));
    m_icon->show();
}

void TrayIcon::remove()
{
    m_icon->hide();
}

QIcon TrayIcon::iconFor(const QWidget *window)
{
    const QIcon own = window ? window->windowIcon() : QIcon();
    if (!own.isNull())
        return own;
    QPixmap face(64, 64);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 4));
    painter.setBrush(QColor(0x1E, 0x6F, 0xB5));
    painter.drawEllipse(QRectF(4, 4, 56, 56));
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(32, 32), QPointF(32, 14));
    painter.drawLine(QPointF(32, 32), QPointF(45, 39));
    painter.end();
    return QIcon(face);
}

void TrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
        restoreWindow();
        break;
    case QSystemTrayIcon::Context:
        // The window stays as it is, hidden or not.
        if (m_menu)
            m_menu->popup(QCursor::pos());
        break;
    default:
        break;
    }
}

void TrayIcon::restoreWindow()
{
    if (!m_window)
        return;
    if (m_window->isHidden() && m_normalGeometry.isValid()) {
        // Leaving the minimised state maps the window at once, so the window manager must know
        // the place before: a geometry equal to the one held is not sent, hence the detour.
        if (QWindow *native = m_window->windowHandle()) {
            native->setGeometry(m_normalGeometry.translated(1, 0));
            native->setGeometry(m_normalGeometry);
        } else {
            m_window->setGeometry(m_normalGeometry);
        }
    }
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

bool TrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowStateChange &&
        m_window->isMinimized() && m_icon->isVisible() && m_trayAvailable()) {
        m_normalGeometry = m_window->normalGeometry();
        // Hidden after the state change has run its course: hiding a window from inside its
        // own minimise leaves a stale taskbar button on some desktops.
        QPointer<QWidget> window = m_window;
        QMetaObject::invokeMethod(
            this,
            [window] {
                if (window && window->isMinimized())
                    window->hide();
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
