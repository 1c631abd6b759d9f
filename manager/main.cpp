#include "appicon.h"
#include "apppaths.h"
#include "boxmessages.h"
#include "clock.h"
#include "form1.h"
#include "labfont.h"
#include "qttranslation.h"
#include "sessionbus.h"
#include "singleinstance.h"
#include "titles.h"
#include "windowtexts.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    preventSessionBusAutolaunch();
    QApplication app(argc, argv);
    installChineseQtTranslation(app);
    LabFont::apply();
    QApplication::setApplicationName(QStringLiteral("Tarvelin"));
    QApplication::setDesktopFileName(QStringLiteral("tarvelin"));
    QApplication::setWindowIcon(tarvelinIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    BoxMessages messages;
    ManagerServices services;
    services.dataFolder = AppPaths::dataFolder();

    SingleInstance instance(services.dataFolder);
    if (!instance.claim()) {
        if (!instance.error().isEmpty()) {
            messages.show(instance.error(), Title::error(), MessageStyle::Exclamation);
            return 1;
        }
        if (instance.askToRaise())
            return 0;
        messages.show(WindowText::notResponding(), Title::notice(), MessageStyle::Exclamation);
        return 1;
    }

    SystemClock clock;
    services.clock = &clock;
    services.messages = &messages;
    services.popupProgram = AppPaths::popupProgram();

    Form1 window(services);
    messages.setOwner(&window);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, [&window] {
        // Also when it sits hidden in the notification area.
        window.showNormal();
        window.raise();
        window.activateWindow();
        // Whoever started this process can tell that the request arrived.
        std::fprintf(stdout, "raised by a second start\n");
        std::fflush(stdout);
    });
    window.Form_Load();
    return app.exec();
}
