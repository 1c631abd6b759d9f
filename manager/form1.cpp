#include "form1.h"

#include "apppaths.h"
#include "backupwindow.h"
#include "clock.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "helpmenu.h"
#include "messages.h"
#include "numberreading.h"
#include "recordbackups.h"
#include "recordfile.h"
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

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QTimer>

namespace {
constexpr int kGridCols = 13;

struct RowLook
{
    QList<quint32> fore, back;
};
} // namespace

Form1::Form1(const ManagerServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_grid(new RecordGridModel(kGridCols, this)),
      m_monitor(m_grid, services.clock)
{
    setObjectName(QStringLiteral("Form1"));
    m_gridView = new RecordGridView(m_grid, this);
    m_gridView->setObjectName(QStringLiteral("Grid1"));
    setCentralWidget(m_gridView);
    resize(Twips::toPixels(13080), Twips::toPixels(7500));

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1000);
    connect(m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(m_timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

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
    connect(m_dispatcher, &ReminderDispatcher::reminderNotShown, this,
            [this](const QString &message) { m_services.notices->notShown(message); });

    buildMenus();
    connect(m_dq, &QAction::triggered, this, &Form1::reload);
    connect(m_end, &QAction::triggered, this, &QWidget::close);
    connect(m_tscsh, &QAction::triggered, this, [this] {
        ReminderReset(m_services, ReminderReset::primaryScreenHeightTwips()).tscsh_Click();
    });
    connect(m_kq, &QAction::triggered, this, &Form1::kq_Click);
    connect(m_bg, &QAction::triggered, this, &Form1::bg_Click);
    connect(m_crsj, &QAction::triggered, this, &Form1::crsj_Click);

    auto *maintenance = new RecordMaintenance(
        m_grid, m_gridView,
        RecordFile(AppPaths::recordFile(m_services.dataFolder), m_services.backups),
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
        connect(m_form4, &Form4::intervalApplied, this, [this](const QString &text) {
            const bool wasRunning = m_timer1->isActive();
            if (setMonitorInterval(text) && !wasRunning)
                m_monitor.restart();
        });
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
    m_bg->setEnabled(false);
    setWindowTitle(QStringLiteral("正在获取正确的版本信息。"));
    m_timer2->start();
    m_grid->layOutRecordColumns();
    daoru();
    if (m_grid->rows() != 2)
        startMonitor();
    if (monitorOn())
        remindPassed();
}

void Form1::startMonitor()
{
    if (!setMonitorInterval(form4()->intervalText()))
        return;
    m_monitor.restart();
    m_bg->setEnabled(true);
    m_kq->setEnabled(false);
}

bool Form1::monitorOn() const
{
    return m_bg->isEnabled();
}

void Form1::reload()
{
    daoru();
    if (m_grid->rows() != 2 && !monitorOn() && !m_stoppedByUser)
        startMonitor();
}

void Form1::newDay()
{
    // Whatever fell due since the last check belongs to the day that ends; check it first.
    if (monitorOn())
        Timer1_Timer();
    reload();
    if (!monitorOn())
        return;
    // A check that comes late (the computer slept) covers the present minute onwards; what
    // passed before is listed as late, not popped up one by one.
    m_monitor.restart();
    remindPassed();
}

void Form1::remindPassed()
{
    for (int row : m_monitor.markPassed()) {
        m_services.notices->late(
            QStringLiteral("到期时间 %1：编号 %2，工程部位 %3，强度等级 %4，配合比编号 %5")
                .arg(m_grid->textMatrix(row, SpecimenRecord::DueTimeColumn),
                     m_grid->textMatrix(row, 0), m_grid->textMatrix(row, 1),
                     m_grid->textMatrix(row, 2), m_grid->textMatrix(row, 3)));
    }
}

QString Form1::recordFileStamp() const
{
    // Every save replaces the file, so its change time moves even when size and content do not.
    const QFileInfo info(AppPaths::recordFile(m_services.dataFolder));
    if (!info.exists())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.metadataChangeTime().toMSecsSinceEpoch());
}

void Form1::kq_Click()
{
    if (m_grid->rows() == 2) {
        m_services.messages->show(QStringLiteral("开启失败"), QStringLiteral("提示"),
                                  MessageStyle::Exclamation);
        return;
    }
    // An interval that cannot be used is reported before anything claims to be started.
    if (!NumberReading::readWholeNumberIn(form4()->intervalText(), 0, 65535)) {
        setMonitorInterval(form4()->intervalText());
        return;
    }
    m_services.messages->show(QStringLiteral("已经开启"), QStringLiteral("提示"),
                              MessageStyle::Information);
    m_stoppedByUser = false;
    startMonitor();
}

void Form1::bg_Click()
{
    m_timer1->stop();
    m_timer1->setInterval(0);
    m_stoppedByUser = true;
    m_services.messages->show(QStringLiteral("已经关闭"), QStringLiteral("提示"),
                              MessageStyle::Plain);
    m_bg->setEnabled(false);
    m_kq->setEnabled(true);
}

void Form1::Timer1_Timer()
{
    const QList<int> due = m_monitor.check();
    for (int row : due)
        yxts(row);
}

bool Form1::setMonitorInterval(const QString &text)
{
    const auto interval = NumberReading::readWholeNumberIn(text, 0, 65535);
    if (!interval) {
        m_services.messages->show(
            QStringLiteral("刷新间隔“%1”无效：只能是 0 到 65535 毫秒。提醒间隔保持为 %2 毫秒。")
                .arg(text)
                .arg(m_timer1->isActive() ? m_timer1->interval() : 0),
            QStringLiteral("提示"), MessageStyle::Exclamation);
        return false;
    }
    if (*interval == 0) {
        m_timer1->stop();
        m_timer1->setInterval(0);
    } else {
        m_timer1->start(int(*interval));
    }
    return true;
}

void Form1::daoru()
{
    const RecordFile file(AppPaths::recordFile(m_services.dataFolder));
    m_loadedDate = TimeText::date(m_services.clock->now());
    m_recordFileStamp = recordFileStamp();
    // The lines of a file already checked are known; "读取数据" and the change of date read an
    // unchanged file again.
    const bool check = m_recordFileStamp.isEmpty() || m_recordFileStamp != m_checkedStamp;
    const RecordFile::Records loaded = file.readDueOn(m_loadedDate, check);
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
    if (check) {
        m_checkedStamp = m_recordFileStamp;
        m_unreadable->loaded(file.path(), loaded.unreadable);
    }
}

void Form1::Timer2_Timer()
{
    const QDateTime now = m_services.clock->now();
    setWindowTitle(QStringLiteral("Tarvelin V") + Version::text() + QStringLiteral("  ") +
                   TimeText::second(now));
    if (TimeText::date(now) != m_loadedDate)
        newDay();
    else if (recordFileStamp() != m_recordFileStamp)
        reload(); // a record was added, deleted or the file was emptied
}

void Form1::closeEvent(QCloseEvent *event)
{
    m_tray->remove();
    m_timer1->stop();
    m_timer2->stop();
    event->accept();
    QCoreApplication::quit();
}

void Form1::yxts(int row)
{
    QStringList cells;
    for (int c = 0; c <= SpecimenRecord::column(SpecimenRecord::Remark); ++c)
        cells << m_grid->textMatrix(row, c);
    m_dispatcher->dispatch(cells);
}
