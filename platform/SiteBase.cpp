#include "platform/SiteBase.h"

#ifndef VORNALEX_SITE_BASE
#error "VORNALEX_SITE_BASE is set by the build"
#endif

namespace vx {

namespace {
QString& chosenBase()
{
    static QString base;
    return base;
}
} // namespace

QString siteBase() { return chosenBase().isEmpty() ? QStringLiteral(VORNALEX_SITE_BASE) : chosenBase(); }

void setSiteBase(const QString& base) { chosenBase() = base; }

} // namespace vx
