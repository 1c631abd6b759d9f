#include "boxmessages.h"
#include "titles.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class TestBoxMessages : public QObject
{
    Q_OBJECT

private slots:
    void wholeTitleAndTheSafeAnswer_data();
    void wholeTitleAndTheSafeAnswer();
};

void TestBoxMessages::wholeTitleAndTheSafeAnswer_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("defaultButton");
    QTest::newRow("message, short text") << "show"
                                         << "记录文件无法读取，提醒已停止"
                                         << "";
    QTest::newRow("question") << "ask" << Title::notice() << "是";
    QTest::newRow("question before a deletion") << "confirm" << Title::confirmDelete() << "否";
}

void TestBoxMessages::wholeTitleAndTheSafeAnswer()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, defaultButton);
    BoxMessages messages;
    int width = 0;
    QString pressedByReturn;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        width = box->width();
        if (box->defaultButton())
            pressedByReturn = box->defaultButton()->text();
        box->done(QMessageBox::No);
    });
    if (kind == QLatin1String("show"))
        messages.show(QStringLiteral("好"), title, MessageStyle::Exclamation);
    else if (kind == QLatin1String("ask"))
        messages.ask(QStringLiteral("好吗？"), title);
    else
        messages.confirm(QStringLiteral("好吗？"), title);

    // The title in a bold face, and beside it room for a frame's icon and three buttons.
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(title) + 4 * 16,
             qPrintable(QString::number(width)));
    if (!defaultButton.isEmpty())
        QCOMPARE(pressedByReturn, defaultButton);
}

QTEST_MAIN(TestBoxMessages)
#include "tst_boxmessages.moc"
