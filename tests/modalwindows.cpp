// The manager's modal windows over an owner window, shown at once, so that the desktop test can
// read what the window manager lets a user do with each: the entry form, the search window, the
// settings window and a message box. Runs until it is closed or killed.
#include "boxmessages.h"
#include "fakes.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "recordgridmodel.h"
#include "sessionbus.h"
#include "textprompts.h"
#include "titles.h"
#include "windowtexts.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char **argv)
{
    preventSessionBusAutolaunch();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    FakeClock clock(QDateTime::currentDateTime());
    QMainWindow owner;
    owner.setWindowTitle(QStringLiteral("owner"));
    owner.resize(600, 400);
    owner.show();
    BoxMessages messages(&owner);
    const ManagerServices services{dir.path(), &clock, &messages, {}};
    RecordGridModel grid(13);

    Form2 form2(services, &owner);
    Form3 form3(&grid, &messages, &owner);
    Form4 form4(&messages, &owner);
    for (QDialog *form : {static_cast<QDialog *>(&form2), static_cast<QDialog *>(&form3),
                          static_cast<QDialog *>(&form4)}) {
        form->setModal(true);
        form->show();
    }
    QTimer::singleShot(0, &owner, [&messages] {
        messages.show(WindowText::monitorNotStarted(), Title::notice(), MessageStyle::Exclamation);
    });
    QTimer::singleShot(0, &owner, [&owner] {
        DialogPrompts().text(&owner, QStringLiteral("试验人"), QStringLiteral("试验人姓名："), {});
    });
    return app.exec();
}
