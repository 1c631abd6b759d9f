#include "schedulewindow.h"

#include "apppaths.h"
#include "clock.h"
#include "csvexport.h"
#include "labsettings.h"
#include "messages.h"
#include "recordgridview.h"
#include "schedulemodel.h"
#include "schedulepdf.h"
#include "strengthdialog.h"
#include "strengthtexts.h"
#include "textprompts.h"
#include "titles.h"
#include "windowsystem.h"
#include "windowtexts.h"

#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QPushButton *button(QLayout *layout, const char *name, const QString &text)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    layout->addWidget(b);
    return b;
}
} // namespace

ScheduleWindow::ScheduleWindow(const ManagerServices &services, ReminderJournal *journal,
                               LabSettings *settings, TextPrompts *prompts, QWidget *parent)
    : QDialog(parent), m_services(services), m_journal(journal), m_settings(settings),
      m_prompts(prompts), m_model(new ScheduleModel(journal, this))
{
    setObjectName(QStringLiteral("ScheduleWindow"));
    setWindowTitle(QStringLiteral("试验计划"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(1100, 600);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("显示：")));
    m_groups = new QComboBox;
    m_groups->setObjectName(QStringLiteral("groups"));
    top->addWidget(m_groups);
    top->addWidget(new QLabel(QStringLiteral("筛选：")));
    m_filter = new QLineEdit;
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setPlaceholderText(QStringLiteral("任一栏中的文字"));
    m_filter->setClearButtonEnabled(true);
    top->addWidget(m_filter, 1);
    top->addWidget(new QLabel(QStringLiteral("逾期未试只算最近")));
    m_span = new QSpinBox;
    m_span->setObjectName(QStringLiteral("span"));
    m_span->setRange(LabSettings::kFewestOverdueDays, LabSettings::kMostOverdueDays);
    m_span->setSuffix(QStringLiteral(" 天"));
    m_span->setValue(m_settings->overdueDays);
    top->addWidget(m_span);
    top->addWidget(new QLabel(QStringLiteral("设计龄期")));
    auto *designAge = new QSpinBox;
    designAge->setObjectName(QStringLiteral("designAge"));
    designAge->setRange(LabSettings::kShortestDesignAge, LabSettings::kLongestDesignAge);
    designAge->setSuffix(QStringLiteral(" 天"));
    designAge->setValue(m_settings->designAge);
    designAge->setToolTip(
        QStringLiteral("设计龄期的结果全部达到设计强度时，同一批的后续龄期可不再试验"));
    top->addWidget(designAge);
    m_model->setDesignAge(m_settings->designAge);

    m_view = new QTableView;
    m_view->setObjectName(QStringLiteral("schedule"));
    m_view->setModel(m_model);
    m_view->setFont(RecordGridView::gridFont());
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->horizontalHeader()->setDefaultSectionSize(110);
    m_view->horizontalHeader()->setStretchLastSection(true);

    auto *bottom = new QHBoxLayout;
    QPushButton *mark = button(bottom, "mark", QStringLiteral("标为已试验"));
    m_undo = button(bottom, "undo", QStringLiteral("撤销"));
    m_undo->setEnabled(false);
    m_technician = new QLabel;
    m_technician->setObjectName(QStringLiteral("technician"));
    bottom->addWidget(m_technician);
    QPushButton *who = button(bottom, "changeTechnician", QStringLiteral("更换试验人"));
    m_belowGrade = new QLabel;
    m_belowGrade->setObjectName(QStringLiteral("belowGrade"));
    m_belowGrade->setStyleSheet(QStringLiteral("color: #9c0006"));
    bottom->addWidget(m_belowGrade);
    bottom->addStretch();
    QPushButton *csv = button(bottom, "exportCsv", QStringLiteral("导出 CSV"));
    QPushButton *pdf = button(bottom, "exportPdf", QStringLiteral("导出 PDF"));
    QPushButton *close = button(bottom, "close", QStringLiteral("关闭"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);

    connect(m_groups, &QComboBox::currentIndexChanged, this, &ScheduleWindow::showGroup);
    connect(m_filter, &QLineEdit::textChanged, m_model, &ScheduleModel::setFilter);
    connect(m_span, &QSpinBox::valueChanged, this, [this](int days) {
        m_settings->overdueDays = days;
        load(m_model->scope()); // a longer span holds records not read yet
        emit marksChanged();
        saveSettings();
    });
    connect(designAge, &QSpinBox::valueChanged, this, [this](int days) {
        m_settings->designAge = days;
        m_model->setDesignAge(days);
        m_model->regroup();
        showCounts();
        saveSettings();
    });
    connect(mark, &QPushButton::clicked, this, &ScheduleWindow::markSelectedTested);
    connect(m_undo, &QPushButton::clicked, this, &ScheduleWindow::undo);
    connect(who, &QPushButton::clicked, this, [this] { askTechnician(true); });
    connect(csv, &QPushButton::clicked, this, &ScheduleWindow::exportCsv);
    connect(pdf, &QPushButton::clicked, this, &ScheduleWindow::exportPdf);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    m_technician->setText(QStringLiteral("试验人：%1").arg(m_settings->technician));
}

namespace {
// The groups offered, in the order shown: the coming days first, every record last.
constexpr int kShown[] = {ScheduleModel::Recent,   ScheduleModel::Overdue, ScheduleModel::Today,
                          ScheduleModel::Tomorrow, ScheduleModel::Week,    ScheduleModel::Later,
                          ScheduleModel::Other,    ScheduleModel::All};

bool needsWhole(int shown)
{
    return shown == ScheduleModel::Later || shown == ScheduleModel::Other ||
           shown == ScheduleModel::All;
}
} // namespace

void ScheduleWindow::reload()
{
    const int index = qMax(0, m_groups->currentIndex());
    load(needsWhole(kShown[index]) ? ScheduleModel::Scope::Whole : ScheduleModel::Scope::Recent);
}

void ScheduleWindow::load(ScheduleModel::Scope scope)
{
    const QDateTime now = m_services.clock->now();
    const int span = m_settings->overdueDays;
    const QStringList problems =
        scope == ScheduleModel::Scope::Whole
            ? m_journal->loadAll()
            : m_journal->loadDays(ScheduleModel::firstDay(now.date(), span),
                                  ScheduleModel::lastDay(now.date()));
    for (const QString &problem : problems)
        m_services.messages->show(problem, Title::notice(), MessageStyle::Exclamation);
    const QString error =
        m_model->load(AppPaths::recordFile(m_services.dataFolder), now, span, scope);
    if (!error.isEmpty())
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
    showCounts();
}

void ScheduleWindow::showGroup(int index)
{
    if (index < 0)
        return;
    if (needsWhole(kShown[index]) && m_model->scope() != ScheduleModel::Scope::Whole) {
        load(ScheduleModel::Scope::Whole); // shows the group chosen
        return;
    }
    m_model->setShownGroup(kShown[index]);
}

void ScheduleWindow::fitColumns()
{
    // Each column as wide as its header and its texts: dates, due times, counts and marks whole;
    // the long texts (part of the works, remark, state, result, advice) at most kLongest, cut
    // in their own column. The rows at the top stand for the rest.
    constexpr int kLongest = 260, kMeasuredRows = 300;
    const QFontMetrics metrics(m_view->font());
    const int padding = 2 * m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    const QList<int> longTexts{ScheduleModel::FirstFieldColumn + SpecimenRecord::WorksPart,
                               ScheduleModel::FirstFieldColumn + SpecimenRecord::Remark,
                               ScheduleModel::StateColumn, ScheduleModel::ResultColumn,
                               ScheduleModel::AdviceColumn};
    QHeaderView *header = m_view->horizontalHeader();
    const int rows = qMin(m_model->rowCount(), kMeasuredRows);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        int width = header->sectionSizeHint(c);
        for (int r = 0; r < rows; ++r)
            width = qMax(width, metrics.horizontalAdvance(m_model->index(r, c).data().toString()) +
                                    padding);
        m_view->setColumnWidth(c, longTexts.contains(c) ? qMin(width, kLongest) : width);
    }
}

namespace {
// Per user and computer (the registry on Windows, ~/.config on Linux), not beside a.bz, which
// the lab's other computers may share with other screens.
constexpr auto kPlaceKey = "windows/schedule";

QSettings userSettings()
{
    return QSettings(QStringLiteral("Tarvelin"), QStringLiteral("Tarvelin"));
}
} // namespace

bool ScheduleWindow::restorePlace(const QRect &workArea)
{
    const QByteArray place = userSettings().value(QLatin1String(kPlaceKey)).toByteArray();
    if (place.isEmpty() || !restoreGeometry(place))
        return false;
    if (isMaximized())
        return true;
    return workArea.marginsRemoved(WindowSystem::frameMargins(this)).contains(geometry());
}

void ScheduleWindow::forgetPlace()
{
    userSettings().remove(QLatin1String(kPlaceKey));
}

void ScheduleWindow::hideEvent(QHideEvent *event)
{
    // Closed, not minimised: the place to open at next time.
    if (!event->spontaneous())
        userSettings().setValue(QLatin1String(kPlaceKey), saveGeometry());
    QDialog::hideEvent(event);
}

void ScheduleWindow::scrollToStart()
{
    m_view->horizontalScrollBar()->setValue(0);
    m_view->scrollToTop();
}

void ScheduleWindow::showCounts()
{
    const int index = qMax(0, m_groups->currentIndex());
    const bool whole = m_model->scope() == ScheduleModel::Scope::Whole;
    const QSignalBlocker quiet(m_groups);
    m_groups->clear();
    for (int shown : kShown) {
        QString name = QStringLiteral("全部");
        int count = m_model->recordCount();
        if (shown == ScheduleModel::Recent) {
            name = QStringLiteral("近期");
            count = 0;
            for (int g = ScheduleModel::Overdue; g <= ScheduleModel::Week; ++g)
                count += m_model->count(ScheduleModel::Group(g));
        } else if (shown != ScheduleModel::All) {
            name = ScheduleModel::groupName(ScheduleModel::Group(shown));
            count = m_model->count(ScheduleModel::Group(shown));
        }
        m_groups->addItem(!whole && needsWhole(shown)
                              ? QStringLiteral("%1（选中后读取全部记录）").arg(name)
                              : QStringLiteral("%1（%2）").arg(name).arg(count));
    }
    m_groups->setCurrentIndex(index);
    m_model->setShownGroup(kShown[index]);
    fitColumns();
    const int below = m_model->belowGradeCount();
    m_belowGrade->setText(below > 0 ? StrengthText::belowGrade(below) : QString());
}

bool ScheduleWindow::askTechnician(bool always)
{
    if (!always && !m_settings->technician.isEmpty())
        return true;
    const std::optional<QString> name = m_prompts->text(
        this, QStringLiteral("试验人"), QStringLiteral("试验人姓名："), m_settings->technician);
    if (!name || name->trimmed().isEmpty())
        return false;
    m_settings->technician = name->trimmed();
    m_technician->setText(QStringLiteral("试验人：%1").arg(m_settings->technician));
    saveSettings();
    return true;
}

void ScheduleWindow::saveSettings()
{
    const QString error = m_settings->save();
    if (!error.isEmpty())
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
}

void ScheduleWindow::markSelectedTested()
{
    QStringList keys;
    for (const QModelIndex &row : m_view->selectionModel()->selectedRows())
        keys << m_model->keyAt(row.row());
    if (keys.isEmpty()) {
        m_services.messages->show(WindowText::selectToMark(), Title::notice(),
                                  MessageStyle::Exclamation);
        return;
    }
    if (!askTechnician(false))
        return;
    // One batch gets its strengths; several share one free text, as before.
    const std::optional<QString> result =
        keys.size() == 1
            ? askStrength(keys.first())
            : m_prompts->text(
                  this, QStringLiteral("标为已试验"),
                  QStringLiteral("%1 条记录的试验结果（可不填，例如 35.2 MPa）：").arg(keys.size()),
                  QString());
    if (!result)
        return;
    const QDateTime now = m_services.clock->now();
    m_lastMarking.clear();
    QString error;
    for (const QString &key : keys) {
        const ReminderJournal::Entry *before = m_journal->find(key);
        m_lastMarking.append({key, before ? *before : ReminderJournal::Entry()});
        const QString failed =
            m_journal->markTested(key, now, m_settings->technician, result->trimmed());
        error = error.isEmpty() ? failed : error;
    }
    if (!error.isEmpty())
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
    m_undo->setEnabled(true);
    m_model->regroup(now, m_settings->overdueDays);
    showCounts();
    emit marksChanged();
}

std::optional<QString> ScheduleWindow::askStrength(const QString &key)
{
    const ReminderJournal::Entry *latest = m_journal->find(key);
    const QString before =
        latest && latest->isTested() ? m_journal->text(latest->result) : QString();
    StrengthDialog dialog(Batch::fromLine(key), StrengthEntry::decode(before), m_services.messages,
                          this);
    if (!m_prompts->run(&dialog))
        return std::nullopt;
    return dialog.entry().encode();
}

bool ScheduleWindow::markTested(const QString &key)
{
    const auto rowOf = [this, &key] {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (m_model->keyAt(row) == key)
                return row;
        }
        return -1;
    };
    int row = rowOf();
    if (row < 0) {
        m_filter->clear();
        m_groups->setCurrentIndex(m_groups->count() - 1); // 全部
        row = rowOf();
    }
    if (row < 0)
        return false;
    m_view->clearSelection();
    m_view->selectRow(row);
    m_view->scrollTo(m_model->index(row, 0));
    markSelectedTested();
    return true;
}

void ScheduleWindow::undo()
{
    const QDateTime now = m_services.clock->now();
    QString error;
    for (const Undo &step : std::as_const(m_lastMarking)) {
        const QString failed = step.before.isTested()
                                   ? m_journal->markTested(step.key, step.before.testedAt(),
                                                           m_journal->text(step.before.testedBy),
                                                           m_journal->text(step.before.result))
                                   : m_journal->unmarkTested(step.key, now);
        error = error.isEmpty() ? failed : error;
    }
    if (!error.isEmpty())
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
    m_lastMarking.clear();
    m_undo->setEnabled(false);
    m_model->regroup(now, m_settings->overdueDays);
    showCounts();
    emit marksChanged();
}

QString ScheduleWindow::dayTitle() const
{
    return QStringLiteral("试验计划 %1").arg(TimeText::date(m_model->now()));
}

void ScheduleWindow::tellExported(const QString &error, const QString &path)
{
    if (error.isEmpty()) {
        m_services.messages->show(WindowText::exportedTo(QDir::toNativeSeparators(path)),
                                  Title::notice(), MessageStyle::Information);
    } else {
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
    }
}

QString ScheduleWindow::exportPath(const QString &suffix, const QString &filter)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return m_prompts->savePath(this, QStringLiteral("导出"),
                               QDir(folder).filePath(dayTitle() + suffix), filter);
}

void ScheduleWindow::exportCsv()
{
    const QString path = exportPath(QStringLiteral(".csv"), QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    tellExported(CsvExport::save(*m_model, path), path);
}

QString ScheduleWindow::printTitle() const
{
    // What is printed: the group, the filter and the rows left, not the group's whole count.
    const QString group = m_groups->currentText().section(u'（', 0, 0);
    const QString filter = m_filter->text().trimmed();
    return QStringLiteral("%1（%2%3，%4 条）")
        .arg(dayTitle(), group,
             filter.isEmpty() ? QString() : QStringLiteral("，筛选“%1”").arg(filter))
        .arg(m_model->rowCount());
}

void ScheduleWindow::exportPdf()
{
    const QString path = exportPath(QStringLiteral(".pdf"), QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString title = printTitle();
    tellExported(SchedulePdf::save(*m_model, title, path), path);
}
