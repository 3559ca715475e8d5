#pragma once
// The body of a form post as the advert's click report sends it: each line's value (the text after
// its first "=") is encoded, its name stays as written, and the lines are joined with "&" — so a line
// that itself begins with "&" gives a doubled "&&".

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vx {

// Keeps the characters from "!" (33) to 128 except * # % < > [ ]; everything else becomes "%XX" for
// each byte of its UTF-8 form.
QByteArray encodeFormValue(const QString& value);
QByteArray formBody(const QStringList& lines);

} // namespace vx
