#include "reminderlistwindow.h"

#include "windowsystem.h"
#include "windowtexts.h"

#include <QAbstractListModel>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

// The lines of one window, appended many at a time.
class ReminderEntryModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_texts.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
            return {};
        return m_texts.at(index.row());
    }
    void append(const QStringList &texts)
    {
        if (texts.isEmpty())
            return;
        beginInsertRows({}, int(m_texts.size()), int(m_texts.size() + texts.size()) - 1);
        m_texts += texts;
        endInsertRows();
    }
    void clear()
    {
        beginResetModel();
        m_texts.clear();
        endResetModel();
    }
    const QStringList &texts() const { return m_texts; }

private:
    QStringList m_texts;
};

ReminderListWindow::ReminderListWindow(const QString &title, const QString &intro, int cornerOffset,
                                       QWidget *parent)
    : QDialog(parent), m_intro(new QLabel(intro, this)), m_list(new QListView(this)),
      m_model(new ReminderEntryModel(this)), m_takeIn(new QTimer(this)),
      m_cornerOffset(cornerOffset)
{
    setWindowTitle(title);
    setWindowModality(Qt::NonModal);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_intro->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setModel(m_model);
    m_list->setWordWrap(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_takeIn->setSingleShot(true);
    m_takeIn->setInterval(0);
    connect(m_takeIn, &QTimer::timeout, this, &ReminderListWindow::takeIn);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(560, 300);
}

void ReminderListWindow::addEntry(const QString &text)
{
    m_waiting.append(text);
    if (!m_takeIn->isActive())
        m_takeIn->start();
    if (!isVisible()) {
        show();
        standInCorner();
    }
}

void ReminderListWindow::takeIn()
{
    m_model->append(m_waiting);
    m_waiting.clear();
    m_list->scrollToBottom();
    raise();
    activateWindow();
}

void ReminderListWindow::standInCorner()
{
    // By the notification area, where a taskbar has it: away from the main window's menus.
    const int titleBar = WindowSystem::frameMargins(this).top();
    const int offset = m_cornerOffset * (titleBar > 0 ? titleBar : fontMetrics().height());
    WindowSystem::placeOnWorkArea(this, screen(), Qt::AlignRight | Qt::AlignBottom, offset);
}

QStringList ReminderListWindow::entries() const
{
    return m_model->texts() + m_waiting;
}

void ReminderListWindow::done(int result)
{
    // Read and dismissed: the next reminder starts a fresh list.
    m_takeIn->stop();
    m_waiting.clear();
    m_model->clear();
    QDialog::done(result);
}

ReminderListWindows::ReminderListWindows(QWidget *owner)
    : QObject(owner), m_notShown(new ReminderListWindow(QStringLiteral("到期提醒"),
                                                        WindowText::notShownIntro(), 0, owner)),
      m_late(new ReminderListWindow(QStringLiteral("错过的到期提醒"), WindowText::lateIntro(), 1,
                                    owner))
{
    m_notShown->setObjectName(QStringLiteral("notShownReminders"));
    m_late->setObjectName(QStringLiteral("lateReminders"));
}

void ReminderListWindows::notShown(const QString &text)
{
    m_notShown->addEntry(text);
}

void ReminderListWindows::late(const QString &text)
{
    m_late->addEntry(text);
}
