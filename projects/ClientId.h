#pragma once
// The client identifier kept under "id" in "DEFAULT": eight characters made from one reading of the
// local date and time, so that two installations almost never share one.

#include <QDateTime>
#include <QString>

namespace vx {

// Year − 1950, month + 96, day + 59, "_", hour + 97, minute + 60, second + 60 and
// (millisecond mod 60) + 60, each as one character: 29 March 2018, 14:05:09.123 gives "DcX_oAE?".
QString makeClientId(const QDateTime& now);

} // namespace vx
