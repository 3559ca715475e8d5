#pragma once
// JPEG files put together byte by byte, of any size in an instant: every component is one flat level,
// each 8x8 block holding only its DC coefficient. So a test gets pictures beyond the decoder's caps
// (tens of megapixels in a few hundred kilobytes), progressive ones and CMYK ones with or without
// Adobe's marker, which no writer at hand makes.

#include <QByteArray>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace vx::test {

struct CraftedJpeg {
    int width = 16;
    int height = 16;
    std::vector<int> levels{128}; // one level 0..255 per component, as stored in the file
    bool progressive = false;     // a DC scan, then an AC scan of nothing but ends of block, for each
                                  // component: the decoder keeps every coefficient while it decodes
    bool adobe = false;           // Adobe's marker: four components are CMYK stored inverted
    bool subsampled = false;      // the other components at half the first one's resolution each way,
                                  // as cameras and most writers store colour (4:2:0)

    QByteArray bytes() const
    {
        QByteArray out("\xFF\xD8", 2);
        if (adobe)
            segment(out, 0xEE, QByteArray("Adobe\x00\x64\x00\x00\x00\x00\x00", 12)); // transform 0: as stored
        QByteArray quant(1, '\0');
        quant.append(QByteArray(64, '\x01'));
        segment(out, 0xDB, quant);
        QByteArray frame;
        frame.append('\x08');
        append16(frame, height);
        append16(frame, width);
        frame.append(char(levels.size()));
        for (size_t c = 0; c < levels.size(); ++c)
            frame.append(char(c + 1)).append(subsampled && c == 0 ? '\x22' : '\x11').append('\x00');
        segment(out, progressive ? 0xC2 : 0xC0, frame);
        // DC: the twelve categories, four bits each; AC: the end of one block ("0") and of a run of
        // 16384 blocks and more ("10", then 14 bits).
        QByteArray tables(1, '\x00');
        for (int length = 1; length <= 16; ++length)
            tables.append(char(length == 4 ? 12 : 0));
        for (int category = 0; category < 12; ++category)
            tables.append(char(category));
        tables.append('\x10');
        for (int length = 1; length <= 16; ++length)
            tables.append(char(length <= 2 ? 1 : 0));
        tables.append('\x00').append('\xE0');
        segment(out, 0xC4, tables);
        for (size_t c = 0; c < levels.size(); ++c) {
            // One component a scan: its own blocks in rows, whatever the others' resolution.
            const int side = subsampled && c > 0 ? 16 : 8;
            const long blocks = long((width + side - 1) / side) * ((height + side - 1) / side);
            QByteArray scan;
            scan.append('\x01').append(char(c + 1)).append('\x00');
            scan.append('\x00').append(progressive ? '\x00' : '\x3F').append('\x00');
            segment(out, 0xDA, scan);
            Bits bits{out};
            // A DC-only block of coefficient d shows the level d / 8 + 128.
            const int dc = (levels[c] - 128) * 8;
            for (long b = 0; b < blocks; ++b) {
                const int diff = b == 0 ? dc : 0;
                const int category = diff == 0 ? 0 : 32 - __builtin_clz(unsigned(std::abs(diff)));
                bits.put(unsigned(category), 4);
                bits.put(unsigned(diff < 0 ? diff + (1 << category) - 1 : diff), category);
                if (!progressive)
                    bits.put(0, 1); // end of block
            }
            bits.flush();
            if (!progressive)
                continue;
            scan[3] = '\x01'; // coefficients 1 to 63, all of them 0
            scan[4] = '\x3F';
            segment(out, 0xDA, scan);
            for (long left = blocks; left > 0;) {
                if (left >= 16384) {
                    const long run = std::min(left, 32767L);
                    bits.put(2, 2);
                    bits.put(unsigned(run - 16384), 14);
                    left -= run;
                } else {
                    bits.put(0, 1);
                    --left;
                }
            }
            bits.flush();
        }
        out.append("\xFF\xD9", 2);
        return out;
    }

private:
    static void append16(QByteArray& b, int v) { b.append(char(v >> 8)).append(char(v & 0xFF)); }
    static void segment(QByteArray& out, int marker, const QByteArray& body)
    {
        out.append('\xFF').append(char(marker));
        append16(out, int(body.size()) + 2);
        out.append(body);
    }
    // Entropy-coded bits, most significant first, a 0 stuffed after every FF byte, padded with ones.
    struct Bits {
        QByteArray& out;
        unsigned byte = 0;
        int used = 0;
        void put(unsigned code, int length)
        {
            for (int i = length - 1; i >= 0; --i) {
                byte = (byte << 1) | ((code >> i) & 1);
                if (++used == 8)
                    writeByte();
            }
        }
        void flush()
        {
            while (used != 0)
                put(1, 1);
        }
        void writeByte()
        {
            out.append(char(byte));
            if (byte == 0xFF)
                out.append('\x00');
            byte = 0;
            used = 0;
        }
    };
};

} // namespace vx::test
