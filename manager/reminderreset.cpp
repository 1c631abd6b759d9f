#include "reminderreset.h"

#include "apppaths.h"
#include "messages.h"
#include "reminderslots.h"
#include "twips.h"

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
        m_services.messages->show(QStringLiteral("提示初始化失败：%1").arg(outcome.error),
                                  QStringLiteral("错误"), MessageStyle::Exclamation);
        return;
    }
    m_services.messages->show(
        QStringLiteral("初始化完成。此初始化仅会修改提示组数。不会对数据进行损坏"),
        QStringLiteral("提示"), MessageStyle::Information);
}

int ReminderReset::primaryScreenHeightTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? Twips::fromPixels(screen->geometry().height()) : 0;
}
