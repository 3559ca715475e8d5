#pragma once
// JPEG pictures through libjpeg directly: the splash picture, the downloaded advert. A broken file gives
// a null image, never a message and never the end of the process.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vx {

class JpegImage {
public:
    // Pictures beyond this many pixels are refused instead of allocated (a few bytes of header can
    // announce 65535 x 65535).
    static constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;
    // The decoder's own working memory (a progressive picture's coefficients) stays below this.
    static constexpr qint64 kMaxDecoderBytes = 200LL * 1024 * 1024;
    // The decoder's working memory with the decoded picture, and the decoded picture with its copy
    // scaled into bounds, each stay below this: a stronger reduction is taken where they would not.
    static constexpr qint64 kMaxWorkingBytes = 208LL * 1024 * 1024;

    // A null image for data that is not a complete, sound JPEG (truncated, corrupt, not a JPEG at all).
    // With bounds, a larger picture comes scaled down to fit into them, keeping its proportions; it is
    // decoded at a reduced scale where it can, so the full size is never in memory. Where the working
    // memory above asks for a stronger reduction, the picture comes as decoded, smaller than bounds.
    static QImage decode(const QByteArray& data, QSize bounds = {});
    // Reads a file (a Qt resource path too) and decodes it; null when it cannot be read or decoded.
    static QImage load(const QString& path, QSize bounds = {});
    // The reduction (1, 2, 4 or 8) a picture of `size` is decoded at to be shown within bounds: the
    // strongest that still gives the size shown, or stronger where the memory above asks for it.
    // decoderBytes: the decoder's own working memory for the picture (0 for a single-scan one).
    static int reduction(QSize size, QSize bounds, qint64 decoderBytes);
    // Baseline JPEG of `image` at `quality` (1..100); empty on failure.
    static QByteArray encode(const QImage& image, int quality = 90);
};

} // namespace vx
