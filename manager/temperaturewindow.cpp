#include "temperaturewindow.h"

#include "clock.h"
#include "messages.h"
#include "temperaturelog.h"
#include "temperaturetexts.h"
#include "titles.h"
#include "unreadablerecordswindow.h"
#include "windowsystem.h"
#include "windowtexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QString dateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString meanText(double mean)
{
    return EquivalentAge::numberText(mean, 2);
}
} // namespace

void TemperatureModel::show(const QDate &today, EquivalentAge::Means means)
{
    beginResetModel();
    m_today = today;
    m_means = std::move(means);
    endResetModel();
}

int TemperatureModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Days;
}

int TemperatureModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TemperatureModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QDate date = dateAt(index.row());
    if (index.column() == DateColumn)
        return dateText(date);
    const auto found = m_means.constFind(date);
    return found == m_means.cend() ? QString() : meanText(*found);
}

QVariant TemperatureModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == DateColumn ? QStringLiteral("日期") : QStringLiteral("日平均温度（℃）");
}

Qt::ItemFlags TemperatureModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == MeanColumn ? flags | Qt::ItemIsEditable : flags;
}

bool TemperatureModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != MeanColumn || role != Qt::EditRole)
        return false;
    emit meanTyped(dateAt(index.row()), value.toString());
    return true;
}

TemperatureWindow::TemperatureWindow(const ManagerServices &services, QWidget *owner)
    : QDialog(owner), m_services(services), m_model(new TemperatureModel(this)),
      m_unreadable(new UnreadableLinesModel(this)), m_mean(new QLineEdit(this)),
      m_highest(new QLineEdit(this)), m_lowest(new QLineEdit(this)), m_today(new QLabel(this)),
      m_unreadableIntro(new QLabel(this)), m_unreadableView(new QTableView(this))
{
    setObjectName(QStringLiteral("temperatureWindow"));
    setWindowTitle(QStringLiteral("温度记录"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_mean->setObjectName(QStringLiteral("mean"));
    m_highest->setObjectName(QStringLiteral("highest"));
    m_lowest->setObjectName(QStringLiteral("lowest"));
    auto *record = new QPushButton(QStringLiteral("记录"), this);
    record->setObjectName(QStringLiteral("recordMean"));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton *button : {record, close})
        button->setAutoDefault(false);

    auto *boxes = new QGridLayout;
    boxes->addWidget(m_today, 0, 0, 1, 4);
    boxes->addWidget(new QLabel(QStringLiteral("日平均温度（℃）："), this), 1, 0);
    boxes->addWidget(m_mean, 1, 1);
    boxes->addWidget(record, 1, 3);
    boxes->addWidget(new QLabel(QStringLiteral("或 最高温度（℃）："), this), 2, 0);
    boxes->addWidget(m_highest, 2, 1);
    boxes->addWidget(new QLabel(QStringLiteral("最低温度（℃）："), this), 2, 2);
    boxes->addWidget(m_lowest, 2, 3);

    auto *table = new QTableView(this);
    table->setObjectName(QStringLiteral("temperatureTable"));
    table->setModel(m_model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    m_unreadableIntro->setWordWrap(true);
    m_unreadableView->setObjectName(QStringLiteral("unreadableTemperatures"));
    m_unreadableView->setModel(m_unreadable);
    m_unreadableView->verticalHeader()->hide();
    m_unreadableView->horizontalHeader()->setStretchLastSection(true);
    m_unreadableView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(new QLabel(QStringLiteral("最近 30 天（双击日平均温度可以改正）："), this));
    layout->addWidget(table, 2);
    layout->addWidget(m_unreadableIntro);
    layout->addWidget(m_unreadableView, 1);
    layout->addLayout(bottom);
    resize(600, 640);
    WindowSystem::keepOnWorkArea(this);

    connect(record, &QPushButton::clicked, this, &TemperatureWindow::recordToday);
    for (QLineEdit *box : {m_mean, m_lowest})
        connect(box, &QLineEdit::returnPressed, this, &TemperatureWindow::recordToday);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // After the table's editor has closed: the recording may ask, and shows the file again.
    connect(
        m_model, &TemperatureModel::meanTyped, this,
        [this](const QDate &date, const QString &text) { recordMean(date, text); },
        Qt::QueuedConnection);
    reload();
    WindowSystem::prepareModalWindow(this);
}

void TemperatureWindow::reload()
{
    const QDate today = m_services.clock->now().date();
    const TemperatureLog log(m_services.dataFolder);
    const TemperatureLog::Reading read = log.read();
    if (!read.error.isEmpty())
        m_services.messages->show(read.error, Title::error(), MessageStyle::Exclamation);
    m_means = read.means;
    m_today->setText(QStringLiteral("今天：%1").arg(dateText(today)));
    m_model->show(today, read.means);
    m_unreadable->setLines(read.unreadable);
    const bool any = !read.unreadable.isEmpty();
    m_unreadableIntro->setText(
        any ? WindowText::temperatureLinesUnreadable(log.path(), read.unreadable.size())
            : QString());
    m_unreadableIntro->setVisible(any);
    m_unreadableView->setVisible(any);
}

std::optional<double> TemperatureWindow::typedMean()
{
    const auto read = [this](const QString &name, const QString &text) {
        const std::optional<double> value = TemperatureLog::readMean(text);
        if (!value)
            m_services.messages->show(TemperatureText::badReading(name, text), Title::error(),
                                      MessageStyle::Exclamation);
        return value;
    };
    if (!m_mean->text().trimmed().isEmpty())
        return read(TemperatureText::meanName(), m_mean->text());
    if (m_highest->text().trimmed().isEmpty() || m_lowest->text().trimmed().isEmpty()) {
        m_services.messages->show(WindowText::temperatureMissing(), Title::notice(),
                                  MessageStyle::Exclamation);
        return std::nullopt;
    }
    const auto highest = read(QStringLiteral("最高温度"), m_highest->text());
    const auto lowest = highest ? read(QStringLiteral("最低温度"), m_lowest->text()) : std::nullopt;
    if (!lowest)
        return std::nullopt;
    if (*highest < *lowest) {
        m_services.messages->show(
            WindowText::highestBelowLowest(meanText(*highest), meanText(*lowest)), Title::error(),
            MessageStyle::Exclamation);
        return std::nullopt;
    }
    return (*highest + *lowest) / 2;
}

void TemperatureWindow::recordToday()
{
    const std::optional<double> mean = typedMean();
    if (mean && record(m_services.clock->now().date(), *mean)) {
        for (QLineEdit *box : {m_mean, m_highest, m_lowest})
            box->clear();
    }
}

bool TemperatureWindow::recordMean(const QDate &date, const QString &text)
{
    if (text.trimmed().isEmpty())
        return false;
    const std::optional<double> mean = TemperatureLog::readMean(text);
    if (!mean) {
        m_services.messages->show(TemperatureText::badReading(TemperatureText::meanName(), text),
                                  Title::error(), MessageStyle::Exclamation);
        return false;
    }
    return record(date, *mean);
}

bool TemperatureWindow::record(const QDate &date, double mean)
{
    const TemperatureLog log(m_services.dataFolder);
    // Asked of the file as it is now: a logger may have written the day since the window opened.
    const EquivalentAge::Means now = log.read().means;
    if (const auto old = now.constFind(date); old != now.cend()) {
        if (meanText(*old) == meanText(mean))
            return true;
        if (!m_services.messages->confirm(
                WindowText::replaceMeanQuestion(dateText(date), meanText(*old), meanText(mean)),
                Title::notice()))
            return false;
    }
    const QString error = log.record({{date, mean}});
    if (!error.isEmpty())
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
    reload();
    if (!error.isEmpty())
        return false;
    emit recorded();
    return true;
}
