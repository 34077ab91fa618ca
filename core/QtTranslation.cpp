#include "core/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qttranslation {

QString searchFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

QString installBulgarian() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
    if (!translator->load(bulgarian, QStringLiteral("qtbase"), QStringLiteral("_"), searchFolder())) {
        delete translator;
        return {};
    }
    QCoreApplication::installTranslator(translator);
    return translator->filePath();
}

} // namespace qttranslation
