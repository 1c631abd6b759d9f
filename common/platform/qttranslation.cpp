#include "qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// Qt 6 asks for the file dialog's type names ("Folder", "Drive", "%1 File" …) under a context of
// their own that the Chinese file does not hold yet, so the export dialog listed every folder as
// "Folder". The file dialog's own context holds the same texts translated: they are taken from
// there, and only when Qt's file has nothing of its own for them.
class FileTypeNames : public QTranslator
{
public:
    FileTypeNames(const QTranslator *qt, QObject *parent) : QTranslator(parent), m_qt(qt) {}

    QString translate(const char *context, const char *source, const char *disambiguation,
                      int n) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        return m_qt->translate("QFileDialog", source, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

private:
    const QTranslator *m_qt;
};
} // namespace

bool installChineseQtTranslation(QCoreApplication &app)
{
    const QString folders[] = {QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
            // The translator installed last is asked first: Qt's own texts before the gaps.
            QCoreApplication::installTranslator(new FileTypeNames(translator, &app));
            return QCoreApplication::installTranslator(translator);
        }
    }
    delete translator;
    return false;
}
