#include "apppaths.h"
#include "basetexts.h"
#include "boxmessages.h"
#include "datepicker.h"
#include "equivalentage.h"
#include "failingdevice.h"
#include "fakes.h"
#include "form1.h"
#include "form2.h"
#include "qttranslation.h"
#include "recordgridmodel.h"
#include "recordtexts.h"
#include "storetexts.h"
#include "temperaturelog.h"
#include "testfiles.h"
#include "titles.h"
#include "twips.h"
#include "windowtexts.h"

#include <QAbstractFileIconProvider>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

QByteArray lines(const QStringList &texts)
{
    return gbk(texts.join(QStringLiteral("\r\n")));
}

// Three records as a save leaves them: record lines, then the closing line without a break.
const QStringList kThreeRecords{
    sample(QStringLiteral("1#楼梁")).text(),
    QStringLiteral("2#楼板,C35,P-02,2026-12-2 10:00,7,2026-12-09 10:00,同级养护,8,2,早强,"),
    QStringLiteral("3#柱,C40,P-03,2026-12-3 14:15,28,2026-12-31 14:15,标准养护,4,1,,"),
};
} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void correctionsAndDeletionsInTheTable();
    void init();
    void cleanup();
    void startValuesAndLayout();
    void labelsSitLeftOfTheirControls_data();
    void labelsSitLeftOfTheirControls();
    void loadsEveryFilledLine();
    void questionMarkComputesDueTime();
    void questionMarkRefusesEmptyAge();
    void firstRecordIntoEmptyTable();
    void fourthRecordAndRepeatedAdd();
    void timeBoxesStoredAsTyped();
    void linesOfOtherLengthsWrittenBackUnchanged();
    void failedSaveOnReadOnlyFolder();
    void failedSaveOnFullDisk();
    void addStartsFromTheFileAsItIsNow();
    void closeHidesAndKeepsFields();
    void insertDataMenuShowsTheFormModally();
    void typedMakingDate_data();
    void typedMakingDate();
    void escapeHidesAndReturnPressesTheFocusedButton();
    void addAsksBeforeSavingAStaleDueTime_data();
    void addAsksBeforeSavingAStaleDueTime();
    void furtherAgesInOneSave_data();
    void furtherAgesInOneSave();
    void qtOwnTextsAreChinese();
    void equivalentAgeSavedAtTheEstimate();

private:
    Form2 *open();
    // Shown and active, so that focus and Tab behave as for a user.
    void openOnScreen();
    QString recordPath() const { return AppPaths::recordFile(m_dir->path()); }
    template <typename T> T *child(const char *name) const
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *text(const char *name) const { return child<QLineEdit>(name); }
    void click(const char *name) const { child<QPushButton>(name)->click(); }
    // A record as a technician types it, due time computed with "?".
    void fillRecord(const QString &part, const QDate &date, const QString &hour,
                    const QString &minute, const QString &age, const QString &remark);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(9, 4, 30))};
    RecordingMessages m_messages;
    std::unique_ptr<Form2> m_form;
};

void TestForm2::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.shown.clear();
    m_messages.asked.clear();
    m_messages.answer = false;
    m_clock.set(QDateTime(QDate(2026, 12, 6), QTime(9, 4, 30)));
}

void TestForm2::cleanup()
{
    m_form.reset();
    if (m_dir)
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

Form2 *TestForm2::open()
{
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, {}};
    m_form = std::make_unique<Form2>(services);
    return m_form.get();
}

void TestForm2::openOnScreen()
{
    open();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestForm2::fillRecord(const QString &part, const QDate &date, const QString &hour,
                           const QString &minute, const QString &age, const QString &remark)
{
    text("Text1")->setText(part);
    child<DatePicker>("DTPicker1")->setDate(date);
    text("Text4")->setText(hour);
    text("Text5")->setText(minute);
    text("Text6")->setText(age);
    text("Text8")->setText(QStringLiteral("12"));
    text("Text9")->setText(QStringLiteral("3"));
    text("Text3")->setText(QStringLiteral("P-01"));
    text("Text10")->setText(remark);
    click("Command3");
}

void TestForm2::startValuesAndLayout()
{
    open();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("增添提醒数据   右侧显示全部龄期信息。 "));
    // Fixed in size: the fields' 5100 x 4650 twips with the row of further ages below, and right
    // of them the table of every record.
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    QCOMPARE(m_form->height(), Twips::toPixels(4950));
    auto *table = child<QWidget>("recordTable");
    QVERIFY(table && !table->isHidden());
    QCOMPARE(table->x(), Twips::toPixels(5160));
    QVERIFY(table->geometry().right() < m_form->width());
    QVERIFY(m_form->width() <= m_form->screen()->availableGeometry().width());
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMinMaxButtonsHint));

    auto *combo2 = child<QComboBox>("Combo2");
    QVERIFY(combo2);
    QCOMPARE(combo2->currentText(), QStringLiteral("C30"));
    QStringList grades;
    for (int i = 0; i < combo2->count(); ++i)
        grades << combo2->itemText(i);
    QCOMPARE(grades, QStringList({"C25", "C30", "C35", "C40", "C45", "C50", "C60"}));
    QVERIFY(combo2->isEditable());

    auto *combo1 = child<QComboBox>("Combo1");
    QVERIFY(combo1);
    QCOMPARE(combo1->currentText(), QStringLiteral("标准养护"));
    QCOMPARE(combo1->count(), 2);
    QCOMPARE(combo1->itemText(0), QStringLiteral("标准养护"));
    QCOMPARE(combo1->itemText(1), QStringLiteral("同级养护"));

    QCOMPARE(text("Text4")->text(), QStringLiteral("09"));
    QCOMPARE(text("Text5")->text(), QStringLiteral("04"));
    QCOMPARE(text("Text2")->text(), QStringLiteral("0"));
    QCOMPARE(text("Text11")->text(), QStringLiteral("0"));
    for (const char *name : {"Text1", "Text3", "Text6", "Text7", "Text8", "Text9", "Text10"})
        QCOMPARE(text(name)->text(), QString());

    auto *picker = child<DatePicker>("DTPicker1");
    QVERIFY(picker);
    QCOMPARE(picker->date(), QDate(2026, 12, 6));
    QCOMPARE(picker->dateTime().time(), QTime(0, 0));
    QVERIFY(picker->calendarPopup());

    QCOMPARE(child<QPushButton>("Command3")->text(), QStringLiteral("?"));
    QCOMPARE(child<QPushButton>("Command1")->text(), QStringLiteral("添加"));
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("关闭"));
    QCOMPARE(child<QLabel>("Label13")->text(), QStringLiteral("保存后，主窗口几秒内自动更新。"));
    auto *line = child<QFrame>("Line1");
    QVERIFY(line);
    QCOMPARE(line->frameShape(), QFrame::HLine);
    QCOMPARE(line->width(), Twips::toPixels(4320 - 1440));
    QCOMPARE(text("Text1")->geometry(), Twips::toPixels(1230, 60, 1185, 375));
    QCOMPARE(child<QPushButton>("Command2")->geometry(), Twips::toPixels(3825, 3765, 1095, 375));

    // The table: twelve columns, headers, widths, no record yet.
    RecordGridModel *grid = m_form->grid();
    QCOMPARE(grid->objectName(), QStringLiteral("Grid1"));
    QCOMPARE(grid->cols(), 12);
    QCOMPARE(grid->rows(), 2);
    QStringList headers;
    for (int c = 0; c < grid->cols(); ++c)
        headers << grid->textMatrix(0, c);
    QCOMPARE(headers,
             (QStringList{"编号", "工程部位", "强度等级(C)", "配合比编号", "制作日期", "龄期（D）",
                          "到期时间", "养护方式", "工程量", "组数", "备注", "是否到期"}));
    QCOMPARE(grid->columnWidthTwips(4), 2500);
    QCOMPARE(grid->columnWidthTwips(5), 0);
    QVERIFY(m_messages.shown.isEmpty());

    // Tab order through the focus chain, ignoring the controls' own inner widgets.
    const QStringList expected{"Text1",     "Combo2", "Text3",  "Combo1",   "Text8",    "Text9",
                               "DTPicker1", "Text4",  "Text5",  "Text6",    "Command3", "Text2",
                               "Text11",    "Text7",  "Text10", "Command1", "Command2"};
    QStringList order;
    QWidget *w = text("Text1");
    do {
        if (expected.contains(w->objectName()) && !order.contains(w->objectName()))
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != text("Text1"));
    QCOMPARE(order, expected);
}

void TestForm2::labelsSitLeftOfTheirControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    const char *rows[][2] = {
        {"Text1", "工程部位："},     {"Combo2", "强度等级："}, {"Text3", "配合比编号："},
        {"Combo1", "养护方式："},    {"Text8", "工程量："},    {"Text9", "组数："},
        {"DTPicker1", "制作日期："}, {"Text4", "小时分钟："},  {"Text6", "龄期（D）："},
        {"Text2", "小时分钟："},     {"Text7", "到期时间："},  {"Text10", "备注："}};
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
}

void TestForm2::labelsSitLeftOfTheirControls()
{
    QFETCH(QString, control);
    QFETCH(QString, caption);
    open();
    auto *box = m_form->findChild<QWidget *>(control);
    QVERIFY(box);
    const QLabel *found = nullptr;
    for (const QLabel *label : m_form->findChildren<QLabel *>()) {
        const QRect g = label->geometry();
        if (g.right() < box->x() && g.center().y() == box->geometry().center().y() &&
            label->objectName().startsWith(QStringLiteral("Label")) &&
            (!found || g.right() > found->geometry().right()))
            found = label;
    }
    QVERIFY(found);
    QCOMPARE(found->text(), caption);
}

void TestForm2::loadsEveryFilledLine()
{
    QStringList file = kThreeRecords;
    // An empty mix number no longer drops the record; a blank line and the closing line load
    // nothing.
    file << QStringLiteral("4#墙,C30,,2026-12-4 08:00,3,2026-12-07 08:00,标准养护,,,,到期")
         << QString() << QString::fromLatin1(kClosingLine);
    writeFile(recordPath(), lines(file));
    open();
    RecordGridModel *grid = m_form->grid();
    QCOMPARE(grid->rows(), 6);
    for (int r = 1; r <= 4; ++r)
        QCOMPARE(grid->textMatrix(r, 0), QString::number(r));
    QCOMPARE(grid->textMatrix(5, 0), QString());
    QCOMPARE(grid->textMatrix(2, 10), QStringLiteral("早强"));
    QCOMPARE(grid->textMatrix(4, 1), QStringLiteral("4#墙"));
    QCOMPARE(grid->textMatrix(4, 3), QString());
    // The last field of a line is never shown.
    QCOMPARE(grid->textMatrix(4, 11), QString());
    for (int c = 0; c < 12; ++c)
        QCOMPARE(grid->textMatrix(5, c), QString());
}

void TestForm2::questionMarkComputesDueTime()
{
    open();
    auto *picker = child<DatePicker>("DTPicker1");
    picker->setDate(QDate(2024, 2, 27));
    text("Text4")->setText(QStringLiteral("22"));
    text("Text5")->setText(QStringLiteral("50"));
    text("Text6")->setText(QStringLiteral("2"));
    text("Text2")->setText(QStringLiteral("1"));
    text("Text11")->setText(QStringLiteral("15"));
    for (int press = 0; press < 2; ++press) {
        click("Command3");
        QCOMPARE(text("Text7")->text(), QStringLiteral("2024-03-01 00:05"));
        QCOMPARE(picker->date(), QDate(2024, 2, 27));
    }
    QVERIFY(m_messages.shown.isEmpty());
    QVERIFY(!QFile::exists(recordPath()));
}

void TestForm2::questionMarkRefusesEmptyAge()
{
    open();
    text("Text7")->setText(QStringLiteral("2024-05-31 09:05"));
    click("Command3");
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].text, RecordText::ageMissing());
    QCOMPARE(m_messages.shown[0].title, Title::error());
    QCOMPARE(m_messages.shown[0].style, MessageStyle::Plain);
    QCOMPARE(text("Text7")->text(), QStringLiteral("2024-05-31 09:05"));

    text("Text6")->setText(QStringLiteral("0.5"));
    click("Command3");
    QCOMPARE(m_messages.shown.size(), 2);
    QCOMPARE(m_messages.shown[1].text, RecordText::ageBelowOneDay(QStringLiteral("0.5")));
    QCOMPARE(text("Text7")->text(), QStringLiteral("2024-05-31 09:05"));
}

void TestForm2::firstRecordIntoEmptyTable()
{
    open();
    fillRecord(QStringLiteral("1#楼梁"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QString());
    QCOMPARE(text("Text7")->text(), QStringLiteral("2026-12-29 08:30"));
    click("Command1");

    QCOMPARE(readFile(recordPath()), lines({kThreeRecords[0], QString::fromLatin1(kClosingLine)}));
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].text, StoreText::added());
    QCOMPARE(m_messages.shown[0].title, Title::information());
    QCOMPARE(m_messages.shown[0].style, MessageStyle::Plain);
    RecordGridModel *grid = m_form->grid();
    QCOMPARE(grid->rows(), 3);
    QCOMPARE(grid->textMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(grid->textMatrix(1, 4), QStringLiteral("2026-12-1 08:30"));
    // The boxes keep their contents for a similar record.
    QCOMPARE(text("Text1")->text(), QStringLiteral("1#楼梁"));
}

void TestForm2::fourthRecordAndRepeatedAdd()
{
    QStringList file = kThreeRecords;
    file << QString::fromLatin1(kClosingLine);
    writeFile(recordPath(), lines(file));
    open();
    QCOMPARE(m_form->grid()->rows(), 5);
    fillRecord(QStringLiteral("4#基础"), QDate(2026, 12, 31), QStringLiteral("23"),
               QStringLiteral("30"), QStringLiteral("1"), QStringLiteral("抗渗"));
    text("Text11")->setText(QStringLiteral("40"));
    click("Command3");
    child<QComboBox>("Combo1")->setEditText(QStringLiteral("同级养护"));
    child<QComboBox>("Combo2")->setEditText(QStringLiteral("C45"));
    click("Command1");

    const QString fourth =
        QStringLiteral("4#基础,C45,P-01,2026-12-31 23:30,1,2027-01-02 00:10,同级养护,12,3,抗渗,");
    QCOMPARE(readFile(recordPath()),
             lines(kThreeRecords + QStringList{fourth, QString::fromLatin1(kClosingLine)}));
    QCOMPARE(m_form->grid()->textMatrix(4, 0), QStringLiteral("4"));
    QCOMPARE(m_form->grid()->textMatrix(5, 0), QString());

    // The same record again: asked once, "否" by default, and added on "是".
    click("Command1");
    QCOMPARE(m_messages.asked.size(), 1);
    QVERIFY(m_messages.asked[0].noByDefault);
    QVERIFY(m_messages.asked[0].text.contains(WindowText::sameRecord(4)));
    QCOMPARE(m_form->grid()->rows(), 6);
    m_messages.answer = true;
    click("Command1");
    QCOMPARE(readFile(recordPath()),
             lines(kThreeRecords + QStringList{fourth, fourth, QString::fromLatin1(kClosingLine)}));
    QCOMPARE(m_form->grid()->rows(), 7);
    QCOMPARE(m_messages.shown.size(), 2);
}

void TestForm2::timeBoxesStoredAsTyped()
{
    open();
    fillRecord(QStringLiteral("梁"), QDate(2024, 5, 3), QStringLiteral("9"), QStringLiteral("5"),
               QStringLiteral("28"), QString());
    // A due time typed by hand in the right form is stored as typed, past or not (at the
    // user's word).
    text("Text7")->setText(QStringLiteral("2024-06-01 10:00"));
    m_messages.answer = true;
    click("Command1");
    QCOMPARE(m_messages.asked.size(), 1);
    QVERIFY(m_messages.asked[0].text.contains(WindowText::dueTimePassed("2024-06-01 10:00")));
    QCOMPARE(readFile(recordPath()),
             lines({QStringLiteral("梁,C30,P-01,2024-5-3 9:5,28,2024-06-01 10:00,标准养护,12,3,,"),
                    QString::fromLatin1(kClosingLine)}));

    // Full-width digits, as an input method in full-width mode types them, are the hour they
    // look like, and the file holds them in ASCII.
    text("Text4")->setText(QStringLiteral("０８"));
    text("Text5")->setText(QStringLiteral("３０"));
    click("Command3");
    QCOMPARE(text("Text7")->text(), QStringLiteral("2024-05-31 08:30"));
    click("Command1");
    QCOMPARE(m_messages.lastText(), StoreText::added());
    QVERIFY(readFile(recordPath()).contains("2024-5-3 08:30,28,2024-05-31 08:30,"));
}

void TestForm2::linesOfOtherLengthsWrittenBackUnchanged()
{
    const QStringList odd{
        // A comma typed into the remark long ago: twelve fields.
        QStringLiteral("5#梁,C30,P-05,2026-12-5 08:00,28,2027-01-02 08:00,标准养护,2,1,早强,抗渗,"),
        // Thirteen fields.
        QStringLiteral("6#梁,C30,P-06,2026-12-6 08:00,28,2027-01-03 08:00,标准养护,2,1,a,b,c,"),
        // A hand-made line of nine fields.
        QStringLiteral("7#梁,C30,,2026-12-7 08:00,28,2027-01-04 08:00,标准养护,2,1"),
    };
    // A due mark that reached the file is not kept: the mark is never stored.
    const QString marked =
        QStringLiteral("8#梁,C30,P-08,2026-12-8 08:00,28,2027-01-05 08:00,标准养护,2,1,,到期");
    writeFile(recordPath(), lines(odd + QStringList{marked, QString::fromLatin1(kClosingLine)}));
    open();
    QCOMPARE(m_form->grid()->rows(), 6);
    fillRecord(QStringLiteral("9#梁"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QString());
    click("Command1");

    QString unmarked = marked;
    unmarked.chop(2);
    const QString added = sample(QStringLiteral("9#梁")).text();
    QCOMPARE(readFile(recordPath()),
             lines(odd + QStringList{unmarked, added, QString::fromLatin1(kClosingLine)}));
}

void TestForm2::failedSaveOnReadOnlyFolder()
{
    const QByteArray before = lines({kThreeRecords[0], QString::fromLatin1(kClosingLine)});
    writeFile(recordPath(), before);
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    {
        QFile probe(m_dir->path() + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("Permission bits do not stop this user (root) from writing; the full-disk case "
                  "covers a failed save.");
        }
    }
    open();
    fillRecord(QStringLiteral("2#楼板"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QString());
    click("Command1");

    QCOMPARE(readFile(recordPath()), before);
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].title, Title::error());
    QVERIFY(m_messages.shown[0].text.endsWith(StoreText::notAdded()));
    QCOMPARE(m_form->grid()->rows(), 3);
    QCOMPARE(m_form->grid()->textMatrix(2, 1), QString());
}

// The disk fills up half-way through the save.
void TestForm2::failedSaveOnFullDisk()
{
    const QByteArray before = lines({kThreeRecords[0], QString::fromLatin1(kClosingLine)});
    writeFile(recordPath(), before);
    open();
    fillRecord(QStringLiteral("2#楼板"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QString());
    {
        const auto full = diskFullAfter(before.size());
        click("Command1");
    }

    QCOMPARE(readFile(recordPath()), before);
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].title, Title::error());
    QCOMPARE(m_messages.shown[0].text,
             BaseText::notSaved(StoreText::recordFile(), recordPath(), BaseText::diskFull()) +
                 StoreText::notAdded());
    QCOMPARE(m_form->grid()->rows(), 3);
    QCOMPARE(m_form->grid()->textMatrix(2, 0), QString());
    QCOMPARE(m_form->grid()->textMatrix(2, 1), QString());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"a.bz"});

    // Once there is room again the same record goes in.
    click("Command1");
    QCOMPARE(m_messages.lastText(), StoreText::added());
    QCOMPARE(m_form->grid()->rows(), 4);
}

void TestForm2::addStartsFromTheFileAsItIsNow()
{
    QStringList file = kThreeRecords;
    file << QString::fromLatin1(kClosingLine);
    writeFile(recordPath(), lines(file));
    open();
    QCOMPARE(m_form->grid()->rows(), 5);

    // Data initialisation empties the file while the form stays loaded.
    writeFile(recordPath(), QByteArray());
    fillRecord(QStringLiteral("9#梁"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QString());
    // The file holds fewer records than the form had: "添加" says so and asks; 否 saves nothing,
    // also at the next try.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        click("Command1");
        QCOMPARE(m_messages.asked.size(), attempt);
        QCOMPARE(m_messages.asked.last().text, StoreText::fewerRecords(0, 3));
        QCOMPARE(readFile(recordPath()), QByteArray());
    }
    m_messages.answer = true;
    click("Command1");
    const QString added = sample(QStringLiteral("9#梁")).text();
    QCOMPARE(readFile(recordPath()), lines({added, QString::fromLatin1(kClosingLine)}));
    QCOMPARE(m_form->grid()->rows(), 3);
    QCOMPARE(m_form->grid()->textMatrix(1, 0), QStringLiteral("1"));

    // A record that reached the file meanwhile is kept, without a question.
    writeFile(recordPath(), lines({kThreeRecords[1], added, QString::fromLatin1(kClosingLine)}));
    m_messages.answer = true; // the same record again, on purpose: asked, but no lost records
    click("Command1");
    QCOMPARE(m_messages.asked.size(), 4);
    QVERIFY(m_messages.asked.last().text.contains(WindowText::sameRecord(1)));
    QCOMPARE(readFile(recordPath()),
             lines({kThreeRecords[1], added, added, QString::fromLatin1(kClosingLine)}));
}

void TestForm2::correctionsAndDeletionsInTheTable()
{
    QStringList file = kThreeRecords;
    file << QString::fromLatin1(kClosingLine);
    writeFile(recordPath(), lines(file));
    m_clock.set(QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, {}};
    Form1 window(services);
    window.Form_Load();
    QCOMPARE(window.grid()->textMatrix(1, 1), QStringLiteral("2#楼板"));
    open();

    // The table shows what holds the typed text; a cell typed into goes to a.bz, that line alone.
    auto *filter = child<QLineEdit>("filterBox");
    QVERIFY(filter);
    filter->setText(QStringLiteral("楼板"));
    QAbstractItemModel *shown = child<QAbstractItemView>("Grid1")->model();
    QCOMPARE(shown->rowCount(), 1);
    shown->setData(shown->index(0, 1), QStringLiteral("2#楼顶板"));
    file[1].replace(QStringLiteral("2#楼板"), QStringLiteral("2#楼顶板"));
    QCOMPARE(readFile(recordPath()), lines(file));
    QCOMPARE(m_form->grid()->textMatrix(2, 1), QStringLiteral("2#楼顶板"));
    QVERIFY(m_messages.shown.isEmpty());
    // ...and the main window follows by itself.
    QTRY_COMPARE_WITH_TIMEOUT(window.grid()->textMatrix(1, 1), QStringLiteral("2#楼顶板"), 5000);

    filter->clear();
    // A new age moves the due time with it, and says so; one already past is asked about first
    // ("否": nothing saved); an age that gives no due time is refused. The cell stays current.
    auto *view = child<QAbstractItemView>("Grid1");
    view->setCurrentIndex(shown->index(1, 5));
    shown->setData(shown->index(1, 5), QStringLiteral("14"));
    QCOMPARE(view->currentIndex(), shown->index(1, 5));
    file[1].replace(QStringLiteral(",7,2026-12-09 10:00,"),
                    QStringLiteral(",14,2026-12-16 10:00,"));
    QCOMPARE(readFile(recordPath()), lines(file));
    QCOMPARE(
        m_messages.lastText(),
        WindowText::dueTimeRecomputed(QStringLiteral("龄期"), QStringLiteral("2026-12-16 10:00")));
    m_messages.answer = false;
    shown->setData(shown->index(1, 5), QStringLiteral("3"));
    QCOMPARE(m_messages.asked.size(), 1);
    QVERIFY(m_messages.asked[0].text.startsWith(
        WindowText::dueTimePassed(QStringLiteral("2026-12-05 10:00"))));
    m_messages.shown.clear();
    shown->setData(shown->index(1, 5), QStringLiteral("七"));
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY(m_messages.lastText().endsWith(StoreText::recordFileUnchanged()));
    QCOMPARE(readFile(recordPath()), lines(file));
    QCOMPARE(m_form->grid()->textMatrix(2, 5), QStringLiteral("14"));
    // To the equivalent age: the estimate, 28 days with no temperature recorded.
    shown->setData(shown->index(1, 5), EquivalentAge::ageText());
    file[1].replace(QStringLiteral(",14,2026-12-16 10:00,"),
                    QStringLiteral(",600℃·d,2026-12-30 10:00,"));
    QCOMPARE(readFile(recordPath()), lines(file));
    m_messages.asked.clear();
    m_messages.shown.clear();

    // Checked as an add is: the file keeps its bytes, the table the file's text.
    for (const auto &[column, typed] :
         QList<std::pair<int, QString>>{{1, QStringLiteral("梁,板")},
                                        {6, QStringLiteral("2026-02-30 08:00")},
                                        {10, QStringLiteral("€ 和 \u20AC\U0001F600")}}) {
        m_messages.shown.clear();
        shown->setData(shown->index(0, column), typed);
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.lastText().endsWith(StoreText::recordFileUnchanged()));
        QCOMPARE(readFile(recordPath()), lines(file));
        QCOMPARE(m_form->grid()->textMatrix(1, column), kThreeRecords[0].split(u',')[column - 1]);
    }

    // A deletion asks, naming the record, "否" by default; "是" takes its line out, and with it
    // the choice: "删除此条" waits for the next.
    view->setCurrentIndex(shown->index(2, 3));
    m_messages.shown.clear();
    m_messages.answer = false;
    click("deleteRecord");
    QCOMPARE(m_messages.asked.size(), 1);
    QVERIFY(m_messages.asked[0].noByDefault);
    QVERIFY2(m_messages.asked[0].text.contains(QStringLiteral("编号 3，工程部位 3#柱")),
             qPrintable(m_messages.asked[0].text));
    QCOMPARE(readFile(recordPath()), lines(file));
    m_messages.answer = true;
    click("deleteRecord");
    file.removeAt(2);
    QCOMPARE(readFile(recordPath()), lines(file));
    QCOMPARE(m_form->grid()->rows(), 4);
    QVERIFY(!child<QPushButton>("deleteRecord")->isEnabled());
}

void TestForm2::closeHidesAndKeepsFields()
{
    writeFile(recordPath(), lines({kThreeRecords[0], QString::fromLatin1(kClosingLine)}));
    open();
    m_form->show();
    fillRecord(QStringLiteral("1#楼梁"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QStringLiteral("备注"));
    click("Command2");
    QVERIFY(!m_form->isVisible());
    QVERIFY(m_form->findChild<QLineEdit *>(QStringLiteral("Text1")));

    writeFile(recordPath(), QByteArray());
    m_form->show();
    QCOMPARE(text("Text1")->text(), QStringLiteral("1#楼梁"));
    QCOMPARE(text("Text7")->text(), QStringLiteral("2026-12-29 08:30"));
    QCOMPARE(text("Text10")->text(), QStringLiteral("备注"));
    QCOMPARE(child<DatePicker>("DTPicker1")->date(), QDate(2026, 12, 1));
    // Showing again does not read the file.
    QCOMPARE(m_form->grid()->rows(), 3);
    QVERIFY(m_messages.shown.isEmpty());
}

void TestForm2::insertDataMenuShowsTheFormModally()
{
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, {}};
    Form1 window(services);

    QPointer<Form2> first;
    bool wasModal = false;
    QTimer::singleShot(0, &window, [&] {
        first = window.findChild<Form2 *>();
        if (!first)
            return;
        wasModal = first->isModal() && first->isVisible();
        first->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("梁"));
        first->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    });
    window.findChild<QAction *>(QStringLiteral("crsj"))->trigger();
    QVERIFY(first);
    QVERIFY(wasModal);
    QCOMPARE(first->parent(), &window);

    // "关闭" kept the form and what was typed.
    QString kept;
    QTimer::singleShot(0, &window, [&] {
        auto *again = window.findChild<Form2 *>();
        if (!again)
            return;
        kept = again->findChild<QLineEdit *>(QStringLiteral("Text1"))->text();
        again->close(); // the close box discards it
    });
    window.findChild<QAction *>(QStringLiteral("crsj"))->trigger();
    QCOMPARE(kept, QStringLiteral("梁"));
    QTRY_VERIFY(!first);
}

void TestForm2::typedMakingDate_data()
{
    QTest::addColumn<bool>("yearSelected");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("refusal");

    // Tabbing in selects the whole date; a double click selects only the year.
    QTest::newRow("dashes") << false << "2026-11-3" << QDate(2026, 11, 3) << QString();
    QTest::newRow("dashes, year selected")
        << true << "2026-11-3" << QDate(2026, 11, 3) << QString();
    QTest::newRow("two-digit day") << false << "2026-12-25" << QDate(2026, 12, 25) << QString();
    QTest::newRow("two-digit day, year selected")
        << true << "2026-12-25" << QDate(2026, 12, 25) << QString();
    QTest::newRow("one-digit month, year selected")
        << true << "2024-5-3" << QDate(2024, 5, 3) << QString();
    QTest::newRow("slashes") << false << "2024/5/3" << QDate(2024, 5, 3) << QString();
    QTest::newRow("dots and zeros, year selected")
        << true << "2024.05.03" << QDate(2024, 5, 3) << QString();
    QTest::newRow("part by part") << false << "2024\t2\t7" << QDate(2024, 2, 7) << QString();
    QTest::newRow("part by part, year selected")
        << true << "2024\t2\t7" << QDate(2024, 2, 7) << QString();
    QTest::newRow("no such day") << false << "2026-2-30" << QDate()
                                 << WindowText::dayMissing("2026-2-30", 2026, 2, 30);
    QTest::newRow("month 13") << false << "2026-13-1" << QDate()
                              << WindowText::monthOutOfRange("2026-13-1", 13);
    QTest::newRow("two-digit year")
        << false << "26-11-3" << QDate() << WindowText::makingDateUnreadable("26-11-3");
}

void TestForm2::typedMakingDate()
{
    QFETCH(bool, yearSelected);
    QFETCH(QString, keys);
    QFETCH(QDate, date);
    QFETCH(QString, refusal);

    openOnScreen();
    text("Text4")->setText(QStringLiteral("09"));
    text("Text5")->setText(QStringLiteral("05"));
    text("Text6")->setText(QStringLiteral("28"));
    auto *picker = child<DatePicker>("DTPicker1");
    picker->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(picker->hasFocus());
    if (yearSelected)
        picker->setSelection(0, 4);
    QTest::keyClicks(picker, keys);
    QTest::keyClick(picker, Qt::Key_Tab);
    // The last part ended the date: the next Tab went on to the hour.
    QTRY_VERIFY(text("Text4")->hasFocus());
    QCOMPARE(text("Text4")->text(), QStringLiteral("09"));

    click("Command3");
    if (date.isValid()) {
        QCOMPARE(picker->date(), date);
        QCOMPARE(picker->text(), date.toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(text("Text7")->text(), date.addDays(28).toString(QStringLiteral("yyyy-MM-dd")) +
                                            QStringLiteral(" 09:05"));
        QVERIFY(m_messages.shown.isEmpty());
        return;
    }
    // Kept as typed, marked, and neither "?" nor "添加" goes on with it.
    QVERIFY(!picker->date().isValid());
    QCOMPARE(picker->text(), keys);
    QVERIFY(picker->palette().color(QPalette::Text) !=
            text("Text4")->palette().color(QPalette::Text));
    QVERIFY2(picker->toolTip().contains(refusal), qPrintable(picker->toolTip()));
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY2(m_messages.shown[0].text.contains(refusal), qPrintable(m_messages.shown[0].text));
    QCOMPARE(text("Text7")->text(), QString());
    text("Text7")->setText(QStringLiteral("2026-12-29 09:05"));
    click("Command1");
    QCOMPARE(m_messages.shown.size(), 2);
    QCOMPARE(m_messages.shown[1].text, refusal + StoreText::notAddedUnchanged());
    QVERIFY(!QFile::exists(recordPath()));
}

void TestForm2::escapeHidesAndReturnPressesTheFocusedButton()
{
    openOnScreen();
    QSignalSpy rejected(m_form.get(), &QDialog::rejected);
    fillRecord(QStringLiteral("1#楼梁"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QString());
    text("Text7")->clear();

    // Return in a box goes on to the next, as Tab; in the last, 备注, it adds.
    text("Text1")->setFocus();
    QTRY_VERIFY(text("Text1")->hasFocus());
    QTest::keyClick(text("Text1"), Qt::Key_Return);
    QVERIFY(!text("Text1")->hasFocus());
    QCOMPARE(text("Text7")->text(), QString());
    QVERIFY(m_messages.shown.isEmpty());
    QVERIFY(!QFile::exists(recordPath()));
    text("Text10")->setFocus();
    QTRY_VERIFY(text("Text10")->hasFocus());
    QTest::keyClick(text("Text10"), Qt::Key_Return);
    QVERIFY(m_messages.lastText().startsWith(StoreText::dueTimeMissing()));
    QVERIFY(!QFile::exists(recordPath()));
    m_messages.shown.clear();

    const auto pressReturnOn = [this](const char *name) {
        auto *button = child<QPushButton>(name);
        button->setFocus(Qt::TabFocusReason);
        QVERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Return);
    };
    pressReturnOn("Command3");
    QCOMPARE(text("Text7")->text(), QStringLiteral("2026-12-29 08:30"));
    pressReturnOn("Command1");
    QCOMPARE(m_messages.lastText(), StoreText::added());
    QCOMPARE(readFile(recordPath()), lines({kThreeRecords[0], QString::fromLatin1(kClosingLine)}));
    pressReturnOn("Command2");
    QVERIFY(!m_form->isVisible());

    // Escape hides the form like "关闭" and keeps what was typed.
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    text("Text10")->setFocus();
    text("Text10")->setText(QStringLiteral("抗渗"));
    QTest::keyClick(text("Text10"), Qt::Key_Escape);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(rejected.count(), 0);
    QCOMPARE(text("Text10")->text(), QStringLiteral("抗渗"));
    QCOMPARE(text("Text1")->text(), QStringLiteral("1#楼梁"));
}

void TestForm2::addAsksBeforeSavingAStaleDueTime_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("savedDue"); // empty: nothing saved

    // "?" gave 2026-12-29 08:30 for 2026-12-01 08:30 and 28 days.
    const auto row = [](const char *name, const char *box, const char *value, bool answer,
                        bool asked, const char *due) {
        QTest::newRow(name) << QString::fromUtf8(box) << QString::fromUtf8(value) << answer << asked
                            << QString::fromUtf8(due);
    };
    row("date changed, recompute", "DTPicker1", "2026-12-2", true, true, "2026-12-30 08:30");
    row("date changed, keep", "DTPicker1", "2026-12-2", false, true, "2026-12-29 08:30");
    row("hour changed, recompute", "Text4", "09", true, true, "2026-12-29 09:30");
    row("age changed, recompute", "Text6", "7", true, true, "2026-12-08 08:30");
    row("age changed, recomputed due passed", "Text6", "3", true, true, "2026-12-04 08:30");
    row("further minutes changed, recompute", "Text11", "45", true, true, "2026-12-29 09:15");
    row("age emptied", "Text6", "", true, false, "");
    row("same values, other text", "Text4", "8", true, false, "2026-12-29 08:30");
    row("remark changed", "Text10", "早强", true, false, "2026-12-29 08:30");
    row("due typed by hand", "Text7", "2027-01-05 10:00", true, false, "2027-01-05 10:00");
}

void TestForm2::addAsksBeforeSavingAStaleDueTime()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(QString, savedDue);

    open();
    fillRecord(QStringLiteral("1#楼梁"), QDate(2026, 12, 1), QStringLiteral("08"),
               QStringLiteral("30"), QStringLiteral("28"), QString());
    QCOMPARE(text("Text7")->text(), QStringLiteral("2026-12-29 08:30"));
    m_form->findChild<QLineEdit *>(box)->setText(value);
    m_messages.answer = answer;
    click("Command1");

    // The questions about a due time computed before a change ("否" the default), and the one
    // about a due time passed, asked of the due time saved.
    const auto questions = [this](const QString &start) {
        return std::count_if(m_messages.asked.cbegin(), m_messages.asked.cend(),
                             [&start](const RecordingMessages::Shown &q) {
                                 return q.noByDefault && q.text.startsWith(start);
                             });
    };
    const auto recomputeQuestions = [&questions] {
        return questions(StoreText::dueTimeStale("2026-12-29 08:30"));
    };
    QCOMPARE(recomputeQuestions(), asked ? 1 : 0);
    QCOMPARE(questions(WindowText::dueTimePassed(savedDue)),
             !savedDue.isEmpty() && savedDue < QStringLiteral("2026-12-06 09:04") ? 1 : 0);
    if (asked) {
        QCOMPARE(m_messages.asked[0].title, Title::notice());
        QVERIFY2(m_messages.asked[0].text.startsWith(StoreText::dueTimeStale("2026-12-29 08:30")),
                 qPrintable(m_messages.asked[0].text));
    }
    if (savedDue.isEmpty()) {
        QVERIFY(!QFile::exists(recordPath()));
        QVERIFY(m_messages.lastText().endsWith(StoreText::notAddedUnchanged()));
        return;
    }
    QCOMPARE(m_messages.lastText(), StoreText::added());
    QCOMPARE(m_form->grid()->textMatrix(1, 6), savedDue);
    QVERIFY(readFile(recordPath()).contains(savedDue.toLatin1()));
    QCOMPARE(text("Text7")->text(), savedDue);

    // Asked once: the next add of the same boxes goes through without that question.
    m_messages.answer = true; // the same record again
    click("Command1");
    QCOMPARE(recomputeQuestions(), asked ? 1 : 0);
    QCOMPARE(m_form->grid()->textMatrix(2, 6), savedDue);
}

void TestForm2::furtherAgesInOneSave_data()
{
    QTest::addColumn<QDate>("made");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("added"); // "age due" of each line added, in file order
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("told"); // in the question or the refusal

    // 龄期 holds 28, made at 08:30; the clock says 2026-12-06 09:04.
    const QDate dec1(2026, 12, 1);
    const QStringList three{"28 2026-12-29 08:30", "3 2026-12-04 08:30", "7 2026-12-08 08:30"};
    const QString passed = WindowText::ofAge("3") + WindowText::dueTimePassed("2026-12-04 08:30");
    QTest::newRow("one age") << dec1 << QList<int>{} << false << three.mid(0, 1) << 0 << QString();
    QTest::newRow("3, 7 and 28, the passed one kept")
        << dec1 << QList<int>{3, 7, 28} << true << three << 1 << passed;
    QTest::newRow("3, 7 and 28, declined")
        << dec1 << QList<int>{3, 7, 28} << false << QStringList() << 1 << passed;
    QTest::newRow("past the year 9999")
        << QDate(9999, 11, 1) << QList<int>{3, 90} << true << QStringList() << 0
        << WindowText::furtherAgeRefused(90, RecordText::dueOutOfRange());
}

void TestForm2::furtherAgesInOneSave()
{
    QFETCH(QDate, made);
    QFETCH(QList<int>, ticked);
    QFETCH(bool, answer);
    QFETCH(QStringList, added);
    QFETCH(int, questions);
    QFETCH(QString, told);

    QStringList file{kThreeRecords[0]};
    writeFile(recordPath(), lines(file + QStringList{QString::fromLatin1(kClosingLine)}));
    open();
    fillRecord(QStringLiteral("9#梁"), made, QStringLiteral("08"), QStringLiteral("30"),
               QStringLiteral("28"), QString());
    for (int days : ticked)
        child<QToolButton>(qPrintable(QStringLiteral("extraAge%1").arg(days)))->click();
    m_messages.answer = answer;
    click("Command1");

    QCOMPARE(m_messages.asked.size(), questions);
    if (!told.isEmpty()) {
        const QString said = questions ? m_messages.asked[0].text : m_messages.shown[0].text;
        QVERIFY2(said.contains(told), qPrintable(said));
        // Only what is so: the 7 days' record is due later.
        QVERIFY(!said.contains(QStringLiteral("2026-12-08")));
    }
    for (const QString &ageDue : added) {
        const qsizetype gap = ageDue.indexOf(u' ');
        file << sample(QStringLiteral("9#梁"), ageDue.mid(gap + 1))
                    .with(SpecimenRecord::Age, ageDue.left(gap))
                    .text();
    }
    QCOMPARE(readFile(recordPath()), lines(file + QStringList{QString::fromLatin1(kClosingLine)}));
    if (!added.isEmpty())
        QCOMPARE(m_messages.shown.size(), 1); // one save
}

void TestForm2::qtOwnTextsAreChinese()
{
    QVERIFY(installChineseQtTranslation(*QCoreApplication::instance()));
    // The type of a folder in the export dialog's list, which Qt's own file leaves English.
    QCOMPARE(QAbstractFileIconProvider().type(QFileInfo(QDir::tempPath())),
             QStringLiteral("文件夹"));
    QStringList buttons;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box || !box->isVisible())
                continue;
            for (QAbstractButton *b : box->buttons())
                buttons << b->text();
            box->accept();
        }
    });
    poll.start(10);
    BoxMessages messages;
    messages.show(StoreText::added(), Title::information(), MessageStyle::Plain);
    QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
}

void TestForm2::equivalentAgeSavedAtTheEstimate()
{
    open();
    auto *equivalent = child<QCheckBox>("equivalentAge");
    QVERIFY(!equivalent->isEnabled());
    child<QComboBox>("Combo1")->setEditText(QStringLiteral("同级养护"));
    QVERIFY(equivalent->isEnabled());
    equivalent->setChecked(true);
    QVERIFY(!text("Text6")->isEnabled());
    // Made 40 days ago, 20 ℃ every day since: due 30 days after making.
    const QDate made = m_clock.now().date().addDays(-40);
    EquivalentAge::Means means;
    for (QDate day = made; day < m_clock.now().date(); day = day.addDays(1))
        means.insert(day, 20);
    QCOMPARE(TemperatureLog(m_dir->path()).record(means), QString());
    fillRecord(QStringLiteral("梁"), made, QStringLiteral("8"), QStringLiteral("30"), QString(),
               QString());
    QCOMPARE(text("Text7")->text(), QStringLiteral("2026-11-26 08:30"));
    m_messages.answer = true; // the due time has passed: asked, and added
    click("Command1");
    QCOMPARE(m_messages.asked.size(), 1);
    QVERIFY(
        readFile(recordPath())
            .contains(gbk("梁,C30,P-01,2026-10-27 8:30,600℃·d,2026-11-26 08:30,同级养护,12,3,,")));
    // Standard curing has no equivalent age.
    child<QComboBox>("Combo1")->setEditText(QStringLiteral("标准养护"));
    QVERIFY(!equivalent->isChecked());
    QVERIFY(text("Text6")->isEnabled());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
