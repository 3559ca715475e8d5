// The advert window's memory with a large picture, measured in a process of its own: a test process's
// peak would count whatever its other tests left behind, and a forked copy of one cannot use Qt's
// worker threads, which decoding and scaling pictures do.
//   advert_memory_probe show PATH [WxH [WxH]]
//                                         opens the advert window twice with the picture at PATH and
//                                         prints "showing N shown|none PEAK_KIB WxH" after each showing,
//                                         WxH the size of the picture shown. Screen sizes given: the
//                                         headless screens have them, and the program's window moves
//                                         to the second one before the second showing (the screen
//                                         shrinks or grows between the two); none: the platform's own.
// The exit code is 0 when the work was done, whatever the memory it took.
#include "app/TF_Main.h"

#include "app/Windows.h"
#include "web/TF_Pic.h"
#include "MainTestAccess.h"
#include "OfflineHttp.h"
#include "ProgramFiles.h"
#include "RecordingDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>

namespace {

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

// The headless platform with one screen of each size, side by side, as its configuration file asks;
// false when a size is not WxH.
bool configureScreens(const QStringList& sizes, QTemporaryDir& folder)
{
    QJsonArray screens;
    int x = 0;
    for (const QString& size : sizes) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^([0-9]+)x([0-9]+)$")).match(size);
        if (!m.hasMatch())
            return false;
        const int width = m.captured(1).toInt(), height = m.captured(2).toInt();
        screens.append(QJsonObject{{"name", QStringLiteral("Screen%1").arg(screens.size())}, {"x", x}, {"y", 0},
                                   {"width", width}, {"height", height}, {"logicalDpi", 96}, {"logicalBaseDpi", 96},
                                   {"dpr", 1}});
        x += width;
    }
    const QString config = folder.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)
        || f.write(QJsonDocument(QJsonObject{{"screens", screens}}).toJson()) <= 0)
        return false;
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(QDir::toNativeSeparators(config)));
    return true;
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
        const QList<QScreen*> screens = QGuiApplication::screens();
        for (int showing = 1; showing <= 2 && code == 0; ++showing) {
            QScreen* screen = screens.value(showing - 1, screens.constFirst());
            w.setScreen(screen);
            w.move(screen->geometry().topLeft());
            pic.show();
            QApplication::processEvents();
            const bool shown = !picture->isHidden();
            const QSize size = picture->pixmap().size();
            pic.hide();
            QApplication::processEvents();
            std::printf("showing %d %s %lld %dx%d\n", showing, shown ? "shown" : "none", peakKiB(), size.width(),
                        size.height());
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
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QTemporaryDir config;
    const QStringList screens = args.size() > 3 && args[1] == QLatin1String("show") ? args.mid(3) : QStringList();
    if (screens.size() > 2 || (!screens.isEmpty() && !configureScreens(screens, config))) {
        std::fprintf(stderr, "screen sizes: one or two of WxH\n");
        return 2;
    }
    if (screens.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (args.size() >= 3 && args[1] == QLatin1String("show"))
        return show(args[2]);
    std::fprintf(stderr, "usage: advert_memory_probe show PATH [WxH [WxH]]\n");
    return 2;
}
