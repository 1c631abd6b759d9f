#include "appicon.h"
#include "apppaths.h"
#include "boxmessages.h"
#include "qttranslation.h"
#include "reminderpopup.h"
#include "sessionend.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

// VEXA_QUIT_AFTER_MS=N: after N milliseconds the failure message dismisses itself and the window
// closes itself, exactly as if the user had pressed OK or the close button. Tests that start real
// vexa processes set it so that none of them can be left waiting for a user.
// VEXA_SLOT=layer|row: the slot to claim instead of the first free one.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installChineseQtTranslation(app);
    QApplication::setApplicationName(QStringLiteral("vexa"));
    QApplication::setDesktopFileName(QStringLiteral("tarvelin"));
    QApplication::setWindowIcon(tarvelinIcon());
    const int quitAfterMs = qEnvironmentVariableIntValue("VEXA_QUIT_AFTER_MS");

    BoxMessages messages(nullptr, quitAfterMs);
    ReminderPopup window(AppPaths::reminderFile(AppPaths::dataFolder()), &messages);
    // Set by the manager: the slot it filled for this popup.
    window.setOwnSlot(qEnvironmentVariable("VEXA_SLOT"));
    // Before the claim, so that no shutdown or logout between it and the window leaves the slot
    // held. Closing every window closes the popup as its close button does, or the failure
    // message as its OK button does.
    SessionEnd sessionEnd;
    QObject::connect(&sessionEnd, &SessionEnd::ending, &app, &QApplication::closeAllWindows);
    if (!window.Form_Load())
        return 1;
    // The claimed slot on stdout, so that whoever started the process can tell without a screen.
    std::fprintf(stdout, "%s\n", qPrintable(window.slotName()));
    std::fflush(stdout);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &ReminderPopup::releaseSlot);
    QObject::connect(&window, &ReminderPopup::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    if (quitAfterMs > 0)
        QTimer::singleShot(quitAfterMs, &window, &QWidget::close);
    return app.exec();
}
