#include "projects/ProjectNames.h"

#include "platform/IniFile.h"

#include <QStringList>

namespace vx {

namespace {

// A section begins with the line "[name]": the name ends at the first "]", a line break ends the line,
// and the settings file trims blanks around section names and values ("LastProject" holds the name as
// a value too), so a name with blanks at either end would come back as another name.
struct NameRule {
    bool (*breaks)(const QString&);
    const char* warning;
};

bool hasBracket(const QString& s) { return s.contains(u']'); }
bool hasLineBreak(const QString& s) { return s.contains(u'\n') || s.contains(u'\r'); }
bool hasOuterBlank(const QString& s) { return s.front().isSpace() || s.back().isSpace(); }

constexpr NameRule kNameRules[] = {
    {hasLineBreak, "Имя проекта не может содержать перевод строки"},
    {hasBracket, "Имя проекта не может содержать символ \"]\""},
    {hasOuterBlank, "Имя проекта не может начинаться или заканчиваться пробелом"},
};

// The characters of the name that `picked` takes, each once, in the order they first stand in it.
template <class Pick>
QList<char32_t> charactersOnce(const QString& name, Pick picked)
{
    QList<char32_t> found;
    for (const char32_t c : name.toUcs4()) {
        if (picked(c) && !found.contains(c))
            found << c;
    }
    return found;
}

// Invisible format characters (U+FEFF, which some editors paste in front of copied text, the zero-width
// joiners, the soft hyphen, ...): a name holding one shows as another name without it, so the list would
// show two projects of one name and the user could not tell which is which. Each one once, as U+XXXX.
QString formatCharacters(const QString& name)
{
    QStringList codes;
    for (const char32_t c : charactersOnce(name, [](char32_t c) { return QChar::category(c) == QChar::Other_Format; }))
        codes << QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    return codes.join(QStringLiteral(", "));
}

} // namespace

QString upperAsciiName(const QString& name)
{
    QString out = name;
    for (QChar& c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return out;
}

QString nameProblem(const QString& name, const IniFile& file)
{
    if (name.isEmpty())
        return {};
    for (const NameRule& rule : kNameRules) {
        if (rule.breaks(name))
            return QString::fromUtf8(rule.warning);
    }
    if (const QString invisible = formatCharacters(name); !invisible.isEmpty())
        return QString::fromUtf8("Имя проекта не может содержать невидимые символы (%1)").arg(invisible);
    // A settings file brought from Windows keeps its code page, Windows-1251, which has no letters of
    // most other scripts: such a name could not be written, or would come back as another name.
    if (!file.canHold(name)) {
        const auto outsideCodePage = [&file](char32_t c) { return !file.canHold(QString::fromUcs4(&c, 1)); };
        const QList<char32_t> outside = charactersOnce(name, outsideCodePage);
        return QString::fromUtf8("Имя проекта не может содержать символы «%1»: файл настроек Vornalex.ini "
                                 "записан в кодировке Windows-1251, в которой их нет")
            .arg(QString::fromUcs4(outside.constData(), outside.size()));
    }
    return {};
}

} // namespace vx
