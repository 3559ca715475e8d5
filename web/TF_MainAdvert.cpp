// The advert of the main window: the index fetched at start with its version offer and picture, the
// idle watch that shows the advert window after a minute without input, and the client identifier.
#include "app/TF_Main.h"

#include "app/FrameClock.h"
#include "app/Windows.h"
#include "projects/ClientId.h"
#include "projects/ProgramFolder.h"
#include "web/AdvertFetch.h"
#include "web/InputWatch.h"
#include "web/TF_Pic.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

namespace {

constexpr std::uint32_t kIdleLimitMs = 60000;
constexpr const char* kInputWatchName = "AdvInputWatch";

} // namespace

void TF_Main::LoadAdv()
{
    const vx::Advert advert = vx::fetchAdvert(vx::programFolder());
    AdvLink = advert.link;
    AdvLocalFile = advert.localFile;
    AdvFileWritten = advert.pictureWritten;

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
    // Only a picture this run put there: a file of that name that was there before stays.
    if (AdvFileWritten && !AdvLocalFile.isEmpty())
        QFile::remove(AdvLocalFile);
    AdvFileWritten = false;
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
