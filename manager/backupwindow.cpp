#include "backupwindow.h"

#include "messages.h"
#include "recordcheck.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordline.h"
#include "recordstore.h"
#include "titles.h"
#include "windowsystem.h"
#include "windowtexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The grid shows the first records of a backup; the count is of all.
constexpr qsizetype kShownAtMost = 1000;

QString describe(const RecordBackups::Backup &backup)
{
    const QString day = backup.day.toString(QStringLiteral("yyyy-MM-dd"));
    if (backup.occasion.isEmpty())
        return WindowText::firstSaveOfDay(day, backup.fileName);
    return QStringLiteral("%1 %2（%3）").arg(day, backup.occasion, backup.fileName);
}
} // namespace

BackupWindow::BackupWindow(RecordBackups *backups, QString recordFile, Messages *messages,
                           QWidget *owner)
    : QDialog(owner), m_backups(backups), m_recordFile(std::move(recordFile)), m_messages(messages),
      m_choice(new QComboBox(this)), m_count(new QLabel(this)),
      m_grid(new RecordGridModel(SpecimenRecord::ColumnCount, this)),
      m_restore(new QPushButton(QStringLiteral("恢复"), this))
{
    setObjectName(QStringLiteral("BackupWindow"));
    setWindowTitle(QStringLiteral("从备份恢复"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_choice->setObjectName(QStringLiteral("backupChoice"));
    m_restore->setObjectName(QStringLiteral("restoreBackup"));
    m_restore->setAutoDefault(false);
    m_count->setObjectName(QStringLiteral("backupCount"));
    m_count->setWordWrap(true);
    m_grid->layOutRecordColumns();
    auto *view = new RecordGridView(m_grid, this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setAutoDefault(false);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("备份："), this));
    top->addWidget(m_choice, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(m_restore);
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(view, 1);
    layout->addLayout(bottom);
    resize(900, 480);
    WindowSystem::keepOnWorkArea(this);

    connect(m_choice, &QComboBox::currentIndexChanged, this, &BackupWindow::choose);
    connect(m_restore, &QPushButton::clicked, this, &BackupWindow::restoreChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    fillChoices();
}

void BackupWindow::fillChoices()
{
    m_list = m_backups->list(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    const QSignalBlocker quiet(m_choice);
    m_choice->clear();
    for (const RecordBackups::Backup &backup : m_list)
        m_choice->addItem(describe(backup));
    if (m_list.isEmpty())
        m_count->setText(WindowText::noBackups(m_backups->folder()));
    choose(m_list.isEmpty() ? -1 : 0);
}

qsizetype BackupWindow::countRecords(const QString &path) const
{
    qsizetype count = 0;
    const RecordFile::Status read =
        RecordFile(path).forEachFilledLine([&](const QList<QStringView> &) { ++count; });
    return read.error.isEmpty() ? count : -1;
}

qsizetype BackupWindow::look(const QByteArray &bytes, QList<QStringList> *rows)
{
    qsizetype count = 0;
    RecordFile::forEachFilledLine(bytes, [&](const QList<QStringView> &fields) {
        if (count++ >= kShownAtMost)
            return;
        QStringList cells{QString()};
        const qsizetype shown =
            RecordLine::shownFields(fields.size(), SpecimenRecord::ColumnCount - 1);
        for (qsizetype i = 0; i < shown; ++i)
            cells << fields[i].toString();
        rows->append(cells);
    });
    m_warning.clear();
    if (RecordCheck::isUtf8(bytes))
        m_warning += WindowText::backupInUtf8();
    if (const qsizetype unreadable = RecordCheck::unreadableLines(bytes).total; unreadable > 0)
        m_warning += WindowText::backupUnreadableLines(unreadable);
    return count;
}

void BackupWindow::choose(int index)
{
    QList<QStringList> rows;
    RecordBackups::Copy copy;
    m_records = -1;
    if (index >= 0 && index < m_list.size()) {
        copy = RecordBackups::read(m_list[index].path);
        if (copy.error.isEmpty())
            m_records = look(copy.bytes, &rows);
    }
    rows << QStringList();
    m_grid->replaceBody(rows);
    m_grid->renumber();
    m_restore->setEnabled(m_records >= 0);
    if (index < 0)
        return;
    if (m_records < 0) {
        m_count->setText(WindowText::backupUnreadable() + QLatin1Char('\n') + copy.error);
        return;
    }
    QString text = WindowText::backupRecords(m_records);
    if (m_records > kShownAtMost)
        text += WindowText::backupRecordsShown(kShownAtMost);
    m_count->setText(text + m_warning);
}

void BackupWindow::restoreChosen()
{
    const int index = m_choice->currentIndex();
    if (index < 0 || index >= m_list.size() || m_records < 0)
        return;
    const RecordBackups::Backup chosen = m_list[index];
    const qsizetype now = countRecords(m_recordFile);
    const QString question = WindowText::restoreQuestion(chosen.fileName, m_records, now);
    // The records of now are replaced: only on a "是" that was not the default.
    if (!m_messages->confirm(m_warning.isEmpty() ? question
                                                 : m_warning + QStringLiteral("\n\n") + question,
                             Title::notice()))
        return;
    const QString error = RecordStore(m_recordFile, RecordStore::DefaultLockWaitMs, m_backups)
                              .restore(chosen.path)
                              .error;
    if (!error.isEmpty()) {
        m_messages->show(error, Title::error(), MessageStyle::Exclamation);
        return;
    }
    m_messages->show(WindowText::restored(chosen.fileName, m_records), Title::notice(),
                     MessageStyle::Information);
    fillChoices();
}
