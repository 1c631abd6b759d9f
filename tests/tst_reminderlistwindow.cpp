// The list of reminders no popup gave, when a whole burst comes in one check.
#include "reminderlistwindow.h"

#include <QAbstractItemModel>
#include <QListView>
#include <QtTest>

class TestReminderListWindow : public QObject
{
    Q_OBJECT

private slots:
    void burstIsTakenInWhole();
};

void TestReminderListWindow::burstIsTakenInWhole()
{
    ReminderListWindow window(QStringLiteral("到期提醒"), QStringLiteral("以下记录："));
    auto *view = window.findChild<QListView *>(QStringLiteral("List1"));
    QVERIFY(view);
    QStringList sent;
    for (int i = 1; i <= 2000; ++i) {
        sent << QStringLiteral("到期提醒无法弹出：记录 %1").arg(i);
        window.addEntry(sent.last());
    }
    // Shown at the first, every line kept in order before the list has taken them in.
    QVERIFY(window.isVisible());
    QCOMPARE(window.entries(), sent);
    QTRY_COMPARE(view->model()->rowCount(), 2000);
    QCOMPARE(view->model()->index(1999, 0).data().toString(), sent.last());

    // Read and dismissed: the next one starts a fresh list, also when it comes before the take-in.
    window.addEntry(QStringLiteral("未读"));
    window.accept();
    QVERIFY(window.entries().isEmpty());
    window.addEntry(QStringLiteral("下一条"));
    QTRY_COMPARE(view->model()->rowCount(), 1);
    QCOMPARE(window.entries(), QStringList{QStringLiteral("下一条")});
}

QTEST_MAIN(TestReminderListWindow)
#include "tst_reminderlistwindow.moc"
