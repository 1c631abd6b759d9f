#include "recordbackups.h"

#include "atomicfile.h"
#include "clock.h"
#include "messages.h"
#include "recordfile.h"
#include "storetexts.h"
#include "titles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
constexpr int kDaysKept = 30;

QString occasionText(RecordBackups::Occasion occasion)
{
    switch (occasion) {
    case RecordBackups::Occasion::FirstSaveOfDay:
        return {};
    case RecordBackups::Occasion::BeforeInitialisation:
        return StoreText::beforeInitialisation();
    case RecordBackups::Occasion::BeforeDeletion:
        return StoreText::beforeDeletion();
    case RecordBackups::Occasion::BeforeRestore:
        return StoreText::beforeRestore();
    }
    return {};
}

// "a 2026-12-08.bz", "a 2026-12-08 093015 删除前.bz", "a 2026-12-08 093015 删除前 (2).bz".
const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^a (\d{4}-\d{2}-\d{2})(?: (\d{6}) ([^ ()]+))?(?: \(\d+\))?\.bz$)"));
    return pattern;
}
} // namespace

RecordBackups::RecordBackups(QString dataFolder, const Clock *clock, Messages *messages)
    : m_dataFolder(std::move(dataFolder)), m_clock(clock), m_messages(messages)
{
}

QString RecordBackups::folder() const
{
    return m_dataFolder + QLatin1Char('/') + StoreText::backupFolder();
}

QString RecordBackups::copyName(Occasion occasion) const
{
    const QDateTime now = m_clock->now();
    QString name = QStringLiteral("a ") + now.toString(QStringLiteral("yyyy-MM-dd"));
    if (occasion != Occasion::FirstSaveOfDay) {
        name += now.toString(QStringLiteral(" HHmmss ")) + occasionText(occasion);
    }
    QString candidate = name + QStringLiteral(".bz");
    for (int n = 2; QFile::exists(folder() + QLatin1Char('/') + candidate); ++n)
        candidate = name + QStringLiteral(" (%1).bz").arg(n);
    return candidate;
}

void RecordBackups::keep(Occasion occasion, const QByteArray &now, const QString &unreadable)
{
    const QList<Backup> before = list();
    const QDate today = m_clock->now().date();
    if (occasion == Occasion::FirstSaveOfDay && !before.isEmpty() && before.first().day == today)
        return;
    const QString why = write(occasion, now, unreadable);
    if (!why.isEmpty() && !m_failureTold) {
        m_messages->show(StoreText::backupNotKept(folder(), why), Title::notice(),
                         MessageStyle::Exclamation);
    }
    m_failureTold = !why.isEmpty();
}

QString RecordBackups::keepPromised(Occasion occasion, const QByteArray &now,
                                    const QString &unreadable)
{
    const QString why = write(occasion, now, unreadable);
    m_failureTold = m_failureTold && !why.isEmpty();
    return why;
}

QString RecordBackups::write(Occasion occasion, const QByteArray &now, const QString &unreadable)
{
    QString why = unreadable;
    const QString target = folder() + QLatin1Char('/') + copyName(occasion);
    if (why.isEmpty() && !QDir().mkpath(folder()))
        why = AtomicFile::whyFolderRefusesWrites(m_dataFolder);
    if (why.isEmpty()) {
        const AtomicFile::Result written = AtomicFile::replace(target, now);
        if (!written.ok)
            why = written.readOnly ? StoreText::readOnly() : written.reason;
    }
    if (why.isEmpty())
        prune(list());
    return why;
}

QList<RecordBackups::Backup> RecordBackups::list(QDir::Filters kinds) const
{
    QList<Backup> backups;
    const QStringList names =
        QDir(folder()).entryList({QStringLiteral("a *.bz")}, kinds, QDir::Name);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = namePattern().match(name);
        if (!match.hasMatch())
            continue;
        backups.append({folder() + QLatin1Char('/') + name, name,
                        QDate::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd")),
                        QTime::fromString(match.captured(2), QStringLiteral("HHmmss")),
                        match.captured(3)});
    }
    std::sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) {
        if (a.day != b.day)
            return a.day > b.day;
        if (a.time != b.time)
            return a.time.isValid() && (!b.time.isValid() || a.time > b.time);
        return a.fileName > b.fileName;
    });
    return backups;
}

void RecordBackups::prune(const QList<Backup> &backups) const
{
    const QDate oldestKept = m_clock->now().date().addDays(1 - kDaysKept);
    bool keptNewestDeletion = false;
    for (const Backup &backup : backups) {
        const bool deletion = !backup.occasion.isEmpty();
        if (deletion && !keptNewestDeletion) {
            keptNewestDeletion = true;
            continue;
        }
        if (backup.day < oldestKept) {
            QFile old(backup.path);
            old.setPermissions(old.permissions() | QFile::WriteOwner);
            old.remove();
        }
    }
}

RecordBackups::Copy RecordBackups::read(const QString &backupPath)
{
    if (const QString why = RecordFile::whyNotAFile(backupPath); !why.isEmpty())
        return {{}, StoreText::cannotReadBackup(backupPath, why)};
    if (const qint64 size = QFileInfo(backupPath).size(); size > LargestCopy)
        return {{}, StoreText::backupTooLarge(backupPath, size, LargestCopy)};
    QFile backup(backupPath);
    if (!backup.open(QIODevice::ReadOnly))
        return {{}, StoreText::cannotReadBackup(backupPath, backup.errorString())};
    return {backup.readAll(), {}};
}
