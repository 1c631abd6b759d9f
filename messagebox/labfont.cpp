#include "labfont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainterPath>
#include <QRawFont>
#include <QStringList>

namespace LabFont {

QString labSymbols()
{
    return QStringLiteral("℃·³²①㎡μ中");
}

bool drawsAll(const QString &family, const QString &text)
{
    // The font's own outlines, without the fallback a painter would take for what it lacks.
    QFont font(family);
    font.setPixelSize(48);
    font.setStyleStrategy(QFont::NoFontMerging);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || raw.familyName() != QFontInfo(font).family())
        return false;
    for (const QChar c : text) {
        const QList<quint32> glyphs = raw.glyphIndexesForString(QString(c));
        if (glyphs.size() != 1 || glyphs[0] == 0 || !raw.supportsCharacter(c) ||
            raw.pathForGlyph(glyphs[0]).boundingRect().isEmpty())
            return false;
    }
    return true;
}

QString apply()
{
    QFont font = QApplication::font();
#ifndef Q_OS_WIN
    const QString symbols = labSymbols();
    if (!drawsAll(QFontInfo(font).family(), symbols)) {
        // Known good first, then any Chinese font installed.
        QStringList families{QStringLiteral("Noto Sans CJK SC"),
                             QStringLiteral("Source Han Sans SC"),
                             QStringLiteral("WenQuanYi Zen Hei")};
        families += QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        for (const QString &family : std::as_const(families)) {
            if (QFontDatabase::hasFamily(family) && drawsAll(family, symbols)) {
                font.setFamilies({family});
                QApplication::setFont(font);
                break;
            }
        }
    }
#endif
    return QFontInfo(QApplication::font()).family();
}

} // namespace LabFont
