// The frame of the main window: the command row (print, calculator, about panel), the lock of that row
// while a full-window panel is open, the two section-print buttons, the show and activation handlers,
// and the forum banner that slides into view while its date has not passed.
#include "app/TF_Main.h"

#include "app/FrameClock.h"
#include "app/PrintService.h"
#include "app/Windows.h"
#include "core/Version.h"
#include "tools/TF_Calc.h"
#include "tools/TF_Print.h"

#include "ui_TF_Main.h"

#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kSlideStepPx = 20;
constexpr int kRecheckIntervalMs = 5000;
constexpr int kFrameMarginPx = 2;
constexpr int kSheetWidthA = 800;
constexpr int kSheetWidthB = 801;

// The banner shows until this local date and time, 00:00.
constexpr const char* kBannerExpiry = "01.03.2014";
constexpr const char* kBannerExpiryFormat = "dd.MM.yyyy";
constexpr const char* kForumLink = "http://forum.vornalex.example/";

// The about panel, below the program's name and version: what the program is, its terms of use and
// its credits.
constexpr const char* kAboutText =
    "Расчёт порта фазоинвертора акустического ящика: двенадцать форм порта, круглого и щелевого "
    "сечения, с прямой, конической и криволинейной образующей.\n\n"
    "Условия использования. Программа распространяется бесплатно, в том виде, как она есть, без каких-либо "
    "гарантий. Размеры рассчитаны по приближённым формулам; проверьте их перед постройкой ящика. Автор не "
    "отвечает за ущерб от использования результатов расчёта.\n\n"
    "Благодарности: всем, кто строил порты по этим расчётам и присылал замечания.";

// The row that a full-window panel locks, in the order it is switched; the advert button stays usable.
constexpr const char* kLockedControls[] = {"BoButNew", "BoButOpen", "BoButSave", "BoButPrint", "BoButDel",
                                           "BoButHlp", "BoButCalc", "Label92",   "EditVs",     "SBCarSound"};

// Hands the pointer events of the banner and of the bare port panel to the window's handlers.
class PointerRelay : public QObject {
public:
    PointerRelay(QObject* parent, QObject* banner, QObject* panel, TF_Main& window)
        : QObject(parent), m_banner(banner), m_panel(panel), m_window(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (watched == m_banner) {
                m_window.Image12MouseMove();
                // Taken here: passed on, the move would reach the port panel and hide the frame again.
                return true;
            }
            // The panel hears the moves its child controls leave to it; only the bare panel counts.
            auto* panel = static_cast<QWidget*>(m_panel);
            if (watched == m_panel && !panel->childAt(p))
                m_window.Panel3MouseMove(p.x(), p.y());
        } else if (event->type() == QEvent::MouseButtonRelease && watched == m_banner) {
            m_window.Image12MouseUp(static_cast<QMouseEvent*>(event)->button());
            return true;
        }
        return false;
    }

private:
    QObject* m_banner;
    QObject* m_panel;
    TF_Main& m_window;
};

QDateTime bannerExpiry()
{
    return QDateTime(QDate::fromString(QString::fromLatin1(kBannerExpiry), QString::fromLatin1(kBannerExpiryFormat)),
                     QTime(0, 0));
}

} // namespace

void TF_Main::connectFrame()
{
    // The pointer moves are wanted without a button held: the frame appears on hovering.
    ui->Image12->setMouseTracking(true);
    ui->Panel3->setMouseTracking(true);
    auto* relay = new PointerRelay(this, ui->Image12, ui->Panel3, *this);
    ui->Image12->installEventFilter(relay);
    ui->Panel3->installEventFilter(relay);

    // The cover is a plain panel in the window's face colour; the hover frame a grey 2-pixel pen
    // around the same face colour, behind the banner.
    ui->Panel6->setFrameShape(QFrame::NoFrame);
    ui->Panel6->setAutoFillBackground(true);
    ui->Panel6->raise();
    ui->RectSel->setStyleSheet(QStringLiteral("#RectSel { border: 2px solid gray; background: palette(window); }"));
    ui->RectSel->lower();
    ui->Image12->setCursor(Qt::PointingHandCursor);

    ui->LabAbout->setText(QString::fromStdString(vx::programTitle()) + QStringLiteral("\n\n") +
                          QString::fromUtf8(kAboutText));
    ui->LabAbout->setWordWrap(true);
    ui->LabAbout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The brands button's link colour is set for every state; a locked row shows it greyed all the same.
    QPalette brands = ui->SBCarSound->palette();
    brands.setColor(QPalette::Disabled, QPalette::ButtonText,
                    palette().color(QPalette::Disabled, QPalette::ButtonText));
    ui->SBCarSound->setPalette(brands);
}

void TF_Main::EnableButtons(bool Ind)
{
    for (const char* name : kLockedControls) {
        if (QWidget* w = component(name))
            w->setEnabled(Ind);
    }
}

void TF_Main::BoButHlpClick()
{
    ui->Panel5->show();
    ui->Panel5->raise();
    EnableButtons(false);
}

void TF_Main::Button1Click()
{
    ui->Panel5->hide();
    EnableButtons(true);
}

void TF_Main::BoButCalcClick()
{
    if (F_Calc)
        F_Calc->exec();
}

void TF_Main::BoButPrintClick()
{
    // Moving the focus ends the edit in progress: its exit handler runs before the calculation.
    setActiveControl("EditVs");
    m_calc.RecalcRes(true);
    // Printing goes on whatever the calculation reported: the result fields print as it left them.
    vx::PrintService& printer = vx::printing();
    if (!printer.execDialog(this))
        return;
    printer.printPage(grab().toImage(), this);
}

namespace {

// The sheet draws and prints on every change of its width; alternating between two widths makes every
// click a real change.
void toggleSheetWidth()
{
    if (!F_Print)
        return;
    F_Print->setSheetWidth(F_Print->width() == kSheetWidthA ? kSheetWidthB : kSheetWidthA);
}

} // namespace

void TF_Main::SBConePrintClick()
{
    m_calc.RecalcRes(true);
    toggleSheetWidth();
}

void TF_Main::SBFConePrintClick()
{
    m_calc.RecalcRes(true);
    toggleSheetWidth();
}

void TF_Main::FormShow() { LastInputTick = vx::frameClock().tickMs(); }

void TF_Main::FormActivate()
{
    // The full cover goes back over the banner; whether it is shown is the slide's business, so a
    // banner already uncovered stays so and a slide in progress starts again from the full cover.
    ui->Panel6->setGeometry(ui->Image12->geometry());
    const QRect banner = ui->Image12->geometry();
    ui->RectSel->setGeometry(banner.adjusted(-kFrameMarginPx, -kFrameMarginPx, kFrameMarginPx, kFrameMarginPx));
    ui->RectSel->hide();
}

void TF_Main::Timer1Timer()
{
    Timer1->stop();
    if (vx::frameClock().now() < bannerExpiry())
        Timer2->start();
}

void TF_Main::Timer2Timer()
{
    // The cover shrinks from the left with its right edge in place: the banner comes into view from the
    // left.
    const QRect cover = ui->Panel6->geometry();
    const int width = cover.width() - kSlideStepPx;
    ui->Panel6->setGeometry(cover.left() + kSlideStepPx, cover.top(), std::max(width, 0), cover.height());
    if (width <= 0) {
        Timer2->stop();
        Timer1->stop();
        Timer1->setInterval(kRecheckIntervalMs);
        Timer1->start();
        ui->Panel6->hide();
    }
}

void TF_Main::Image12MouseMove()
{
    if (ui->RectSel->isHidden()) {
        ui->RectSel->show();
        ui->StatusBar1->setText(QLatin1Char(' ') + QString::fromLatin1(kForumLink));
    }
}

void TF_Main::Image12MouseUp(Qt::MouseButton Button) { ProcLink(Button, QString::fromLatin1(kForumLink)); }

void TF_Main::Panel3MouseMove(int X, int Y)
{
    const QRect label = ui->LbURL0->geometry();
    const bool inside = label.left() <= X && X <= label.left() + label.width() && label.top() <= Y &&
                        Y <= label.top() + label.height();
    QPalette p = ui->LbURL0->palette();
    if (!inside && p.color(QPalette::WindowText) == QColor(255, 0, 0)) {
        p.setColor(QPalette::WindowText, QColor(0, 0, 255));
        ui->LbURL0->setPalette(p);
        ui->StatusBar1->clear();
    }
    if (!ui->RectSel->isHidden()) {
        ui->RectSel->hide();
        ui->StatusBar1->clear();
    }
}
