#include "handoff.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

ReceiptFolder::ReceiptFolder() = default;
ReceiptFolder::~ReceiptFolder() = default;

ReceiptFolder::Files ReceiptFolder::next()
{
    if (!m_dir || !m_dir->isValid() || !QFileInfo(m_dir->path()).isDir())
        m_dir = std::make_unique<QTemporaryDir>();
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
