#pragma once
// Puts new contents in place of a file so that a write that cannot complete never costs the old contents.
//
// Normally the contents go to a temporary file beside the target, which replaces the target only when
// every byte has been written and flushed: a crash or a full disk leaves either the old file or the new
// one. A folder that takes no new files (the user may write the file but not create files beside it)
// has no room for the temporary file; there the file is written in place, with the same checks, and
// when that write cannot complete the old contents are written back.

#include <QByteArray>
#include <QString>

namespace vx {

// True when `path` now holds `data`; false when the write was refused (the file then holds what it held
// before).
bool replaceFile(const QString& path, const QByteArray& data);

} // namespace vx
