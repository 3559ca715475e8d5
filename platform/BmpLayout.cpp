#include "platform/BmpLayout.h"

#include <QtEndian>

#include <cstdlib>

namespace vx {

namespace {

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

constexpr int kFileHeader = 14;
constexpr int kCoreHeader = 12;  // the oldest header: 16-bit sides, no compression
constexpr int kInfoHeader = 40;  // and every later one, which begins like it

quint32 u32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 u16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

// Walks a run-length coded picture from `at`: true when its end-of-picture mark is reached within the
// data. Each pair is a run (count, value) or, with a count of 0, an escape: 0 ends a line, 1 ends the
// picture, 2 moves by the next two bytes, and more is a stretch of that many pixels as they are,
// padded to an even number of bytes.
bool runsReachTheirEnd(const QByteArray& b, qint64 at, bool fourBits)
{
    const qint64 size = b.size();
    while (at + 2 <= size) {
        const uchar count = uchar(b[at]), value = uchar(b[at + 1]);
        at += 2;
        if (count > 0 || value == 0)
            continue;
        if (value == 1)
            return true;
        if (value == 2) {
            at += 2;
            continue;
        }
        const qint64 bytes = fourBits ? (value + 1) / 2 : value;
        at += (bytes + 1) / 2 * 2;
    }
    return false;
}

} // namespace

bool BmpLayout::holdsItsPixels(const QByteArray& file)
{
    if (file.size() < kFileHeader + kCoreHeader || !file.startsWith("BM"))
        return false;
    const qint64 dataAt = u32(file, 10);
    const quint32 headerSize = u32(file, kFileHeader);
    qint64 width = 0, height = 0;
    int bits = 0;
    quint32 compression = Rgb;
    if (headerSize == kCoreHeader) {
        width = u16(file, 18);
        height = u16(file, 20);
        bits = u16(file, 24);
    } else if (headerSize >= kInfoHeader && file.size() >= kFileHeader + kInfoHeader) {
        width = qint32(u32(file, 18));
        height = std::llabs(qint32(u32(file, 22))); // negative: the rows run from the top
        bits = u16(file, 28);
        compression = u32(file, 30);
    } else {
        return false;
    }
    if (width <= 0 || height <= 0 || bits <= 0 || dataAt > file.size())
        return false;
    switch (compression) {
    case Rgb:
    case BitFields:
    case AlphaBitFields: {
        const qint64 rowBytes = (width * bits + 31) / 32 * 4;
        return rowBytes <= file.size() && height <= file.size() && dataAt + rowBytes * height <= file.size();
    }
    case Rle8:
    case Rle4:
        return runsReachTheirEnd(file, dataAt, compression == Rle4);
    default:
        return false;
    }
}

} // namespace vx
