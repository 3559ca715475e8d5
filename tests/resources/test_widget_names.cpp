// Every widget name the program's code reaches a widget by must stand in the window layout it belongs
// to. The code reaches widgets of the main window through name strings (the calculation's fields, the
// project keys, the editors' handlers, the print sheet), which no compiler checks: a widget renamed in
// a .ui file would read "" and take no writes at run time. This test reads the layouts and every
// source file of the program and fails on any name string that no layout holds.

#include "core/Dimensions.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const QString kSourceDir = QStringLiteral(VX_SOURCE_DIR);

// The folders of the program's own code, and whether their code reaches widgets by name today (finding
// no name there would mean the scan looked nowhere).
struct SourceFolder {
    const char* name;
    bool usesNames;
};
const SourceFolder kSourceFolders[] = {{"app", true},   {"core", true}, {"projects", true},
                                       {"tools", true}, {"web", false}, {"platform", false}};

// A component name is a kind prefix and a role that starts with a capital or a digit ("EditFb",
// "SBut3", "SEdDiv", "Label128"); a handler is a component name and an event ("EditVbExit").
const QRegularExpression kComponentName(QStringLiteral(
    "^(Edit|Ed|BoBut|But|Button|CB|Combo|SBut|SB|SEd|SE|SG|Sb|SpinEd|Spin|Speed|Image|Img|Lab|Label|Lb|LB|"
    "ListBox|Mem|PDraw|Page|Panel|Rect|RB|StatusBar|Tab|GroupBox)[A-Z0-9][A-Za-z0-9_]*$"));
const QRegularExpression kHandlerName(
    QStringLiteral("(Change|Exit|Click|DblClick|Show|MouseMove|MouseUp|MouseDown|KeyUp|SelectCell)$"));

bool isComponentName(const QString& s)
{
    return kComponentName.match(s).hasMatch() && !kHandlerName.match(s).hasMatch();
}

// The names of the widgets of one layout.
std::set<std::string> widgetsOf(const QString& uiFile)
{
    std::set<std::string> names;
    QFile f(uiFile);
    if (!f.open(QIODevice::ReadOnly))
        return names;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("widget"))
            names.insert(xml.attributes().value(QLatin1String("name")).toString().toStdString());
    }
    EXPECT_FALSE(xml.hasError()) << uiFile.toStdString() << ": " << xml.errorString().toStdString();
    return names;
}

// The string literals of C++ source text, without those in comments; escapes are kept as written.
std::vector<std::string> stringLiterals(const std::string& src)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    const std::size_t n = src.size();
    while (i < n) {
        const char c = src[i];
        if (c == '/' && i + 1 < n && src[i + 1] == '/') {
            i = src.find('\n', i);
            if (i == std::string::npos)
                break;
        } else if (c == '/' && i + 1 < n && src[i + 1] == '*') {
            i = src.find("*/", i + 2);
            if (i == std::string::npos)
                break;
            i += 2;
        } else if (c == 'R' && i + 1 < n && src[i + 1] == '"' &&
                   (i == 0 || !(std::isalnum(static_cast<unsigned char>(src[i - 1])) || src[i - 1] == '_'))) {
            const std::size_t open = src.find('(', i + 2);
            if (open == std::string::npos)
                break;
            const std::string close = ")" + src.substr(i + 2, open - i - 2) + "\"";
            const std::size_t end = src.find(close, open + 1);
            if (end == std::string::npos)
                break;
            out.push_back(src.substr(open + 1, end - open - 1));
            i = end + close.size();
        } else if (c == '"' || c == '\'') {
            std::string text;
            ++i;
            while (i < n && src[i] != c) {
                if (src[i] == '\\' && i + 1 < n)
                    text += src[i++];
                text += src[i++];
            }
            ++i;
            if (c == '"')
                out.push_back(text);
        } else {
            ++i;
        }
    }
    return out;
}

struct LiteralRow {
    const char* name;
    const char* source;
    std::vector<std::string> literals;
};

TEST(WidgetNames, SourceScanFindsTheLiteralsOutsideComments)
{
    const LiteralRow rows[] = {
        {"plain", R"(f("EditFb"); g("SBut1");)", {"EditFb", "SBut1"}},
        {"line comment", "// \"EditVb\"\nf(\"EditDd\");", {"EditDd"}},
        {"block comment", "/* \"EditVb\" */ f(\"EditNd\"); /* a\n\"b\" */", {"EditNd"}},
        {"escaped quote", R"(f("a\"b"); g("EditXmax");)", {"a\\\"b", "EditXmax"}},
        {"character literals", R"(c = '"'; f("EditVs"); d = '\'';)", {"EditVs"}},
        {"raw string", "f(R\"x(\"EditFb\" in a raw string)x\"); g(\"Label128\");",
         {"\"EditFb\" in a raw string", "Label128"}},
        {"identifier ending in R", "FOR\"EditFb\"", {"EditFb"}},
    };
    for (const LiteralRow& r : rows)
        EXPECT_EQ(stringLiterals(r.source), r.literals) << r.name;
}

struct NameRow {
    const char* literal;
    bool component;
};

TEST(WidgetNames, ComponentNamesAreToldFromKeysAndHandlers)
{
    const NameRow rows[] = {
        {"EditFb", true},       {"EdVtot", true},        {"SBut1", true},         {"SEdDiv", true},
        {"SEFdiv", true},       {"CBFcurveType", true},  {"SpinEdNPorts", true},  {"Label128", true},
        {"TabSheet10", true},   {"PageCWork", true},     {"StatusBar1", true},    {"LBPrj", true},
        {"SBut", false},        {"Fb", false},           {"TubD", false},         {"CurveConDiv", false},
        {"LastProject", false}, {"PRISM", false},        {"BOXPRISM", false},     {"Pindex", false},
        {"Edit", false},        {"EditVbExit", false},   {"EditTubDChange", false}, {"SBut5Click", false},
        {"TabSheet9Show", false}, {"Timer1", false},     {"DEFAULT", false},
    };
    for (const NameRow& r : rows) {
        EXPECT_EQ(isComponentName(QString::fromLatin1(r.literal)), r.component) << r.literal;
    }
}

// The layout a source file's names belong to: the main window's, or that of the window whose
// generated form the file includes.
std::set<std::string> allowedNames(const std::string& src, const std::map<QString, std::set<std::string>>& layouts)
{
    std::set<std::string> names = layouts.at(QStringLiteral("TF_Main"));
    static const QRegularExpression include(QStringLiteral("#include\\s+\"ui_(TF_[A-Za-z]+)\\.h\""));
    auto it = include.globalMatch(QString::fromStdString(src));
    while (it.hasNext()) {
        const auto found = layouts.find(it.next().captured(1));
        if (found != layouts.end())
            names.insert(found->second.begin(), found->second.end());
    }
    return names;
}

std::map<QString, std::set<std::string>> readLayouts()
{
    std::map<QString, std::set<std::string>> layouts;
    const QDir uiDir(kSourceDir + QStringLiteral("/resources/ui"));
    for (const QFileInfo& f : uiDir.entryInfoList({QStringLiteral("*.ui")}, QDir::Files))
        layouts[f.completeBaseName()] = widgetsOf(f.filePath());
    return layouts;
}

TEST(WidgetNames, EveryNameTheCodeUsesIsAWidgetOfItsLayout)
{
    const auto layouts = readLayouts();
    ASSERT_TRUE(layouts.count(QStringLiteral("TF_Main"))) << "no TF_Main.ui under " << kSourceDir.toStdString();
    for (const SourceFolder& folder : kSourceFolders) {
        std::set<std::string> seen;
        QDirIterator files(kSourceDir + QLatin1Char('/') + QLatin1String(folder.name),
                           {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
            const std::string src = f.readAll().toStdString();
            const std::set<std::string> allowed = allowedNames(src, layouts);
            for (const std::string& literal : stringLiterals(src)) {
                if (!isComponentName(QString::fromStdString(literal)))
                    continue;
                seen.insert(literal);
                EXPECT_TRUE(allowed.count(literal))
                    << QDir(kSourceDir).relativeFilePath(path).toStdString() << ": \"" << literal
                    << "\" is no widget of its window's layout";
            }
        }
        if (folder.usesNames) {
            EXPECT_FALSE(seen.empty()) << folder.name;
        }
    }
}

TEST(WidgetNames, EveryDimensionHasItsEditorInTheMainWindow)
{
    // The dimension editors are named "Edit" + settings key in code, so no literal holds their names.
    const auto main = readLayouts()[QStringLiteral("TF_Main")];
    for (const vx::DimensionKey& k : vx::kDimensionKeys) {
        if (k.real) {
            EXPECT_TRUE(main.count("Edit" + std::string(k.key))) << k.key;
        }
    }
}

} // namespace
