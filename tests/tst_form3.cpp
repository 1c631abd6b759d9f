#include "fakes.h"
#include "form1.h"
#include "form3.h"
#include "recordgridmodel.h"
#include "specimenrecord.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
using Cell = QPair<int, int>;

// The cells whose text is red; every other cell must have the default colour.
QList<Cell> redCells(const RecordGridModel *grid)
{
    QList<Cell> red;
    for (int r = 0; r < grid->rows(); ++r) {
        for (int c = 0; c < grid->cols(); ++c) {
            const quint32 colour = grid->cellForeColour(r, c);
            if (colour == RecordGridModel::Red)
                red << Cell(r, c);
            else if (colour != RecordGridModel::DefaultColour)
                red << Cell(-r, -c); // a colour the search should have reset
        }
    }
    return red;
}
} // namespace

class TestForm3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void texts();
    void searchFindsPartsOfCells_data();
    void searchFindsPartsOfCells();
    void secondSearchResetsFirst();
    void findOpensFreshModalWindow();

private:
    void search(Form3 *form, const QString &text);

    RecordingMessages m_messages;
    RecordGridModel *m_grid = nullptr;
};

void TestForm3::init()
{
    m_messages.shown.clear();
    // Header row, 甲 with C30, 乙 with C35 and an empty remark, the spare row.
    m_grid = new RecordGridModel(13);
    const QStringList headers = SpecimenRecord::gridHeaders();
    for (int c = 0; c < headers.size(); ++c)
        m_grid->setTextMatrix(0, c, headers[c]);
    m_grid->setRows(4);
    const QList<QStringList> records = {{"甲", "C30", "P-01", "2026-12-1 8:30", "5",
                                         "2026-12-06 09:05", "标准养护", "1", "3", "复检", "到期"},
                                        {"乙", "C35", "P-02", "2026-12-1 9:00", "5",
                                         "2026-12-06 10:00", "标准养护", "2", "3", "", ""}};
    for (int r = 0; r < records.size(); ++r) {
        for (int c = 0; c < records[r].size(); ++c)
            m_grid->setTextMatrix(r + 1, c + 1, records[r][c]);
    }
    m_grid->renumber();
}

void TestForm3::cleanup()
{
    delete m_grid;
}

void TestForm3::search(Form3 *form, const QString &text)
{
    form->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(text);
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
}

void TestForm3::texts()
{
    Form3 form(m_grid, &m_messages);
    QCOMPARE(form.windowTitle(), QStringLiteral("查找提示信息"));
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("搜索信息(支持模糊搜索)："));
    QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QString());
    QCOMPARE(form.findChild<QPushButton *>(QStringLiteral("Command1"))->text(),
             QStringLiteral("搜索"));
}

void TestForm3::searchFindsPartsOfCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<Cell>>("red");
    QTest::newRow("grade") << QStringLiteral("C30") << QList<Cell>{{1, 2}};
    QTest::newRow("part of a cell") << QStringLiteral("C3") << QList<Cell>{{1, 2}, {2, 2}};
    QTest::newRow("other case") << QStringLiteral("c30") << QList<Cell>{{1, 2}};
    QTest::newRow("several cells") << QStringLiteral("标准") << QList<Cell>{{1, 7}, {2, 7}};
    QTest::newRow("header cell") << QStringLiteral("备注") << QList<Cell>{{0, 10}};
    QTest::newRow("number column")
        << QStringLiteral("2")
        << QList<Cell>{{1, 4}, {1, 6}, {2, 0}, {2, 3}, {2, 4}, {2, 6}, {2, 8}};
    QTest::newRow("due mark") << QStringLiteral("到期") << QList<Cell>{{0, 6}, {0, 11}, {1, 11}};
    QTest::newRow("nothing typed") << QString() << QList<Cell>{};
}

void TestForm3::searchFindsPartsOfCells()
{
    QFETCH(QString, text);
    QFETCH(QList<Cell>, red);
    // Colours left by the due-time monitor: yellow text goes, the background stays.
    m_grid->setCellForeColour(1, 3, RecordGridModel::Yellow);
    m_grid->setCellBackColour(1, 3, RecordGridModel::SystemHighlight);
    Form3 form(m_grid, &m_messages);
    search(&form, text);
    QCOMPARE(redCells(m_grid), red);
    QCOMPARE(m_grid->cellBackColour(1, 3), RecordGridModel::SystemHighlight);
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.lastText(), WindowText::searchDone());
    QCOMPARE(m_messages.shown.last().title, Title::notice());
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Information);
    // The search only colours: no text changes.
    QCOMPARE(m_grid->textMatrix(1, 2), QStringLiteral("C30"));
}

void TestForm3::secondSearchResetsFirst()
{
    Form3 form(m_grid, &m_messages);
    search(&form, QStringLiteral("C30"));
    QCOMPARE(redCells(m_grid), (QList<Cell>{{1, 2}}));
    search(&form, QStringLiteral("C35"));
    QCOMPARE(redCells(m_grid), (QList<Cell>{{2, 2}}));
    search(&form, QStringLiteral("无此内容"));
    QCOMPARE(redCells(m_grid), QList<Cell>{});
    QCOMPARE(m_messages.shown.size(), 3);
}

void TestForm3::findOpensFreshModalWindow()
{
    QTemporaryDir dir;
    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(8, 0)));
    ManagerServices services{dir.path(), &clock, &m_messages, {}};
    Form1 window(services);
    window.Form_Load();

    QStringList seenTexts;
    int opened = 0;
    // Inside the modal loop: type, search, check the window stays, then close it.
    auto inspect = [&] {
        // Whatever happens here, the modal loop must end.
        const auto closeModal = qScopeGuard([] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        auto *form = qobject_cast<Form3 *>(QApplication::activeModalWidget());
        QVERIFY(form);
        ++opened;
        QCOMPARE(form->parentWidget(), &window);
        auto *text1 = form->findChild<QLineEdit *>(QStringLiteral("Text1"));
        seenTexts << text1->text();
        search(form, QStringLiteral("备注"));
        QVERIFY(form->isVisible());
    };
    for (int run = 0; run < 2; ++run) {
        QTimer::singleShot(0, this, inspect);
        window.findChild<QAction *>(QStringLiteral("find"))->trigger();
    }
    QCOMPARE(opened, 2);
    QCOMPARE(seenTexts, (QStringList{QString(), QString()}));
    QCOMPARE(window.grid()->cellForeColour(0, 10), RecordGridModel::Red);
    QCOMPARE(window.findChildren<Form3 *>().size(), 0);
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
