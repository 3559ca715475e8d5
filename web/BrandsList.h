#pragma once
// The brands list "brands.csv": one brand a line, four TAB-separated fields (name, main page,
// subwoofer page, visibility flag).

#include <QByteArray>
#include <QString>

#include <vector>

namespace vx {

struct BrandLine {
    QString name, mainPage, subPage;
    bool listed = false; // the flag is 1
};

// The file's lines in their order. The text is UTF-8 when the file is valid UTF-8, else Windows-1251,
// the code page a list saved on a Russian Windows is in.
std::vector<BrandLine> readBrandsList(const QByteArray& data);

} // namespace vx
