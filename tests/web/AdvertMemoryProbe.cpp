// The advert window's memory with a large picture, measured in a process of its own: a test process's
// peak would count whatever its other tests left behind, and a forked copy of one cannot use Qt's
// worker threads, which decoding and scaling pictures do.
//   advert_memory_probe write PATH SIDE [progressive]
//                                         writes a JPEG of SIDE x SIDE pixels at PATH: baseline, or
//                                         progressive (the decoder then keeps all of it in memory)
//   advert_memory_probe show PATH         opens the advert window twice with the picture at PATH and
//                                         prints "showing N shown|none PEAK_KIB" after each showing
// The exit code is 0 when the work was done, whatever the memory it took.
#include "app/TF_Main.h"

#include "app/Windows.h"
#include "platform/JpegImage.h"
#include "web/TF_Pic.h"
#include "MainTestAccess.h"
#include "OfflineHttp.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"

#include <QApplication>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A smooth pattern that compresses to a few hundred kilobytes.
bool writeJpeg(const QString& path, int side, bool progressive)
{
    QByteArray jpeg;
    {
        QImage image(side, side, QImage::Format_RGBX8888);
        if (image.isNull())
            return false;
        for (int y = 0; y < side; ++y) {
            uchar* p = image.scanLine(y);
            for (int x = 0; x < side; ++x, p += 4) {
                p[0] = uchar(x * 255 / side);
                p[1] = uchar(y * 255 / side);
                p[2] = 128;
                p[3] = 255;
            }
        }
        if (progressive) {
            QImageWriter writer(path, "jpeg");
            writer.setProgressiveScanWrite(true);
            writer.setQuality(75);
            return writer.write(image);
        }
        jpeg = vx::JpegImage::encode(image, 75);
    }
    QFile f(path);
    return !jpeg.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(jpeg) == jpeg.size() && f.flush();
}

// The process's peak resident memory in KiB, as the system counts it; -1 when unknown.
long long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

int show(const QString& path)
{
    QTemporaryDir folder;
    if (!vx::test::makeProgramFolder(folder))
        return 1;
    vx::test::OfflineHttp offline;
    vx::setHttp(&offline);
    vx::test::RecordingDialogs dialogs;
    int code = 0;
    {
        TF_Main w;
        F_Main = &w;
        TF_Pic pic(&w);
        F_Pic = &pic;
        TF_MainTestAccess::setAdvLocalFile(w, path);
        const auto* picture = pic.findChild<QLabel*>(QStringLiteral("ImgAdv"));
        if (!picture)
            code = 1;
        for (int showing = 1; showing <= 2 && code == 0; ++showing) {
            pic.show();
            QApplication::processEvents();
            const bool shown = !picture->isHidden();
            pic.hide();
            QApplication::processEvents();
            std::printf("showing %d %s %lld\n", showing, shown ? "shown" : "none", peakKiB());
        }
        F_Pic = nullptr;
        F_Main = nullptr;
    }
    vx::setHttp(nullptr);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if ((args.size() == 4 || args.size() == 5) && args[1] == QLatin1String("write"))
        return writeJpeg(args[2], args[3].toInt(), args.value(4) == QLatin1String("progressive")) ? 0 : 1;
    if (args.size() == 3 && args[1] == QLatin1String("show"))
        return show(args[2]);
    std::fprintf(stderr, "usage: advert_memory_probe write PATH SIDE [progressive] | show PATH\n");
    return 2;
}
