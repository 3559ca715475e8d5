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

// A run without a space longer than this gets an invisible break opportunity (a zero-width space),
// so the box can wrap it instead of growing as wide as the screen.
constexpr int kLongestRun = 60;

QString withBreakOpportunities(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / kLongestRun);
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestRun && !c.isLowSurrogate()) {
            out += QChar(u'\u200B');
            run = 1;
        }
        out += c;
    }
    return out;
}

QString cutText(const QString& siteText)
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

} // namespace

QString boxText(const QString& siteText) { return withBreakOpportunities(cutText(siteText)); }

} // namespace vx
