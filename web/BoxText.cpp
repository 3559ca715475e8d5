#include "web/BoxText.h"

namespace vx {

namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == u'\u0085' || c == u'\u2028' ||
           c == u'\u2029';
}

QString cutAt(const QString& text, qsizetype at)
{
    // Never half of a character outside the basic plane.
    if (at > 0 && text.at(at).isLowSurrogate())
        --at;
    return text.left(at) + QChar(u'…');
}

} // namespace

QString boxText(const QString& siteText)
{
    int lines = 1;
    for (qsizetype i = 0; i < siteText.size(); ++i) {
        if (i >= kBoxTextChars)
            return cutAt(siteText, i);
        const char16_t c = siteText.at(i).unicode();
        if (!isLineBreak(c))
            continue;
        if (lines == kBoxTextLines)
            return cutAt(siteText, i);
        ++lines;
        if (c == u'\r' && i + 1 < siteText.size() && siteText.at(i + 1) == u'\n')
            ++i;
    }
    return siteText;
}

} // namespace vx
