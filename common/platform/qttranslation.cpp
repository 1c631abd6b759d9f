#include "qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installChineseQtTranslation(QCoreApplication &app)
{
    const QString folders[] = {QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}
