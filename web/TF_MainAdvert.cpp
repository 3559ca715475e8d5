// The advert of the main window: the index fetched at start with its version offer and picture, the
// idle watch that shows the advert window after a minute without input, and the client identifier.
#include "app/TF_Main.h"

#include "app/FrameClock.h"
#include "app/Windows.h"
#include "platform/DialogService.h"
#include "platform/HttpClient.h"
#include "projects/ClientId.h"
#include "projects/ProgramFolder.h"
#include "web/InputWatch.h"
#include "web/TF_Pic.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr const char* kOwnVersion = "1.2";
constexpr std::uint32_t kIdleLimitMs = 60000;
constexpr const char* kInputWatchName = "AdvInputWatch";

// The first n characters; none for an n below 1, all of them for an n beyond the length.
QString firstChars(const QString& s, qsizetype n) { return n < 1 ? QString() : s.left(n); }

// Only digits, ASCII letters, ".", "/" and "_" survive in a picture path.
QString filteredPath(const QString& path)
{
    QString out;
    for (const QChar c : path) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'.' ||
            u == u'/' || u == u'_')
            out += c;
    }
    return out;
}

QString lastSegment(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

// The program's own files beside the executable are never written over, nor deleted, by a download:
// a site that named one of them would cost the user the projects, the sprite sheet or the program.
bool isProgramFile(const QString& name)
{
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    for (const QString& own : {QStringLiteral("Vornalex.ini"), QStringLiteral("Vornalex.BMP"), exe})
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

void TF_Main::GetInetFile(const QString& fileURL, const QString& FileName)
{
    QFile file(FileName);
    if (FileName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw vx::HttpError("Cannot create file " + FileName.toStdString());
    vx::http().getInto(fileURL, file);
}

void TF_Main::LoadAdv()
{
    const QString base = QString::fromLatin1(vx::kSiteBase);
    const QString folder = vx::programFolder();
    try {
        const QString T = QString::fromUtf8(vx::http().get(base + QStringLiteral("images/adv.txt")));
        const qsizetype a = T.indexOf(u'\n') + 1;
        const QString line1 = firstChars(T, a - 2);
        const QString R = T.mid(a);
        const qsizetype b = R.indexOf(u'\n') + 1;
        const QString version = firstChars(R, b - 2);
        const QString tail = R.mid(b);
        const qsizetype t = line1.indexOf(u'\t') + 1;
        AdvLink = line1.mid(t);
        const QString picture = firstChars(line1, t - 1);

        bool fetchPicture = true;
        if (version != QLatin1String(kOwnVersion)) {
            const vx::MsgAnswer answer =
                vx::dialogs().show(vx::MsgType::Confirmation,
                                   QStringLiteral("Доступна версия ") + version + QStringLiteral(" Vornalex.\rСкачать?"),
                                   vx::MsgButtons::YesNo, nullptr);
            if (answer == vx::MsgAnswer::Yes) {
                const qsizetype dots = tail.indexOf(QStringLiteral(".."));
                const QString path = dots < 0 ? QString() : tail.mid(dots + 2);
                const QString name = lastSegment(path);
                const QString local = folder + name;
                try {
                    if (isProgramFile(name))
                        throw vx::HttpError("Refused to write over " + name.toStdString());
                    GetInetFile(base + path, local);
                    vx::dialogs().show(vx::MsgType::Information,
                                       QStringLiteral("Версия ") + version +
                                           QStringLiteral(" Vornalex находится в файле\r") + local,
                                       vx::MsgButtons::Ok, nullptr);
                } catch (const std::exception&) {
                    vx::dialogs().show(vx::MsgType::Warning,
                                       QStringLiteral("Не удалось скачать версию ") + version +
                                           QStringLiteral(" Vornalex."),
                                       vx::MsgButtons::Ok, nullptr);
                    fetchPicture = !isProgramFile(name) && QFile::remove(local);
                }
            }
        }
        const QString filtered = filteredPath(picture);
        if (fetchPicture && !picture.isEmpty() && !isProgramFile(lastSegment(filtered))) {
            AdvLocalFile = folder + lastSegment(filtered);
            try {
                GetInetFile(base + filtered, AdvLocalFile);
            } catch (const std::exception&) {
                // no picture: the advert window shows a saying
            }
        }
    } catch (const std::exception&) {
        // offline or no index: nothing to offer, nothing to show
    }

    // The idle watch starts whatever happened above.
    AdvShown = false;
    if (!findChild<vx::InputWatch*>(QLatin1String(kInputWatchName), Qt::FindDirectChildrenOnly)) {
        auto* watch = new vx::InputWatch([this] { LastInputTick = vx::frameClock().tickMs(); }, this);
        watch->setObjectName(QLatin1String(kInputWatchName));
        qApp->installEventFilter(watch);
    }
    LastInputTick = vx::frameClock().tickMs();
    Timer3->start();
}

void TF_Main::DeleteAdvFile()
{
    if (!AdvLocalFile.isEmpty())
        QFile::remove(AdvLocalFile);
}

void TF_Main::BoButAdvClick()
{
    if (F_Pic)
        F_Pic->exec();
}

void TF_Main::Timer3Timer()
{
    if (AdvShown)
        return;
    const std::uint32_t now = vx::frameClock().tickMs();
    if (std::uint32_t(now - LastInputTick) <= kIdleLimitMs)
        return;
    LastInputTick = now;
    AdvShown = true;
    if (F_Pic)
        F_Pic->exec();
}

QString TF_Main::GetId() { return vx::makeClientId(vx::frameClock().now()); }
