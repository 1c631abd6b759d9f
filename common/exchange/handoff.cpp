#include "handoff.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

#include <cstdio>

namespace Handoff {

namespace {
void writeTo(std::FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

QProcessEnvironment popupEnvironment(const QString &dataFolder, const QString &slot,
                                     QProcessEnvironment base)
{
    base.insert(QLatin1String(DataFolderVariable), dataFolder);
    base.insert(QLatin1String(SlotVariable), slot);
    return base;
}

QString dataFolder()
{
    return qEnvironmentVariable(DataFolderVariable);
}

QString slot()
{
    return qEnvironmentVariable(SlotVariable);
}

QByteArray receipt(const QString &slot)
{
    return slot.toUtf8() + '\n';
}

void writeReceipt(const QString &slot)
{
    writeTo(stdout, receipt(slot));
}

bool receiptClaims(QByteArrayView output, const QString &slot)
{
    const QByteArray wanted = slot.toUtf8();
    for (const QByteArray &line : output.toByteArray().split('\n')) {
        if (line.trimmed() == wanted)
            return true;
    }
    return false;
}

void writeReason(const QString &text)
{
    writeTo(stderr, (text + QLatin1Char('\n')).toLocal8Bit());
}

QString readReason(const QByteArray &output)
{
    return QString::fromLocal8Bit(output).trimmed();
}

namespace {
const QString kFolderPrefix = QStringLiteral("Tarvelin-");
const QString kOwnerLock = QStringLiteral("owner.lock");

// Whether the folder holds nothing but popups' receipts, none of them written since before.
bool onlyReceipts(const QDir &folder, const QDateTime &before)
{
    static const QRegularExpression receipt(QStringLiteral("^popup-\\d+\\.(out|err)$"));
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return std::all_of(entries.cbegin(), entries.cend(), [&before](const QFileInfo &entry) {
        return receipt.match(entry.fileName()).hasMatch() && entry.lastModified().toUTC() < before;
    });
}
} // namespace

ReceiptFolder::ReceiptFolder()
{
    removeAbandoned(QDir::tempPath());
}

ReceiptFolder::~ReceiptFolder()
{
    m_owner.reset();
}

int ReceiptFolder::removeAbandoned(const QString &tempFolder)
{
    int removed = 0;
    const QDateTime dayAgo = QDateTime::currentDateTimeUtc().addDays(-1);
    for (const QFileInfo &info :
         QDir(tempFolder).entryInfoList({kFolderPrefix + u'*'}, QDir::Dirs | QDir::NoSymLinks)) {
        QDir folder(info.filePath());
        bool abandoned = false;
        if (folder.exists(kOwnerLock)) {
            // Taken only when the process that holds it is gone, however long it has run.
            QLockFile owner(folder.filePath(kOwnerLock));
            owner.setStaleLockTime(0);
            abandoned = owner.tryLock(0);
            if (abandoned)
                owner.unlock();
            abandoned = abandoned && onlyReceipts(folder, QDateTime::currentDateTimeUtc());
        } else {
            // An empty folder may be one that a starting Tarvelin has not locked yet.
            abandoned = folder.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot)
                            ? info.lastModified().toUTC() < dayAgo
                            : onlyReceipts(folder, dayAgo);
        }
        removed += abandoned && folder.removeRecursively();
    }
    return removed;
}

ReceiptFolder::Files ReceiptFolder::next()
{
    if (!m_dir || !m_dir->isValid() || !QFileInfo(m_dir->path()).isDir()) {
        m_owner.reset();
        m_dir = std::make_unique<QTemporaryDir>(
            QDir::temp().filePath(kFolderPrefix + QStringLiteral("XXXXXX")));
        if (m_dir->isValid()) {
            m_owner = std::make_unique<QLockFile>(m_dir->filePath(kOwnerLock));
            m_owner->setStaleLockTime(0);
            m_owner->tryLock(0);
        }
    }
    if (!m_dir->isValid())
        return {};
    const QString base = m_dir->filePath(QStringLiteral("popup-%1").arg(++m_count));
    return {base + QStringLiteral(".out"), base + QStringLiteral(".err")};
}

QString ReceiptFolder::path() const
{
    return m_dir && m_dir->isValid() ? m_dir->path() : QString();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}

int quitAfterMs()
{
    return qEnvironmentVariableIntValue(QuitAfterVariable);
}

} // namespace Handoff
