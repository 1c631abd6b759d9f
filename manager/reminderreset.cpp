#include "reminderreset.h"

#include "apppaths.h"
#include "messages.h"
#include "reminderslots.h"
#include "titles.h"
#include "twips.h"
#include "windowtexts.h"

#include <QGuiApplication>
#include <QScreen>

ReminderReset::ReminderReset(const ManagerServices &services, int screenHeightTwips)
    : m_services(services), m_screenHeightTwips(screenHeightTwips)
{
}

void ReminderReset::tscsh_Click() const
{
    const ReminderSlots exchange(AppPaths::reminderFile(m_services.dataFolder));
    const ProfileFile::Outcome outcome =
        exchange.reset(ReminderSlots::rowsPerLayer(m_screenHeightTwips));
    if (!outcome.ok) {
        m_services.messages->show(WindowText::resetFailed(outcome.error), Title::error(),
                                  MessageStyle::Exclamation);
        return;
    }
    m_services.messages->show(WindowText::resetDone(), Title::notice(), MessageStyle::Information);
}

int ReminderReset::primaryScreenHeightTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? Twips::fromPixels(screen->geometry().height()) : 0;
}
