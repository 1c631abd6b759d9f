#include "labschedule.h"

#include "reminderengine.h"
#include "schedulewindow.h"
#include "textprompts.h"

#include "windowsystem.h"

#include <QLabel>
#include <QScreen>
#include <QSystemTrayIcon>

LabSchedule::LabSchedule(const ManagerServices &services, ReminderEngine *engine, QWidget *window,
                         QLabel *statusLine, QSystemTrayIcon *tray, TextPrompts *prompts)
    : QObject(window), m_services(services), m_engine(engine), m_statusLine(statusLine),
      m_tray(tray), m_ownPrompts(prompts ? nullptr : new DialogPrompts),
      m_prompts(prompts ? prompts : m_ownPrompts.get())
{
}

LabSchedule::~LabSchedule()
{
    // Open as Tarvelin ends: closed first, so that it remembers where it stood.
    if (m_window && m_window->isVisible())
        m_window->hide();
    delete m_window;
}

ScheduleWindow *LabSchedule::window() const
{
    return m_window;
}

void LabSchedule::open()
{
    if (!m_window) {
        // A window of its own, with its own taskbar button: as a window of the main window it
        // would take the main window along when minimised.
        m_window = new ScheduleWindow(m_services, &m_engine->journal(), &m_engine->settings(),
                                      m_prompts, nullptr);
        connect(m_window, &ScheduleWindow::marksChanged, this, &LabSchedule::refreshGlance);
        connect(m_window, &ScheduleWindow::marksChanged, this, &LabSchedule::marksChanged);
        // Where it stood when last closed; otherwise on the work area of the main window's
        // screen, frame and buttons included, whatever its size and scale (a 1366 x 768 laptop
        // at 150 % has 910 x 485 to give).
        const QWidget *owner = qobject_cast<QWidget *>(parent());
        const QScreen *screen = owner ? owner->screen() : m_window->screen();
        if (!m_window->restorePlace(screen->availableGeometry())) {
            m_window->setWindowState(Qt::WindowNoState);
            WindowSystem::placeOnWorkArea(m_window, screen, Qt::AlignCenter);
        }
    }
    const bool reopened = !m_window->isVisible();
    m_window->reload();
    if (reopened)
        m_window->scrollToStart();
    // Chosen again, a minimised window comes back as it stood, maximised or not.
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void LabSchedule::markTested(const QString &key)
{
    open();
    m_window->markTested(key);
}

void LabSchedule::refreshGlance()
{
    const QString text = m_engine->glance().text();
    m_statusLine->setText(text);
    m_tray->setToolTip(QStringLiteral("Tarvelin\n") + text);
}
