#include "appicon.h"
#include "apppaths.h"
#include "boxmessages.h"
#include "handoff.h"
#include "labfont.h"
#include "qttranslation.h"
#include "reminderpopup.h"
#include "sessionbus.h"
#include "sessionend.h"

#include <QApplication>
#include <QTimer>

// What the manager hands over (the data folder, the slot it filled) and the test-only hook that
// ends a popup by itself are read through Handoff, which documents them.
int main(int argc, char *argv[])
{
    preventSessionBusAutolaunch();
    QApplication app(argc, argv);
    installChineseQtTranslation(app);
    LabFont::apply();
    QApplication::setApplicationName(QStringLiteral("vexa"));
    QApplication::setDesktopFileName(QStringLiteral("tarvelin"));
    QApplication::setWindowIcon(tarvelinIcon());
    const int quitAfterMs = Handoff::quitAfterMs();

    BoxMessages messages(nullptr, quitAfterMs);
    ReminderPopup window(AppPaths::reminderFile(AppPaths::dataFolder()), &messages);
    // Set by the manager: the slot it filled for this popup.
    window.setOwnSlot(Handoff::slot());
    // Before the claim, so that no shutdown or logout between it and the window leaves the slot
    // held. Closing every window closes the popup as its close button does, or the failure
    // message as its OK button does.
    SessionEnd sessionEnd;
    QObject::connect(&sessionEnd, &SessionEnd::ending, &app, &QApplication::closeAllWindows);
    if (!window.Form_Load())
        return 1;
    // The receipt, so that whoever started the process can tell without a screen.
    Handoff::writeReceipt(window.slotName());
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &ReminderPopup::releaseSlot);
    QObject::connect(&window, &ReminderPopup::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    if (quitAfterMs > 0)
        QTimer::singleShot(quitAfterMs, &window, &QWidget::close);
    return app.exec();
}
