#include "platform/IniFile.h"

#include "platform/FileReplace.h"
#include "platform/IniText.h"

#include <QFile>
#include <QHash>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace vx {

namespace {

// One line of the file, with its own line end and encoding: a write changes only the lines it touches,
// and a line it does not touch keeps every byte, its line end included.
struct Line : IniTextLine {
    QByteArray key; // folded key name; empty for comments, blank lines and anything else
};

struct Section {
    Line header;  // the "[name]" line as it stands
    QString name; // as spelt in the file
    std::vector<Line> lines;
};

// Names compare without regard to case. Settings files are mostly ASCII, which folds byte by byte; other
// names take the full Unicode case folding.
QByteArray fold(const QString& name)
{
    const QString t = name.trimmed();
    for (QChar c : t) {
        if (c.unicode() >= 0x80)
            return t.toCaseFolded().toUtf8();
    }
    QByteArray out = t.toLatin1();
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

// The text without the blanks of the C locale (space, TAB, line breaks) at either end, the blanks the
// profile functions trim.
QStringView trimmedText(QStringView s)
{
    const auto blank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (!s.isEmpty() && blank(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && blank(s.back()))
        s.chop(1);
    return s;
}

// "[name]" gives the name; anything else is no section line.
bool sectionName(const QString& text, QString& name)
{
    const QStringView t = trimmedText(text);
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    name = trimmedText(t.sliced(1, close < 0 ? t.size() - 1 : close - 1)).toString();
    return true;
}

// The folded key of a "key=value" line; empty for comments and lines without "=".
QByteArray lineKey(const QString& text)
{
    const QStringView t = trimmedText(text);
    if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#'))
        return {};
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return {};
    return fold(t.first(eq).toString());
}

QString lineValue(const QString& text)
{
    const qsizetype eq = text.indexOf(u'=');
    return trimmedText(QStringView(text).sliced(eq + 1)).toString();
}

bool validName(const QString& s, bool isSection)
{
    if (s.contains(u'\n') || s.contains(u'\r'))
        return false;
    if (isSection)
        return !s.contains(u']');
    return !s.trimmed().isEmpty() && !s.contains(u'=') && !s.trimmed().startsWith(u'[') &&
           !s.trimmed().startsWith(u';') && !s.trimmed().startsWith(u'#');
}

} // namespace

struct IniFile::Document {
    IniText form;               // mark, encodings and line ends of the file
    std::vector<Line> preamble; // text before the first section
    std::vector<Section> sections;
    QHash<QByteArray, int> index; // folded name → first section of that name

    void parse(const QByteArray& data)
    {
        for (IniTextLine& row : form.read(data)) {
            QString name;
            if (sectionName(row.text, name)) {
                sections.push_back({Line{std::move(row), {}}, name, {}});
                continue;
            }
            const QByteArray key = lineKey(row.text);
            Line line{std::move(row), key};
            if (sections.empty())
                preamble.push_back(std::move(line));
            else
                sections.back().lines.push_back(std::move(line));
        }
        reindex();
    }

    void reindex()
    {
        index.clear();
        for (int i = 0; i < int(sections.size()); ++i) {
            const QByteArray f = fold(sections[i].name);
            if (!index.contains(f))
                index.insert(f, i);
        }
    }

    QByteArray serialize() const
    {
        std::vector<const IniTextLine*> lines;
        for (const Line& l : preamble)
            lines.push_back(&l);
        for (const Section& s : sections) {
            lines.push_back(&s.header);
            for (const Line& l : s.lines)
                lines.push_back(&l);
        }
        return form.write(lines);
    }

    Section* find(const QString& section)
    {
        auto it = index.constFind(fold(section));
        return it == index.constEnd() ? nullptr : &sections[*it];
    }

    static Line* findKey(Section& s, const QByteArray& foldedKey)
    {
        for (Line& l : s.lines)
            if (l.key == foldedKey)
                return &l;
        return nullptr;
    }

    // False when the file cannot hold the section, the key or the value (nothing is then changed). Each
    // line a write adds or changes is tallied, so the next new line takes its encoding from the file as
    // this write leaves it.
    bool write(const QString& section, const QString& key, const QString& value)
    {
        if (!form.canHold(value))
            return false;
        Section* s = find(section);
        if (!s) {
            auto header = form.line(u'[' + section + u']');
            auto keyLine = form.line(key.trimmed() + u'=' + value);
            if (!header || !keyLine)
                return false;
            sections.push_back({Line{std::move(*header), {}}, section, {}});
            index.insert(fold(section), int(sections.size()) - 1);
            sections.back().lines.push_back(Line{std::move(*keyLine), fold(key)});
            form.tally(sections.back().header, +1);
            form.tally(sections.back().lines.back(), +1);
            return true;
        }
        const QByteArray folded = fold(key);
        if (Line* l = findKey(*s, folded)) {
            // The key keeps its place, its spelling and its line end; only the value changes, and the
            // line takes the encoding of new lines.
            const QStringView keyText = trimmedText(QStringView(l->text).first(l->text.indexOf(u'=')));
            const QString text = keyText.toString() + u'=' + value;
            if (text == l->text)
                return true;
            auto changed = form.line(text);
            if (!changed)
                return false;
            form.tally(*l, -1);
            l->raw = std::move(changed->raw);
            l->text = text;
            form.tally(*l, +1);
            return true;
        }
        auto keyLine = form.line(key.trimmed() + u'=' + value);
        if (!keyLine)
            return false;
        // A new key goes after the last non-blank line of its section, so blank lines that part it
        // from the next section stay where they are.
        auto pos = s->lines.end();
        while (pos != s->lines.begin() && trimmedText(std::prev(pos)->text).isEmpty())
            --pos;
        form.tally(*s->lines.insert(pos, Line{std::move(*keyLine), folded}), +1);
        return true;
    }

    // Only the section the reads and writes go to, the first of that name: another one of the same name
    // (in another letter case, or in the other encoding) comes forward and can be erased in its turn.
    void erase(const QString& section)
    {
        auto it = index.constFind(fold(section));
        if (it == index.constEnd())
            return;
        const auto gone = sections.begin() + *it;
        form.tally(gone->header, -1);
        for (const Line& l : gone->lines)
            form.tally(l, -1);
        sections.erase(gone);
        reindex();
    }
};

namespace {
// How many times a write is made again on a file another program keeps changing.
constexpr int kStoreAttempts = 4;
} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

IniFile::~IniFile() = default;

IniFile::Document& IniFile::document() const
{
    // Writes gathered and not yet on disk keep the document they were made on; store() meets the file
    // as it is by then.
    if (m_doc && !m_edits.empty())
        return *m_doc;
    if (m_doc && fileStamp(m_path) == m_stamp)
        return *m_doc;
    QByteArray stamp;
    QByteArray bytes;
    const bool readable = readFile(stamp, bytes);
    m_doc = std::make_unique<Document>();
    m_unreadable = !readable;
    m_read.clear();
    if (readable) {
        m_doc->parse(bytes);
        m_read = bytes;
    } // an unreadable file is read as empty, and never written over
    m_stamp = stamp;
    return *m_doc;
}

bool IniFile::readFile(QByteArray& stamp, QByteArray& bytes) const
{
    stamp = fileStamp(m_path);
    bytes.clear();
    // Not blocking: a named pipe under the name must not hold the program, nor be taken for the file.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    QFile f;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    bytes = f.readAll();
    return f.error() == QFileDevice::NoError;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    Document& d = document();
    Section* s = d.find(section);
    if (!s)
        return def;
    Line* l = Document::findKey(*s, fold(key));
    return l ? lineValue(l->text) : def;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const Section& s : document().sections)
        out << s.name;
    return out;
}

bool IniFile::hasSection(const QString& section) const
{
    return document().find(section) != nullptr;
}

bool IniFile::canHold(const QString& text) const
{
    return document().form.canHold(text);
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    if (!validName(section, true) || !validName(key, false) || value.contains(u'\n') || value.contains(u'\r'))
        return refuse();
    Document& d = document();
    if (m_unreadable || m_batchFailed || !d.write(section, key, value))
        return refuse();
    m_edits.push_back({section, key, value, false});
    return m_batchDepth > 0 || store();
}

bool IniFile::eraseSection(const QString& section)
{
    Document& d = document();
    if (m_unreadable || m_batchFailed)
        return refuse();
    d.erase(section);
    m_edits.push_back({section, QString(), QString(), true});
    return m_batchDepth > 0 || store();
}

bool IniFile::refuse()
{
    // Inside a batch a refused write fails the batch, and nothing after it is taken.
    if (m_batchDepth > 0)
        m_batchFailed = true;
    return false;
}

bool IniFile::store()
{
    if (m_edits.empty())
        return true;
    m_refusedBackupFolder.clear();
    // Another program may have written the file since it was read: this operation's writes are then
    // made again on the file as it is now, and everything else in it stays as that writer left it. The
    // file is checked once more just before it is replaced; a file that keeps changing under the
    // writes fails the operation rather than lose what the other program wrote.
    for (int attempt = 0; attempt < kStoreAttempts; ++attempt) {
        QByteArray stamp;
        QByteArray now;
        if (!readFile(stamp, now))
            break;
        // A write the file as it is now refuses (a value its code page cannot hold) ends the replay there,
        // as it would have ended a batch on that file: what came before it is still written.
        bool allMade = true;
        if (now != m_read) {
            auto fresh = std::make_unique<Document>();
            fresh->parse(now);
            for (const Edit& e : m_edits) {
                if (e.erase) {
                    fresh->erase(e.section);
                } else if (!fresh->write(e.section, e.key, e.value)) {
                    allMade = false;
                    break;
                }
            }
            m_doc = std::move(fresh);
            m_read = now;
        }
        // The document gives back the very bytes it was read from until a write changes it.
        const QByteArray text = m_doc->serialize();
        if (text == now) {
            m_edits.clear();
            m_stamp = stamp;
            return allMade;
        }
        const auto unchanged = [this, &stamp, &now] {
            QByteArray stampThen;
            QByteArray bytesThen;
            return readFile(stampThen, bytesThen) && stampThen == stamp && bytesThen == now;
        };
        const Replacement done = replaceFile(m_path, text, unchanged);
        if (done.result == Replacement::Changed)
            continue;
        if (done.result == Replacement::Refused) {
            dropPending();
            m_refusedBackupFolder = done.backupFolderRefused;
            if (!done.strandedBackup.isEmpty() && m_backupWarning)
                m_backupWarning(done.strandedBackup);
            return false;
        }
        ++m_diskWrites;
        m_edits.clear();
        m_read = text;
        m_stamp = done.stamp;
        return allMade;
    }
    dropPending();
    return false;
}

void IniFile::dropPending()
{
    // What is in memory no longer matches the disk: read the file again on the next access.
    m_edits.clear();
    m_doc.reset();
    m_stamp.clear();
    m_read.clear();
}

IniFile::Batch::Batch(IniFile& file) : m_file(file)
{
    if (m_file.m_batchDepth++ == 0) {
        m_file.m_batchFailed = false;
        m_file.document(); // take the file as it is now; the batch works on that
    }
}

IniFile::Batch::~Batch()
{
    if (m_done)
        return;
    if (--m_file.m_batchDepth == 0) {
        if (!m_file.m_edits.empty())
            m_file.dropPending();
        m_file.m_batchFailed = false;
    }
}

bool IniFile::Batch::commit()
{
    if (m_done)
        return false;
    m_done = true;
    bool ok = !m_file.m_batchFailed;
    if (--m_file.m_batchDepth == 0) {
        // What was gathered before a refused write still goes to disk, as single writes would have.
        const bool stored = m_file.store();
        ok = ok && stored;
        m_file.m_batchFailed = false;
    }
    return ok;
}

} // namespace vx
