#include "platform/JpegImage.h"

#include "platform/FitSize.h"

#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace vx {

namespace {

// libjpeg's default error handler prints and calls exit(). Ours jumps back to the decoding routine
// instead, which then gives up on the picture.
struct ErrorJump {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void failJump(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1);
}

// Warnings are what libjpeg reports for damaged data it could paper over ("premature end of data
// segment" for a cut-off download, for example): it would fill the rest with grey. A damaged picture
// counts as no picture here, so a warning fails as well. Trace messages (level > 0) are ignored.
void warnJump(j_common_ptr cinfo, int level)
{
    if (level < 0)
        failJump(cinfo);
}

void silence(j_common_ptr) {}

void installErrors(ErrorJump& err)
{
    jpeg_std_error(&err.mgr);
    err.mgr.error_exit = failJump;
    err.mgr.emit_message = warnJump;
    err.mgr.output_message = silence;
}

// The memory the decoder keeps for a picture of several scans (a progressive one): every coefficient
// of every component, rounded up to whole MCUs as libjpeg allocates them. A single scan is decoded a
// row of blocks at a time.
qint64 decoderBytesOf(const jpeg_decompress_struct* cinfo)
{
    if (!jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(cinfo)))
        return 0;
    qint64 bytes = 0;
    for (int c = 0; c < cinfo->num_components; ++c) {
        const jpeg_component_info& comp = cinfo->comp_info[c];
        const auto roundUp = [](qint64 n, qint64 m) { return m > 0 ? (n + m - 1) / m * m : n; };
        bytes += roundUp(comp.width_in_blocks, comp.h_samp_factor) * roundUp(comp.height_in_blocks, comp.v_samp_factor)
               * qint64(DCTSIZE2 * sizeof(JCOEF));
    }
    return bytes;
}

// Everything between setjmp and a possible longjmp lives either in the libjpeg structures or in the
// caller's frame: no object with a destructor is skipped by the jump.
bool decodeInto(jpeg_decompress_struct* cinfo, ErrorJump* err, const QByteArray* data, QSize bounds, QImage* out)
{
    if (setjmp(err->jump))
        return false;

    jpeg_create_decompress(cinfo);
    // A progressive picture keeps all its coefficients in memory while it is decoded: one beyond this
    // fails instead of taking the memory (libjpeg here has no backing store to fall back on).
    cinfo->mem->max_memory_to_use = long(JpegImage::kMaxDecoderBytes);
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(data->constData()),
                 static_cast<unsigned long>(data->size()));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    if (cinfo->image_width == 0 || cinfo->image_height == 0
        || qint64(cinfo->image_width) * qint64(cinfo->image_height) > JpegImage::kMaxPixels)
        return false;

    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    cinfo->scale_num = 1;
    cinfo->scale_denom = unsigned(JpegImage::reduction(QSize(int(cinfo->image_width), int(cinfo->image_height)),
                                                       bounds, decoderBytesOf(cinfo)));
    jpeg_calc_output_dimensions(cinfo);
    if (cinfo->output_width == 0 || cinfo->output_height == 0)
        return false;

    jpeg_start_decompress(cinfo);
    *out = QImage(int(cinfo->output_width), int(cinfo->output_height), QImage::Format_RGBX8888);
    if (out->isNull())
        return false;

    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->scanLine(int(cinfo->output_scanline));
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(cinfo);

    if (cmyk) {
        // Four bytes per pixel either way; Adobe's files store CMYK inverted.
        const bool inverted = cinfo->saw_Adobe_marker;
        for (int y = 0; y < out->height(); ++y) {
            uchar* p = out->scanLine(y);
            for (int x = 0; x < out->width(); ++x, p += 4) {
                int c = p[0], m = p[1], ye = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c; m = 255 - m; ye = 255 - ye; k = 255 - k;
                }
                p[0] = uchar(c * k / 255);
                p[1] = uchar(m * k / 255);
                p[2] = uchar(ye * k / 255);
                p[3] = 255;
            }
        }
    }
    return true;
}

bool encodeInto(jpeg_compress_struct* cinfo, ErrorJump* err, const QImage* rgb, int quality,
                unsigned char** buffer, unsigned long* size)
{
    if (setjmp(err->jump))
        return false;

    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = JDIMENSION(rgb->width());
    cinfo->image_height = JDIMENSION(rgb->height());
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_RGBX;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb->constScanLine(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

int JpegImage::reduction(QSize size, QSize bounds, qint64 decoderBytes)
{
    // libjpeg rounds a reduced side up.
    const auto at = [size](int d) { return QSize((size.width() + d - 1) / d, (size.height() + d - 1) / d); };
    const auto bytes = [](QSize s) { return qint64(s.width()) * s.height() * 4; };
    const QSize shown = fitInto(size, bounds);
    int d = 1;
    while (d < 8 && at(d * 2).width() >= shown.width() && at(d * 2).height() >= shown.height())
        d *= 2;
    // The decoder is gone before the decoded picture is scaled: the two never meet.
    const auto fits = [&](int d) {
        const QSize decoded = at(d);
        const qint64 scaled = fitInto(decoded, bounds) == decoded ? 0 : bytes(fitInto(decoded, bounds));
        return decoderBytes + bytes(decoded) <= kMaxWorkingBytes && bytes(decoded) + scaled <= kMaxWorkingBytes;
    };
    while (d < 8 && !fits(d))
        d *= 2;
    return d;
}

QImage JpegImage::decode(const QByteArray& data, QSize bounds)
{
    if (data.isEmpty())
        return {};
    QImage image;
    jpeg_decompress_struct cinfo {};
    ErrorJump err {};
    installErrors(err);
    cinfo.err = &err.mgr;
    const bool ok = decodeInto(&cinfo, &err, &data, bounds, &image);
    const QSize full(int(cinfo.image_width), int(cinfo.image_height));
    // The decoder's memory goes before the picture is scaled.
    jpeg_destroy_decompress(&cinfo);
    if (!ok)
        return {};
    // The proportions of the whole picture: a reduced scale rounds its sides up. A picture reduced
    // further for memory's sake is shown as decoded, never scaled up.
    const QSize shown = fitInto(full, bounds);
    if (image.width() <= shown.width() && image.height() <= shown.height())
        return image;
    return image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage JpegImage::load(const QString& path, QSize bounds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A file larger than any picture we would accept is not read into memory at all.
    if (file.size() > kMaxPixels * 4)
        return {};
    return decode(file.readAll(), bounds);
}

QByteArray JpegImage::encode(const QImage& image, int quality)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGBX8888);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct cinfo {};
    ErrorJump err {};
    installErrors(err);
    cinfo.err = &err.mgr;
    const bool ok = encodeInto(&cinfo, &err, &rgb, qBound(1, quality, 100), &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes;
    if (ok && buffer)
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

} // namespace vx
