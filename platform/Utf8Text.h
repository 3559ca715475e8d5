#pragma once
// Text between the calculation's std::string (UTF-8) and Qt's QString.

#include <QString>

#include <string>
#include <string_view>

namespace vx {

inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string ss(const QString& s) { return s.toUtf8().toStdString(); }

} // namespace vx
