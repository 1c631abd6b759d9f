#include "temperaturelog.h"

#include "apppaths.h"
#include "atomicfile.h"
#include "basetexts.h"
#include "filelock.h"
#include "gbkcodec.h"
#include "numberreading.h"
#include "temperaturetexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
// How much of a line the list of unreadable lines shows.
constexpr qsizetype kShownStart = 40;

// A field as a spreadsheet may write it: blanks around it, or in quotes.
QString bare(QStringView field)
{
    QStringView text = field.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.mid(1, text.size() - 2).trimmed();
    return text.toString();
}

std::optional<QDate> dateOf(const QString &text)
{
    const QString ascii = NumberReading::asciiForm(text);
    const QList<QStringView> parts = QStringView(ascii).split(ascii.contains(u'/') ? u'/' : u'-');
    if (parts.size() != 3 || parts[0].size() != 4)
        return std::nullopt;
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok || parts[i].isEmpty() || !parts[i].front().isDigit())
            return std::nullopt;
    }
    const QDate date(numbers[0], numbers[1], numbers[2]);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

bool holdsDigit(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}
} // namespace

TemperatureLog::TemperatureLog(const QString &dataFolder)
    : m_path(AppPaths::temperatureFile(dataFolder))
{
}

std::optional<double> TemperatureLog::readMean(QStringView text)
{
    QStringView number = text.trimmed();
    if (number.endsWith(u'℃'))
        number.chop(1);
    const std::optional<double> mean = NumberReading::wholeNumber(number);
    if (!mean || !(*mean >= kLowest && *mean <= kHighest))
        return std::nullopt;
    return mean;
}

QString TemperatureLog::line(const QDate &date, double mean)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(',') +
           EquivalentAge::numberText(mean, 2);
}

QString TemperatureLog::unreadableText(const QString &path, const Reading &reading)
{
    constexpr qsizetype kNamedAtMost = 5;
    QStringList named;
    for (qsizetype i = 0; i < reading.unreadable.size() && i < kNamedAtMost; ++i) {
        const RecordCheck::Unreadable &bad = reading.unreadable[i];
        named << TemperatureText::unreadableLine(bad.line, bad.start, bad.reason);
    }
    if (named.isEmpty())
        return {};
    return TemperatureText::unreadableLines(QDir::toNativeSeparators(path),
                                            reading.unreadable.size(), named.join(u'\n'));
}

TemperatureLog::Reading TemperatureLog::read() const
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return {};
    QFile file(m_path);
    if (info.isFile() && file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        if (file.error() == QFile::NoError)
            return parse(data);
    }
    Reading reading;
    reading.exists = true;
    reading.error = TemperatureText::cannotRead(QDir::toNativeSeparators(m_path),
                                                info.isFile() ? file.errorString()
                                                              : TemperatureText::notAFile());
    return reading;
}

TemperatureLog::Reading TemperatureLog::parse(const QByteArray &data)
{
    Reading reading;
    reading.exists = true;
    reading.lines = data.split('\n');
    if (!data.isEmpty() && data.endsWith('\n'))
        reading.lines.removeLast();
    for (qsizetype i = 0; i < reading.lines.size(); ++i) {
        QByteArray &bytes = reading.lines[i];
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const QString text = Gbk::decode(bytes);
        if (text.trimmed().isEmpty())
            continue;
        QStringList fields;
        for (QStringView field : QStringView(text).split(u','))
            fields << bare(field);
        while (fields.size() > 2 && fields.last().isEmpty())
            fields.removeLast();
        // The first line is a header when it names its columns rather than a date.
        if (i == 0 && !holdsDigit(fields.first()))
            continue;
        const auto unreadable = [&](const QString &reason) {
            reading.unreadable.append({i + 1, text.left(kShownStart), reason});
        };
        if (fields.size() != 2) {
            unreadable(TemperatureText::fieldCount(fields.size()));
            continue;
        }
        const std::optional<QDate> date = dateOf(fields[0]);
        if (!date) {
            unreadable(TemperatureText::badDate(fields[0]));
            continue;
        }
        const std::optional<double> mean = readMean(fields[1]);
        if (!mean) {
            unreadable(TemperatureText::badMean(fields[1]));
            continue;
        }
        reading.means.insert(*date, *mean);
        reading.lineOfDate.insert(*date, i);
    }
    return reading;
}

QString TemperatureLog::record(const EquivalentAge::Means &means, int lockWaitMs) const
{
    const QString shown = QDir::toNativeSeparators(m_path);
    const FileLock held(m_path, TemperatureText::file(), lockWaitMs);
    if (!held.isLocked())
        return held.error();
    const Reading now = read();
    if (!now.error.isEmpty())
        return now.error + QStringLiteral("。") + BaseText::unchanged(TemperatureText::file());
    QList<QByteArray> lines = now.lines;
    if (lines.isEmpty())
        lines << Gbk::encode(TemperatureText::header());
    for (auto it = means.cbegin(); it != means.cend(); ++it) {
        const QByteArray bytes = Gbk::encode(line(it.key(), it.value()));
        if (const auto at = now.lineOfDate.constFind(it.key()); at != now.lineOfDate.cend())
            lines[*at] = bytes;
        else
            lines << bytes;
    }
    const AtomicFile::Result written =
        AtomicFile::replace(m_path, lines.join(QByteArrayView("\r\n")) + "\r\n");
    return written.ok ? QString()
                      : AtomicFile::failureText(written, TemperatureText::file(), shown);
}
