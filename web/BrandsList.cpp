#include "web/BrandsList.h"

#include "core/Numbers.h"

#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace vx {

namespace {

constexpr int kListedFlag = 1;

QString decoded(const QByteArray& data)
{
    // Stateless: a character cut off at the end of the list makes it no UTF-8; it is not kept back
    // as if more bytes were to come.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1251("windows-1251");
    return cp1251(data);
}

// A missing TAB leaves its field empty and the whole rest to the next field, as the list has always
// been read. A flag that is no whole number (an empty line too) reads as "not listed".
BrandLine parseBrandLine(QString rest)
{
    QString fields[3];
    for (QString& field : fields) {
        const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
        if (tab >= 0) {
            field = rest.left(tab);
            rest = rest.mid(tab + 1);
        }
    }
    const std::optional<int> flag = parseInt(rest.toStdString());
    return {fields[0], fields[1], fields[2], flag && *flag == kListedFlag};
}

} // namespace

std::vector<BrandLine> readBrandsList(const QByteArray& data)
{
    // The lines as they would be read one by one: a last line without its line end counts, an empty
    // file has none; CR before LF belongs to the line end.
    std::vector<BrandLine> lines;
    if (data.isEmpty())
        return lines;
    QStringList raw = decoded(data).split(QLatin1Char('\n'));
    if (raw.last().isEmpty())
        raw.removeLast();
    for (QString& line : raw) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        lines.push_back(parseBrandLine(line));
    }
    return lines;
}

} // namespace vx
