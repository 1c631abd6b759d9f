#include "fakes.h"
#include "temperaturelog.h"
#include "temperaturewindow.h"
#include "testfiles.h"
#include "windowtexts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

// "温度记录": today's mean typed or made of the highest and lowest, the last 30 days corrected in
// place after a question, the file's bad lines named.
class TestTemperatureWindow : public QObject
{
    Q_OBJECT

private slots:
    void recordsAndCorrectsMeans();
};

void TestTemperatureWindow::recordsAndCorrectsMeans()
{
    QTemporaryDir dir;
    FakeClock clock(QDateTime(QDate(2026, 12, 11), QTime(9, 0)));
    RecordingMessages messages;
    const TemperatureLog log(dir.path());
    writeFile(log.path(), gbk(QStringLiteral("日期,日平均温度\r\n2026-12-10,18\r\n昨天,暖\r\n")));
    TemperatureWindow window({dir.path(), &clock, &messages, {}});
    QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));
    QSignalSpy recorded(&window, &TemperatureWindow::recorded);
    TemperatureModel *model = window.model();
    QCOMPARE(model->rowCount(), 30);
    QCOMPARE(model->index(1, TemperatureModel::DateColumn).data().toString(), "2026-12-10");
    QCOMPARE(model->index(1, TemperatureModel::MeanColumn).data().toString(), "18");
    QVERIFY(!window.findChild<QTableView *>("unreadableTemperatures")->isHidden());

    // The day's highest and lowest: their mean is kept.
    window.findChild<QLineEdit *>("highest")->setText(QStringLiteral("24"));
    window.findChild<QLineEdit *>("lowest")->setText(QStringLiteral("１５"));
    window.findChild<QPushButton *>("recordMean")->click();
    QCOMPARE(recorded.size(), 1);
    QCOMPARE(model->index(0, TemperatureModel::MeanColumn).data().toString(), "19.5");
    QCOMPARE(window.findChild<QLineEdit *>("highest")->text(), QString());

    // Replacing a mean asks first; "否" keeps it.
    window.findChild<QLineEdit *>("mean")->setText(QStringLiteral("21"));
    window.findChild<QPushButton *>("recordMean")->click();
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text,
             WindowText::replaceMeanQuestion("2026-12-11", "19.5", "21"));
    QCOMPARE(recorded.size(), 1);

    // A mean typed into the table, after "是".
    messages.answer = true;
    QVERIFY(model->setData(model->index(1, TemperatureModel::MeanColumn), QStringLiteral("17")));
    QTRY_COMPARE(recorded.size(), 2);
    QCOMPARE(readFile(log.path()),
             gbk(QStringLiteral("日期,日平均温度\r\n2026-12-10,17\r\n昨天,暖\r\n"
                                "2026-12-11,19.5\r\n")));
    QVERIFY(messages.shown.isEmpty());
}

QTEST_MAIN(TestTemperatureWindow)
#include "tst_temperaturewindow.moc"
