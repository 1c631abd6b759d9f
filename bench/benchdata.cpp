#include "benchdata.h"

#include "duetime.h"
#include "recordfile.h"

#include <QFile>

#include <random>

namespace BenchData {

namespace {
// std::mt19937 gives the same sequence everywhere; the distributions of <random> do not, so
// values are picked with a plain remainder.
class Picker
{
public:
    int below(int n) { return int(m_engine() % unsigned(n)); }
    template <typename T> const T &from(const QList<T> &list) { return list[below(list.size())]; }

private:
    std::mt19937 m_engine{20261206u};
};

const QStringList kSites{QStringLiteral("滨江花园"),       QStringLiteral("科技园"),
                         QStringLiteral("第三实验中学"),   QStringLiteral("Metro-L2"),
                         QStringLiteral("人民医院门诊楼"), QStringLiteral("港湾大道")};
const QStringList kMembers{QStringLiteral("梁板"),     QStringLiteral("柱"),
                           QStringLiteral("剪力墙"),   QStringLiteral("楼梯"),
                           QStringLiteral("基础承台"), QStringLiteral("垫层"),
                           QStringLiteral("圈梁"),     QStringLiteral("构造柱")};
const QStringList kGrades{QStringLiteral("C15"), QStringLiteral("C20"), QStringLiteral("C25"),
                          QStringLiteral("C30"), QStringLiteral("C30"), QStringLiteral("C35"),
                          QStringLiteral("C40"), QStringLiteral("C50"), QStringLiteral("C60")};
const QStringList kCuring{QStringLiteral("标准养护"), QStringLiteral("标准养护"),
                          QStringLiteral("同级养护")};
const QStringList kRemarks{QString(),
                           QString(),
                           QString(),
                           QString(),
                           QStringLiteral("加急"),
                           QStringLiteral("监理见证"),
                           QStringLiteral("复检"),
                           QStringLiteral("P8抗渗")};
const QList<int> kAges{3, 7, 7, 14, 28, 28, 28, 56, 60, 90};

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString worksPart(Picker &pick)
{
    const int building = 1 + pick.below(24);
    if (pick.below(5) == 0)
        return QStringLiteral("%1 B%2-%3").arg(pick.from(kSites)).arg(building).arg(pick.below(9));
    return QStringLiteral("%1%2#楼%3层%4")
        .arg(pick.from(kSites))
        .arg(building)
        .arg(1 + pick.below(32))
        .arg(pick.from(kMembers));
}
} // namespace

QDateTime now()
{
    return QDateTime(QDate(2026, 12, 6), QTime(10, 0));
}

int recordCount()
{
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("TARVELIN_BENCH_RECORDS", &ok);
    return ok && fromEnvironment >= kDueToday ? fromEnvironment : kFullRecords;
}

QList<QStringList> records(int count)
{
    Picker pick;
    const QDate today = now().date();
    const int dueEvery = qMax(1, count / kDueToday);
    QList<QStringList> result;
    result.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int age = pick.from(kAges);
        const QTime made(7 + pick.below(12), pick.below(60));
        const bool dueToday = i % dueEvery == dueEvery / 2 && i / dueEvery < kDueToday;
        // Three years of entries, oldest first.
        QDate madeOn = today.addDays(-1100 + qint64(i) * 1100 / count - pick.below(3));
        if (dueToday)
            madeOn = today.addDays(-age);
        else if (madeOn.addDays(age) == today)
            madeOn = madeOn.addDays(-1);
        const QString due =
            QDateTime(madeOn, made).addDays(age).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        result.append({worksPart(pick), pick.from(kGrades),
                       QStringLiteral("PB-%1-%2")
                           .arg(madeOn.year())
                           .arg(pick.below(10000), 4, 10, QLatin1Char('0')),
                       DueTime::pickerDateText(madeOn) + QLatin1Char(' ') + twoDigits(made.hour()) +
                           QLatin1Char(':') + twoDigits(made.minute()),
                       QString::number(age), due, pick.from(kCuring),
                       QStringLiteral("%1.%2").arg(1 + pick.below(80)).arg(pick.below(10)),
                       QString::number(1 + pick.below(6)), pick.from(kRemarks), QString()});
    }
    return result;
}

QStringList dueTimesToday(int count)
{
    const QDate today = now().date();
    const int present = now().time().hour() * 60 + now().time().minute();
    QStringList result;
    result.reserve(count);
    for (int i = 0; i < count; ++i) {
        int minute = (i * 7) % (24 * 60);
        if (minute == present)
            ++minute;
        result.append(QDateTime(today, QTime(minute / 60, minute % 60))
                          .toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    }
    return result;
}

bool makeRecordFile(const QString &path, const QList<QStringList> &table)
{
    QFile file(path);
    const QByteArray bytes = RecordFile::tableBytes(table);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace BenchData
