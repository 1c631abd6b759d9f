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

namespace {
// A whole number of days from low to high; nothing for any other text.
std::optional<int> daysIn(const QString &value, int low, int high)
{
    bool ok = false;
    const int days = value.toInt(&ok);
    return ok && days >= low && days <= high ? std::optional<int>(days) : std::nullopt;
}
} // namespace

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
            overdueDays = daysIn(value, kFewestOverdueDays, kMostOverdueDays).value_or(overdueDays);
        } else if (key == u"designAge") {
            designAge = daysIn(value, kShortestDesignAge, kLongestDesignAge).value_or(designAge);
        } else if (key == u"watchedSince" && DueCheck::isDueTimeText(value)) {
            watchedSince = value;
        }
    }
}

QString LabSettings::save() const
{
    QString name = technician;
    name.remove(u'\n').remove(u'\r');
    const QString text =
        QStringLiteral("technician=%1\noverdueDays=%2\nwatchedSince=%3\ndesignAge=%4\n")
            .arg(name)
            .arg(overdueDays)
            .arg(watchedSince)
            .arg(designAge);
    const AtomicFile::Result saved = AtomicFile::replace(m_path, text.toUtf8());
    return saved.ok ? QString()
                    : AtomicFile::failureText(saved, JournalText::settingsFile(),
                                              QDir::toNativeSeparators(m_path));
}
