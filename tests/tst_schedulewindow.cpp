#include "enginetexts.h"
#include "fakes.h"
#include "form1.h"
#include "labschedule.h"
#include "labsettings.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "reminderjournal.h"
#include "schedulemodel.h"
#include "schedulepdf.h"
#include "schedulewindow.h"
#include "strengthtablemodel.h"
#include "strengthtexts.h"
#include "testfiles.h"
#include "textprompts.h"
#include "trayicon.h"
#include "windowtexts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
// Answers every question from a list and remembers what was asked.
class ScriptedPrompts : public TextPrompts
{
public:
    std::optional<QString> text(QWidget *, const QString &title, const QString &,
                                const QString &) override
    {
        asked << title;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    QString savePath(QWidget *, const QString &, const QString &, const QString &) override
    {
        return path;
    }
    // A window is answered by fill, or by the next answer as its free text; then saved.
    bool run(QDialog *dialog) override
    {
        asked << dialog->windowTitle();
        if (fill) {
            fill(dialog);
        } else {
            if (answers.isEmpty())
                return false;
            dialog->findChild<QLineEdit *>(QStringLiteral("freeText"))
                ->setText(answers.takeFirst());
        }
        dialog->accept();
        return dialog->result() == QDialog::Accepted;
    }
    QStringList answers, asked;
    QString path;
    std::function<void(QDialog *)> fill;
};

QDateTime noon()
{
    return QDateTime(QDate(2026, 12, 6), QTime(12, 0));
}
} // namespace

class TestScheduleWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void marksTestedOnceAskingTheNameOnceAndUndoes();
    void exportsTheListShown();
    void pdfPrintsAnyFieldAsPlainText();
    void pdfWrapsLongTextsAndKeepsShortOnesWhole();
    void pdfPagesHoldWholeRowsUprightWhenTheyFit();
    void pdfOfManyRecordsPrintsEveryDueTimeOnOneLine();
    void strengthsEnteredShowWhereTheResultShowsAndACorrectionSupersedes();
    void mainWindowTellsTheDayAtAGlance();

private:
    void selectPart(const QString &part);
    QStringList parts() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock{noon()};
    RecordingMessages m_messages;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ReminderJournal> m_journal;
    std::unique_ptr<LabSettings> m_settings;
    std::unique_ptr<ScheduleWindow> m_window;
};

void TestScheduleWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    makeRecordFile(m_dir->filePath(QStringLiteral("a.bz")),
                   {sample(QStringLiteral("明天"), QStringLiteral("2026-12-07 08:00")).fields(),
                    sample(QStringLiteral("逾期"), QStringLiteral("2026-12-04 09:00")).fields(),
                    sample(QStringLiteral("今天"), QStringLiteral("2026-12-06 15:00")).fields(),
                    sample(QStringLiteral("月前"), QStringLiteral("2026-10-01 09:00")).fields(),
                    QStringList(11)});
    m_prompts = ScriptedPrompts();
    m_messages.shown.clear();
    m_journal = std::make_unique<ReminderJournal>(m_dir->path());
    m_settings = std::make_unique<LabSettings>(m_dir->path());
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, {}};
    m_window =
        std::make_unique<ScheduleWindow>(services, m_journal.get(), m_settings.get(), &m_prompts);
    m_window->reload();
}

QStringList TestScheduleWindow::parts() const
{
    QStringList shown;
    const ScheduleModel *model = m_window->model();
    for (int r = 0; r < model->rowCount(); ++r)
        shown << model->index(r, ScheduleModel::FirstFieldColumn).data().toString();
    return shown;
}

void TestScheduleWindow::selectPart(const QString &part)
{
    const int row = int(parts().indexOf(part));
    QVERIFY(row >= 0);
    m_window->view()->selectRow(row);
}

void TestScheduleWindow::marksTestedOnceAskingTheNameOnceAndUndoes()
{
    // It opens on the coming days and the overdue span; the record of months ago is read only
    // when every record is asked for.
    QCOMPARE(parts(), QStringList({"逾期", "今天", "明天"}));
    auto *groups = m_window->findChild<QComboBox *>(QStringLiteral("groups"));
    QVERIFY(groups);
    groups->setCurrentIndex(groups->count() - 1);
    QCOMPARE(parts(), QStringList({"月前", "逾期", "今天", "明天"}));
    QCOMPARE(groups->currentText(), QStringLiteral("全部（4）"));
    QCOMPARE(m_window->model()->count(ScheduleModel::Overdue), 1);
    QCOMPARE(m_window->model()->count(ScheduleModel::Tomorrow), 1);

    m_prompts.answers = QStringList{"张三", " 35.2 MPa "};
    selectPart("逾期");
    m_window->markSelectedTested();
    QCOMPARE(m_prompts.asked, QStringList({"试验人", "标为已试验"}));
    QCOMPARE(m_window->model()->count(ScheduleModel::Overdue), 0);

    // Another run reads the mark, the name and the result back.
    ReminderJournal reread(m_dir->path());
    reread.loadAll();
    const ReminderJournal::Entry *entry =
        reread.find(sample(QStringLiteral("逾期"), QStringLiteral("2026-12-04 09:00")).text());
    QVERIFY(entry);
    QCOMPARE(reread.text(entry->testedBy), QStringLiteral("张三"));
    QCOMPARE(reread.text(entry->result), QStringLiteral("35.2 MPa"));
    QCOMPARE(entry->testedAt(), noon());
    LabSettings settings(m_dir->path());
    settings.load();
    QCOMPARE(settings.technician, QStringLiteral("张三"));

    // The name is asked once; the undo takes back the last marking only.
    m_prompts.asked.clear();
    m_prompts.answers = QStringList{QString()};
    selectPart("今天");
    m_window->markSelectedTested();
    QCOMPARE(m_prompts.asked, QStringList({"标为已试验"}));
    m_window->undo();
    QVERIFY(
        !m_journal->find(sample(QStringLiteral("今天"), QStringLiteral("2026-12-06 15:00")).text())
             ->isTested());
    QVERIFY(
        m_journal->find(sample(QStringLiteral("逾期"), QStringLiteral("2026-12-04 09:00")).text())
            ->isTested());
    QCOMPARE(m_messages.shown.size(), 0);
}

void TestScheduleWindow::exportsTheListShown()
{
    // Dates and due times whole on the screen, whatever the other columns hold.
    const QFontMetrics metrics(m_window->view()->font());
    for (const int field : {SpecimenRecord::MakingDate, SpecimenRecord::DueTime}) {
        const int column = ScheduleModel::FirstFieldColumn + field;
        for (int row = 0; row < m_window->model()->rowCount(); ++row) {
            const QString text = m_window->model()->index(row, column).data().toString();
            QVERIFY2(m_window->view()->columnWidth(column) > metrics.horizontalAdvance(text),
                     qPrintable(text));
        }
    }

    m_window->findChild<QLineEdit *>(QStringLiteral("filter"))->setText(QStringLiteral("天"));
    QCOMPARE(parts(), QStringList({"今天", "明天"}));
    m_prompts.path = m_dir->filePath(QStringLiteral("计划.csv"));
    m_window->exportCsv();
    const QString csv = Gbk::decode(readFile(m_prompts.path));
    const QStringList lines = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3); // the header and the two rows shown
    QVERIFY(lines[0].startsWith(QStringLiteral("分组,工程部位,")));
    QVERIFY(lines[1].startsWith(QStringLiteral("今天,今天,C30,")));

    m_prompts.path = m_dir->filePath(QStringLiteral("计划.pdf"));
    QVERIFY2(m_window->printTitle().endsWith(QStringLiteral("（近期，筛选“天”，2 条）")),
             qPrintable(m_window->printTitle()));
    m_window->exportPdf();
    const QByteArray pdf = readFile(m_prompts.path);
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);
    // Each says where it went.
    QCOMPARE(m_messages.shown.size(), 2);
    QCOMPARE(m_messages.lastText(),
             WindowText::exportedTo(QDir::toNativeSeparators(m_prompts.path)));
}

void TestScheduleWindow::pdfPrintsAnyFieldAsPlainText()
{
    // A tester or result from the journal may hold anything; markup prints as written.
    QStandardItemModel model(1, 3);
    const QStringList fields{QString(10000, u'长'), QStringLiteral("甲\n乙\r\t丙\x01\x7f"),
                             QStringLiteral("<b>&amp;</b>")};
    for (int c = 0; c < 3; ++c)
        model.setItem(0, c, new QStandardItem(fields[c]));
    QCOMPARE(SchedulePdf::cellText(model, 0, 0), fields[0].left(300));
    QCOMPARE(SchedulePdf::cellText(model, 0, 1), QStringLiteral("甲 乙  丙  "));
    QCOMPARE(SchedulePdf::cellText(model, 0, 2), fields[2]);
    const QFontMetrics metrics{QFont()}; // the long field leaves the others room
    QVERIFY(SchedulePdf::columnWidths(SchedulePdf::naturalWidths(model, metrics), 3000)[2] >
            metrics.horizontalAdvance(fields[2]));
    // A page too narrow for all: the due times print whole, the long remark gives way.
    QStandardItemModel dates(1, 3);
    const QStringList dated{QString(80, u'备'), QStringLiteral("2026-12-08 09:05"),
                            QStringLiteral("2026-12-29 09:05")};
    for (int c = 0; c < 3; ++c)
        dates.setItem(0, c, new QStandardItem(dated[c]));
    const auto natural = [&metrics](const QString &text) {
        return metrics.horizontalAdvance(text) + 2 * SchedulePdf::Padding;
    };
    const int due = natural(dated[1]);
    QCOMPARE(natural(dated[2]), due);
    const QList<int> widths =
        SchedulePdf::columnWidths(SchedulePdf::naturalWidths(dates, metrics), 3 * due + 10);
    QCOMPARE(widths, QList<int>({due + 10, due, due}));
}

namespace {
QStandardItemModel *table(const QList<QStringList> &rows, QObject *parent)
{
    auto *model = new QStandardItemModel(int(rows.size()), int(rows.value(0).size()), parent);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            model->setItem(r, c, new QStandardItem(rows[r][c]));
    return model;
}
} // namespace

void TestScheduleWindow::pdfWrapsLongTextsAndKeepsShortOnesWhole()
{
    const QString due = QStringLiteral("2026-12-08 09:05");
    const QStringList remarks{QString(40, u'备'), QStringLiteral("短"),
                              QStringLiteral("长 ").repeated(5000)};
    QList<QStringList> rows;
    for (const QString &remark : remarks)
        rows << QStringList{remark, due, QStringLiteral("3")};
    const QFont font;
    const QFontMetrics metrics(font);
    const QStandardItemModel *model = table(rows, this);
    const SchedulePdf::Layout layout = SchedulePdf::layOut(*model, font, QSize(300, 400), 30);
    QVERIFY(layout.landscape); // the remark needs more than the page's width upright
    QCOMPARE(layout.page, QSize(400, 300));
    QVERIFY(layout.widths[1] >= metrics.horizontalAdvance(due) + 2 * SchedulePdf::Padding);
    const int width = layout.widths[0] - 2 * SchedulePdf::Padding;
    const QStringList wrapped = SchedulePdf::lines(remarks[0], false, font, width, 99);
    QVERIFY(wrapped.size() > 2);
    QCOMPARE(wrapped.join(QString()), remarks[0]);
    for (const QString &line : wrapped)
        QVERIFY(metrics.horizontalAdvance(line) <= width);
    QVERIFY(layout.heights[1] >= layout.heights[0] + (wrapped.size() - 1) * metrics.lineSpacing());
    QCOMPARE(layout.heights[2], layout.heights[0]); // the header and the short row: one line
    // A huge field stops at a third of the page, its last line cut with "…".
    const QStringList capped = SchedulePdf::lines(SchedulePdf::cellText(*model, 2, 0), true, font,
                                                  width, layout.lineLimit);
    QCOMPARE(capped.size(), layout.lineLimit);
    QVERIFY(capped.last().endsWith(QChar(0x2026)));
    QVERIFY(layout.heights[3] <= layout.page.height() / 3);
    QVERIFY(layout.heights[3] + metrics.lineSpacing() > layout.page.height() / 3);
}

void TestScheduleWindow::pdfPagesHoldWholeRowsUprightWhenTheyFit()
{
    const QFont font;
    const SchedulePdf::Layout upright = SchedulePdf::layOut(
        *table({{QString(9, u'注'), QStringLiteral("3")}}, this), font, QSize(240, 700), 30);
    QVERIFY(!upright.landscape);
    QCOMPARE(upright.page, QSize(240, 700));
    QList<QStringList> rows;
    for (int r = 0; r < 200; ++r)
        rows << QStringList{QString(r % 7 * 19, u'注'), QStringLiteral("3")};
    const SchedulePdf::Layout layout =
        SchedulePdf::layOut(*table(rows, this), font, QSize(240, 700), 30);
    QVERIFY(layout.landscape);
    QVERIFY(*std::max_element(layout.heights.begin(), layout.heights.end()) > layout.heights[0]);
    // Every row on exactly one page, none past the foot, and a page ends only when full.
    const int first = layout.top + layout.heights[0];
    const int bottom = layout.page.height() - 2 * layout.heights[0];
    QCOMPARE(layout.pageStarts.value(0), 0);
    QVERIFY(layout.pageStarts.size() > 2);
    for (qsizetype page = 0; page < layout.pageStarts.size(); ++page) {
        const int last = int(layout.pageStarts.value(page + 1, int(rows.size())));
        QVERIFY(layout.pageStarts[page] < last);
        int y = first;
        for (int r = layout.pageStarts[page]; r < last; ++r)
            y += layout.heights[r + 1];
        QVERIFY(y <= bottom);
        if (last < rows.size())
            QVERIFY(y + layout.heights[last + 1] > bottom);
    }
}

void TestScheduleWindow::pdfOfManyRecordsPrintsEveryDueTimeOnOneLine()
{
    QList<QStringList> records;
    for (int n = 0; n < 128; ++n)
        records << sample(QStringLiteral("部位%1").arg(n), QStringLiteral("2026-12-06 15:00"))
                       .with(SpecimenRecord::Remark, n == 64 ? QString(80, u'备') : QString())
                       .fields();
    records << QStringList(11);
    makeRecordFile(m_dir->filePath(QStringLiteral("a.bz")), records);
    m_window->reload();
    const ScheduleModel &model = *m_window->model();
    QCOMPARE(model.rowCount(), 128);
    const SchedulePdf::Layout layout = SchedulePdf::pdfLayout(model, QStringLiteral("计划"));
    QVERIFY(layout.landscape);
    // The remark's row grows; every other row, due times and all, is one line as the header.
    QCOMPARE(std::count(layout.heights.begin(), layout.heights.end(), layout.heights[0]), 128);
    const QByteArray pdf = SchedulePdf::bytes(model, QStringLiteral("计划"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), layout.pageStarts.size());
    QVERIFY(layout.pageStarts.size() > 1);
}

void TestScheduleWindow::strengthsEnteredShowWhereTheResultShowsAndACorrectionSupersedes()
{
    // One casting of a C40 column: two groups for 28 days, due today; one for 56 days.
    const auto casting = [](const char *age, const char *due, const char *groups) {
        return sample(QStringLiteral("二号楼柱"), QString::fromUtf8(due))
            .with(SpecimenRecord::StrengthGrade, QStringLiteral("C40"))
            .with(SpecimenRecord::MakingDate, QStringLiteral("2026-11-08 10:00"))
            .with(SpecimenRecord::Age, QString::fromUtf8(age))
            .with(SpecimenRecord::Groups, QString::fromUtf8(groups));
    };
    const SampleRecord designAge = casting("28", "2026-12-06 10:00", "2");
    makeRecordFile(
        m_dir->filePath(QStringLiteral("a.bz")),
        {designAge.fields(), casting("56", "2027-01-03 10:00", "1").fields(), QStringList(11)});
    auto *groups = m_window->findChild<QComboBox *>(QStringLiteral("groups"));
    groups->setCurrentIndex(groups->count() - 1); // 全部
    m_window->reload();
    const ScheduleModel *schedule = m_window->model();
    QCOMPARE(schedule->rowCount(), 2);
    const auto shown = [schedule](int row, int column) {
        return schedule->index(row, column).data().toString();
    };

    // Typed as the press gave them: a 0, a full-width value, a load far too high, then right.
    const QString second = StrengthText::specimen(1, 2);
    m_prompts.answers = QStringList{"张三"};
    m_prompts.fill = [&](QDialog *dialog) {
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
        QAbstractItemModel *table = dialog->findChild<QTableView *>("groups")->model();
        QCOMPARE(table->rowCount(), 2);                             // the record's 组数
        dialog->findChild<QComboBox *>("size")->setCurrentIndex(1); // 100 mm
        const auto type = [table](int column, const char *text) {
            table->setData(table->index(0, column), QString::fromUtf8(text));
        };
        type(0, "420");
        type(1, "0");
        type(2, "1600");
        QCOMPARE(dialog->findChild<QLabel *>("problems")->text(),
                 StrengthText::zero(second, StrengthText::load()) + u'\n' +
                     StrengthText::unusuallyHigh(StrengthText::specimen(1, 3), "160.0"));
        dialog->accept();
        QVERIFY(m_messages.lastText().startsWith(StrengthText::zero(second, StrengthText::load())));
        type(1, "４５０");
        dialog->accept(); // asked first, "否"
        QCOMPARE(m_messages.asked.size(), 1);
        QVERIFY(m_messages.asked[0].noByDefault);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        type(2, "550");
        const auto computed = [table](int column) {
            return table->index(0, column).data().toString();
        };
        QCOMPARE(computed(StrengthTableModel::ValueColumn), QStringLiteral("42.8 MPa"));
        QCOMPARE(computed(StrengthTableModel::PercentColumn), QStringLiteral("107%"));
        QCOMPARE(computed(StrengthTableModel::ReasonColumn),
                 StrengthText::middleTaken(StrengthText::largest(), "55.0", "45.0") +
                     StrengthText::factorApplied("45.0", "0.95"));
        dialog->findChild<QLineEdit *>("freeText")->setText(QStringLiteral(" 复检 "));
    };
    m_window->view()->selectRow(0);
    m_window->markSelectedTested();
    QCOMPARE(m_prompts.asked, QStringList({"试验人", "标为已试验"}));
    QCOMPARE(shown(0, ScheduleModel::ResultColumn), QStringLiteral("42.8 MPa（107%） 复检"));
    QCOMPARE(shown(1, ScheduleModel::AdviceColumn), StrengthText::noFurtherTest());
    QCOMPARE(schedule->belowGradeCount(), 0);
    m_prompts.path = m_dir->filePath(QStringLiteral("计划.csv"));
    m_window->exportCsv();
    const QString csv = Gbk::decode(readFile(m_prompts.path));
    QVERIFY(csv.contains(QStringLiteral(",42.8 MPa（107%） 复检,")));
    QVERIFY(csv.contains(QStringLiteral(",可不再试验（设计龄期已合格）\r\n")));

    // A correction starts from the values kept, and supersedes them.
    m_prompts.fill = [&](QDialog *dialog) {
        QAbstractItemModel *table = dialog->findChild<QTableView *>("groups")->model();
        QCOMPARE(dialog->findChild<QComboBox *>("size")->currentIndex(), 1);
        QCOMPARE(table->index(0, 1).data().toString(), QStringLiteral("４５０"));
        QCOMPARE(dialog->findChild<QLineEdit *>("freeText")->text(), QStringLiteral("复检"));
        // 38.0, 39.0, 40.0: 39.0 × 0.95 = 37.05, 37.0 by the even neighbour; 92 %.
        for (int column = 0; column < 3; ++column)
            table->setData(table->index(0, column), QString::number(380 + 10 * column));
    };
    m_window->view()->selectRow(0);
    m_window->markSelectedTested();
    QCOMPARE(shown(0, ScheduleModel::ResultColumn), QStringLiteral("37.0 MPa（92%） 复检"));
    QVERIFY(schedule->index(0, ScheduleModel::ResultColumn).data(Qt::BackgroundRole).isValid());
    QCOMPARE(shown(1, ScheduleModel::AdviceColumn), StrengthText::testOnTime());
    QCOMPARE(m_window->findChild<QLabel *>("belowGrade")->text(), StrengthText::belowGrade(1));
    const QString journal = QString::fromUtf8(readFile(m_journal->fileOf(designAge.text())));
    QCOMPARE(journal.count(QStringLiteral("\nT\t")), 2); // the first result stays readable
    QVERIFY(journal.contains(QStringLiteral("\t〔强度 100mm kN 420/４５０/550〕 复检\t")));

    // Another design age: the 56 days are then the design age, with nothing after them.
    m_window->findChild<QSpinBox *>(QStringLiteral("designAge"))->setValue(56);
    QCOMPARE(shown(1, ScheduleModel::AdviceColumn), QString());
    LabSettings settings(m_dir->path());
    settings.load();
    QCOMPARE(settings.designAge, 56);

    // The main window's row of today tells its result when the pointer rests on it.
    Form1 window(ManagerServices{m_dir->path(), &m_clock, &m_messages, {}});
    window.Form_Load();
    QCOMPARE(window.grid()->index(0, 1).data(Qt::ToolTipRole).toString(),
             StrengthText::resultTip(QStringLiteral("37.0 MPa（92%） 复检"), true));
    // ...and shows it tested, in a colour of its own and in its due-mark cell.
    const QModelIndex mark = window.grid()->index(0, SpecimenRecord::DueMarkColumn);
    QVERIFY(mark.data().toString().endsWith(RecordGridModel::testedMark()));
    QVERIFY(window.grid()->index(0, 1).data(Qt::BackgroundRole).isValid());
    QCOMPARE(window.grid()->textMatrix(1, SpecimenRecord::DueMarkColumn),
             SpecimenRecord::dueMarkText()); // the monitor's own mark stays as it was

    // The row's own menu enters a result as the schedule does, for that batch.
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog && dialog->findChild<QTableView *>("groups"));
        QAbstractItemModel *table = dialog->findChild<QTableView *>("groups")->model();
        for (int column = 0; column < 3; ++column)
            table->setData(table->index(0, column), QStringLiteral("450"));
        dialog->accept();
    });
    window.gridView()->setCurrentIndex(window.grid()->index(0, 1));
    window.gridView()->findChild<QAction *>(QStringLiteral("markRowTested"))->trigger();
    QCOMPARE(QString::fromUtf8(readFile(m_journal->fileOf(designAge.text())))
                 .count(QStringLiteral("\nT\t")),
             3);
}

void TestScheduleWindow::mainWindowTellsTheDayAtAGlance()
{
    m_journal->markTested(sample(QStringLiteral("今天"), QStringLiteral("2026-12-06 15:00")).text(),
                          noon(), "张三", {});
    makeRecordFile(m_dir->filePath(QStringLiteral("a.bz")),
                   {sample(QStringLiteral("今天"), QStringLiteral("2026-12-06 15:00")).fields(),
                    sample(QStringLiteral("今晚"), QStringLiteral("2026-12-06 20:00")).fields(),
                    sample(QStringLiteral("逾期"), QStringLiteral("2026-12-04 09:00")).fields(),
                    sample(QStringLiteral("月前"), QStringLiteral("2026-10-01 09:00")).fields(),
                    QStringList(11)});
    Form1 window(ManagerServices{m_dir->path(), &m_clock, &m_messages, {}});
    window.Form_Load();
    const QString glance = EngineText::glance(1, 1);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("glance"))->text(), glance);
    QVERIFY(window.trayIcon()->icon()->toolTip().endsWith(glance));
}

QTEST_MAIN(TestScheduleWindow)
#include "tst_schedulewindow.moc"
