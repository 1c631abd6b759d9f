#include "apppaths.h"
#include "clock.h"
#include "form1.h"
#include "qtmessages.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvelin"));
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    QtMessages messages;
    ManagerServices services;
    services.dataFolder = AppPaths::dataFolder();
    services.clock = &clock;
    services.messages = &messages;
    services.popupProgram = AppPaths::popupProgram();

    Form1 window(services);
    messages.setOwner(&window);
    window.Form_Load();
    return app.exec();
}
