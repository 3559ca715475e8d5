#pragma once
// The maker's web site: every address of the web content is this base (scheme, host and a closing "/")
// followed by a path. It is set when the program is configured (the CMake cache variable
// VORNALEX_SITE_BASE); by default a reserved host that never resolves, so nothing leaves a user's
// machine unasked.

#include <QString>

namespace vx {

QString siteBase();
// Tests point the program at a site of their own for the rest of the process (empty: the configured
// base again).
void setSiteBase(const QString& base);

} // namespace vx
