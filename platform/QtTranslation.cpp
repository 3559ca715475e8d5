#include "platform/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace vx {

QTranslator* installQtTranslation(const QLocale& locale)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>(app);
    for (const char* catalogue : {"qtbase", "qt"}) {
        if (translator->load(locale, QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator.get());
            return translator.release();
        }
    }
    return nullptr;
}

} // namespace vx
