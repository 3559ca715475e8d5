#include "platform/IniFile.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <sys/stat.h>

#include <vector>

namespace vx {

namespace {

// One line of the file as it was read, with its key when it is a "key=value" line.
struct Line {
    QByteArray raw; // without the line end
    QByteArray key; // folded key name; empty for comments, blank lines and anything else
};

struct Section {
    QByteArray header; // the "[name]" line as it stands
    QString name;      // as spelt in the file
    std::vector<Line> lines;
};

QByteArray trimmed(const QByteArray& b)
{
    return b.trimmed();
}

// Names compare without regard to case. Settings files are mostly ASCII, which folds byte by byte; other
// names take the full Unicode case folding.
QByteArray fold(QByteArrayView utf8)
{
    utf8 = utf8.trimmed();
    for (char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return QString::fromUtf8(utf8).toCaseFolded().toUtf8();
    }
    QByteArray out(utf8.data(), utf8.size());
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

QByteArray fold(const QString& name)
{
    return fold(QByteArrayView(name.toUtf8()));
}

// "[name]" gives the name; anything else is no section line.
bool sectionName(const QByteArray& raw, QString& name)
{
    const QByteArrayView t = QByteArrayView(raw).trimmed();
    if (!t.startsWith('['))
        return false;
    const qsizetype close = t.indexOf(']');
    name = QString::fromUtf8(t.sliced(1, close < 0 ? t.size() - 1 : close - 1).trimmed());
    return true;
}

// The folded key of a "key=value" line; empty for comments and lines without "=".
QByteArray lineKey(const QByteArray& raw)
{
    const QByteArrayView t = QByteArrayView(raw).trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('#'))
        return {};
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return {};
    return fold(t.first(eq));
}

QString lineValue(const QByteArray& raw)
{
    const qsizetype eq = raw.indexOf('=');
    return QString::fromUtf8(QByteArrayView(raw).sliced(eq + 1).trimmed());
}

// stat() of the file: device, inode, size and modification time. A replacement by rename always
// brings a new inode, so a file rewritten by anyone is noticed even within one clock tick.
QByteArray fileStamp(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArrayLiteral("missing");
    return QByteArray::number(qulonglong(st.st_dev)) + ':' + QByteArray::number(qulonglong(st.st_ino)) + ':' +
           QByteArray::number(qlonglong(st.st_size)) + ':' + QByteArray::number(qlonglong(st.st_mtim.tv_sec)) +
           '.' + QByteArray::number(qlonglong(st.st_mtim.tv_nsec));
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
    QByteArray bom;
    QByteArray eol = "\n";
    std::vector<Line> preamble; // text before the first section
    std::vector<Section> sections;
    QHash<QByteArray, int> index; // folded name → first section of that name

    void parse(const QByteArray& data)
    {
        QByteArray text = data;
        if (text.startsWith("\xEF\xBB\xBF")) {
            bom = text.left(3);
            text.remove(0, 3);
        }
        if (text.contains("\r\n"))
            eol = "\r\n";
        QList<QByteArray> rows = text.split('\n');
        if (!rows.isEmpty() && rows.back().isEmpty())
            rows.pop_back(); // the line end of the last line
        for (QByteArray& row : rows) {
            if (row.endsWith('\r'))
                row.chop(1);
            QString name;
            if (sectionName(row, name)) {
                sections.push_back({row, name, {}});
                continue;
            }
            Line line{row, lineKey(row)};
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
        QByteArray out = bom;
        auto put = [&](const QByteArray& raw) {
            out += raw;
            out += eol;
        };
        for (const Line& l : preamble)
            put(l.raw);
        for (const Section& s : sections) {
            put(s.header);
            for (const Line& l : s.lines)
                put(l.raw);
        }
        return out;
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

    // True when the text of the file changes.
    bool write(const QString& section, const QString& key, const QString& value)
    {
        Section* s = find(section);
        if (!s) {
            sections.push_back({'[' + section.toUtf8() + ']', section, {}});
            index.insert(fold(section), int(sections.size()) - 1);
            s = &sections.back();
        }
        const QByteArray folded = fold(key);
        if (Line* l = findKey(*s, folded)) {
            // The key keeps its place and its spelling; only the value changes.
            const QByteArray keyText = trimmed(l->raw.left(l->raw.indexOf('=')));
            const QByteArray raw = keyText + '=' + value.toUtf8();
            if (raw == l->raw)
                return false;
            l->raw = raw;
            return true;
        }
        // A new key goes after the last non-blank line of its section, so blank lines that part it
        // from the next section stay where they are.
        auto pos = s->lines.end();
        while (pos != s->lines.begin() && trimmed(std::prev(pos)->raw).isEmpty())
            --pos;
        s->lines.insert(pos, Line{key.trimmed().toUtf8() + '=' + value.toUtf8(), folded});
        return true;
    }

    bool erase(const QString& section)
    {
        const QByteArray f = fold(section);
        const auto before = sections.size();
        std::erase_if(sections, [&](const Section& s) { return fold(s.name) == f; });
        if (sections.size() == before)
            return false;
        reindex();
        return true;
    }
};

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

IniFile::~IniFile() = default;

IniFile::Document& IniFile::document() const
{
    if (m_doc && (m_batchDepth > 0 || m_pending))
        return *m_doc;
    QByteArray stamp = fileStamp(m_path);
    if (m_doc && stamp == m_stamp)
        return *m_doc;
    m_doc = std::make_unique<Document>();
    m_unreadable = false;
    QFile f(m_path);
    if (f.exists()) {
        if (f.open(QIODevice::ReadOnly)) {
            m_doc->parse(f.readAll());
            if (f.error() != QFileDevice::NoError)
                m_unreadable = true;
        } else {
            m_unreadable = true;
        }
    }
    if (m_unreadable)
        m_doc = std::make_unique<Document>(); // read as empty, and never written over
    m_stamp = stamp;
    return *m_doc;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    Document& d = document();
    Section* s = d.find(section);
    if (!s)
        return def;
    Line* l = Document::findKey(*s, fold(key));
    return l ? lineValue(l->raw) : def;
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

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    if (!validName(section, true) || !validName(key, false) || value.contains(u'\n') || value.contains(u'\r')) {
        if (m_batchDepth > 0)
            m_batchFailed = true;
        return false;
    }
    Document& d = document();
    if (m_unreadable || (m_batchDepth > 0 && m_batchFailed)) {
        if (m_batchDepth > 0)
            m_batchFailed = true;
        return false;
    }
    if (d.write(section, key, value))
        m_pending = true;
    return m_batchDepth > 0 || store();
}

bool IniFile::eraseSection(const QString& section)
{
    Document& d = document();
    if (m_unreadable || (m_batchDepth > 0 && m_batchFailed)) {
        if (m_batchDepth > 0)
            m_batchFailed = true;
        return false;
    }
    if (d.erase(section))
        m_pending = true;
    return m_batchDepth > 0 || store();
}

bool IniFile::store()
{
    if (!m_pending)
        return true;
    bool ok = false;
    {
        QSaveFile f(m_path);
        if (f.open(QIODevice::WriteOnly)) {
            const QByteArray data = m_doc->serialize();
            ok = f.write(data) == data.size() && f.commit();
        }
    }
    m_pending = false;
    if (ok) {
        ++m_diskWrites;
        m_stamp = fileStamp(m_path);
    } else {
        dropPending();
    }
    return ok;
}

void IniFile::dropPending()
{
    // What is in memory no longer matches the disk: read the file again on the next access.
    m_pending = false;
    m_doc.reset();
    m_stamp.clear();
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
        if (m_file.m_pending)
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
