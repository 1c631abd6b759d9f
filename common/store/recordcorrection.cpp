#include "recordcorrection.h"

#include "duetime.h"
#include "gbkcodec.h"
#include "recordline.h"
#include "recordstore.h"

namespace RecordCorrection {

namespace {
QString unchangedNote()
{
    return QStringLiteral("记录文件未被改动。");
}

// The bytes of the line of a record with these stored fields: each field followed by ",".
QByteArray lineOf(const QStringList &stored)
{
    QList<QStringView> fields(stored.cbegin(), stored.cend());
    fields.append(QStringView()); // the due mark, never stored
    return Gbk::encode(RecordLine::text(fields));
}

struct Found
{
    QString error;
    QByteArray data;
    qsizetype start = -1, end = -1; // the line, without its break
};

// The first line of the file, as it is now, that is the record's line.
Found find(const QString &path, const RecordFile::Bytes &now, const QStringList &stored)
{
    Found found;
    if (!now.exists || !now.error.isEmpty()) {
        found.error = QStringLiteral("无法读取记录文件 %1。").arg(path) + unchangedNote();
        return found;
    }
    found.data = now.data;
    const QByteArray wanted = lineOf(stored);
    for (QByteArrayView line : RecordFile::splitLines(found.data)) {
        if (line == wanted) {
            found.start = line.data() - found.data.constData();
            found.end = found.start + line.size();
            return found;
        }
    }
    found.error = QStringLiteral("记录文件中已没有这条记录（可能已在别处修改或删除），表格已按记录"
                                 "文件重新显示。") +
                  unchangedNote();
    return found;
}

// The file without the line found: it goes with the break after it; the last line with the break
// before it.
QByteArray withoutLine(const Found &found)
{
    qsizetype start = found.start, end = found.end;
    const QByteArray &data = found.data;
    if (end < data.size()) {
        end += data.mid(end, 2) == "\r\n" ? 2 : 1;
    } else if (start > 0) {
        start -= start >= 2 && data.mid(start - 2, 2) == "\r\n" ? 2 : 1;
    }
    QByteArray kept = data;
    return kept.remove(start, end - start);
}

// The store's rewrite: finds the record's line in the file as it is now and puts in the file's
// place what rewrite makes of its bytes.
Outcome rewriteLine(const RecordStore &store, RecordBackups::Occasion occasion,
                    const QStringList &stored,
                    const std::function<QByteArray(const Found &)> &rewrite)
{
    const auto replace = [&](const RecordFile::Bytes &now) -> RecordFile::Replacement {
        const Found found = find(store.file().path(), now, stored);
        if (!found.error.isEmpty())
            return {{}, found.error};
        return {rewrite(found), {}};
    };
    return {store.rewrite(occasion, replace).error};
}
} // namespace

QString fieldRefusal(const QString &name, const QString &value, const QString &then)
{
    // Refused whole: a text cut to fit would be confirmed as saved but not as typed.
    if (value.size() > RecordLine::LongestField) {
        return QStringLiteral(
                   "“%1”中的文字有 %2 个字符，超过了一栏最多能保存的 %3 个字符。请删短%4。")
            .arg(name)
            .arg(value.size())
            .arg(RecordLine::LongestField)
            .arg(then);
    }
    if (value.contains(QLatin1Char(','))) {
        return QStringLiteral("“%1”中有逗号“,”。记录文件用逗号分隔字段，这个逗号会把记录拆开。"
                              "请去掉逗号（可改用全角逗号“，”）%2。")
            .arg(name, then);
    }
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return QStringLiteral("“%1”中有换行符，它会把记录拆成两行。请去掉换行%2。").arg(name, then);
    const QString bad = Gbk::firstUnencodable(value);
    if (!bad.isEmpty()) {
        return QStringLiteral("“%1”中的字符%2无法保存到记录文件（代码页 936 中没有这个字符）。"
                              "请换用其他写法%3。")
            .arg(name, Gbk::describe(bad), then);
    }
    return {};
}

QString refusal(SpecimenRecord::Field field, const QString &value)
{
    const QString name = SpecimenRecord::gridHeaders().value(SpecimenRecord::column(field));
    QString reason = fieldRefusal(name, value, QString());
    if (reason.isEmpty() && field == SpecimenRecord::DueTime && !DueTime::isRealDueTime(value)) {
        reason = QStringLiteral("到期时间“%1”不是“YYYY-MM-DD hh:mm”形式的有效时间（例如 "
                                "2024-05-31 09:05），这样的记录永远不会提醒。")
                     .arg(value);
    }
    return reason.isEmpty() ? reason : reason + unchangedNote();
}

Outcome correct(const RecordStore &store, const QStringList &stored, SpecimenRecord::Field field,
                const QString &value)
{
    const QString refused = refusal(field, value);
    if (!refused.isEmpty())
        return {refused};
    QStringList corrected = stored;
    corrected[field] = value;
    return rewriteLine(
        store, RecordBackups::Occasion::FirstSaveOfDay, stored, [&corrected](const Found &found) {
            QByteArray data = found.data;
            return data.replace(found.start, found.end - found.start, lineOf(corrected));
        });
}

Outcome remove(const RecordStore &store, const QStringList &stored)
{
    return rewriteLine(store, RecordBackups::Occasion::BeforeDeletion, stored, withoutLine);
}

} // namespace RecordCorrection
