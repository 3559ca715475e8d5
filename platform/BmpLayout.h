#pragma once
// The layout a BMP file announces in its headers, checked against the bytes the file holds: Qt's reader
// shows whatever it has for pixels that are missing, a picture cut short or a header announcing any
// size over no data at all.

#include <QByteArray>

namespace vx {

class BmpLayout {
public:
    // True when the file's pixel data is all there: every row of an uncompressed picture, or a run-length
    // coded one up to its end-of-picture mark. False for anything else, a file that is no BMP included.
    static bool holdsItsPixels(const QByteArray& file);
};

} // namespace vx
