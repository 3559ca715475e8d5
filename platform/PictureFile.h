#pragma once
// Picture files by their extension, as the advert window loads them: the extension names the format
// ("bmp", "ico", "wmf", "emf", "tif", "tiff", "jpg", "jpeg", in any case) and the data must be of that
// format; its content never picks another reader. JPEG goes through our libjpeg decoder.

#include <QImage>
#include <QString>

namespace vx {

class PictureFile {
public:
    // A null image when the extension names no known format, the file is missing or its data is broken
    // or of another format. Metafiles (wmf, emf) are known names but cannot be drawn here: null as well.
    // With bounds, a larger picture comes scaled down to fit into them, keeping its proportions.
    static QImage load(const QString& path, QSize bounds = {});
    // Pictures other than JPEG that would take more memory than this once decoded, counted at four
    // bytes a pixel or more (as they are scaled), are refused.
    static constexpr int kMaxMegabytes = 64;
    // The name ends in one of the extensions above.
    static bool knowsExtension(const QString& name);
};

} // namespace vx
