#include "form1.h"

#include "backupwindow.h"
#include "clock.h"
#include "cubestrength.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "helpmenu.h"
#include "labschedule.h"
#include "mainmenus.h"
#include "messages.h"
#include "monitorswitch.h"
#include "recordbackups.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordline.h"
#include "recordmaintenance.h"
#include "reminderdispatcher.h"
#include "reminderlistwindow.h"
#include "remindernotices.h"
#include "reminderreset.h"
#include "specimenrecord.h"
#include "strengthtexts.h"
#include "temperaturewindow.h"
#include "titles.h"
#include "trayicon.h"
#include "twips.h"
#include "unreadablerecordswindow.h"
#include "version.h"
#include "windowsystem.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

Form1::Form1(const ManagerServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services),
      m_grid(new RecordGridModel(SpecimenRecord::MainGridColumnCount, this))
{
    setObjectName(QStringLiteral("Form1"));
    m_gridView = new RecordGridView(m_grid, this);
    m_gridView->setObjectName(QStringLiteral("Grid1"));
    setCentralWidget(m_gridView);
    resize(Twips::toPixels(13080), Twips::toPixels(7500));

    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);

    if (!m_services.notices)
        m_services.notices = new ReminderListWindows(this);
    if (!m_services.backups) {
        m_ownBackups = std::make_unique<RecordBackups>(m_services.dataFolder, m_services.clock,
                                                       m_services.messages);
        m_services.backups = m_ownBackups.get();
    }
    m_unreadable = new UnreadableRecordsWindow(this);

    m_engine =
        new ReminderEngine(m_services.dataFolder, m_services.clock, m_services.messages, this);
    m_engine->setBackups(m_services.backups);
    connect(m_engine, &ReminderEngine::loaded, this, &Form1::showToday);
    m_engine->setRoad([this](int index) {
        m_grid->markDue(index + 1);
        return yxts(index + 1);
    });
    connect(m_engine, &ReminderEngine::markedPassed, this, [this](const QList<int> &indexes) {
        for (int index : indexes)
            m_grid->markDue(index + 1);
    });
    connect(m_engine, &ReminderEngine::missed, this,
            [this](const QString &text) { m_services.notices->late(text); });

    m_dispatcher =
        new ReminderDispatcher(m_services, &ReminderReset::primaryScreenHeightTwips, this);
    // A popup that came after its record was listed is said in the same list.
    for (auto signal :
         {&ReminderDispatcher::reminderNotShown, &ReminderDispatcher::reminderShownAfterAll})
        connect(m_dispatcher, signal, this,
                [this](const QString &message) { m_services.notices->notShown(message); });

    m_menus = std::make_unique<MainMenus>(menuBar());
    m_switch = new MonitorSwitch(
        m_grid, m_services.clock, m_services.messages, [this] { return form4()->intervalText(); },
        m_menus->kq, m_menus->bg, this);
    m_engine->setMonitoring([this] { return m_switch->state(); });
    connect(m_switch, &MonitorSwitch::checkDue, m_engine, &ReminderEngine::check);
    connect(m_switch, &MonitorSwitch::switchedOn, m_engine, &ReminderEngine::resume);
    m_tray = new TrayIcon(this, m_menus->menu, this);

    auto *glance = new QLabel(this);
    glance->setObjectName(QStringLiteral("glance"));
    statusBar()->addWidget(glance);
    m_lab = new LabSchedule(m_services, m_engine, this, glance, m_tray->icon());
    m_grid->setToolTips([this](int row) { return resultTip(row); });
    m_grid->setTested([this](int row) {
        const ReminderJournal::Entry *entry = entryOfRow(row);
        return entry && entry->isTested();
    });
    connect(m_lab, &LabSchedule::marksChanged, m_grid, &RecordGridModel::lookAgain);
    // A row's own menu: the batch marked tested, its result entered, where the technician sees it.
    auto *markTested = new QAction(QStringLiteral("标为已试验…"), m_gridView);
    markTested->setObjectName(QStringLiteral("markRowTested"));
    m_gridView->addAction(markTested);
    m_gridView->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(markTested, &QAction::triggered, this, [this] {
        const int row = m_gridView->rowSel();
        if (row > 0 && row + 1 < m_grid->rows()) {
            m_lab->markTested(ReminderJournal::keyOf(RecordLine::textOfRow(*m_grid, row)));
        } else {
            m_services.messages->show(WindowText::selectToMark(), Title::notice(),
                                      MessageStyle::Exclamation);
        }
    });
    connectMenus();
}

const ReminderJournal::Entry *Form1::entryOfRow(int row) const
{
    return m_engine->journal().find(ReminderJournal::keyOf(RecordLine::textOfRow(*m_grid, row)));
}

QString Form1::resultTip(int row) const
{
    const ReminderJournal &journal = m_engine->journal();
    const ReminderJournal::Entry *entry = entryOfRow(row);
    if (!entry || !entry->isTested() || entry->result == 0)
        return {};
    const QString grade =
        m_grid->textMatrix(row, SpecimenRecord::column(SpecimenRecord::StrengthGrade));
    const QString &result = journal.text(entry->result);
    return StrengthText::resultTip(CubeStrength::resultText(result, grade),
                                   CubeStrength::isBelowGrade(result, grade));
}

Form1::~Form1()
{
    // The grid outlives this window's own part while its widgets go: it must not ask a window
    // that is no longer there.
    m_grid->setToolTips({});
    m_grid->setTested({});
    delete m_form4;
}

void Form1::connectMenus()
{
    const MainMenus &m = *m_menus;
    connect(m.dq, &QAction::triggered, m_engine, &ReminderEngine::reload);
    connect(m.end, &QAction::triggered, this, &QWidget::close);
    connect(m.tscsh, &QAction::triggered, this, [this] {
        ReminderReset(m_services, ReminderReset::primaryScreenHeightTwips()).tscsh_Click();
    });
    connect(m.kq, &QAction::triggered, m_switch, &MonitorSwitch::kq_Click);
    connect(m.bg, &QAction::triggered, m_switch, &MonitorSwitch::bg_Click);
    connect(m.crsj, &QAction::triggered, this, &Form1::crsj_Click);

    auto *maintenance = new RecordMaintenance(
        m_grid, m_gridView,
        RecordStore(m_engine->recordFile(), RecordStore::DefaultLockWaitMs, m_services.backups),
        m_services.messages, this);
    connect(m.scgqsj, &QAction::triggered, maintenance, &RecordMaintenance::scgqsj_Click);
    connect(m.sjcsh, &QAction::triggered, maintenance, &RecordMaintenance::sjcsh_Click);
    connect(m.find, &QAction::triggered, this, [this] {
        Form3 search(m_grid, m_services.messages, this);
        search.exec();
    });
    connect(m.sz, &QAction::triggered, this, [this] { form4()->exec(); });
    connect(m.hfbf, &QAction::triggered, this, [this] {
        auto *window =
            new BackupWindow(m_services.backups, m_engine->recordFile(), m_services.messages, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });
    connect(m.syjh, &QAction::triggered, m_lab, &LabSchedule::open);
    connect(m.wdjl, &QAction::triggered, this, [this] {
        TemperatureWindow window(m_services, this);
        connect(&window, &TemperatureWindow::recorded, m_engine,
                &ReminderEngine::temperaturesChanged);
        window.exec();
    });
    (new HelpMenu(m_services.messages, this))->attach(m.jz, m.gy, m.sj);
}

Form4 *Form1::form4()
{
    if (!m_form4) {
        m_form4 = new Form4(m_services.messages, this);
        // Closing it with the close box discards it and whatever was typed since.
        connect(m_form4, &QDialog::rejected, m_form4, &QObject::deleteLater);
        connect(m_form4, &Form4::intervalApplied, m_switch, &MonitorSwitch::apply);
    }
    return m_form4;
}

void Form1::crsj_Click()
{
    if (!m_form2) {
        m_form2 = new Form2(m_services, this);
        connect(m_form2, &QDialog::rejected, m_form2, &QObject::deleteLater);
    }
    m_form2->exec();
}

void Form1::Form_Load()
{
    show();
    m_tray->show();
    setWindowTitle(QStringLiteral("正在获取正确的版本信息。"));
    m_timer2->start();
    m_engine->start();
    m_grid->layOutRecordColumns();
    m_engine->reload();
    fitToWorkArea();
}

void Form1::fitToWorkArea()
{
    // As wide as the grid wants (the due mark in sight), never beyond the work area; the
    // design's height where the work area has it.
    const int chrome = width() - m_gridView->width();
    const QSize wanted(qMax(Twips::toPixels(13080), m_gridView->naturalWidth() + chrome),
                       Twips::toPixels(7500));
    resize(wanted.boundedTo(WindowSystem::roomOnWorkArea(this, screen())));
    WindowSystem::placeOnWorkArea(this, screen());
}

QTimer *Form1::timer1() const
{
    return m_switch->timer1();
}

void Form1::daoru()
{
    m_engine->load();
}

void Form1::showToday(const ReminderEngine::LoadReport &report)
{
    if (!report.error.isEmpty())
        m_services.messages->show(report.error, Title::error(), MessageStyle::Exclamation);
    if (!report.warning.isEmpty())
        m_services.messages->show(report.warning, Title::notice(), MessageStyle::Exclamation);
    const QList<Batch> &today = m_engine->today();
    QList<QStringList> body;
    body.reserve(today.size() + 1);
    for (const Batch &batch : today)
        body << batch.cells(QString());
    body << QStringList();
    m_grid->replaceBody(std::move(body));
    m_grid->renumber();
    for (int i = 0; i < today.size(); ++i) {
        if (m_engine->isReminded(i))
            m_grid->markDue(i + 1);
    }
    if (report.checked)
        m_unreadable->loaded(m_engine->recordFile(), report.unreadable);
    m_lab->refreshGlance();
    m_switch->recordsLoaded();
}

void Form1::Timer1_Timer()
{
    m_engine->check();
}

void Form1::Timer2_Timer()
{
    setWindowTitle(QStringLiteral("Tarvelin V") + Version::text() + QStringLiteral("  ") +
                   TimeText::second(m_services.clock->now()));
}

void Form1::closeEvent(QCloseEvent *event)
{
    m_tray->remove();
    // Nothing runs after the window closed: no check, no watcher, no clock.
    for (QTimer *timer : findChildren<QTimer *>())
        timer->stop();
    event->accept();
    QCoreApplication::quit();
}

ReminderJournal::How Form1::yxts(int row)
{
    const ReminderDispatcher::Result result =
        m_dispatcher->dispatch(m_engine->today().at(row - 1).cells(QString::number(row)));
    // A record waiting for the exchange file's lock goes to a popup as soon as it can.
    return result.popupStarted || result.queued ? ReminderJournal::How::Popup
                                                : ReminderJournal::How::List;
}
