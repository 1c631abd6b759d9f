#include "form1.h"

#include "apppaths.h"
#include "backupwindow.h"
#include "clock.h"
#include "clockwatchers.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "helpmenu.h"
#include "labschedule.h"
#include "messages.h"
#include "monitorswitch.h"
#include "recordbackups.h"
#include "recordfile.h"
#include "recordfilewatcher.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordline.h"
#include "recordmaintenance.h"
#include "reminderdispatcher.h"
#include "reminderlistwindow.h"
#include "remindernotices.h"
#include "reminderreset.h"
#include "specimenrecord.h"
#include "trayicon.h"
#include "twips.h"
#include "unreadablerecordswindow.h"
#include "version.h"
#include "windowsystem.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {
constexpr int kGridCols = 13;

struct RowLook
{
    QList<quint32> fore, back;
};

// Columns 0 to 10 of a row: the record as the dispatcher and the messages take it.
QStringList recordCells(const RecordGridModel &grid, int row)
{
    QStringList cells;
    for (int c = 0; c <= SpecimenRecord::column(SpecimenRecord::Remark); ++c)
        cells << grid.textMatrix(row, c);
    return cells;
}
} // namespace

Form1::Form1(const ManagerServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_grid(new RecordGridModel(kGridCols, this)),
      m_monitor(m_grid, services.clock), m_dayWatcher(new DayWatcher(services.clock, this)),
      m_fileWatcher(new RecordFileWatcher(AppPaths::recordFile(services.dataFolder), this))
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
    connect(m_dayWatcher, &DayWatcher::dayChanged, this, &Form1::newDay);
    connect(m_fileWatcher, &RecordFileWatcher::changed, this, [this] {
        // A new day reloads by itself, after the last check of the day that ended.
        if (!m_dayWatcher->poll())
            reload();
    });

    if (!m_services.notices)
        m_services.notices = new ReminderListWindows(this);
    if (!m_services.backups) {
        m_ownBackups = std::make_unique<RecordBackups>(m_services.dataFolder, m_services.clock,
                                                       m_services.messages);
        m_services.backups = m_ownBackups.get();
    }
    m_unreadable = new UnreadableRecordsWindow(this);

    m_dispatcher =
        new ReminderDispatcher(m_services, &ReminderReset::primaryScreenHeightTwips, this);
    // A popup that came after its record was listed is said in the same list.
    for (auto signal :
         {&ReminderDispatcher::reminderNotShown, &ReminderDispatcher::reminderShownAfterAll})
        connect(m_dispatcher, signal, this,
                [this](const QString &message) { m_services.notices->notShown(message); });

    buildMenus();
    connect(m_dq, &QAction::triggered, this, &Form1::reload);
    connect(m_end, &QAction::triggered, this, &QWidget::close);
    connect(m_tscsh, &QAction::triggered, this, [this] {
        ReminderReset(m_services, ReminderReset::primaryScreenHeightTwips()).tscsh_Click();
    });
    m_switch = new MonitorSwitch(
        m_grid, m_services.clock, m_services.messages, [this] { return form4()->intervalText(); },
        m_kq, m_bg, this);
    connect(m_switch, &MonitorSwitch::checkDue, this, &Form1::Timer1_Timer);
    connect(m_switch, &MonitorSwitch::switchedOn, this, [this] {
        m_monitor.restart();
        // Switched back on by the user: what fell due while it was off is listed now.
        if (!m_loading)
            remindPassed();
    });
    connect(m_kq, &QAction::triggered, m_switch, &MonitorSwitch::kq_Click);
    connect(m_bg, &QAction::triggered, m_switch, &MonitorSwitch::bg_Click);
    connect(m_crsj, &QAction::triggered, this, &Form1::crsj_Click);

    auto *maintenance =
        new RecordMaintenance(m_grid, m_gridView,
                              RecordStore(AppPaths::recordFile(m_services.dataFolder),
                                          RecordStore::DefaultLockWaitMs, m_services.backups),
                              m_services.messages, this);
    connect(m_scgqsj, &QAction::triggered, maintenance, &RecordMaintenance::scgqsj_Click);
    connect(m_sjcsh, &QAction::triggered, maintenance, &RecordMaintenance::sjcsh_Click);
    connect(m_find, &QAction::triggered, this, [this] {
        Form3 search(m_grid, m_services.messages, this);
        search.exec();
    });
    connect(m_sz, &QAction::triggered, this, [this] { form4()->exec(); });
    connect(m_hfbf, &QAction::triggered, this, [this] {
        auto *window =
            new BackupWindow(m_services.backups, AppPaths::recordFile(m_services.dataFolder),
                             m_services.messages, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });
    (new HelpMenu(m_services.messages, this))->attach(m_jz, m_gy, m_sj);
    m_tray = new TrayIcon(this, m_menu, this);

    auto *glance = new QLabel(this);
    glance->setObjectName(QStringLiteral("glance"));
    statusBar()->addWidget(glance);
    m_lab = new LabSchedule(m_services, this, glance, m_tray->icon());
    connect(m_syjh, &QAction::triggered, m_lab, &LabSchedule::open);
}

Form1::~Form1()
{
    delete m_form4;
}

QMenu *Form1::addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction *Form1::addItem(QMenu *parent, const QString &name, const QString &caption)
{
    QAction *a = parent->addAction(caption);
    a->setObjectName(name);
    return a;
}

void Form1::addSeparator(QMenu *parent, const QString &name)
{
    parent->addSeparator()->setObjectName(name);
}

void Form1::buildMenus()
{
    m_menu = addMenu(nullptr, QStringLiteral("menu"), QStringLiteral("菜单"));
    QMenu *csh = addMenu(m_menu, QStringLiteral("csh"), QStringLiteral("初始化"));
    m_tscsh = addItem(csh, QStringLiteral("tscsh"), QStringLiteral("提示初始化"));
    m_sjcsh = addItem(csh, QStringLiteral("sjcsh"), QStringLiteral("数据初始化"));
    addSeparator(m_menu, QStringLiteral("sssssssssssss"));
    m_end = addItem(m_menu, QStringLiteral("end"), QStringLiteral("退出"));

    QMenu *yx = addMenu(nullptr, QStringLiteral("yx"), QStringLiteral("运行"));
    m_kq = addItem(yx, QStringLiteral("kq"), QStringLiteral("开启提醒"));
    addSeparator(yx, QStringLiteral("y4"));
    m_bg = addItem(yx, QStringLiteral("bg"), QStringLiteral("停止提醒"));

    QMenu *sjbj = addMenu(nullptr, QStringLiteral("sjbj"), QStringLiteral("数据编辑"));
    m_dq = addItem(sjbj, QStringLiteral("dq"), QStringLiteral("读取数据"));
    addSeparator(sjbj, QStringLiteral("y1"));
    m_crsj = addItem(sjbj, QStringLiteral("crsj"), QStringLiteral("插入数据"));
    addSeparator(sjbj, QStringLiteral("y2"));
    m_find = addItem(sjbj, QStringLiteral("find"), QStringLiteral("查找数据"));
    addSeparator(sjbj, QStringLiteral("y3"));
    m_scgqsj = addItem(sjbj, QStringLiteral("scgqsj"), QStringLiteral("删除过期数据"));
    addSeparator(sjbj, QStringLiteral("y5"));
    m_hfbf = addItem(sjbj, QStringLiteral("hfbf"), QStringLiteral("从备份恢复"));
    m_syjh = addItem(sjbj, QStringLiteral("syjh"), QStringLiteral("试验计划"));

    QMenu *rjsz = addMenu(nullptr, QStringLiteral("rjsz"), QStringLiteral("软件设置"));
    m_sz = addItem(rjsz, QStringLiteral("sz"), QStringLiteral("设置"));

    QMenu *bz = addMenu(nullptr, QStringLiteral("bz"), QStringLiteral("帮助"));
    m_jz = addItem(bz, QStringLiteral("jz"), QStringLiteral("捐助"));
    m_gy = addItem(bz, QStringLiteral("gy"), QStringLiteral("关于"));
    m_sj = addItem(bz, QStringLiteral("sj"), QStringLiteral("提供建议/升级"));
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
    // Watching starts before the load, so that a change while loading is not missed.
    m_dayWatcher->start();
    m_fileWatcher->start();
    m_grid->layOutRecordColumns();
    reload();
    fitToWorkArea();
}

void Form1::fitToWorkArea()
{
    const QRect area = screen()->availableGeometry();
    const QMargins frame = WindowSystem::frameMargins(this);
    // As wide as the grid wants (the due mark in sight), never beyond the work area; the
    // design's height where the work area has it.
    const int chrome = width() - m_gridView->width();
    const int wide = qMax(Twips::toPixels(13080), m_gridView->naturalWidth() + chrome);
    const QSize size(qMin(wide, area.width() - frame.left() - frame.right()),
                     qMin(Twips::toPixels(7500), area.height() - frame.top() - frame.bottom()));
    resize(size);
    const QRect outer(frameGeometry().topLeft(), size.grownBy(frame));
    QPoint place = outer.topLeft();
    place.setX(qBound(area.left(), place.x(), area.right() + 1 - outer.width()));
    place.setY(qBound(area.top(), place.y(), area.bottom() + 1 - outer.height()));
    if (place != outer.topLeft())
        move(place);
}

QTimer *Form1::timer1() const
{
    return m_switch->timer1();
}

void Form1::reload()
{
    load();
    // A record saved after its minute, or the record file back after a while away; also when
    // today holds no record, but not while the user has the reminders stopped.
    if (m_switch->state() != MonitorSwitch::State::Stopped)
        remindPassed();
}

void Form1::load()
{
    m_loading = true;
    daoru();
    m_lab->refreshGlance();
    m_switch->recordsLoaded();
    m_loading = false;
}

void Form1::newDay()
{
    // Whatever fell due since the last check belongs to the day that ends; check it first.
    if (m_switch->isOn())
        Timer1_Timer();
    load();
    if (m_switch->state() == MonitorSwitch::State::Stopped)
        return;
    // A check that comes late (the computer slept) covers the present minute onwards; what
    // passed before is listed as late, not popped up one by one.
    if (m_switch->isOn())
        m_monitor.restart();
    remindPassed();
    // The new day's first minute has begun: its records are due now, not at the next tick.
    if (m_switch->isOn())
        Timer1_Timer();
}

void Form1::remindPassed()
{
    // Of every day since the watch began, not only today: the journal knows what was reminded.
    // Today's records are named by their number in the grid.
    QHash<QString, QString> numbers;
    for (int r = 1; r < m_grid->rows() - 1; ++r)
        numbers.insert(RecordLine::textOfRow(*m_grid, r), m_grid->textMatrix(r, 0));
    for (const QString &text : m_lab->catchUp(numbers))
        m_services.notices->late(text);
    m_monitor.markPassed(); // today's rows that were just listed
}

void Form1::Timer1_Timer()
{
    const QList<int> due = m_monitor.check();
    for (int row : due)
        yxts(row);
}

void Form1::daoru()
{
    const QString path = AppPaths::recordFile(m_services.dataFolder);
    const RecordFile file(path);
    // The lines of a file already checked are known; "读取数据" and a new day read an unchanged
    // file again.
    const QString stamp = RecordFileWatcher::stamp(path);
    const bool check = stamp.isEmpty() || stamp != m_checkedStamp;
    const RecordFile::Records loaded =
        file.readDueOn(TimeText::date(m_services.clock->now()), check);
    if (!loaded.error.isEmpty())
        m_services.messages->show(loaded.error, QStringLiteral("错误"), MessageStyle::Exclamation);

    const QString mark = SpecimenRecord::dueMarkText();
    const int markCol = SpecimenRecord::DueMarkColumn;
    QHash<QString, RowLook> marked;
    for (int r = 1; r < m_grid->rows(); ++r) {
        if (m_grid->textMatrix(r, markCol) != mark)
            continue;
        RowLook look;
        for (int c = 0; c < m_grid->cols(); ++c) {
            look.fore << m_grid->cellForeColour(r, c);
            look.back << m_grid->cellBackColour(r, c);
        }
        marked.insert(RecordLine::textOfRow(*m_grid, r), look);
    }

    QList<QStringList> body;
    body.reserve(loaded.lines.size() + 1);
    for (const QStringList &fields : loaded.lines) {
        // Nothing reaches the mark column, not even a field of a longer line.
        QStringList cells{QString()};
        const qsizetype count = RecordLine::shownFields(fields.size(), markCol - 1);
        for (qsizetype i = 0; i < count; ++i)
            cells << fields[i];
        body << cells;
    }
    body << QStringList();
    m_grid->replaceBody(std::move(body));

    if (!marked.isEmpty()) {
        for (int r = 1; r < m_grid->rows() - 1; ++r) {
            const auto it = marked.constFind(RecordLine::textOfRow(*m_grid, r));
            if (it == marked.constEnd())
                continue;
            m_grid->setTextMatrix(r, markCol, mark);
            for (int c = 0; c < m_grid->cols(); ++c) {
                m_grid->setCellForeColour(r, c, it->fore[c]);
                m_grid->setCellBackColour(r, c, it->back[c]);
            }
        }
    }
    m_grid->renumber();
    // Reminded before this load, in this run or an earlier one.
    for (int row : m_lab->remindedRows(*m_grid))
        m_monitor.mark(row);
    if (check) {
        m_checkedStamp = stamp;
        m_unreadable->loaded(file.path(), loaded.unreadable);
    }
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

void Form1::yxts(int row)
{
    m_dispatcher->dispatch(recordCells(*m_grid, row));
    m_lab->remindedByPopup(RecordLine::textOfRow(*m_grid, row));
}
