#include "web/BoxText.h"

#include <QTextBoundaryFinder>

namespace vx {

namespace {

constexpr QChar kBreakOpportunity = u'\u200B';
constexpr QChar kCut = u'…';

bool isLineBreak(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == u'\v' || u == u'\f' || u == u'\u0085' || u == u'\u2028' ||
           u == u'\u2029';
}

// A space ends a run: spaces never make the box wider, a line ends after them however many there are.
// The no-break spaces hold their neighbours together.
bool isBreakingSpace(QChar c)
{
    const char16_t u = c.unicode();
    return c.isSpace() && u != u'\u00A0' && u != u'\u2007' && u != u'\u202F';
}

// The text without its format characters (category Cf) and without halves of characters that have no
// other half: what is left can neither reorder the text around it nor keep the box from wrapping it.
QString withoutFormatCharacters(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(c, text.at(i + 1)) : c.unicode();
        const qsizetype width = pair ? 2 : 1;
        const QChar::Category category = QChar::category(code);
        if (category != QChar::Other_Format && category != QChar::Other_Surrogate)
            out.append(text.constData() + i, width);
        i += width;
    }
    return out;
}

// What was kept, with "…" right after its last character (not alone on a line of its own).
QString cutAfter(QString kept)
{
    while (!kept.isEmpty() && isLineBreak(kept.back()))
        kept.chop(1);
    return kept + kCut;
}

} // namespace

QString boxText(const QString& siteText)
{
    const QString text = withoutFormatCharacters(siteText);
    QString out;
    int lines = 1;
    int run = 0; // characters since the last place the box may already wrap at
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    QTextBoundaryFinder wrapPlaces(QTextBoundaryFinder::Line, text);
    qsizetype start = 0;
    for (qsizetype end = characters.toNextBoundary(); end > 0; start = end, end = characters.toNextBoundary()) {
        // One character as the reader sees it: CR LF, a letter with its marks, a surrogate pair.
        const QStringView character = QStringView(text).mid(start, end - start);
        QString piece = character.toString();
        wrapPlaces.setPosition(start);
        if (wrapPlaces.isAtBoundary() || isBreakingSpace(character.front()))
            run = 0;
        if (isLineBreak(character.front())) {
            if (lines == kBoxTextLines)
                return cutAfter(out);
            ++lines;
        } else if (++run > kBoxTextRun) {
            piece.prepend(kBreakOpportunity);
            run = 1;
        }
        if (out.size() + piece.size() > kBoxTextChars)
            return cutAfter(out);
        out += piece;
    }
    return out;
}

} // namespace vx
