#include "exchangetexts.h"
#include "recordtexts.h"
#include "reminderslots.h"
#include "specimenrecord.h"
#include "storetexts.h"
#include "strengthtexts.h"
#include "titles.h"
#include "windowtexts.h"

#include <QtTest>

// The texts users and their manuals know word for word, each checked here once; every other
// test names them.
class TestTexts : public QObject
{
    Q_OBJECT

private slots:
    void fixedTexts_data();
    void fixedTexts();
};

void TestTexts::fixedTexts_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, const QString &named, const char *text) {
        QTest::newRow(name) << named << QString::fromUtf8(text);
    };
    row("notice title", Title::notice(), "提示");
    row("error title", Title::error(), "错误");
    row("popup's error title", Title::popupError(), "错误提示");
    row("added title", Title::information(), "信息");
    row("about title", Title::about(), "此版本信息");
    row("due mark", SpecimenRecord::dueMarkText(), "到期");
    row("show flag", ReminderSlots::flagKey(), "是否显示");
    row("no age", RecordText::ageMissing(), "龄期未填写，无法进行添加");
    row("added", StoreText::added(), "此条信息添加完成！");
    row("monitor not started", WindowText::monitorNotStarted(), "开启失败");
    row("monitor started", WindowText::monitorStarted(), "已经开启");
    row("monitor stopped", WindowText::monitorStopped(), "已经关闭");
    row("no records shown", WindowText::noRecordsShown(), "没有检测到数据");
    row("nothing to initialise", WindowText::nothingToInitialise(), "无需初始化数据。");
    row("initialised", WindowText::initialised(), "初始化完成。");
    row("reset done", WindowText::resetDone(),
        "初始化完成。此初始化仅会修改提示组数。不会对数据进行损坏");
    row("search done", WindowText::searchDone(), "搜索结束！");
    row("interval advice", WindowText::intervalAdvice(),
        "最好不要设置的太大 不然每次都会有误差，当误差大了就是错误。");
    row("invalid group", StrengthText::invalid(), "无效");
    row("below grade", StrengthText::belowGrade(3), "低于设计强度 3 批");
    row("no further test", StrengthText::noFurtherTest(), "可不再试验（设计龄期已合格）");
    row("test on time", StrengthText::testOnTime(), "须按期试验");
    row("popup failed", ExchangeText::popupFailed(),
        "上次关闭异常。或已经全部提示。此次提示失败。建议立即初始化。");
}

void TestTexts::fixedTexts()
{
    QFETCH(QString, named);
    QFETCH(QString, text);
    QCOMPARE(named, text);
}

QTEST_APPLESS_MAIN(TestTexts)
#include "tst_texts.moc"
