#include "enginetexts.h"
#include "fakes.h"
#include "form1.h"
#include "labschedule.h"
#include "labsettings.h"
#include "recordfile.h"
#include "reminderjournal.h"
#include "schedulemodel.h"
#include "schedulewindow.h"
#include "testfiles.h"
#include "textprompts.h"
#include "trayicon.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
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
    m_window->exportPdf();
    const QByteArray pdf = readFile(m_prompts.path);
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);
    QCOMPARE(m_messages.shown.size(), 0);
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
