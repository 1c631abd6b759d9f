#include "labsettings.h"

#include "atomicfile.h"
#include "duecheck.h"
#include "journaltexts.h"
#include "numberreading.h"

#include <QDir>
#include <QFile>

LabSettings::LabSettings(const QString &dataFolder)
    : m_path(QDir(dataFolder).filePath(QStringLiteral("tarvelin-settings.txt")))
{
}

std::optional<int> LabSettings::readInterval(QStringView text)
{
    const auto interval = NumberReading::readWholeNumberIn(text, 0, kLongestIntervalMs);
    if (!interval)
        return std::nullopt;
    return int(*interval);
}

void LabSettings::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QStringView key = line.left(eq);
        const QString value = line.mid(eq + 1).trimmed().toString();
        if (key == u"technician") {
            technician = value;
        } else if (key == u"overdueDays") {
            bool ok = false;
            const int days = value.toInt(&ok);
            if (ok && days >= kFewestOverdueDays && days <= kMostOverdueDays)
                overdueDays = days;
        } else if (key == u"watchedSince" && DueCheck::isDueTimeText(value)) {
            watchedSince = value;
        }
    }
}

QString LabSettings::save() const
{
    QString name = technician;
    name.remove(u'\n').remove(u'\r');
    const QString text = QStringLiteral("technician=%1\noverdueDays=%2\nwatchedSince=%3\n")
                             .arg(name)
                             .arg(overdueDays)
                             .arg(watchedSince);
    const AtomicFile::Result saved = AtomicFile::replace(m_path, text.toUtf8());
    return saved.ok ? QString()
                    : AtomicFile::failureText(saved, JournalText::settingsFile(),
                                              QDir::toNativeSeparators(m_path));
}
